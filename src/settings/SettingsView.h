#pragma once
// What the settings and the daily schedule need from the main window. The Qt window implements
// it with its controls; tests implement it with a recording fake.

#include <string>

class SettingsView {
public:
    virtual ~SettingsView() = default;

    // chkDiario. Setting a state different from the current one fires chkDiarioClick, as every
    // change of the box does; setting the current state fires nothing.
    virtual bool DailyChecked() const = 0;
    virtual void SetDailyChecked(bool checked) = 0;

    // edtHorario: its text as the field returns it (five characters, blanks for empty
    // positions), and a new text given by the field's setting rules (TimeField::SetText).
    virtual std::string TimeText() const = 0;
    virtual void SetTimeText(const std::string& text) = 0;
    virtual void SetTimeFieldEnabled(bool enabled) = 0;
    // Gives the focus back to edtHorario.
    virtual void FocusTimeField() = 0;

    // TmrExecutaDiario, 30-second period. Switching it on while it is on changes nothing (the
    // running period goes on); switching it on while it is off starts a fresh period.
    virtual void SetDailyTimerEnabled(bool enabled) = 0;

    // btnIniciarBackup: whether it is enabled, and its click handler btnIniciarBackupClick,
    // which runs a whole backup before it returns.
    virtual bool StartButtonEnabled() const = 0;
    virtual void StartBackup() = 0;

    // A plain message box with the application's title as caption and one OK button.
    virtual void ShowInformation(const std::string& text) = 0;
};
