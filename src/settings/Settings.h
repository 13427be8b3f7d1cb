#pragma once
// The settings file "Duplora.ini" beside the executable: its values, read at start-up and the
// schedule written back. It holds, in the order they are read:
//   [BANCO]    CAMINHO        DatabasePath, for DB_Tavix (empty when missing)
//   [SERVIDOR] NOME           ServerName
//              PASTA_SISTEMA  SystemFolder, "\" appended when missing; empty stays empty
//   [CONFIG]   diario         Daily, exactly for "S"; written "S" or "N"
//              horario        Time, the time field's text; written as the field gives it
//   [AVISO]    URL_SUCESSO    Notice.successUrl, optional
//              URL_FALHA      Notice.failureUrl, optional
//              CORPO          Notice.body, optional
// Only the two CONFIG keys are ever written. What the window does with them is its logic's
// (MainForm); the notices are the notification channel's.

#include <optional>
#include <string>

// Where every run is told of, besides the standby machine: a URL called after a run that completed
// without failures, one called after a run that was interrupted or counted failures (each may be
// empty: none), and a body for them (empty: a GET; else a POST of it as JSON). Each may hold the
// run's texts as placeholders ({texto}, {maquina}, {situacao}, {falhas}).
struct NoticeSettings {
    std::string successUrl;
    std::string failureUrl;
    std::string body;
};

class Settings {
public:
    static constexpr const char* kFileName = "Duplora.ini";
    // "Duplora.ini" in the folder of the running executable.
    static std::string DefaultFileName();

    explicit Settings(std::string fileName = DefaultFileName()) : fileName_(std::move(fileName)) {}

    const std::string& FileName() const { return fileName_; }

    // Reads the file into the values. False when there is none: nothing is read, nothing
    // changes. A file that is there but cannot be read (a folder in its place, no permission)
    // changes nothing either, and throws SettingsReadError, which names the file and the
    // system's reason.
    bool LoadSettings();
    // Writes "diario" and then "horario" of section CONFIG from Daily and Time, both every
    // time. Throws SettingsWriteError ("Unable to write to <file>") when the system refuses a
    // write; the first key may then be written already.
    void SaveSettings() const;

    // The connection's database path from the file; nothing while no file has been read, and
    // the connection keeps its built-in path.
    std::optional<std::string> DatabasePath;
    std::string ServerName;    // empty until a settings file has been read
    std::string SystemFolder;  // empty, or a server path ending in "\"
    bool Daily = false;
    std::string Time;
    NoticeSettings Notice;

private:
    std::string fileName_;
};
