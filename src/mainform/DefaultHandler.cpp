#include "mainform/DefaultHandler.h"

#include <cstdio>
#include <cstdlib>
#include <typeinfo>

#include "common/SilentAbort.h"

#if defined(__GNUG__)
#include <cxxabi.h>
#endif

namespace {

// The error's class as the source names it.
std::string ClassName(const std::exception& error) {
    const char* name = typeid(error).name();
#if defined(__GNUG__)
    int status = 0;
    char* demangled = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    const std::string readable = status == 0 && demangled ? demangled : name;
    std::free(demangled);
    return readable;
#else
    // MSVC's names read "class X" / "struct X".
    std::string readable = name;
    for (const char* prefix : {"class ", "struct "})
        if (readable.rfind(prefix, 0) == 0)
            readable.erase(0, std::char_traits<char>::length(prefix));
    return readable;
#endif
}

}  // namespace

std::string WithFullStop(const std::string& text) {
    return !text.empty() && static_cast<unsigned char>(text.back()) > '.' ? text + '.' : text;
}

void ShowError(MessageBoxes& boxes, const std::string& text) {
    boxes.ShowMessageBox(MessageKind::Error, kApplicationTitle, WithFullStop(text));
}

void ShowInformation(MessageBoxes& boxes, const std::string& text) {
    boxes.ShowMessageBox(MessageKind::Information, kApplicationTitle, text);
}

void ShowException(MessageBoxes& boxes, std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const SilentAbort&) {
    } catch (const std::exception& e) {
        ShowError(boxes, e.what());
    } catch (...) {
        ShowError(boxes, "Unknown error");
    }
}

std::string ApplicationErrorText(const std::exception& error, const std::string& module) {
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(&error));
    return "Exception " + ClassName(error) + " in module " + module + " at " + address + ".\r\n" +
           WithFullStop(error.what()) + "\r\n";
}

void ShowApplicationError(MessageBoxes& boxes, const std::exception& error,
                          const std::string& module) {
    boxes.ShowMessageBox(MessageKind::ApplicationError, "Application Error",
                         ApplicationErrorText(error, module));
}
