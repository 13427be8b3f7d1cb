#pragma once
// A folder of a FUSE file system for as long as this lives: `folder` seen again through bindfs at
// `mountPoint`, taken off when a test ends, however it ends. Like NFS and CIFS mounts, a FUSE file
// system refuses renameat2's RENAME_NOREPLACE (EINVAL). Mounting needs root, /dev/fuse and bindfs:
// where it cannot be done, WhyNot() says why, and the tests that need it skip with that reason.

#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

class FuseFolder {
public:
    FuseFolder(const std::string& folder, std::string mountPoint)
        : mountPoint_(std::move(mountPoint)) {
        if (geteuid() != 0) {
            whyNot_ =
                "a FUSE mount needs root here (running as uid " + std::to_string(geteuid()) + ")";
            return;
        }
        if (access("/dev/fuse", R_OK | W_OK) != 0) {
            whyNot_ = std::string("/dev/fuse: ") + std::strerror(errno);
            return;
        }
        // bindfs returns once the file system is mounted and serves it from the background.
        const std::string command = "bindfs '" + folder + "' '" + mountPoint_ + "' 2>&1";
        const int status = std::system(command.c_str());
        if (status != 0)
            whyNot_ = "bindfs did not mount " + folder + " (status " + std::to_string(status) + ")";
    }
    ~FuseFolder() {
        if (Mounted()) umount2(mountPoint_.c_str(), MNT_DETACH);
    }
    FuseFolder(const FuseFolder&) = delete;
    FuseFolder& operator=(const FuseFolder&) = delete;

    bool Mounted() const { return whyNot_.empty(); }
    const std::string& WhyNot() const { return whyNot_; }

private:
    std::string mountPoint_;
    std::string whyNot_;
};
