#include "U_Funcoes.h"

#include "platform/Platform.h"

namespace {

constexpr std::uint32_t kChunkSize = 2048;

// Gives the open destination the source's last-write time, reduced to the MS-DOS form so that
// the folder mirror's comparison, which reads times in that form, finds the two equal.
void StampWithSourceTime(platform::FileHandle source, platform::FileHandle destination) {
    platform::FileTime time;
    if (!platform::LastWriteTime(source, time)) return;
    const auto dos = platform::ToDosDateTime(time);
    if (!dos) return;
    if (const auto stamped = platform::FromDosDateTime(*dos))
        platform::StampLastWriteTime(destination, *stamped);
}

}  // namespace

bool CopyFileKeepingDate(const std::string& source, const std::string& destination) {
    if (source == destination) return false;
    const platform::FileHandle in = platform::OpenForReading(source);
    if (in == platform::kInvalidFile) return false;
    std::uint64_t remaining = 0;
    platform::FileSize(in, remaining);
    const platform::FileHandle out = platform::CreateForWriting(destination);
    if (out == platform::kInvalidFile) {
        platform::CloseFile(in);
        return false;
    }

    char buffer[kChunkSize];
    bool complete = true;
    while (remaining > 0) {
        std::uint32_t read = 0;
        std::uint32_t written = 0;
        if (!platform::ReadChunk(in, buffer, kChunkSize, read) || read == 0 ||
            !platform::WriteChunk(out, buffer, read, written) || written != read) {
            complete = false;
            break;
        }
        remaining -= read < remaining ? read : remaining;
    }
    if (!complete) {
        platform::CloseFile(out);
        platform::RemoveFile(destination);
        platform::CloseFile(in);
        return false;
    }

    StampWithSourceTime(in, out);
    platform::CloseFile(out);
    if (const std::uint32_t attributes = platform::GetAttributes(source);
        attributes != platform::kInvalidAttributes)
        platform::SetAttributes(destination, attributes);
    platform::CloseFile(in);
    return true;
}

bool RunAndWait(const std::string& fileName, const std::string& parameters,
                std::uint16_t showWindow) {
    const std::string commandLine = "\"" + fileName + "\"" + parameters;
    const std::size_t separator = fileName.find_last_of("\\/:");
    const std::string workingFolder =
        separator == std::string::npos ? std::string() : fileName.substr(0, separator + 1);
    return platform::RunProcessAndWait(commandLine, workingFolder, showWindow);
}
