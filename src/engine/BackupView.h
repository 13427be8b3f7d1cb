#pragma once
// What the backup run drives on the main window, besides the progress display.

#include "ProgressView.h"

// The four step indicators' states; a step's state is held only by its picture.
enum class StepState { Pending, Processing, Ok, Error };

// Steps 1 to 4; kAllStepsDone is only ever given to SetStepStatus.
enum StepNumber : int {
    kStepConnect = 1,
    kStepSystemFolder = 2,
    kStepDatabase = 3,
    kStepMusicFolders = 4,
    kAllStepsDone = 5,
};

// The option check boxes of steps 2 to 4, read when each step begins.
enum class StepOption {
    CopySystemFolder,  // chkCopiarPastaTavix
    CopyDatabase,      // chkCopiarBancoDados
    CopyMusicFolders,  // chkCopiarMusicas
};

enum class TrayPicture { Idle, Busy };

class BackupView : public ProgressView {
public:
    virtual void SetStepImage(int step, StepState state) = 0;
    virtual bool OptionChecked(StepOption option) const = 0;
    virtual void SetStartEnabled(bool enabled) = 0;  // btnIniciarBackup
    virtual bool StartEnabled() const = 0;
    virtual void SetStartMenuItemEnabled(bool enabled) = 0;  // MenuIniciarBackup
    virtual void SetCloseEnabled(bool enabled) = 0;          // btnFechar
    virtual void SetScheduleEnabled(bool enabled) = 0;       // grpAgendamento
    virtual void SetTrayIcon(TrayPicture picture) = 0;
    // The tray icon's tip: the title, or what went wrong in the last run.
    virtual void SetTrayTip(const std::string& text) = 0;
};
