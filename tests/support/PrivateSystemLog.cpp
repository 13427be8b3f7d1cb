#include "support/PrivateSystemLog.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

LogSocket::LogSocket(const std::string& path) : path_(path) {
    socket_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socket_ >= 0 && path.size() < sizeof address.sun_path) {
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        if (bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return;
    }
    Close();
}

void LogSocket::Close() {
    if (socket_ >= 0) close(socket_);
    socket_ = -1;
}

std::vector<std::string> LogSocket::Received() const {
    std::vector<std::string> datagrams;
    std::vector<char> buffer(65536);
    for (;;) {
        const ssize_t size = recv(socket_, buffer.data(), buffer.size(), MSG_DONTWAIT);
        if (size < 0) break;
        datagrams.emplace_back(buffer.data(), static_cast<std::size_t>(size));
    }
    return datagrams;
}

std::string WhyNoPrivateSystemLog() {
    if (geteuid() == 0) return {};
    return "a private /dev/log needs root to mount over /dev (running as uid " +
           std::to_string(geteuid()) + ")";
}

std::string EnterPrivateDevWithLog(const std::string& socketPath) {
    const auto failed = [](const std::string& what) { return what + ": " + std::strerror(errno); };
    // The devices stay reachable through a bind of the old /dev, which the tmpfs then covers.
    if (unshare(CLONE_NEWNS) != 0) return failed("unshare(CLONE_NEWNS)");
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return failed("making / private");
    char oldDev[] = "/tmp/duplora-dev-XXXXXX";
    if (!mkdtemp(oldDev)) return failed("a folder for the old /dev");
    if (mount("/dev", oldDev, nullptr, MS_BIND | MS_REC, nullptr) != 0)
        return failed("keeping /dev");
    if (mount("tmpfs", "/dev", "tmpfs", 0, "size=64k,mode=755") != 0)
        return failed("a tmpfs over /dev");
    const auto bindOver = [&](const std::string& from, const std::string& to, bool folder) {
        if (folder ? mkdir(to.c_str(), 0755) != 0
                   : close(open(to.c_str(), O_CREAT | O_WRONLY, 0666)) != 0)
            return false;
        return mount(from.c_str(), to.c_str(), nullptr, MS_BIND, nullptr) == 0;
    };
    for (const char* device : {"null", "zero", "full", "random", "urandom"})
        if (!bindOver(std::string(oldDev) + "/" + device, std::string("/dev/") + device, false))
            return failed(std::string("/dev/") + device);
    if (!bindOver(std::string(oldDev) + "/shm", "/dev/shm", true)) return failed("/dev/shm");
    if (!socketPath.empty() && !bindOver(socketPath, "/dev/log", false))
        return failed("binding the socket to /dev/log");
    umount2(oldDev, MNT_DETACH);
    rmdir(oldDev);
    return {};
}
