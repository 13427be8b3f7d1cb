#include "database/StatusVector.h"

#include <string>
#include <vector>

#include "database/ClientLibrary.h"
#include "database/Errors.h"

namespace {

constexpr std::size_t kMessageBufferSize = 20480;

}  // namespace

ISC_STATUS* ThreadStatus() {
    thread_local ISC_STATUS_ARRAY status{};
    return status;
}

ISC_STATUS FirstErrorCode(const ISC_STATUS* status) {
    return status[0] == isc_arg_gds ? status[1] : 0;
}

bool StatusHolds(const ISC_STATUS* status, ISC_STATUS code) {
    // Clusters: a tag, then one argument, or two for a counted string.
    for (int i = 0; i < ISC_STATUS_LENGTH - 1 && status[i] != isc_arg_end;) {
        const ISC_STATUS tag = status[i];
        if ((tag == isc_arg_gds || tag == isc_arg_warning) && status[i + 1] == code) return true;
        i += tag == isc_arg_cstring ? 3 : 2;
    }
    return false;
}

bool LostConnection(const ISC_STATUS* status) {
    for (ISC_STATUS code : {isc_lost_db_connection, isc_network_error, isc_net_read_err,
                            isc_net_write_err, isc_att_shutdown})
        if (StatusHolds(status, code)) return true;
    return false;
}

std::string StatusMessage(const ClientLibrary& client, const ISC_STATUS* status) {
    // isc_interprete steps through the vector it is given; it never writes to the vector itself.
    ISC_STATUS* cursor = const_cast<ISC_STATUS*>(status);
    std::vector<char> buffer(kMessageBufferSize);
    std::string message;
    while (client.isc_interprete(buffer.data(), &cursor) > 0) {
        if (!message.empty() && message.back() != '\n') message += "\r\n";
        message += buffer.data();
    }
    if (!message.empty() && message.back() == '.') message.pop_back();
    return message;
}

StatusReport ReadStatus(const ClientLibrary& client, const ISC_STATUS* status) {
    StatusReport report;
    report.sqlCode = static_cast<long>(client.isc_sqlcode(status));
    report.errorCode = static_cast<long>(FirstErrorCode(status));
    report.message = StatusMessage(client, status);
    return report;
}

void Raise(StatusReport report) {
    if (report.sqlCode == -551)
        throw DatabasePermissionError(std::move(report.message), report.sqlCode, report.errorCode);
    throw DatabaseError(std::move(report.message), report.sqlCode, report.errorCode);
}

void RaiseDatabaseError(const ClientLibrary& client, const ISC_STATUS* status) {
    Raise(ReadStatus(client, status));
}
