#include "win32/UPrincipal.h"

#include <algorithm>
#include <array>

#include "win32/controls/Fonts.h"
#include "win32/controls/Pictures.h"
#include "win32/controls/WindowIds.h"

using namespace win32;

TFrmPrincipal* FrmPrincipal = nullptr;

namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

// The window's timers, by their number.
constexpr UINT_PTR TimerNumber(TimerId timer) { return static_cast<UINT_PTR>(timer) + 1; }

// Actions given to RunLater.
constexpr UINT kRunLaterMessage = WM_APP + 1;

HWND CheckBox(HWND parent, const ControlDescription& box, HFONT font) {
    HWND control = CreateOwnedWindow(
        "BUTTON", nullptr,
        WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX | (box.tab >= 0 ? WS_TABSTOP : 0), 0, box.text,
        box.rect.left, box.rect.top, box.rect.width, box.rect.height, parent, NumericId(box.id));
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageA(control, BM_SETCHECK, box.checked ? BST_CHECKED : BST_UNCHECKED, 0);
    return control;
}

// A caption wider than its box would run under the control to its right, focus frame and all:
// the box then grows to the left until the caption ends at `right`.
void EndCaptionAt(HWND box, int right) {
    SIZE ideal{};
    if (!SendMessageA(box, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal))) return;
    RECT place;
    GetWindowRect(box, &place);
    MapWindowPoints(nullptr, GetParent(box), reinterpret_cast<POINT*>(&place), 2);
    const int left = std::min<int>(place.left, right - ideal.cx);
    SetWindowPos(box, nullptr, left, place.top, right - left, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool IsButton(HWND window) {
    char className[16];
    return GetClassNameA(window, className, sizeof className) &&
           lstrcmpiA(className, "Button") == 0;
}

}  // namespace

TFrmPrincipal::TFrmPrincipal(std::string settingsFile, const Clock* clock)
    : dialogFont_(CreatePixelFont(kDialogFont.face, kDialogFont.pixels)),
      buttonFont_(CreatePixelFont(kButtonFont.face, kButtonFont.pixels)),
      mainIcon_(Required(LoadIconA(GetModuleHandleA(nullptr), "MAINICON"),
                         "Não foi possível carregar o ícone MAINICON")),
      ImgIcone1(LoadIconImage("MAINICON", GetSystemMetrics(SM_CXICON))),
      ImgIcone1Small(LoadIconImage("MAINICON", GetSystemMetrics(SM_CXSMICON))),
      ImgIcone2(LoadIconImage(IDI_BUSY, GetSystemMetrics(SM_CXICON))),
      ImgIcone2Small(LoadIconImage(IDI_BUSY, GetSystemMetrics(SM_CXSMICON))),
      Form(*this, clock ? *clock : systemClock_, std::move(settingsFile)) {
    FrmPrincipal = this;
    RegisterWindowClass(DUPLORA_MAIN_CLASS, &WindowProc);
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kStyle, FALSE, WS_EX_CONTROLPARENT);
    window_ = CreateOwnedWindow(DUPLORA_MAIN_CLASS, this, kStyle, WS_EX_CONTROLPARENT,
                                kWindowCaption, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, 0);
    messageBoxes_ = std::make_unique<SystemMessageBoxes>(window_);
    BuildControls();
    // MAINICON in the title bar and the system menu, never changed.
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(ImgIcone1Small));
    SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(mainIcon_));
    Tray->Install(ImgIcone1Small);
    Form.FormCreate();
}

TFrmPrincipal::~TFrmPrincipal() {
    Tray.reset();  // the icon leaves the notification area first
    if (window_) DestroyWindow(window_);
    for (HICON icon : {ImgIcone1, ImgIcone1Small, ImgIcone2, ImgIcone2Small}) DestroyIcon(icon);
    DeleteObject(dialogFont_);
    DeleteObject(buttonFont_);
    if (FrmPrincipal == this) FrmPrincipal = nullptr;
}

void TFrmPrincipal::BuildControls() {
    // Created in the description's order, which is the tab order: the dialog keys follow the
    // order of creation.
    for (const ControlDescription& control : kControls) {
        const HWND parent = control.parent ? handles_.at(*control.parent) : window_;
        const HWND made = Build(control, parent);
        if (!control.enabled) EnableWindow(made, FALSE);
        handles_[control.id] = made;
    }
    // The daily box's caption is long for its 153 pixels: the box grows to the left until the
    // caption, and its focus frame, end before the time field.
    EndCaptionAt(Control(ControlId::chkDiario), Describe(ControlId::edtHorario).rect.left - 3);
    Tray = std::make_unique<TrayIcon>(window_);
}

