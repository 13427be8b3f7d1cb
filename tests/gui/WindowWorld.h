#pragma once
// A backup world (support/BackupWorld.h) whose Duplora.ini, beside the program in bin/, points at
// its database and system folder, for the tests of the real window.

#include <string>

#include "platform/Profile.h"
#include "support/BackupWorld.h"

struct WindowWorld : BackupWorld {
    explicit WindowWorld(const std::string& config = "[CONFIG]\r\ndiario=N\r\nhorario=  :  \r\n") {
        folder.Write("bin/Duplora.ini", "[BANCO]\r\nCAMINHO=" + db->EmbeddedName() +
                                            "\r\n[SERVIDOR]\r\nNOME=SRV01\r\nPASTA_SISTEMA=" +
                                            kSystemFolder + "\r\n" + config);
    }
    std::string IniFile() const { return folder.Path("bin/Duplora.ini"); }
    std::string Ini(const std::string& section, const std::string& key) const {
        return platform::ReadProfileText(section, key, "(missing)", IniFile());
    }
};
