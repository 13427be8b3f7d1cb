#include "HttpTestServer.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

std::string Lowered(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t at = 0; at + 1 < hex.size(); at += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(at, 2), nullptr, 16));
    return bytes;
}

std::string After(const std::string& line, const std::string& word) {
    return line.size() > word.size() ? line.substr(word.size() + 1) : std::string();
}

}  // namespace

std::string RecordedRequest::Header(const std::string& name) const {
    for (const auto& [key, value] : headers)
        if (Lowered(key) == Lowered(name)) return value;
    return std::string();
}

HttpTestServer::HttpTestServer() {
    const char* server = std::getenv("DUPLORA_HTTP_SERVER");
    const char* folder = std::getenv("DUPLORA_HTTP_FOLDER");
    if (!server || !folder) {
        whyNot_ =
            "the tests' HTTP server is started by ctest (fixture HttpServer): run this test "
            "through ctest";
        return;
    }
    const std::string address = server;
    const std::size_t colon = address.rfind(':');
    if (address.substr(0, colon) != "127.0.0.1" || colon == std::string::npos) {
        whyNot_ = "DUPLORA_HTTP_SERVER is not 127.0.0.1:<port>: " + address;
        return;
    }
    port_ = std::atoi(address.c_str() + colon + 1);
    folder_ = folder;
}

std::string HttpTestServer::Url(const std::string& scheme, int port,
                                const std::string& target) const {
    return scheme + "://127.0.0.1:" + std::to_string(port) + target;
}

std::string HttpTestServer::File(const std::string& name) const {
#ifdef _WIN32
    std::string path = "Z:" + folder_ + "/" + name;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
#else
    return folder_ + "/" + name;
#endif
}

std::string HttpTestServer::CaPemFile() const { return File("certs/test-ca.pem"); }
std::string HttpTestServer::CaDerFile() const { return File("certs/test-ca.der"); }

HttpTestServer::Record HttpTestServer::Read() const {
    Record record;
    std::ifstream log(File("requests.log"), std::ios::binary);
    RecordedRequest request;
    bool inRequest = false;
    for (std::string line; std::getline(log, line);) {
        if (log.eof()) break;  // a line the server is still writing
        if (line.rfind("request ", 0) == 0) {
            request = RecordedRequest();
            request.port = std::atoi(After(line, "request").c_str());
            inRequest = true;
        } else if (inRequest && line.rfind("method ", 0) == 0) {
            request.method = After(line, "method");
        } else if (inRequest && line.rfind("target ", 0) == 0) {
            request.target = FromHex(After(line, "target"));
        } else if (inRequest && line.rfind("header ", 0) == 0) {
            const std::string header = After(line, "header");
            const std::size_t colon = header.find(": ");
            request.headers.emplace_back(header.substr(0, colon), colon == std::string::npos
                                                                      ? ""
                                                                      : header.substr(colon + 2));
        } else if (inRequest && line.rfind("body", 0) == 0) {
            request.body = FromHex(After(line, "body"));
        } else if (inRequest && line == "end") {
            record.order.emplace_back(true, record.requests.size());
            record.requests.push_back(request);
            inRequest = false;
        } else if (line.rfind("connection ", 0) == 0) {
            // A request block is only complete at its "end": a connection line never cuts one.
            std::istringstream words(After(line, "connection"));
            RecordedConnection connection;
            words >> connection.port >> connection.requests >> std::ws;
            std::getline(words, connection.outcome);
            record.order.emplace_back(false, record.connections.size());
            record.connections.push_back(connection);
        }
    }
    return record;
}

std::size_t HttpTestServer::Mark() const { return Read().order.size(); }

std::vector<RecordedRequest> HttpTestServer::RequestsSince(std::size_t mark) const {
    const Record record = Read();
    std::vector<RecordedRequest> requests;
    for (std::size_t at = mark; at < record.order.size(); ++at)
        if (record.order[at].first) requests.push_back(record.requests[record.order[at].second]);
    return requests;
}

std::vector<RecordedConnection> HttpTestServer::ConnectionsSince(std::size_t mark) const {
    const Record record = Read();
    std::vector<RecordedConnection> connections;
    for (std::size_t at = mark; at < record.order.size(); ++at)
        if (!record.order[at].first)
            connections.push_back(record.connections[record.order[at].second]);
    return connections;
}

std::vector<RecordedConnection> HttpTestServer::WaitForConnectionsSince(
    std::size_t mark, std::chrono::milliseconds limit) const {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::vector<RecordedConnection> connections = ConnectionsSince(mark);
    while (connections.empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        connections = ConnectionsSince(mark);
    }
    return connections;
}
