#include "UPrincipal.h"

#include <algorithm>
#include <array>

#include "Fonts.h"
#include "Pictures.h"
#include "ResourceIds.h"

using namespace win32;

TFrmPrincipal* FrmPrincipal = nullptr;

namespace {

constexpr int kClientWidth = 385;
constexpr int kClientHeight = 273;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

// Timers of the window.
constexpr UINT_PTR kDailyTimer = 1;  // TmrExecutaDiario
constexpr UINT_PTR kPopupTimer = 2;  // TimerPopup
constexpr UINT kDailyTimerMs = 30000;
constexpr UINT kPopupTimerMs = 200;

// Actions given to RunLater.
constexpr UINT kRunLaterMessage = WM_APP + 1;

HWND Control(HWND parent, const char* className, const char* text, DWORD style, int id, int left,
             int top, int width, int height, HFONT font) {
    HWND control = CreateOwnedWindow(className, nullptr, WS_CHILD | WS_VISIBLE | style, 0, text,
                                     left, top, width, height, parent, id);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

HWND CheckBox(HWND parent, const char* text, int id, int left, int top, int width, HFONT font,
              bool tabStop = true) {
    HWND box = Control(parent, "BUTTON", text, BS_AUTOCHECKBOX | (tabStop ? WS_TABSTOP : 0), id,
                       left, top, width, 17, font);
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    return box;
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

bool Checked(HWND box) { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool IsButton(HWND window) {
    char className[16];
    return GetClassNameA(window, className, sizeof className) &&
           lstrcmpiA(className, "Button") == 0;
}

}  // namespace

TFrmPrincipal::TFrmPrincipal(std::string settingsFile, const Clock* clock)
    : dialogFont_(CreatePixelFont(kDialogFace)),
      buttonFont_(CreatePixelFont(kButtonFace)),
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
                                kApplicationTitle, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, 0);
    messageBoxes_ = std::make_unique<SystemMessageBoxes>(window_);
    BuildControls();
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
    // Created in tab order: the dialog keys follow the order of creation.
    grpAgendamento = std::make_unique<Frame>(Frame::Kind::GroupBox, window_, IDC_GRP_AGENDAMENTO,
                                             "Agendamento", dialogFont_, 8, 8, 369, 41);
    HWND group = grpAgendamento->Handle();
    chkDiario =
        CheckBox(group, "Executar Backup diário às :", IDC_CHK_DIARIO, 72, 18, 153, dialogFont_);
    SendMessageA(chkDiario, BM_SETCHECK, BST_UNCHECKED, 0);
    EndCaptionAt(chkDiario, 225 - 3);
    edtHorario = std::make_unique<TimeEdit>(group, IDC_EDT_HORARIO, dialogFont_, 225, 14, 41, 21);
    Label1 = std::make_unique<Label>(group, IDC_LABEL1, "horas.", dialogFont_, 270, 19);

    pnlOpcoes = std::make_unique<Frame>(Frame::Kind::Panel, window_, IDC_PNL_OPCOES, "",
                                        dialogFont_, 8, 56, 369, 97);
    HWND panel = pnlOpcoes->Handle();
    imgConectarBanco = std::make_unique<TransparentImage>(panel, IDC_IMG_CONECTAR_BANCO, 8, 10);
    imgCopiarPastaTavix =
        std::make_unique<TransparentImage>(panel, IDC_IMG_COPIAR_PASTA_TAVIX, 8, 30);
    imgCopiarBanco = std::make_unique<TransparentImage>(panel, IDC_IMG_COPIAR_BANCO, 8, 50);
    imgCopiarMusicas = std::make_unique<TransparentImage>(panel, IDC_IMG_COPIAR_MUSICAS, 8, 70);
    chkConectarBanco =
        CheckBox(panel, "", IDC_CHK_CONECTAR_BANCO, 28, 10, 15, dialogFont_, /*tabStop=*/false);
    EnableWindow(chkConectarBanco, FALSE);  // step 1 always runs
    Label2 = std::make_unique<Label>(panel, IDC_LABEL2, "Conectar com o Banco de Dados",
                                     dialogFont_, 46, 12);
    chkCopiarPastaTavix = CheckBox(panel, "Copiar a pasta Tavix", IDC_CHK_COPIAR_PASTA_TAVIX, 28,
                                   30, 200, dialogFont_);
    chkCopiarBancoDados = CheckBox(panel, "Copiar o Banco de Dados", IDC_CHK_COPIAR_BANCO_DADOS, 28,
                                   50, 200, dialogFont_);
    chkCopiarMusicas =
        CheckBox(panel, "Copiar as Músicas", IDC_CHK_COPIAR_MUSICAS, 28, 70, 200, dialogFont_);

    lblProgresso =
        std::make_unique<Label>(window_, IDC_LBL_PROGRESSO, "           ", dialogFont_, 8, 160);
    lblDestino =
        std::make_unique<Label>(window_, IDC_LBL_DESTINO, "           ", dialogFont_, 8, 176);
    cxProgressBar1 = std::make_unique<ProgressBar>(window_, IDC_PROGRESS_BAR, 7, 192, 371, 21);

    btnIniciarBackup = std::make_unique<PictureButton>(
        window_, IDC_BTN_INICIAR_BACKUP, "Iniciar Backup", buttonFont_, 7, 223, 122, 42,
        LoadPicture(IDB_BUTTON_START), LoadPicture(IDB_BUTTON_START_DISABLED));
    btnOcultar =
        std::make_unique<PictureButton>(window_, IDC_BTN_OCULTAR, "Ocultar", buttonFont_, 132, 223,
                                        122, 42, LoadPicture(IDB_BUTTON_OCULTAR));
    btnFechar = std::make_unique<PictureButton>(window_, IDC_BTN_FECHAR, "Fechar", buttonFont_, 256,
                                                223, 122, 42, LoadPicture(IDB_BUTTON_FECHAR));

    auto stepTemplate = [&](int id, int picture, int left) {
        auto image = std::make_unique<TransparentImage>(window_, id, left, 170, /*visible=*/false);
        image->SetPicture(LoadPicture(picture));
        return image;
    };
    imgPendende = stepTemplate(IDC_IMG_PENDENDE, IDB_STEP_PENDING, 56);
    imgOk = stepTemplate(IDC_IMG_OK, IDB_STEP_OK, 72);
    imgErro = stepTemplate(IDC_IMG_ERRO, IDB_STEP_ERROR, 88);
    imgProcessando = stepTemplate(IDC_IMG_PROCESSANDO, IDB_STEP_PROCESSING, 104);

    Tray = std::make_unique<TrayIcon>(window_);
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
    SetFocus(chkDiario);

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
        case IDC_BTN_INICIAR_BACKUP:
            Form.btnIniciarBackupClick();
            break;
        case IDC_BTN_OCULTAR:
            Form.btnOcultarClick();
            break;
        case IDC_BTN_FECHAR:
            Form.btnFecharClick();
            break;
        case IDC_CHK_DIARIO:
            Form.chkDiarioClick();
            break;
        case IDM_INICIAR_BACKUP:
            Form.MenuIniciarBackupClick();
            break;
        case IDM_OCULTAR_RESTAURAR:
            Form.MenuOcultar_RestaurarClick();
            break;
        case IDM_FECHAR:
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
            if (wParam == kDailyTimer) Form.TmrExecutaDiarioTimer();
            if (wParam == kPopupTimer) Form.TimerPopupTimer();
            return 0;
        case kTrayIconMessage:
            // The shell's mouse message over the icon. (The dialog keys send DM_GETDEFID, the
            // same number, with 0: ignored there as here, and answered "no default button".)
            Form.WMTrayIcon(static_cast<int>(lParam));
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
            for (const auto* button : {btnIniciarBackup.get(), btnOcultar.get(), btnFechar.get()})
                if (button && over == button->Handle() && LOWORD(lParam) == HTCLIENT) {
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

TransparentImage& TFrmPrincipal::StepImage(int step) {
    const std::array<TransparentImage*, 4> images{imgConectarBanco.get(), imgCopiarPastaTavix.get(),
                                                  imgCopiarBanco.get(), imgCopiarMusicas.get()};
    return *images.at(static_cast<std::size_t>(step - 1));
}

// BackupView.

void TFrmPrincipal::SetProgressText(const std::string& text) { lblProgresso->SetText(text); }

void TFrmPrincipal::SetDestinationText(const std::string& text) { lblDestino->SetText(text); }

void TFrmPrincipal::SetProgressBar(std::uint32_t beginColor, double maximum, double position) {
    cxProgressBar1->SetBarColor(ProgressBarModel::ColorFromBgr(beginColor));
    cxProgressBar1->SetMaximum(maximum);
    cxProgressBar1->SetPosition(position);
}

void TFrmPrincipal::ProcessMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {  // for the message loop, once the run has returned
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        Dispatch(message);
    }
}

void TFrmPrincipal::SetStepImage(int step, StepState state) {
    const TransparentImage& source = state == StepState::Pending      ? *imgPendende
                                     : state == StepState::Processing ? *imgProcessando
                                     : state == StepState::Ok         ? *imgOk
                                                                      : *imgErro;
    StepImage(step).AssignPicture(source);
}

bool TFrmPrincipal::OptionChecked(StepOption option) const {
    switch (option) {
        case StepOption::CopySystemFolder:
            return Checked(chkCopiarPastaTavix);
        case StepOption::CopyDatabase:
            return Checked(chkCopiarBancoDados);
        case StepOption::CopyMusicFolders:
            return Checked(chkCopiarMusicas);
    }
    return false;
}

void TFrmPrincipal::SetStartEnabled(bool enabled) {
    EnableWindow(btnIniciarBackup->Handle(), enabled);
}

bool TFrmPrincipal::StartEnabled() const { return IsWindowEnabled(btnIniciarBackup->Handle()); }

void TFrmPrincipal::SetStartMenuItemEnabled(bool enabled) {
    Tray->SetItemEnabled(IDM_INICIAR_BACKUP, enabled);
}

void TFrmPrincipal::SetCloseEnabled(bool enabled) { EnableWindow(btnFechar->Handle(), enabled); }

void TFrmPrincipal::SetScheduleEnabled(bool enabled) {
    // The group and everything in it; the time field keeps its own state for when the group
    // is enabled again.
    scheduleEnabled_ = enabled;
    EnableWindow(grpAgendamento->Handle(), enabled);
    EnableWindow(chkDiario, enabled);
    EnableWindow(edtHorario->Handle(), enabled && timeFieldEnabled_);
}

void TFrmPrincipal::SetTrayIcon(TrayPicture picture) {
    // The taskbar button, the task switcher and the tray show the application icon; the title
    // bar keeps the window's own small icon, MAINICON.
    const bool busy = picture == TrayPicture::Busy;
    SendMessageA(window_, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(busy ? ImgIcone2 : ImgIcone1));
    Tray->SetIcon(busy ? ImgIcone2Small : ImgIcone1Small);
}

void TFrmPrincipal::SetTrayTip(const std::string& text) { Tray->SetTip(text); }

// SettingsView.

bool TFrmPrincipal::DailyChecked() const { return Checked(chkDiario); }

void TFrmPrincipal::SetDailyChecked(bool checked) {
    if (checked == DailyChecked()) return;
    SendMessageA(chkDiario, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    Form.chkDiarioClick();  // as every change of the box does
}

std::string TFrmPrincipal::TimeText() const { return edtHorario->Text(); }

void TFrmPrincipal::SetTimeText(const std::string& text) { edtHorario->SetText(text); }

void TFrmPrincipal::SetTimeFieldEnabled(bool enabled) {
    timeFieldEnabled_ = enabled;
    EnableWindow(edtHorario->Handle(), enabled && scheduleEnabled_);
}

void TFrmPrincipal::FocusTimeField() { SetFocus(edtHorario->Handle()); }

void TFrmPrincipal::SetDailyTimerEnabled(bool enabled) {
    if (enabled == dailyTimerActive_) return;  // a running period goes on
    dailyTimerActive_ = enabled;
    if (enabled)
        SetTimer(window_, kDailyTimer, kDailyTimerMs, nullptr);
    else
        KillTimer(window_, kDailyTimer);
}

bool TFrmPrincipal::StartButtonEnabled() const { return StartEnabled(); }

void TFrmPrincipal::StartBackup() { Form.btnIniciarBackupClick(); }

void TFrmPrincipal::ShowInformation(const std::string& text) { ::ShowInformation(*this, text); }

// MainFormView.

void TFrmPrincipal::ShowMessageBox(MessageKind kind, const std::string& caption,
                                   const std::string& text) {
    messageBoxes_->ShowMessageBox(kind, caption, text);
}

void TFrmPrincipal::SetMainIcon() {
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(ImgIcone1Small));
    SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(mainIcon_));
}

bool TFrmPrincipal::WindowVisible() const { return IsWindowVisible(window_); }

void TFrmPrincipal::HideWindow() { ShowWindow(window_, SW_HIDE); }

void TFrmPrincipal::ShowWindowInFront() {
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
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

bool TFrmPrincipal::CheckTimeFieldOnExit() {
    const bool passed = edtHorario->Model().CheckOnExit();
    edtHorario->Refresh();
    return passed;
}

void TFrmPrincipal::InstallTrayIcon() { Tray->Install(ImgIcone1Small); }

bool TFrmPrincipal::PopupTimerActive() const { return popupTimerActive_; }

void TFrmPrincipal::SetPopupTimerActive(bool active) {
    popupTimerActive_ = active;
    if (active)
        SetTimer(window_, kPopupTimer, kPopupTimerMs, nullptr);
    else
        KillTimer(window_, kPopupTimer);
}

void TFrmPrincipal::SetMenuOcultarRestaurar(const std::string& caption, TrayMenuPicture picture) {
    Tray->SetMenuOcultarRestaurar(caption, picture);
}

void TFrmPrincipal::PopupTrayMenuAtCursor() {
    POINT cursor;
    GetCursorPos(&cursor);
    Tray->Popup(cursor);
}
