#pragma once
// Ends the current action without any message: the application's default handler swallows it.

#include <exception>

struct SilentAbort : std::exception {
    const char* what() const noexcept override { return "SilentAbort"; }
};
