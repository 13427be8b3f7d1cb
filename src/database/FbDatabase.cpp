#include "database/FbDatabase.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <optional>

#include "database/Errors.h"
#include "database/FbQuery.h"
#include "database/FbTransaction.h"
#include "database/StatusVector.h"
#include "platform/TextEncoding.h"

namespace {

constexpr short kInfoBufferSize = 512;
constexpr const char* kConnectTimeout = "connect_timeout";
// A connect that failed this close to its time-out ended by it.
constexpr std::chrono::milliseconds kTimeOutMargin(500);

// What a call that the server left unanswered for `seconds` ends with, after the client's text.
std::string NoAnswerText(std::uint32_t seconds) {
    return "\r\no servidor não respondeu em " + std::to_string(seconds) + " s";
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The number a "name=value" line gives; nullopt when the value is no number.
std::optional<std::uint32_t> Number(const std::string& text) {
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return number;
}

// A number item's value: four bytes, least significant first.
std::string NumberValue(const std::string& name, const std::string& text) {
    const std::optional<std::uint32_t> parsed = Number(text);
    if (!parsed) throw DatabaseClientError("Invalid database parameter: " + name + "=" + text);
    const std::uint32_t number = *parsed;
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((number >> (8 * i)) & 0xFF);
    return bytes;
}

}  // namespace

std::string DatabaseParameterBlock(const std::vector<std::string>& params) {
    std::string block(1, static_cast<char>(isc_dpb_version1));
    for (const std::string& line : params) {
        const auto equals = line.find('=');
        const std::string name = Lower(line.substr(0, equals));
        std::string value = equals == std::string::npos ? "" : line.substr(equals + 1);
        char item;
        if (name == "user_name") {
            item = isc_dpb_user_name;
        } else if (name == "password") {
            item = isc_dpb_password;
        } else if (name == "lc_ctype") {
            item = isc_dpb_lc_ctype;
        } else if (name == kConnectTimeout) {
            item = isc_dpb_connect_timeout;
            value = NumberValue(name, value);
        } else {
            throw DatabaseClientError("Unknown database parameter: " + name);
        }
        if (value.size() > 255) throw DatabaseClientError("Database parameter too long: " + name);
        block += item;
        block += static_cast<char>(value.size());
        block += value;
    }
    return block;
}

FbDatabase::FbDatabase(const ClientLibrary& client) : client_(client), watch_(client) {}

FbDatabase::~FbDatabase() {
    try {
        SetConnected(false);
    } catch (...) {
        ForceClose();
    }
    // Copies: each of them leaves the list as it lets go.
    for (FbTransaction* transaction : std::vector(transactions_))
        transaction->SetDefaultDatabase(nullptr);
    for (FbQuery* query : std::vector(queries_)) query->SetDatabase(nullptr);
}

void FbDatabase::SetDatabaseName(const std::string& name) {
    if (name == databaseName_) return;
    if (Connected()) throw DatabaseClientError("Cannot perform operation -- DB is currently open");
    databaseName_ = name;
}

void FbDatabase::SetParams(std::vector<std::string> params) {
    params_ = std::move(params);
    parameterBlockBuilt_ = false;
    connectTimeout_.reset();
    for (const std::string& line : params_) {
        const auto equals = line.find('=');
        if (equals == std::string::npos || Lower(line.substr(0, equals)) != kConnectTimeout)
            continue;
        connectTimeout_ = Number(line.substr(equals + 1));
        break;
    }
}

void FbDatabase::SetConnected(bool connected) {
    if (connected == Connected()) return;
    if (connected)
        Connect();
    else
        Disconnect();
}

const std::string& FbDatabase::ParameterBlock() {
    if (parameterBlockBuilt_) return parameterBlock_;
    parameterBlock_ = DatabaseParameterBlock(params_);
    parameterBlockBuilt_ = true;
    return parameterBlock_;
}

void FbDatabase::Connect() {
    if (databaseName_.empty()) throw DatabaseClientError("Database name is missing");
    const std::string& block = ParameterBlock();
    // The client takes the file name in the system's character set, and settles which one that
    // is the first time it converts a name: it must be the program's own.
    platform::UseProgramEncodingForSystemTexts();
    ISC_STATUS* status = ThreadStatus();
    const auto started = std::chrono::steady_clock::now();
    if (client_.isc_attach_database(status, static_cast<short>(databaseName_.size()),
                                    databaseName_.c_str(), &handle_,
                                    static_cast<short>(block.size()), block.data())) {
        handle_ = 0;
        StatusReport report = ReadStatus(client_, status);
        // The client gives up on a server that does not answer once the connect time-out has
        // passed, with a text that does not say so ("connection rejected by remote interface").
        if (connectTimeout_ && std::chrono::steady_clock::now() - started >=
                                   std::chrono::seconds(*connectTimeout_) - kTimeOutMargin)
            report.message += NoAnswerText(*connectTimeout_);
        ::Raise(std::move(report));
    }
    watch_.NewConnection();
    AskDialect();
}

CallWatch::Watched FbDatabase::WatchCalls() {
    std::optional<std::chrono::seconds> limit;
    if (connectTimeout_) limit = std::chrono::seconds(*connectTimeout_);
    return CallWatch::Watched(watch_, handle_, limit);
}

void FbDatabase::Raise(StatusReport report) const {
    if (connectTimeout_ && watch_.CutOff()) report.message += NoAnswerText(*connectTimeout_);
    ::Raise(std::move(report));
}

void FbDatabase::AskDialect() {
    const auto watched = WatchCalls();
    const char item = isc_info_db_sql_dialect;
    char answer[kInfoBufferSize] = {};
    ISC_STATUS* status = ThreadStatus();
    if (client_.isc_database_info(status, &handle_, 1, &item, kInfoBufferSize, answer))
        RaiseCheckingConnection(status);
    if (answer[0] != isc_info_db_sql_dialect) {
        dbSqlDialect_ = 1;
    } else {
        const auto length = static_cast<short>(client_.isc_vax_integer(answer + 1, 2));
        dbSqlDialect_ = static_cast<int>(client_.isc_vax_integer(answer + 3, length));
    }
    // The link never speaks a newer dialect than the database; it never raises its own.
    if (dbSqlDialect_ < sqlDialect_) sqlDialect_ = dbSqlDialect_;
}

void FbDatabase::CheckConnection() { AskDialect(); }

void FbDatabase::Disconnect() {
    const auto watched = WatchCalls();
    for (FbQuery* query : queries_) {
        query->Close();
        query->FreeStatement();
    }
    for (FbTransaction* transaction : transactions_) transaction->EndForced();
    ISC_STATUS* status = ThreadStatus();
    if (client_.isc_detach_database(status, &handle_)) Raise(ReadStatus(client_, status));
    handle_ = 0;
    dbSqlDialect_ = 1;
}

void FbDatabase::ForceClose() {
    const auto watched = WatchCalls();
    for (FbQuery* query : queries_) query->ReleaseQuietly();
    for (FbTransaction* transaction : transactions_) transaction->EndForced();
    if (handle_) client_.isc_detach_database(ThreadStatus(), &handle_);
    handle_ = 0;
    dbSqlDialect_ = 1;
}

void FbDatabase::RaiseCheckingConnection(const ISC_STATUS* status) {
    StatusReport report = ReadStatus(client_, status);
    if (LostConnection(status)) ForceClose();
    Raise(std::move(report));
}

void FbDatabase::Attach(FbTransaction* transaction) { transactions_.push_back(transaction); }

void FbDatabase::Detach(FbTransaction* transaction) { std::erase(transactions_, transaction); }

void FbDatabase::Attach(FbQuery* query) { queries_.push_back(query); }

void FbDatabase::Detach(FbQuery* query) { std::erase(queries_, query); }
