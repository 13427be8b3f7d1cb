#include "qt/UPrincipal.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QWindow>
#include <algorithm>
#include <vector>

#include "qt/WindowPictures.h"
#include "qt/widgets/Fonts.h"

TFrmPrincipal* FrmPrincipal = nullptr;

namespace {

class NarrowLabelSpacing final : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_CheckBoxLabelSpacing) return 2;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

}  // namespace

TFrmPrincipal::TFrmPrincipal(std::string settingsFile, const Clock* clock,
                             const SteadyClock* paceClock)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      messageBoxes_(this),
      Form(*this, clock ? *clock : systemClock_, std::move(settingsFile)),
      messagePace_(paceClock ? *paceClock : SteadyClock::System()) {
    FrmPrincipal = this;
    setWindowTitle(QString::fromUtf8(kWindowCaption));
    setFixedSize(kClientWidth, kClientHeight);
    setFont(FontAtPixelSize(kDialogFace, kDialogFont.pixels));
    BuildControls();
    ConnectControls();
    qApp->installEventFilter(this);
    ImgIcone1 = LoadIcon(Picture::IconIdle);
    ImgIcone2 = LoadIcon(Picture::IconBusy);
    setWindowIcon(ImgIcone1);  // MAINICON, never changed
    Tray.Install(ImgIcone1);
    Form.FormCreate();
}

TFrmPrincipal::~TFrmPrincipal() {
    qApp->removeEventFilter(this);
    if (FrmPrincipal == this) FrmPrincipal = nullptr;
}

void TFrmPrincipal::BuildControls() {
    std::vector<std::pair<int, QWidget*>> tabStops;
    for (const ControlDescription& c : kControls) {
        QWidget* parent = c.parent ? controls_.value(*c.parent) : this;
        const QString text = QString::fromUtf8(c.text);
        QWidget* control = nullptr;
        switch (c.kind) {
            case ControlKind::GroupBox:
                control = new QGroupBox(text, parent);
                break;
            case ControlKind::Panel: {
                auto* panel = new QFrame(parent);
                panel->setFrameStyle(QFrame::Box | QFrame::Raised);  // raised out, lowered in
                panel->setLineWidth(1);
                control = panel;
                break;
            }
            case ControlKind::CheckBox: {
                auto* box = new QCheckBox(text, parent);
                box->setChecked(c.checked);
                control = box;
                break;
            }
            case ControlKind::TimeField:
                control = new MaskedTimeEdit(Form.edtHorario, parent);
                break;
            case ControlKind::Label:
                control = new ThrottledLabel(text, parent);
                break;
            case ControlKind::Image: {
                auto* image = new TransparentImage(parent);
                image->SetPicture(LoadPicture(c.picture));
                control = image;
                break;
            }
            case ControlKind::ProgressBar:
                control = new AnimatedProgressBar(parent);
                break;
            case ControlKind::PictureButton: {
                auto* button = new PictureButton(text, parent);
                button->SetPicture(LoadPicture(c.picture));
                if (c.disabledPicture != Picture::None)
                    button->SetDisabledPicture(LoadPicture(c.disabledPicture));
                control = button;
                break;
            }
        }
        control->setObjectName(QString::fromLatin1(c.name));
        if (c.font != FontId::Dialog)
            control->setFont(
                FontAtPixelSize(QString::fromLatin1(FontOf(c.font).face), FontOf(c.font).pixels));
        if (c.rect.width > 0) {
            control->setGeometry(c.rect.left, c.rect.top, c.rect.width, c.rect.height);
        } else {
            control->move(c.rect.left, c.rect.top);
            control->adjustSize();  // a label is sized to its text
        }
        control->setEnabled(c.enabled);
        if (!c.visible) control->hide();
        if (c.tab >= 0) tabStops.emplace_back(c.tab, control);
        controls_[c.id] = control;
    }
    std::sort(tabStops.begin(), tabStops.end());
    for (std::size_t i = 1; i < tabStops.size(); ++i)
        setTabOrder(tabStops[i - 1].second, tabStops[i].second);

    grpAgendamento = Find<QGroupBox>(ControlId::grpAgendamento);
    chkDiario = Find<QCheckBox>(ControlId::chkDiario);
    edtHorario = Find<MaskedTimeEdit>(ControlId::edtHorario);
    lblProgresso = Find<ThrottledLabel>(ControlId::lblProgresso);
    lblDestino = Find<ThrottledLabel>(ControlId::lblDestino);
    cxProgressBar1 = Find<AnimatedProgressBar>(ControlId::cxProgressBar1);
    btnIniciarBackup = Find<PictureButton>(ControlId::btnIniciarBackup);
    btnOcultar = Find<PictureButton>(ControlId::btnOcultar);
    btnFechar = Find<PictureButton>(ControlId::btnFechar);

    // The daily box's caption is long for its 153 pixels: a narrower gap after the box keeps it,
    // and its focus frame, clear of the time field beside it.
    auto* narrowGap = new NarrowLabelSpacing;
    narrowGap->setParent(chkDiario);
    chkDiario->setStyle(narrowGap);

    TmrExecutaDiario.setInterval(TimerPeriodMs(TimerId::TmrExecutaDiario));
    TmrExecutaDiario.setObjectName(QStringLiteral("TmrExecutaDiario"));
}

