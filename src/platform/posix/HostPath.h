#pragma once
// POSIX only: Windows path texts resolved to host paths, the way Wine resolves them
// (docs/platform-on-posix.md).

#include <optional>
#include <string>

namespace platform {

// Where drive letters and UNC shares live (Wine's dosdevices folder).
// Defaults to $WINEPREFIX/dosdevices, else $HOME/.wine/dosdevices.
void SetDosDevicesRoot(const std::string& hostFolder);
std::string DosDevicesRoot();
// The host path a Windows path text names; nullopt when it names no drive. "." and ".." are
// read as Windows reads them, never above the drive root or the share.
std::optional<std::string> HostPath(const std::string& windowsPath);

}  // namespace platform
