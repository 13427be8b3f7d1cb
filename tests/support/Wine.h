#pragma once
// The Windows build's tests run under Wine in CI. Where Wine's own implementation of a function
// differs from Windows in a way the product does not depend on, a test checks what both share.

#include <string>

// True when the process runs under Wine (never on Linux, nor on Windows itself).
bool RunningUnderWine();

// A settings file's content without its layout: CR LF line ends, no blank lines, no blanks
// around a line, a section name, a key or a value. Wine's WritePrivateProfileStringA rewrites
// the whole file in a layout of its own, where Windows changes only the line of the key.
std::string ProfileContent(const std::string& text);
