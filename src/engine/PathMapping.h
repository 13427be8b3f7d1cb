#pragma once
// Server paths (\\SERVER\C\folder\...) mapped to the same drive and folder on this machine,
// from the text alone: no file system is touched, the server name is skipped, letter case kept.
// An administrative share (D$) is the drive of its letter in both rules.

#include <stdexcept>
#include <string>

// The system folder setting names no folder after the server name, or a share that is no drive.
struct MappingError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The system folder: the share, one letter, becomes the drive letter. \\SRV01\C\Tavix\ and
// \\SRV01\C$\Tavix\ give C:\Tavix\. Throws MappingError when nothing follows the server name,
// or the share is neither one letter nor an administrative share (\\SRV01\Dados\Tavix\): no
// local folder corresponds to it.
std::string MapServerFolder(const std::string& path);

// A music folder: the whole share name becomes the drive, and the result is cut back to its
// last backslash. \\SRV01\D\Musicas\Rock gives D:\Musicas\.
std::string MapMusicFolder(const std::string& path);
