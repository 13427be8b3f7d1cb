#pragma once
// A random GUID in its registry text form, {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}: a name that
// no other cursor of the attachment carries.

#include <string>

std::string NewGuidText();
