#pragma once

// The application's title: the window's caption, the taskbar button's text, the tray icon's tip
// and the caption of its message boxes.
inline constexpr const char* kApplicationTitle = "Duplora - Tavix Zadododa";