HWND TFrmPrincipal::Build(const ControlDescription& c, HWND parent) {
    const int id = NumericId(c.id);
    const Rect& r = c.rect;
    const HFONT font = c.font == FontId::Button ? buttonFont_ : dialogFont_;
    switch (c.kind) {
        case ControlKind::GroupBox:
        case ControlKind::Panel:
            frames_.push_back(std::make_unique<Frame>(
                c.kind == ControlKind::GroupBox ? Frame::Kind::GroupBox : Frame::Kind::Panel,
                parent, id, c.text, font, r.left, r.top, r.width, r.height));
            return frames_.back()->Handle();
        case ControlKind::CheckBox:
            return CheckBox(parent, c, font);
        case ControlKind::TimeField:
            edtHorario = std::make_unique<TimeEdit>(Form.edtHorario, parent, id, font, r.left,
                                                    r.top, r.width, r.height);
            return edtHorario->Handle();
        case ControlKind::Label: {
            auto& label = labels_[c.id];
            label = std::make_unique<Label>(parent, id, c.text, font, r.left, r.top);
            if (c.id == ControlId::lblProgresso) lblProgresso = label.get();
            if (c.id == ControlId::lblDestino) lblDestino = label.get();
            return label->Handle();
        }
        case ControlKind::Image: {
            auto& image = images_[c.id];
            image = std::make_unique<TransparentImage>(parent, id, r.left, r.top, c.visible);
            if (c.picture != Picture::None) image->SetPicture(LoadPicture(BitmapId(c.picture)));
            return image->Handle();
        }
        case ControlKind::ProgressBar:
            cxProgressBar1 =
                std::make_unique<ProgressBar>(parent, id, r.left, r.top, r.width, r.height);
            return cxProgressBar1->Handle();
        case ControlKind::PictureButton:
            buttons_.push_back(std::make_unique<PictureButton>(
                parent, id, c.text, font, r.left, r.top, r.width, r.height,
                LoadPicture(BitmapId(c.picture)),
                c.disabledPicture == Picture::None ? nullptr
                                                   : LoadPicture(BitmapId(c.disabledPicture))));
            return buttons_.back()->Handle();
    }
    return nullptr;
}

int TFrmPrincipal::MessageLoop() {
    // Shown centred on the screen's work area, the focus on the first control of the tab order.
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT frame;
    GetWindowRect(window_, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(window_, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    SetFocus(Control(ControlId::chkDiario));

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) Dispatch(message);
    return static_cast<int>(message.wParam);
}

void TFrmPrincipal::Dispatch(MSG& message) {
    if (PreTranslate(message)) return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

bool TFrmPrincipal::PreTranslate(MSG& message) {
    HWND field = edtHorario->Handle();
    if (GetFocus() == field) {
        const bool pressElsewhere = message.message == WM_LBUTTONDOWN && message.hwnd != field &&
                                    IsChild(window_, message.hwnd) && IsButton(message.hwnd) &&
                                    IsWindowEnabled(message.hwnd);
        const bool tabOut =
            message.message == WM_KEYDOWN && message.hwnd == field && message.wParam == VK_TAB;
        if ((pressElsewhere || tabOut) && !Form.TimeFieldMayLoseFocus()) return true;
    }
    return IsDialogMessageA(window_, &message);
}

void TFrmPrincipal::Command(int id) {
    switch (id) {
        case NumericId(ControlId::btnIniciarBackup):
            Form.btnIniciarBackupClick();
            break;
        case NumericId(ControlId::btnOcultar):
            Form.btnOcultarClick();
            break;
        case NumericId(ControlId::btnFechar):
            Form.btnFecharClick();
            break;
        case NumericId(ControlId::chkDiario):
            Form.chkDiarioClick();
            break;
        case NumericId(ControlId::MenuIniciarBackup):
            Form.MenuIniciarBackupClick();
            break;
        case NumericId(ControlId::MenuOcultar_Restaurar):
            Form.MenuOcultar_RestaurarClick();
            break;
        case NumericId(ControlId::Fechar1):
            Form.Fechar1Click();
            break;
    }
}

LRESULT CALLBACK TFrmPrincipal::WindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    TFrmPrincipal* form = OwnerOf<TFrmPrincipal>(window, message, lParam);
    if (!form || !form->window_) return DefWindowProcA(window, message, wParam, lParam);
    return form->HandleMessage(message, wParam, lParam);
}

LRESULT TFrmPrincipal::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED || lParam == 0) Command(LOWORD(wParam));
            return 0;
        case WM_TIMER:
            if (wParam == TimerNumber(TimerId::TmrExecutaDiario)) Form.TmrExecutaDiarioTimer();
            if (wParam == TimerNumber(TimerId::TimerPopup)) Form.TimerPopupTimer();
            return 0;
        case kTrayIconMessage:
            // WM_TRAYICON: the shell's mouse message over the icon, as a click. (The dialog keys
            // send DM_GETDEFID, the same number, with 0: no click, and answered "no default
            // button".)
            if (const auto click = TrayClickOf(lParam)) Form.TrayIconClicked(*click);
            return 0;
        case kRunLaterMessage: {
            std::vector<std::function<void()>> actions;
            actions.swap(later_);
            for (auto& action : actions) action();
            return 0;
        }
        case WM_CLOSE:
            // Every way of closing passes here; MainForm decides whether the window goes.
            Form.FormClose();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // The session ends (log-off, shutdown): the process is ended after this returns.
            if (wParam) Form.EndSession();
            return 0;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (PictureButton* button = PictureButton::From(item->hwndItem)) {
                button->Draw(*item);
                return TRUE;
            }
            break;
        }
        case WM_SETCURSOR: {
            const HWND over = reinterpret_cast<HWND>(wParam);
            for (const auto& button : buttons_)
                if (over == button->Handle() && LOWORD(lParam) == HTCLIENT) {
                    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));  // IDC_HAND
                    return TRUE;
                }
            break;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_ACTIVATE:
            // As a dialog does: the focus leaves with the window and comes back with it.
            if (LOWORD(wParam) == WA_INACTIVE) {
                focusBeforeDeactivation_ = GetFocus();
            } else if (focusBeforeDeactivation_ && IsWindow(focusBeforeDeactivation_)) {
                SetFocus(focusBeforeDeactivation_);
                return 0;
            }
            break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

