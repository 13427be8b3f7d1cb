#pragma once
// A backup world (support/BackupWorld.h), the window's logic over it with a recording window,
// and its settings file bin/Duplora.ini beside the program: with the world's database and
// system folder and `config` (its [CONFIG] section), or no file at all; and `log`, the
// Duplora.log the program finds beside it, when given. The program starts on 2026-03-02 at 06:00.

#include <algorithm>
#include <optional>
#include <string>

#include "mainform/MainForm.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "support/BackupWorld.h"
#include "support/FixedClock.h"
#include "support/RecordingWindow.h"

struct FormWorld : BackupWorld {
    explicit FormWorld(
        const std::optional<std::string>& config = "[CONFIG]\r\ndiario=S\r\nhorario=07:30\r\n",
        const std::optional<std::string>& log = std::nullopt) {
        folder.MakeFolder("bin");
        if (log) folder.Write("bin/Duplora.log", *log);
        clock.SetLocal(2026, 3, 2, 6, 0, 0);
        if (config)
            folder.Write("bin/Duplora.ini", "[BANCO]\r\nCAMINHO=" + db->EmbeddedName() +
                                                "\r\n[SERVIDOR]\r\nPASTA_SISTEMA=" + kSystemFolder +
                                                "\r\n" + *config);
        window.form = &form;
        form.FormCreate();
    }
    // A [CONFIG] value of the settings file.
    std::string Ini(const std::string& key) const {
        return platform::ReadProfileText("CONFIG", key, "(missing)", IniFile());
    }
    std::string IniFile() const { return folder.Path("bin/Duplora.ini"); }
    std::string Log() const {
        return folder.Exists("bin/Duplora.log") ? folder.Read("bin/Duplora.log") : std::string();
    }
    void MakeIniReadOnly() const { platform::SetAttributes(IniFile(), platform::kAttrReadOnly); }
    // The runs started so far: each shows the busy icon once.
    long Runs() const {
        return std::count(window.trayIcons.begin(), window.trayIcons.end(), Picture::IconBusy);
    }

    FixedClock clock;
    RecordingWindow window;
    MainForm form{window, clock, folder.Path("bin/Duplora.ini")};
};
