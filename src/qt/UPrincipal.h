#pragma once
// TFrmPrincipal on Qt, Duplora's one window, built from the window's description
// (WindowLayout.h): the daily schedule, the steps with their pictures, the progress lines
// and bar, the three buttons, and the tray icon. It is only its controls: what they do is the
// window logic's (MainForm), which it serves as MainFormView.

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QTimer>
#include <QWidget>

#include "controls/MessagePace.h"
#include "mainform/MainForm.h"
#include "qt/AppErrors.h"
#include "qt/TrayIcon.h"
#include "qt/widgets/AnimatedProgressBar.h"
#include "qt/widgets/MaskedTimeEdit.h"
#include "qt/widgets/PictureButton.h"
#include "qt/widgets/ThrottledLabel.h"
#include "qt/widgets/TransparentImage.h"

class TFrmPrincipal : public QWidget, public MainFormView {
    Q_OBJECT
public:
    // Creating the window creates the database objects, which load the client library: a
    // missing library throws here. `settingsFile`, `clock` and `paceClock` (the clock of the
    // messages' pace during a walk) are for tests.
    explicit TFrmPrincipal(std::string settingsFile = Settings::DefaultFileName(),
                           const Clock* clock = nullptr, const SteadyClock* paceClock = nullptr);
    ~TFrmPrincipal() override;

    // MainFormView.
    void SetText(ControlId control, const std::string& text) override;
    void SetPicture(ControlId control, Picture picture) override;
    void SetEnabled(ControlId control, bool enabled) override;
    bool Checked(ControlId control) const override;
    void SetChecked(ControlId control, bool checked) override;
    void Focus(ControlId control) override;
    void RefreshTimeField() override;
    void SetProgressBar(std::uint32_t beginColor, double maximum, double position) override;
    void ProcessMessages() override;
    bool WindowVisible() const override;
    void SetWindowVisible(bool visible) override;
    void CloseWindow() override;
    void QuitApplication() override;
    void RunLater(std::function<void()> action) override;
    void Beep() override;
    void SetTimerActive(TimerId timer, bool active) override;
    void SetTrayIcon(Picture icon, const std::string& tip) override;
    void PopupTrayMenuAtCursor() override;
    void ShowMessageBox(MessageKind kind, const std::string& caption,
                        const std::string& text) override;

    // A control of the window's description.
    QWidget* Control(ControlId id) const { return controls_.value(id); }

    // Components, named as the window's description names them (the steps' controls are reached
    // through Control: StepImage(n), StepBox(n)).
    QGroupBox* grpAgendamento;
    QCheckBox* chkDiario;
    MaskedTimeEdit* edtHorario;
    ThrottledLabel* lblProgresso;
    ThrottledLabel* lblDestino;
    AnimatedProgressBar* cxProgressBar1;
    PictureButton* btnIniciarBackup;
    PictureButton* btnOcultar;
    PictureButton* btnFechar;
    QIcon ImgIcone1;  // idle
    QIcon ImgIcone2;  // busy
    QTimer TmrExecutaDiario;
    TrayIcon Tray;

private:
    SystemClock systemClock_;
    app::QtMessageBoxes messageBoxes_;

public:
    MainForm Form;  // what the controls do; DB_Tavix, the settings and the run live there

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ConnectControls();
    template <class Widget>
    Widget* Find(ControlId id) const {
        return static_cast<Widget*>(controls_.value(id));
    }

    QMap<ControlId, QWidget*> controls_;
    MessagePace messagePace_;
};

// The one main window.
extern TFrmPrincipal* FrmPrincipal;
