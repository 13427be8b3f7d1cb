#include "Settings.h"

#include "Files.h"
#include "Process.h"
#include "Profile.h"
#include "SettingsError.h"
#include "SilentAbort.h"
#include "SystemError.h"
#include "TimeText.h"

namespace {

constexpr const char* kInvalidTimeText = "A hora informada não é válida.";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Blanks and control characters at both ends dropped.
std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
    return text;
}

}  // namespace

std::string Settings::DefaultFileName() { return platform::ExecutableFolder() + kFileName; }

Settings::Settings(SettingsView& view, const Clock& clock, std::string fileName)
    : view_(view), clock_(clock), fileName_(std::move(fileName)) {}

void Settings::LoadSettings() {
    if (platform::GetAttributes(fileName_) == platform::kInvalidAttributes) return;
    if (!platform::ProfileReadable(fileName_))
        throw SettingsReadError(fileName_, platform::LastErrorText());
    const auto read = [this](const char* section, const char* key, const char* defaultValue) {
        return platform::ReadProfileText(section, key, defaultValue, fileName_);
    };
    DatabasePath = read("BANCO", "CAMINHO", "");
    ServerName = read("SERVIDOR", "NOME", "");
    SystemFolder = read("SERVIDOR", "PASTA_SISTEMA", "");
    if (!SystemFolder.empty() && SystemFolder.back() != '\\') SystemFolder += '\\';
    view_.SetDailyChecked(read("CONFIG", "diario", "N") == "S");
    view_.SetTimeText(read("CONFIG", "horario", ""));
    chkDiarioClick();
}

void Settings::SaveSettings() {
    const auto write = [this](const char* key, const std::string& value) {
        if (!platform::WriteProfileText("CONFIG", key, value, fileName_))
            throw SettingsWriteError(fileName_);
    };
    write("diario", view_.DailyChecked() ? "S" : "N");
    write("horario", view_.TimeText());
}

void Settings::FormClose() { SaveSettings(); }

void Settings::chkDiarioClick() {
    const bool checked = view_.DailyChecked();
    view_.SetTimeFieldEnabled(checked);
    view_.SetDailyTimerEnabled(checked);
}

void Settings::TmrExecutaDiarioTimer() {
    std::string wanted = view_.TimeText();
    if (wanted.size() == 5 && wanted[0] == ' ' && IsDigit(wanted[1])) wanted[0] = '0';
    if (wanted == ClockText(LocalTimeOfDay(clock_.Now())) && view_.StartButtonEnabled())
        view_.StartBackup();
}

void Settings::edtHorarioExit() {
    const std::string text = view_.TimeText();
    if (!Trimmed(text).empty() && text != kEmptyTimeText && !TextToTime(text)) {
        view_.ShowInformation(kInvalidTimeText);
        view_.FocusTimeField();
        throw SilentAbort();
    }
    SaveSettings();
}
