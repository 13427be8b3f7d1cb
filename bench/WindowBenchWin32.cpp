// The jobs of BenchJobs.h through the real main window of the Windows program, TFrmPrincipal on
// Win32, shown: what a user's run costs there. The window is created and shown before the jobs
// start, as it stands open before a run; its start-up is reported apart. A console program, so
// that bench/run.py reads what it prints.
#include <chrono>
#include <cstdio>
#include <string>

#include "BenchJobs.h"
#include "win32/UPrincipal.h"

namespace {

std::string ShownText(HWND control) {
    char text[1024];
    const int length = GetWindowTextA(control, text, sizeof text);
    return std::string(text, static_cast<std::size_t>(length > 0 ? length : 0));
}

}  // namespace

int main(int argc, char** argv) {
    const auto started = std::chrono::steady_clock::now();
    const auto jobs = bench::ParseJobs(argc, argv);
    if (!jobs) return 2;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    // No settings file beside the bench program: the window starts with its layout defaults.
    TFrmPrincipal window;
    ShowWindow(window.Handle(), SW_SHOW);
    UpdateWindow(window.Handle());
    window.ProcessMessages();
    bench::Print("startup_seconds",
                 std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());

    const bench::Outcome outcome = bench::Run(*jobs, window.Form.Progress());
    bench::Print("run_seconds", outcome.seconds);

    // The labels must end on the walk's last texts.
    const std::string& last = window.lblDestino->Text();
    const DWORD deadline = GetTickCount() + 1000;
    while (ShownText(window.lblDestino->Handle()) != last) {
        if (GetTickCount() > deadline) {
            std::fprintf(stderr, "duplora_bench_window: lblDestino does not show the last text\n");
            return 4;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        window.ProcessMessages();
    }
    std::fprintf(stderr, "duplora_bench_window: %s | %s, %.1f of %.1f MB\n",
                 ShownText(window.lblProgresso->Handle()).c_str(), last.c_str(), outcome.copiedMB,
                 outcome.totalMB);
    return outcome.complete ? 0 : 1;
}