// MainFormView.

void TFrmPrincipal::SetText(ControlId control, const std::string& text) {
    if (Tray->HasItem(control))
        Tray->SetItemText(control, text);
    else
        labels_.at(control)->SetText(text);
}

void TFrmPrincipal::SetPicture(ControlId control, Picture picture) {
    if (Tray->HasItem(control))
        Tray->SetItemPicture(control, picture);
    else
        images_.at(control)->AssignPicture(*images_.at(StepTemplate(picture)));
}

void TFrmPrincipal::SetEnabled(ControlId control, bool enabled) {
    if (Tray->HasItem(control)) {
        Tray->SetItemEnabled(control, enabled);
        return;
    }
    // The group and everything in it; the time field keeps its own state for when the group
    // is enabled again.
    if (control == ControlId::grpAgendamento) {
        scheduleEnabled_ = enabled;
        EnableWindow(Control(ControlId::chkDiario), enabled);
    } else if (control == ControlId::edtHorario) {
        timeFieldEnabled_ = enabled;
    }
    if (control == ControlId::grpAgendamento || control == ControlId::edtHorario)
        EnableWindow(edtHorario->Handle(), scheduleEnabled_ && timeFieldEnabled_);
    if (control != ControlId::edtHorario) EnableWindow(Control(control), enabled);
}

bool TFrmPrincipal::Checked(ControlId control) const {
    return SendMessageA(Control(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TFrmPrincipal::SetChecked(ControlId control, bool checked) {
    SendMessageA(Control(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TFrmPrincipal::Focus(ControlId control) { SetFocus(Control(control)); }

void TFrmPrincipal::RefreshTimeField() { edtHorario->Refresh(); }

void TFrmPrincipal::SetProgressBar(std::uint32_t beginColor, double maximum, double position) {
    cxProgressBar1->SetBarColor(ProgressBarModel::ColorFromBgr(beginColor));
    cxProgressBar1->SetMaximum(maximum);
    cxProgressBar1->SetPosition(position);
}

void TFrmPrincipal::ProcessMessages() {
    if (!messagePace_.Due()) return;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {  // for the message loop, once the run has returned
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        Dispatch(message);
    }
}

bool TFrmPrincipal::WindowVisible() const { return IsWindowVisible(window_); }

void TFrmPrincipal::SetWindowVisible(bool visible) {
    ShowWindow(window_, visible ? SW_SHOW : SW_HIDE);
    if (visible) SetForegroundWindow(window_);
}

void TFrmPrincipal::CloseWindow() { PostMessageA(window_, WM_CLOSE, 0, 0); }

void TFrmPrincipal::QuitApplication() {
    Tray->Remove();  // here, while closing, not while the window is destroyed
    PostQuitMessage(0);
}

void TFrmPrincipal::RunLater(std::function<void()> action) {
    later_.push_back(std::move(action));
    PostMessageA(window_, kRunLaterMessage, 0, 0);
}

void TFrmPrincipal::Beep() { MessageBeep(MB_OK); }

void TFrmPrincipal::SetTimerActive(TimerId timer, bool active) {
    if (active)
        SetTimer(window_, TimerNumber(timer), static_cast<UINT>(TimerPeriodMs(timer)), nullptr);
    else
        KillTimer(window_, TimerNumber(timer));
}

void TFrmPrincipal::SetTrayIcon(Picture icon, const std::string& tip) {
    // The taskbar button, the task switcher and the tray show the application icon; the title
    // bar keeps the window's own small icon, MAINICON.
    const bool busy = icon == Picture::IconBusy;
    SendMessageA(window_, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(busy ? ImgIcone2 : ImgIcone1));
    Tray->SetIcon(busy ? ImgIcone2Small : ImgIcone1Small);
    Tray->SetTip(tip);
}

void TFrmPrincipal::PopupTrayMenuAtCursor() {
    POINT cursor;
    GetCursorPos(&cursor);
    Tray->Popup(cursor);
}

void TFrmPrincipal::ShowMessageBox(MessageKind kind, const std::string& caption,
                                   const std::string& text) {
    messageBoxes_->ShowMessageBox(kind, caption, text);
}
