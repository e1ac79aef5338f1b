// Text in the ANSI code page and its UTF-16 form, as whole strings: for the
// platform's own calls that take one form and must pass on the other.
#pragma once

#include <string>

#include "platform/wide.h"

namespace platform {

// Empty for null or text the code page cannot convert.
WideString WidenAnsi(const char* text);
// Characters the code page lacks become its default character.
std::string NarrowAnsi(const WideString& text);

}  // namespace platform
