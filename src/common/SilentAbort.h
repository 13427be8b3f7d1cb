#pragma once

#include <exception>

// Ends the current user action without any message: the application's default handler
// swallows it.
struct SilentAbort : std::exception {
    const char* what() const noexcept override { return "SilentAbort"; }
};
