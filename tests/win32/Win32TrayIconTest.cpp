// How the Win32 window reads the notification-area icon's callback: the mouse message the shell
// puts in lParam, as the click the window logic takes (whose rules MainFormTest checks).

#include <gtest/gtest.h>

#include <optional>

#include "win32/TrayIcon.h"

TEST(Win32TrayIconTest, TheShellsMouseMessagesAreTheLogicsClicks) {
    struct Case {
        LPARAM mouseMessage;
        std::optional<TrayClick> click;
    };
    const Case cases[] = {
        {WM_LBUTTONDOWN, TrayClick::Left},
        {WM_RBUTTONDOWN, TrayClick::Right},
        {WM_LBUTTONDBLCLK, TrayClick::Double},  // instead of a second WM_LBUTTONDOWN
        {WM_RBUTTONDBLCLK, std::nullopt},       // as Qt reports none
        {WM_MOUSEMOVE, std::nullopt},
        {WM_LBUTTONUP, std::nullopt},
        {WM_RBUTTONUP, std::nullopt},
        {WM_MBUTTONDOWN, std::nullopt},
        {WM_MBUTTONDBLCLK, std::nullopt},
        {0, std::nullopt},  // DM_GETDEFID, sent by the dialog keys with the same message number
    };
    for (const Case& c : cases)
        EXPECT_EQ(win32::TrayClickOf(c.mouseMessage), c.click) << std::hex << c.mouseMessage;
}
