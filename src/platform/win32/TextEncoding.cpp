// The program's encoding on Windows: the ANSI code page, in which the A functions take and give
// every text. Texts from outside arrive in it already.

#include "TextEncoding.h"

namespace platform {

std::string InternalText(std::string_view text) { return std::string(text); }

void UseProgramEncodingForSystemTexts() {}

}  // namespace platform
