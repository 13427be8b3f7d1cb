// What the Win32 window is made of, when the system refuses it: the window's creation ends with
// what was missing and the system's reason (the start-up then shows it), never with a null
// handle that the window would go on with.

#include <gtest/gtest.h>

#include <string>

#include "win32/controls/Pictures.h"
#include "win32/controls/Win32.h"

namespace {

// The error's text when `make` refuses, or "(no error)".
template <class Make>
std::string ErrorOf(Make&& make) {
    try {
        make();
    } catch (const win32::CreationError& error) {
        return error.what();
    }
    return "(no error)";
}

// `text` is `what`, ": " and a reason of the system's (whose words differ between Windows and
// Wine, and between versions).
void ExpectRefusal(const std::string& text, const std::string& what) {
    ASSERT_EQ(text.substr(0, what.size() + 2), what + ": ") << text;
    EXPECT_GT(text.size(), what.size() + 2) << "no reason given";
}

}  // namespace

TEST(Win32ControlsTest, WhatCannotBeMadeEndsTheCreationWithTheSystemsReason) {
    constexpr int kNoSuchPicture = 9999;  // this program holds no resources at all
    ExpectRefusal(ErrorOf([] { win32::LoadPicture(kNoSuchPicture); }),
                  "Não foi possível carregar a imagem 9999");
    ExpectRefusal(ErrorOf([] { win32::LoadIconImage("MAINICON", 16); }),
                  "Não foi possível carregar o ícone MAINICON");
    ExpectRefusal(ErrorOf([] {
                      win32::CreateOwnedWindow("DuploraNoSuchClass", nullptr, WS_OVERLAPPED, 0, "",
                                               0, 0, 10, 10, nullptr, 0);
                  }),
                  "Não foi possível criar a janela DuploraNoSuchClass");
}

TEST(Win32ControlsTest, ControlsOfTheSystemAndOfDuploraAreMade) {
    win32::RegisterWindowClass("DuploraTestClass", &DefWindowProcA);
    win32::RegisterWindowClass("DuploraTestClass", &DefWindowProcA);  // once is enough
    HWND window = win32::CreateOwnedWindow("DuploraTestClass", nullptr, WS_OVERLAPPED, 0, "", 0, 0,
                                           100, 100, nullptr, 0);
    HWND button =
        win32::CreateOwnedWindow("BUTTON", nullptr, WS_CHILD, 0, "Fechar", 0, 0, 50, 20, window, 7);
    EXPECT_EQ(GetDlgCtrlID(button), 7);
    EXPECT_EQ(GetParent(button), window);
    DestroyWindow(window);
}
