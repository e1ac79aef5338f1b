// Windows-form names to the names the POSIX file system takes, and back.
//
// Narrow names are in the ANSI code page and wide ones UTF-16; native names
// are UTF-8. Both `\` and `/` separate; a native POSIX path passes as it is.
#pragma once

#include <string>

#include "platform/types.h"
#include "platform/wide.h"

namespace platform {
namespace posix {

std::string NativePathFromNarrow(const char* path);
std::string NativePathFromWide(const WCHAR* path);

// Native UTF-8 text (a file name, a path) in the ANSI code page or UTF-16.
std::string NarrowFromNative(const std::string& native);
WideString WideFromNative(const std::string& native);

// UTF-16 <-> the ANSI code page, as whole strings.
WideString WideFromNarrow(const char* text);
std::string NarrowFromWide(const WideString& text);

}  // namespace posix
}  // namespace platform