void TFrmPrincipal::ConnectControls() {
    // A click changes the box; the handler runs as for every change the user makes.
    connect(chkDiario, &QCheckBox::clicked, this, [this] { Form.chkDiarioClick(); });
    connect(&TmrExecutaDiario, &QTimer::timeout, this, [this] { Form.TmrExecutaDiarioTimer(); });
    connect(btnIniciarBackup, &QAbstractButton::clicked, this,
            [this] { Form.btnIniciarBackupClick(); });
    connect(btnOcultar, &QAbstractButton::clicked, this, [this] { Form.btnOcultarClick(); });
    connect(btnFechar, &QAbstractButton::clicked, this, [this] { Form.btnFecharClick(); });
    connect(&Tray, &TrayIcon::Clicked, this,
            [this](TrayClick click) { Form.TrayIconClicked(click); });
    connect(&Tray.TimerPopup, &QTimer::timeout, this, [this] { Form.TimerPopupTimer(); });
    connect(Tray.Item(ControlId::MenuIniciarBackup), &QAction::triggered, this,
            [this] { Form.MenuIniciarBackupClick(); });
    connect(Tray.Item(ControlId::MenuOcultar_Restaurar), &QAction::triggered, this,
            [this] { Form.MenuOcultar_RestaurarClick(); });
    connect(Tray.Item(ControlId::Fechar1), &QAction::triggered, this,
            [this] { Form.Fechar1Click(); });
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

// MainFormView.

void TFrmPrincipal::SetText(ControlId control, const std::string& text) {
    if (QAction* item = Tray.Item(control))
        item->setText(QString::fromUtf8(text));
    else
        Find<ThrottledLabel>(control)->SetText(text);
}

void TFrmPrincipal::SetPicture(ControlId control, Picture picture) {
    if (QAction* item = Tray.Item(control))
        item->setIcon(LoadIcon(picture));
    else
        Find<TransparentImage>(control)->AssignPicture(
            *Find<TransparentImage>(StepTemplate(picture)));
}

void TFrmPrincipal::SetEnabled(ControlId control, bool enabled) {
    if (QAction* item = Tray.Item(control))
        item->setEnabled(enabled);
    else
        Control(control)->setEnabled(enabled);
}

bool TFrmPrincipal::Checked(ControlId control) const {
    return Find<QCheckBox>(control)->isChecked();
}

void TFrmPrincipal::SetChecked(ControlId control, bool checked) {
    Find<QCheckBox>(control)->setChecked(checked);
}

void TFrmPrincipal::Focus(ControlId control) { Control(control)->setFocus(); }

void TFrmPrincipal::RefreshTimeField() { edtHorario->Refresh(); }

void TFrmPrincipal::SetProgressBar(std::uint32_t beginColor, double maximum, double position) {
    cxProgressBar1->SetBarColor(AnimatedProgressBar::ColorFromBgr(beginColor));
    cxProgressBar1->SetMaximum(maximum);
    cxProgressBar1->SetPosition(position);
}

void TFrmPrincipal::ProcessMessages() {
    if (messagePace_.Due()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool TFrmPrincipal::WindowVisible() const { return isVisible(); }

void TFrmPrincipal::SetWindowVisible(bool visible) {
    if (!visible) {
        hide();
        return;
    }
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

void TFrmPrincipal::SetTimerActive(TimerId timer, bool active) {
    QTimer& which = timer == TimerId::TmrExecutaDiario ? TmrExecutaDiario : Tray.TimerPopup;
    if (active)
        which.start();
    else
        which.stop();
}

void TFrmPrincipal::SetTrayIcon(Picture icon, const std::string& tip) {
    // The taskbar, the task switcher and the tray show the application icon; the title bar
    // keeps the window's own.
    const QIcon& shown = icon == Picture::IconBusy ? ImgIcone2 : ImgIcone1;
    QApplication::setWindowIcon(shown);
    Tray.Icon.setIcon(shown);
    Tray.Icon.setToolTip(QString::fromUtf8(tip));
}

void TFrmPrincipal::PopupTrayMenuAtCursor() { Tray.PopupAtCursor(); }

void TFrmPrincipal::ShowMessageBox(MessageKind kind, const std::string& caption,
                                   const std::string& text) {
    messageBoxes_.ShowMessageBox(kind, caption, text);
}
