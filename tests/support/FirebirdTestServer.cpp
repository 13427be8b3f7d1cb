#include "support/FirebirdTestServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <vector>

#include "support/FirebirdTestDatabase.h"

namespace fs = std::filesystem;

namespace {

// The installation's root folder (plugins, messages, character sets): above its UDF folder.
std::string InstallationRoot() {
    std::array<char, 512> line{};
    FILE* pipe = popen("fb_config --udfdir", "r");
    if (!pipe) throw std::runtime_error("cannot run fb_config");
    const bool read = fgets(line.data(), line.size(), pipe) != nullptr;
    pclose(pipe);
    std::string udf = read ? line.data() : "";
    while (!udf.empty() && (udf.back() == '\n' || udf.back() == '/')) udf.pop_back();
    if (udf.empty()) throw std::runtime_error("fb_config names no Firebird installation");
    return fs::path(udf).parent_path().string();
}

// A port that nothing listens on at this moment.
int FreePort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(probe);
        throw std::runtime_error("no free port on loopback");
    }
    close(probe);
    return ntohs(address.sin_port);
}

bool Listening(int port) {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool connected =
        connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(probe);
    return connected;
}

std::string ReadAll(const std::string& file) {
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

FirebirdTestServer::FirebirdTestServer(const TestFolder& folder)
    : root_(folder.Path("firebird-server")), port_(FreePort()) {
    const fs::path root(root_);
    const fs::path installation(InstallationRoot());
    fs::create_directories(root / "lock");
    for (const char* entry : {"plugins", "intl", "UDF", "lib", "firebird.msg", "plugins.conf"})
        if (fs::exists(installation / entry))
            fs::create_symlink(installation / entry, root / entry);
    const std::string security = (root / "security3.fdb").string();
    std::ofstream(root / "firebird.conf") << "RemoteServicePort = " << port_ << "\n"
                                          << "RemoteBindAddress = localhost\n"
                                          << "SecurityDatabase = " << security << "\n";
    std::ofstream(root / "databases.conf") << "security.db = " << security << "\n";

    const std::string environment =
        "FIREBIRD='" + root_ + "' FIREBIRD_LOCK='" + (root / "lock").string() + "'";
    FirebirdTestDatabase::RunIsql(root_,
                                  "CREATE DATABASE " + SqlText(security) +
                                      " USER 'SYSDBA';\n"
                                      "CREATE USER SYSDBA PASSWORD " +
                                      SqlText(kTestPassword) +
                                      ";\n"
                                      "COMMIT;\n",
                                  environment);

    const std::string output = (root / "server.out").string();
    // posix_spawn rather than fork: the client library may have started threads already.
    std::vector<std::string> settings = {"FIREBIRD=" + root_,
                                         "FIREBIRD_LOCK=" + (root / "lock").string()};
    std::vector<char*> environmentList;
    for (std::string& setting : settings) environmentList.push_back(setting.data());
    for (char** entry = environ; *entry; ++entry)
        if (std::string_view(*entry).rfind("FIREBIRD", 0) != 0) environmentList.push_back(*entry);
    environmentList.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    char program[] = "/usr/sbin/firebird";
    char* arguments[] = {program, nullptr};
    const int spawned =
        posix_spawn(&pid_, program, &actions, nullptr, arguments, environmentList.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        pid_ = -1;
        throw std::runtime_error("cannot start the Firebird server");
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!Listening(port_)) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error("the Firebird server ended at start: " + ReadAll(output));
        }
        if (std::chrono::steady_clock::now() > deadline) {
            Kill();
            throw std::runtime_error("the Firebird server does not listen: " + ReadAll(output));
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
