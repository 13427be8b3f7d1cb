#pragma once
// A full disk on demand: a 64 KiB tmpfs mounted over a folder for as long as this lives, taken
// off again when a test ends, however it ends. Mounting needs root: where it cannot be done,
// WhyNot() says why, and the tests that need it skip with that reason:
//     if (!disk.Mounted()) GTEST_SKIP() << disk.WhyNot();

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

class SmallDisk {
public:
    explicit SmallDisk(std::string folder) : folder_(std::move(folder)) {
        if (geteuid() != 0)
            whyNot_ = "a full disk needs root to mount its tmpfs (running as uid " +
                      std::to_string(geteuid()) + ")";
        else if (mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=64k") != 0)
            whyNot_ = "cannot mount a tmpfs over " + folder_ + ": " + std::strerror(errno);
    }
    ~SmallDisk() {
        if (Mounted()) umount2(folder_.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Mounted() const { return whyNot_.empty(); }
    const std::string& WhyNot() const { return whyNot_; }

private:
    std::string folder_;
    std::string whyNot_;
};
