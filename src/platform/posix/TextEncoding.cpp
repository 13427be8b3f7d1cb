// The program's encoding on POSIX: UTF-8, the encoding of the window and of the file names.

#include "platform/TextEncoding.h"

#include <langinfo.h>

#include <clocale>
#include <cstring>

namespace platform {

std::string InternalText(std::string_view text) {
    if (IsValidUtf8(text)) return std::string(text);
    return Cp1252ToUtf8(text);
}

std::string Utf8Text(std::string_view text) { return std::string(text); }

void UseProgramEncodingForSystemTexts() {
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0) return;
    // C.UTF-8 is built into the C library; the other spelling is the one older systems use.
    if (!std::setlocale(LC_CTYPE, "C.UTF-8")) std::setlocale(LC_CTYPE, "C.utf8");
}

}  // namespace platform
