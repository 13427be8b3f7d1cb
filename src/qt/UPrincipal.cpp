#include "UPrincipal.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QScreen>
#include <QWindow>

#include "Fonts.h"
#include "Pictures.h"

TFrmPrincipal* FrmPrincipal = nullptr;

namespace {

template <class Widget>
Widget* Place(Widget* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

QCheckBox* CheckBox(QWidget* parent, const char* name, const char* text, int left, int top,
                    int width) {
    return Place(new QCheckBox(QString::fromUtf8(text), parent), name, left, top, width, 17);
}

// A label sized to its text, as every label of the window is.
QLabel* AutoSizeLabel(QWidget* parent, const char* name, const char* text, int left, int top) {
    QLabel* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

// lblProgresso and lblDestino: sized to their text, which a walk changes for every entry.
ThrottledLabel* ProgressLine(QWidget* parent, const char* name, int top) {
    auto* label = new ThrottledLabel(QStringLiteral("           "), parent);  // eleven spaces
    label->setObjectName(QString::fromLatin1(name));
    label->move(8, top);
    return label;
}

class NarrowLabelSpacing final : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_CheckBoxLabelSpacing) return 2;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

TransparentImage* StepTemplate(QWidget* parent, const char* name, const QString& picture,
                               int left) {
    auto* image = Place(new TransparentImage(parent), name, left, 170, 16, 16);
    image->SetPicture(pictures::Load(picture));
    image->hide();
    return image;
}

PictureButton* Button(QWidget* parent, const char* name, const char* caption,
                      const QString& picture, const QString& disabledPicture, int left) {
    auto* button =
        Place(new PictureButton(QString::fromUtf8(caption), parent), name, left, 223, 122, 42);
    button->SetPicture(pictures::Load(picture));
    if (!disabledPicture.isEmpty()) button->SetDisabledPicture(pictures::Load(disabledPicture));
    return button;
}

}  // namespace

TFrmPrincipal::TFrmPrincipal(std::string settingsFile, const Clock* clock)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      messageBoxes_(this),
      Form(*this, clock ? *clock : systemClock_, std::move(settingsFile)) {
    FrmPrincipal = this;
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    setFixedSize(385, 273);
    setFont(FontAtPixelSize(kDialogFace, kWindowFontPixels));
    BuildControls();
    ConnectControls();
    qApp->installEventFilter(this);
    Form.FormCreate();
}

TFrmPrincipal::~TFrmPrincipal() {
    qApp->removeEventFilter(this);
    if (FrmPrincipal == this) FrmPrincipal = nullptr;
}

void TFrmPrincipal::BuildControls() {
    grpAgendamento =
        Place(new QGroupBox(QStringLiteral("Agendamento"), this), "grpAgendamento", 8, 8, 369, 41);
    chkDiario = CheckBox(grpAgendamento, "chkDiario", "Executar Backup diário às :", 72, 18, 153);
    // The caption is long for its 153 pixels: a narrower gap after the box keeps it, and its
    // focus frame, clear of the time field beside it.
    auto* narrowGap = new NarrowLabelSpacing;
    narrowGap->setParent(chkDiario);
    chkDiario->setStyle(narrowGap);
    edtHorario = Place(new MaskedTimeEdit(grpAgendamento), "edtHorario", 225, 14, 41, 21);
    Label1 = AutoSizeLabel(grpAgendamento, "Label1", "horas.", 270, 19);

    pnlOpcoes = Place(new QFrame(this), "pnlOpcoes", 8, 56, 369, 97);
    pnlOpcoes->setFrameStyle(QFrame::Box | QFrame::Raised);  // raised outside, lowered inside
    pnlOpcoes->setLineWidth(1);
    imgConectarBanco = Place(new TransparentImage(pnlOpcoes), "imgConectarBanco", 8, 10, 16, 16);
    imgCopiarPastaTavix =
        Place(new TransparentImage(pnlOpcoes), "imgCopiarPastaTavix", 8, 30, 16, 16);
    imgCopiarBanco = Place(new TransparentImage(pnlOpcoes), "imgCopiarBanco", 8, 50, 16, 16);
    imgCopiarMusicas = Place(new TransparentImage(pnlOpcoes), "imgCopiarMusicas", 8, 70, 16, 16);
    chkConectarBanco = CheckBox(pnlOpcoes, "chkConectarBanco", "", 28, 10, 15);
    chkConectarBanco->setChecked(true);
    chkConectarBanco->setEnabled(false);  // step 1 always runs
    Label2 = AutoSizeLabel(pnlOpcoes, "Label2", "Conectar com o Banco de Dados", 46, 12);
    chkCopiarPastaTavix =
        CheckBox(pnlOpcoes, "chkCopiarPastaTavix", "Copiar a pasta Tavix", 28, 30, 200);
    chkCopiarBancoDados =
        CheckBox(pnlOpcoes, "chkCopiarBancoDados", "Copiar o Banco de Dados", 28, 50, 200);
    chkCopiarMusicas = CheckBox(pnlOpcoes, "chkCopiarMusicas", "Copiar as Músicas", 28, 70, 200);
    for (QCheckBox* box : {chkCopiarPastaTavix, chkCopiarBancoDados, chkCopiarMusicas})
        box->setChecked(true);

    lblProgresso = ProgressLine(this, "lblProgresso", 160);
    lblDestino = ProgressLine(this, "lblDestino", 176);
    cxProgressBar1 = Place(new AnimatedProgressBar(this), "cxProgressBar1", 7, 192, 371, 21);

    btnIniciarBackup = Button(this, "btnIniciarBackup", "Iniciar Backup", pictures::kButtonStart,
                              pictures::kButtonStartDisabled, 7);
    btnOcultar = Button(this, "btnOcultar", "Ocultar", pictures::kButtonOcultar, {}, 132);
    btnFechar = Button(this, "btnFechar", "Fechar", pictures::kButtonFechar, {}, 256);

    imgPendende = StepTemplate(this, "imgPendende", pictures::kStepPending, 56);
    imgOk = StepTemplate(this, "imgOk", pictures::kStepOk, 72);
    imgErro = StepTemplate(this, "imgErro", pictures::kStepError, 88);
    imgProcessando = StepTemplate(this, "imgProcessando", pictures::kStepProcessing, 104);
    ImgIcone1 = pictures::Icon(pictures::kIconIdle);
    ImgIcone2 = pictures::Icon(pictures::kIconBusy);

    setTabOrder(chkDiario, edtHorario);
    setTabOrder(edtHorario, chkCopiarPastaTavix);
    setTabOrder(chkCopiarPastaTavix, chkCopiarBancoDados);
    setTabOrder(chkCopiarBancoDados, chkCopiarMusicas);
    setTabOrder(chkCopiarMusicas, btnIniciarBackup);
    setTabOrder(btnIniciarBackup, btnOcultar);
    setTabOrder(btnOcultar, btnFechar);

    TmrExecutaDiario.setInterval(30000);
    TmrExecutaDiario.setObjectName(QStringLiteral("TmrExecutaDiario"));
}

void TFrmPrincipal::ConnectControls() {
    connect(chkDiario, &QCheckBox::toggled, this, [this] { Form.chkDiarioClick(); });
    connect(&TmrExecutaDiario, &QTimer::timeout, this, [this] { Form.TmrExecutaDiarioTimer(); });
    connect(btnIniciarBackup, &QAbstractButton::clicked, this,
            [this] { Form.btnIniciarBackupClick(); });
    connect(btnOcultar, &QAbstractButton::clicked, this, [this] { Form.btnOcultarClick(); });
    connect(btnFechar, &QAbstractButton::clicked, this, [this] { Form.btnFecharClick(); });
    connect(&Tray, &TrayIcon::MouseMessage, this,
            [this](int message) { Form.WMTrayIcon(message); });
    connect(&Tray.TimerPopup, &QTimer::timeout, this, [this] { Form.TimerPopupTimer(); });
    connect(Tray.MenuIniciarBackup, &QAction::triggered, this,
            [this] { Form.MenuIniciarBackupClick(); });
    connect(Tray.MenuOcultar_Restaurar, &QAction::triggered, this,
            [this] { Form.MenuOcultar_RestaurarClick(); });
    connect(Tray.Fechar1, &QAction::triggered, this, [this] { Form.Fechar1Click(); });
}

void TFrmPrincipal::closeEvent(QCloseEvent* event) {
    if (Form.FormClose())
        event->accept();
    else
        event->ignore();
}

bool TFrmPrincipal::eventFilter(QObject* watched, QEvent* event) {
    // The time field is checked before the focus leaves it for another control of this window;
    // a refusal keeps the focus there and the press or Tab that was moving it does nothing.
    // Presses are looked at where they reach the native window, before Qt moves the focus.
    if (!edtHorario->hasFocus()) return false;
    if (event->type() == QEvent::MouseButtonPress && watched == windowHandle()) {
        QWidget* target = childAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (target && target != edtHorario && target->isEnabled() &&
            (target->focusPolicy() & Qt::ClickFocus))
            return !Form.TimeFieldMayLoseFocus();
    } else if (event->type() == QEvent::KeyPress && watched == edtHorario) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) return !Form.TimeFieldMayLoseFocus();
    }
    return false;
}

