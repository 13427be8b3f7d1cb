#include "BackupWorld.h"

#include "platform/posix/HostPath.h"

BackupWorld::BackupWorld() {
    platform::SetDosDevicesRoot(folder.Path("dosdevices"));
    folder.Write("dosdevices/unc/srv01/c/Tavix/Sonvira/player.ini", "player", kSourceTime);
    folder.Write("dosdevices/unc/srv01/c/Tavix/.hidden-file", "hidden", kSourceTime);
    folder.Write("dosdevices/unc/srv01/c/Tavix/.hidden-folder/x", "x", kSourceTime);
    folder.Write("dosdevices/unc/srv01/d/Musicas/Rock/a.mp3", std::string(4096, 'a'), kSourceTime);
    folder.Write("dosdevices/unc/srv01/d/Musicas/Pop/b.mp3", std::string(2048, 'b'), kSourceTime);
    folder.MakeFolder("dosdevices/c:");
    folder.MakeFolder("dosdevices/d:");
    folder.Write("current/Duplora.bat", "echo ran > batch-ran.txt\n");
    previousDirectory_ = std::filesystem::current_path();
    std::filesystem::current_path(folder.Host("current"));
    BackupWorld::MakeDatabase("VARCHAR(255)",
                              {"\\\\SRV01\\D\\Musicas\\Rock\\", "\\\\SRV01\\D\\Musicas\\Pop"});
}

BackupWorld::~BackupWorld() {
    std::filesystem::current_path(previousDirectory_);
    platform::SetDosDevicesRoot("");
}

void BackupWorld::MakeDatabase(const std::string& columnType,
                               const FirebirdTestDatabase::Rows& rows) {
    db.reset();
    std::filesystem::remove(folder.Host("TAVIXAUDIO.FDB"));
    db.emplace(folder, columnType, rows);
}
