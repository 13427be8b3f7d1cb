// duplora_window_probe: run in the same Wine prefix as Duplora.exe, it reads the main window
// the way the tests need it, by control id, and prints one "name=value" line each:
//   window=found|missing, visible=0|1, client=X,Y (the client area's corner on the screen)
//   step1..step4=Empty|Pending|Processing|Ok|Error|Unknown   (the bitmap each step image holds,
//                                                             told by the hidden templates')
//   lblProgresso, lblDestino, edtHorario=<text>   chkDiario, chkCopiar...=0|1
//   btnIniciarBackup, btnFechar, grpAgendamento=<enabled 0|1>
//   box=<caption>: <text>   one line per message box on the screen, whether the window exists
//   doubleClickTime=<ms>    within which two presses are a double click (GetDoubleClickTime)
// Exit status 0 when the window was found.
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/Steps.h"
#include "win32/controls/ResourceIds.h"

namespace {

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchControl(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<ControlSearch*>(param);
    if (GetDlgCtrlID(child) != search->id) return TRUE;
    search->found = child;
    return FALSE;
}

// The control of `window` with `id`, at any depth.
HWND Control(HWND window, int id) {
    ControlSearch search{id, nullptr};
    EnumChildWindows(window, &MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A control's text on one line: a line end is written "\n".
std::string Text(HWND control) {
    char text[1024] = "";
    SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    std::string line;
    for (const char* c = text; *c; ++c) {
        if (*c == '\n')
            line += "\\n";
        else if (*c != '\r')
            line += *c;
    }
    return line;
}

LRESULT Image(HWND control) { return SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0); }

// The message boxes shown (dialogs of the system's class), with their caption and text.
BOOL CALLBACK PrintMessageBox(HWND box, LPARAM) {
    char className[16] = "";
    GetClassNameA(box, className, sizeof className);
    if (std::string(className) == "#32770" && IsWindowVisible(box)) {
        char caption[256] = "";
        GetWindowTextA(box, caption, sizeof caption);
        std::printf("box=%s: %s\n", caption, Text(GetDlgItem(box, 0xFFFF)).c_str());
    }
    return TRUE;
}

}  // namespace

int main() {
    EnumWindows(&PrintMessageBox, 0);
    std::printf("doubleClickTime=%u\n", GetDoubleClickTime());
    HWND window = FindWindowA(DUPLORA_MAIN_CLASS, nullptr);
    if (!window) {
        std::puts("window=missing");
        return 1;
    }
    POINT client{0, 0};
    ClientToScreen(window, &client);  // screen coordinates are the X root's
    std::printf("window=found\nvisible=%d\nclient=%ld,%ld\n", IsWindowVisible(window) ? 1 : 0,
                static_cast<long>(client.x), static_cast<long>(client.y));

    struct Template {
        int id;
        const char* state;
    };
    const Template templates[] = {{IDC_IMG_PENDENDE, "Pending"},
                                  {IDC_IMG_PROCESSANDO, "Processing"},
                                  {IDC_IMG_OK, "Ok"},
                                  {IDC_IMG_ERRO, "Error"}};
    for (int step = 1; step <= kStepCount; ++step) {
        const LRESULT image = Image(Control(window, IDC_STEP_IMAGE + step));
        const char* state = image ? "Unknown" : "Empty";
        for (const Template& t : templates)
            if (image && image == Image(Control(window, t.id))) state = t.state;
        std::printf("step%d=%s\n", step, state);
        if (Step(step).optional)
            std::printf(
                "%s=%d\n", Step(step).box,
                SendMessageA(Control(window, IDC_STEP_BOX + step), BM_GETCHECK, 0, 0) == BST_CHECKED
                    ? 1
                    : 0);
    }

    const struct {
        const char* name;
        int id;
    } texts[] = {{"lblProgresso", IDC_LBL_PROGRESSO},
                 {"lblDestino", IDC_LBL_DESTINO},
                 {"edtHorario", IDC_EDT_HORARIO}},
      checks[] = {{"chkDiario", IDC_CHK_DIARIO}},
      enabled[] = {{"btnIniciarBackup", IDC_BTN_INICIAR_BACKUP},
                   {"btnFechar", IDC_BTN_FECHAR},
                   {"grpAgendamento", IDC_GRP_AGENDAMENTO}};
    for (const auto& t : texts) std::printf("%s=%s\n", t.name, Text(Control(window, t.id)).c_str());
    for (const auto& c : checks)
        std::printf("%s=%d\n", c.name,
                    SendMessageA(Control(window, c.id), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
    for (const auto& e : enabled)
        std::printf("%s=%d\n", e.name, IsWindowEnabled(Control(window, e.id)) ? 1 : 0);
    return 0;
}