TransparentImage* TFrmPrincipal::StepImage(int step) const {
    const std::array<TransparentImage*, 4> images{imgConectarBanco, imgCopiarPastaTavix,
                                                  imgCopiarBanco, imgCopiarMusicas};
    return images.at(static_cast<std::size_t>(step - 1));
}

// BackupView.

void TFrmPrincipal::SetProgressText(const std::string& text) { lblProgresso->SetText(text); }

void TFrmPrincipal::SetDestinationText(const std::string& text) { lblDestino->SetText(text); }

void TFrmPrincipal::SetProgressBar(std::uint32_t beginColor, double maximum, double position) {
    cxProgressBar1->SetBarColor(AnimatedProgressBar::ColorFromBgr(beginColor));
    cxProgressBar1->SetMaximum(maximum);
    cxProgressBar1->SetPosition(position);
}

void TFrmPrincipal::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void TFrmPrincipal::SetStepImage(int step, StepState state) {
    const TransparentImage* source = state == StepState::Pending      ? imgPendende
                                     : state == StepState::Processing ? imgProcessando
                                     : state == StepState::Ok         ? imgOk
                                                                      : imgErro;
    StepImage(step)->AssignPicture(*source);
}

bool TFrmPrincipal::OptionChecked(StepOption option) const {
    switch (option) {
        case StepOption::CopySystemFolder:
            return chkCopiarPastaTavix->isChecked();
        case StepOption::CopyDatabase:
            return chkCopiarBancoDados->isChecked();
        case StepOption::CopyMusicFolders:
            return chkCopiarMusicas->isChecked();
    }
    return false;
}

