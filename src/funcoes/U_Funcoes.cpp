#include "funcoes/U_Funcoes.h"

#include <string_view>
#include <utility>

#include "platform/Process.h"
#include "platform/SystemError.h"

namespace {

// What a copy could not be given, before the system's reason.
constexpr std::string_view kTimeNotSet = "a cópia não recebeu a data do servidor e não foi usada: ";
constexpr std::string_view kPermissionsNotSet = "a cópia não recebeu as permissões do servidor: ";
constexpr std::string_view kAttributesNotSet = "a cópia não recebeu os atributos do servidor: ";

std::string_view Before(platform::CopyOutcome::Shortfall shortfall) {
    using Shortfall = platform::CopyOutcome::Shortfall;
    switch (shortfall) {
        case Shortfall::kTime:
            return kTimeNotSet;
        case Shortfall::kPermissions:
            return kPermissionsNotSet;
        case Shortfall::kAttributes:
            return kAttributesNotSet;
        default:
            return {};
    }
}

// A path's folder (with its final separator; "." for a bare name) and its name.
std::pair<std::string, std::string> FolderAndName(const std::string& path) {
    const std::size_t nameStart = path.find_last_of("\\/:") + 1;  // npos + 1 is 0
    return {nameStart ? path.substr(0, nameStart) : std::string("."), path.substr(nameStart)};
}

}  // namespace

CopyResult CopyFileInto(const platform::Folder& source, const std::string& name,
                        const platform::Folder& destination, const std::string& destinationName,
                        platform::CopyRoute route) {
    platform::CopyOutcome outcome =
        platform::CopyIntoFolder(source, name, destination, destinationName, route);
    CopyResult result;
    result.copied = outcome.copied;
    result.sourceGone = outcome.shortfall == platform::CopyOutcome::Shortfall::kSourceGone;
    if (outcome.shortfall != platform::CopyOutcome::Shortfall::kNone)
        result.failure = std::string(Before(outcome.shortfall)) + outcome.reason;
    return result;
}

CopyResult CopyFileKeepingDate(const std::string& source, const std::string& destination) {
    if (source == destination)
        return {false, platform::ErrorText(platform::SystemError::kSharingViolation)};
    const auto [sourceFolder, sourceName] = FolderAndName(source);
    const auto [destinationFolder, destinationName] = FolderAndName(destination);
    return CopyFileInto(platform::Folder(sourceFolder), sourceName,
                        platform::Folder(destinationFolder), destinationName,
                        platform::CopyRoute::kReplacing);
}

std::optional<int> RunAndWait(const std::string& fileName, const std::string& parameters,
                              std::uint16_t showWindow) {
    // The file name is written between double quotes: one inside it would end it early and
    // start whatever its first part names.
    if (fileName.find('"') != std::string::npos) {
        platform::SetLastErrorCode(platform::SystemError::kInvalidName);
        return std::nullopt;
    }
    const std::string commandLine = "\"" + fileName + "\"" + parameters;
    const std::size_t separator = fileName.find_last_of("\\/:");
    const std::string workingFolder =
        separator == std::string::npos ? std::string() : fileName.substr(0, separator + 1);
    return platform::RunProcessAndWait(commandLine, workingFolder, showWindow);
}
