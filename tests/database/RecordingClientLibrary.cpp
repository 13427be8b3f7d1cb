#include "database/RecordingClientLibrary.h"

#include <cstdio>
#include <stdexcept>
#include <tuple>
#include <type_traits>

namespace {

const ClientLibrary* real = nullptr;
std::vector<RecordedCall> calls;

std::string Hex(const char* bytes, std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned char>(bytes[i]));
        text += pair;
    }
    return text;
}

// The start vector's entry, as the link lays it out.
struct StartVectorEntry {
    isc_db_handle* database;
    int parameterBlockLength;
    const char* parameterBlock;
};

template <auto A, auto B>
constexpr bool Same() {
    if constexpr (std::is_same_v<decltype(A), decltype(B)>)
        return A == B;
    else
        return false;
}

template <auto Member>
std::string& NameOf() {
    static std::string name;
    return name;
}

template <auto Member, typename Function>
struct Forward;

template <auto Member, typename Result, typename... Arguments>
struct Forward<Member, Result (*)(Arguments...)> {
    static Result Call(Arguments... arguments) {
        std::string entry = NameOf<Member>();
        const auto all = std::tie(arguments...);
        if constexpr (Same<Member, &ClientLibrary::isc_attach_database>())
            entry += ":" + Hex(std::get<5>(all), static_cast<std::size_t>(std::get<4>(all)));
        if constexpr (Same<Member, &ClientLibrary::isc_start_multiple>()) {
            const auto* vector = static_cast<const StartVectorEntry*>(std::get<3>(all));
            entry += ":" + Hex(vector->parameterBlock,
                               static_cast<std::size_t>(vector->parameterBlockLength));
        }
        if constexpr (Same<Member, &ClientLibrary::isc_dsql_free_statement>())
            entry += std::get<2>(all) == DSQL_close  ? ":DSQL_close"
                     : std::get<2>(all) == DSQL_drop ? ":DSQL_drop"
                                                     : ":other";
        RecordedCall call{std::move(entry)};
        if constexpr (Same<Member, &ClientLibrary::isc_dsql_prepare>()) call.sql = std::get<4>(all);
        const Result result = (real->*Member)(arguments...);
        if constexpr (std::is_same_v<Result, ISC_STATUS>) call.result = result;
        calls.push_back(std::move(call));
        return result;
    }
};

}  // namespace

RecordingClientLibrary::RecordingClientLibrary() : library_(ClientLibrary::Process()) {
    if (real) throw std::logic_error("one RecordingClientLibrary at a time");
    real = &ClientLibrary::Process();
    calls.clear();
#define WRAP(name)                          \
    NameOf<&ClientLibrary::name>() = #name; \
    library_.name = &Forward<&ClientLibrary::name, decltype(library_.name)>::Call;
    WRAP(isc_attach_database)
    WRAP(isc_database_info)
    WRAP(isc_start_multiple)
    WRAP(isc_dsql_alloc_statement2)
    WRAP(isc_dsql_prepare)
    WRAP(isc_dsql_sql_info)
    WRAP(isc_dsql_describe)
    WRAP(isc_dsql_execute2)
    WRAP(isc_dsql_set_cursor_name)
    WRAP(isc_dsql_fetch)
    WRAP(isc_dsql_free_statement)
    WRAP(isc_commit_transaction)
    WRAP(isc_rollback_transaction)
    WRAP(isc_detach_database)
#undef WRAP
}

RecordingClientLibrary::~RecordingClientLibrary() { real = nullptr; }

std::vector<std::string> RecordingClientLibrary::Calls() const {
    std::vector<std::string> texts;
    for (const RecordedCall& call : calls) texts.push_back(call.entry);
    return texts;
}

const std::vector<RecordedCall>& RecordingClientLibrary::Records() const { return calls; }

std::vector<std::string> RecordingClientLibrary::Names() const {
    std::vector<std::string> names;
    for (const std::string& call : Calls()) {
        const auto colon = call.find(':');
        names.push_back(
            call.substr(0, call.find("isc_dsql_free_statement") == 0 ? call.size() : colon));
    }
    return names;
}

void RecordingClientLibrary::Clear() { calls.clear(); }
