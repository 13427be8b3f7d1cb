// Appending to a text file on POSIX: one write with O_APPEND, so that each line lands whole at
// the end even if another process appends too.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Files.h"
#include "platform/posix/HostPath.h"
#include "platform/posix/PosixInternal.h"

namespace platform {

bool AppendToFile(const std::string& path, const std::string& text) {
    const auto host = HostPath(path);
    if (!host) {
        posix::RememberError("The filename, directory name, or volume label syntax is incorrect.");
        return false;
    }
    const int fd = open(host->c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        posix::RememberErrno();
        return false;
    }
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    if (done < text.size()) posix::RememberErrno();
    const bool closed = close(fd) == 0;
    if (!closed) posix::RememberErrno();
    return done == text.size() && closed;
}

}  // namespace platform
