#pragma once
// The settings file and the daily schedule: the part of the main window that reads and writes
// "Duplora.ini" and starts the daily run. The window owns one, implements its SettingsView and
// calls the handlers below from its events.
//
// The file holds, in the order they are read:
//   [BANCO]    CAMINHO        DatabasePath, for DB_Tavix (empty when missing)
//   [SERVIDOR] NOME           ServerName
//              PASTA_SISTEMA  SystemFolder, "\" appended when missing; empty stays empty
//   [CONFIG]   diario         chkDiario, checked exactly for "S"; written "S" or "N"
//              horario        the time field's text; written as the field returns it
// Only the two CONFIG keys are ever written.

#include <optional>
#include <string>

#include "Clock.h"
#include "SettingsView.h"

class Settings {
public:
    static constexpr const char* kFileName = "Duplora.ini";
    // "Duplora.ini" in the folder of the running executable.
    static std::string DefaultFileName();

    Settings(SettingsView& view, const Clock& clock, std::string fileName = DefaultFileName());

    const std::string& FileName() const { return fileName_; }

    // Reads the settings file, when there is one, into the window and applies the schedule.
    // Without a file nothing is read and nothing changes. A file that is there but cannot be
    // read (a folder in its place, no permission) changes nothing either, and throws
    // SettingsReadError, which names the file and the system's reason.
    void LoadSettings();
    // Writes "diario" and then "horario" of section CONFIG, both every time. Throws
    // SettingsWriteError ("Unable to write to <file>") when the system refuses a write; the
    // first key may then be written already.
    void SaveSettings();
    // The window's close handler: saves the settings. A SettingsWriteError passes through, so
    // that the window abandons the close and stays open.
    void FormClose();

    // chkDiario's click handler, fired by every change of the box and called by LoadSettings:
    // the time field is enabled and the daily timer on exactly while the box is checked.
    void chkDiarioClick();
    // The daily timer's tick: when the clock's "hh:mm" equals the time field's text and the
    // start button is enabled, starts the run as a click on the button would. A field whose
    // hour tens is empty (" 7:30") counts as the time with a leading zero (07:30).
    void TmrExecutaDiarioTimer();
    // The time field's exit handler, run after the field's own check has passed. An empty field
    // or a time that converts is saved; any other text shows "A hora informada não é válida.",
    // gives the focus back to the field and throws SilentAbort, saving nothing.
    void edtHorarioExit();

    // The connection's database path from the file; nothing while no file has been read, and
    // the connection keeps its built-in path.
    std::optional<std::string> DatabasePath;
    std::string ServerName;    // empty until a settings file has been read
    std::string SystemFolder;  // empty, or a server path ending in "\"

private:
    SettingsView& view_;
    const Clock& clock_;
    std::string fileName_;
};
