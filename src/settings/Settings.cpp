#include "settings/Settings.h"

#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/Profile.h"
#include "platform/SystemError.h"
#include "settings/SettingsError.h"

std::string Settings::DefaultFileName() { return platform::ExecutableFolder() + kFileName; }

bool Settings::LoadSettings() {
    if (platform::GetAttributes(fileName_) == platform::kInvalidAttributes) return false;
    if (!platform::ProfileReadable(fileName_))
        throw SettingsReadError(fileName_, platform::LastErrorText());
    const auto read = [this](const char* section, const char* key, const char* defaultValue) {
        return platform::ReadProfileText(section, key, defaultValue, fileName_);
    };
    DatabasePath = read("BANCO", "CAMINHO", "");
    ServerName = read("SERVIDOR", "NOME", "");
    SystemFolder = read("SERVIDOR", "PASTA_SISTEMA", "");
    if (!SystemFolder.empty() && SystemFolder.back() != '\\') SystemFolder += '\\';
    Daily = read("CONFIG", "diario", "N") == "S";
    Time = read("CONFIG", "horario", "");
    Notice.successUrl = read("AVISO", "URL_SUCESSO", "");
    Notice.failureUrl = read("AVISO", "URL_FALHA", "");
    Notice.body = read("AVISO", "CORPO", "");
    return true;
}

void Settings::SaveSettings() const {
    const auto write = [this](const char* key, const std::string& value) {
        if (!platform::WriteProfileText("CONFIG", key, value, fileName_))
            throw SettingsWriteError(fileName_);
    };
    write("diario", Daily ? "S" : "N");
    write("horario", Time);
}
