#pragma once
// A full disk on demand: a 64 KiB tmpfs mounted over a folder for as long as this lives, taken
// off again when a test ends, however it ends. Mounting needs root; Mounted() tells whether it
// could be done here.

#include <sys/mount.h>

#include <string>
#include <utility>

class SmallDisk {
public:
    explicit SmallDisk(std::string folder)
        : folder_(std::move(folder)),
          mounted_(mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=64k") == 0) {}
    ~SmallDisk() {
        if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Mounted() const { return mounted_; }

private:
    std::string folder_;
    bool mounted_;
};