void TFrmPrincipal::SetStartEnabled(bool enabled) { btnIniciarBackup->setEnabled(enabled); }

bool TFrmPrincipal::StartEnabled() const { return btnIniciarBackup->isEnabled(); }

void TFrmPrincipal::SetStartMenuItemEnabled(bool enabled) {
    Tray.MenuIniciarBackup->setEnabled(enabled);
}

void TFrmPrincipal::SetCloseEnabled(bool enabled) { btnFechar->setEnabled(enabled); }

void TFrmPrincipal::SetScheduleEnabled(bool enabled) { grpAgendamento->setEnabled(enabled); }

void TFrmPrincipal::SetTrayIcon(TrayPicture picture) {
    // The taskbar, the task switcher and the tray show the application icon; the title bar
    // keeps the window's own.
    const QIcon& icon = picture == TrayPicture::Busy ? ImgIcone2 : ImgIcone1;
    QApplication::setWindowIcon(icon);
    Tray.SetIcon(icon);
}

void TFrmPrincipal::SetTrayTip(const std::string& text) {
    Tray.Icon.setToolTip(QString::fromUtf8(text));
}

// SettingsView.

bool TFrmPrincipal::DailyChecked() const { return chkDiario->isChecked(); }

void TFrmPrincipal::SetDailyChecked(bool checked) { chkDiario->setChecked(checked); }

std::string TFrmPrincipal::TimeText() const { return edtHorario->Text(); }

void TFrmPrincipal::SetTimeText(const std::string& text) { edtHorario->SetText(text); }

void TFrmPrincipal::SetTimeFieldEnabled(bool enabled) { edtHorario->setEnabled(enabled); }

void TFrmPrincipal::FocusTimeField() { edtHorario->setFocus(); }

void TFrmPrincipal::SetDailyTimerEnabled(bool enabled) {
    if (!enabled)
        TmrExecutaDiario.stop();
    else if (!TmrExecutaDiario.isActive())
        TmrExecutaDiario.start();
}

bool TFrmPrincipal::StartButtonEnabled() const { return btnIniciarBackup->isEnabled(); }

void TFrmPrincipal::StartBackup() { Form.btnIniciarBackupClick(); }

void TFrmPrincipal::ShowInformation(const std::string& text) { ::ShowInformation(*this, text); }

// MainFormView.

void TFrmPrincipal::ShowMessageBox(MessageKind kind, const std::string& caption,
                                   const std::string& text) {
    messageBoxes_.ShowMessageBox(kind, caption, text);
}

void TFrmPrincipal::SetMainIcon() { setWindowIcon(ImgIcone1); }

bool TFrmPrincipal::WindowVisible() const { return isVisible(); }

void TFrmPrincipal::HideWindow() { hide(); }

void TFrmPrincipal::ShowWindowInFront() {
    show();
    raise();
    activateWindow();
}

void TFrmPrincipal::CloseWindow() { close(); }

void TFrmPrincipal::QuitApplication() { QCoreApplication::quit(); }

void TFrmPrincipal::RunLater(std::function<void()> action) {
    QTimer::singleShot(0, this, std::move(action));
}

void TFrmPrincipal::Beep() { QApplication::beep(); }

bool TFrmPrincipal::CheckTimeFieldOnExit() {
    const bool passed = edtHorario->Model().CheckOnExit();
    edtHorario->Refresh();
    return passed;
}

void TFrmPrincipal::InstallTrayIcon() { Tray.Install(windowIcon()); }

bool TFrmPrincipal::PopupTimerActive() const { return Tray.TimerPopup.isActive(); }

void TFrmPrincipal::SetPopupTimerActive(bool active) {
    if (active)
        Tray.TimerPopup.start();
    else
        Tray.TimerPopup.stop();
}

void TFrmPrincipal::SetMenuOcultarRestaurar(const std::string& caption, TrayMenuPicture picture) {
    Tray.SetMenuOcultarRestaurar(QString::fromUtf8(caption), picture);
}

void TFrmPrincipal::PopupTrayMenuAtCursor() { Tray.PopupAtCursor(); }
