#include "winebridge/FreezingRelay.h"

#include <ws2tcpip.h>

#include <stdexcept>

namespace {

std::runtime_error WinsockError(const std::string& what) {
    return std::runtime_error(what + ": Winsock error " + std::to_string(WSAGetLastError()));
}

sockaddr_in Address(const std::string& host, int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    inet_pton(AF_INET, host.c_str(), &address.sin_addr);
    return address;
}

// Passes what `from` has on to `to`; false when `from` closed or failed.
bool PassOn(SOCKET from, SOCKET to) {
    char buffer[16384];
    const int read = recv(from, buffer, sizeof buffer, 0);
    if (read <= 0) return false;
    for (int sent = 0; sent < read;) {
        const int now = send(to, buffer + sent, read - sent, 0);
        if (now <= 0) return false;
        sent += now;
    }
    return true;
}

}  // namespace

FreezingRelay::FreezingRelay(const std::string& host, int port) : host_(host), serverPort_(port) {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw WinsockError("WSAStartup");
    listening_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = Address("127.0.0.1", 0);
    int length = sizeof address;
    if (listening_ == INVALID_SOCKET ||
        bind(listening_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listening_, 1) != 0 ||
        getsockname(listening_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw WinsockError("the relay's listening socket");
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Relay(); });
}

FreezingRelay::~FreezingRelay() {
    stopping_ = true;
    closesocket(listening_);
    thread_.join();
    WSACleanup();
}

void FreezingRelay::Relay() {
    const SOCKET client = accept(listening_, nullptr, nullptr);
    if (client == INVALID_SOCKET) return;
    const SOCKET server = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    const sockaddr_in address = Address(host_, serverPort_);
    if (server != INVALID_SOCKET &&
        connect(server, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        while (!stopping_) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(client, &readable);
            FD_SET(server, &readable);
            timeval tenth{0, 100000};
            if (select(0, &readable, nullptr, nullptr, &tenth) < 0) break;
            if (frozen_ && std::chrono::steady_clock::now() < thawAt_) continue;  // answer nothing
            if (FD_ISSET(client, &readable) && !PassOn(client, server)) break;
            if (FD_ISSET(server, &readable) && !PassOn(server, client)) break;
        }
    }
    while (!stopping_) Sleep(100);  // frozen or not, the client's connection stays open
    closesocket(server);
    closesocket(client);
}
