#pragma once
// A small world for whole backup runs, on real folders under one dosdevices root:
//   \\SRV01\C\Tavix\   the system folder: Sonvira\player.ini, a hidden file, a hidden folder
//   \\SRV01\D\Musicas\ Rock\a.mp3 and Pop\b.mp3, listed in Tb_Pastas as
//                      \\SRV01\D\Musicas\Rock\ and \\SRV01\D\Musicas\Pop (no final "\")
//   C:, D:             the local drives, empty
//   current\Duplora.bat the batch file, which writes batch-ran.txt; the process's current
//                      folder while the world lives
// and an embedded Firebird database TAVIXAUDIO.FDB with that Tb_Pastas.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "support/FirebirdTestDatabase.h"
#include "support/TestFolder.h"

class BackupWorld {
public:
    static constexpr const char* kSystemFolder = "\\\\SRV01\\C\\Tavix\\";
    static inline const auto kSourceTime = LocalTime(2025, 6, 1, 10, 0, 0);

    BackupWorld();
    virtual ~BackupWorld();

    // Makes the database anew with Tb_Pastas of `columnType` holding `rows` (no table when
    // `columnType` is empty).
    virtual void MakeDatabase(const std::string& columnType,
                              const FirebirdTestDatabase::Rows& rows);
    // Whether `local` (a path below the dosdevices root, e.g. "d:/Musicas/b.mp3") exists.
    bool Copied(const std::string& local) const { return folder.Exists("dosdevices/" + local); }

    TestFolder folder;
    std::optional<FirebirdTestDatabase> db;

private:
    std::filesystem::path previousDirectory_;
};
