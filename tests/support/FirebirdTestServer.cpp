#include "support/FirebirdTestServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A port that nothing listens on at this moment.
int FreePort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(probe);
        throw std::runtime_error("no free port on 127.0.0.1");
    }
    close(probe);
    return ntohs(address.sin_port);
}

bool Listening(int port) {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = Loopback(port);
    const bool connected =
        connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(probe);
    return connected;
}

// What the server said: its output, then its log files.
std::string ServerReport(const fs::path& output, const fs::path& root) {
    std::ostringstream report;
    std::vector<fs::path> files = {output};
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(root, error))
        if (entry.path().extension() == ".log") files.push_back(entry.path());
    for (const fs::path& file : files) {
        std::ifstream in(file);
        if (in) report << "\n--- " << file.string() << "\n" << in.rdbuf();
    }
    return report.str();
}

}  // namespace

std::string SharedServerAddress() {
    const char* address = std::getenv("DUPLORA_FIREBIRD");
    if (!address || !*address)
        throw std::runtime_error(
            "DUPLORA_FIREBIRD is not set: run this test through ctest, which starts the tests' "
            "Firebird server and names it there");
    return address;
}

FirebirdTestServer::FirebirdTestServer(const TestFolder& folder)
    : root_(folder.Path("firebird-server")), port_(FreePort()) {
    // The script prepares the folder, then becomes the server itself: the child is the server.
    const std::string output = folder.Path("firebird-server.out");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    std::string shell = "/bin/bash", script = DUPLORA_FIREBIRD_TEST_SERVER, run = "run";
    std::string port = std::to_string(port_);
    char* arguments[] = {shell.data(), script.data(), run.data(),
                         root_.data(), port.data(),   nullptr};
    // posix_spawn rather than fork: the client library may have started threads already.
    const int spawned = posix_spawn(&pid_, shell.c_str(), &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        pid_ = -1;
        throw std::runtime_error("cannot start " + script);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!Listening(port_)) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error("the Firebird test server ended at start:" +
                                     ServerReport(output, root_));
        }
        if (std::chrono::steady_clock::now() > deadline) {
            Kill();
            throw std::runtime_error("the Firebird test server does not listen on " + Address() +
                                     ":" + ServerReport(output, root_));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

FirebirdTestServer::~FirebirdTestServer() { Kill(); }

void FirebirdTestServer::Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}
