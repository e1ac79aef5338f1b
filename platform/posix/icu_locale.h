// The ICU locale behind a Windows locale id, for the parts of the POSIX
// layer that format with ICU (dates, numbers, locale values).
#pragma once

#include <stddef.h>

#include <string>

#include "platform/types.h"

namespace platform {
namespace posix {

// The locale an id stands for: the default and neutral ids resolved as
// ConvertDefaultLocale resolves them, a sort id kept with its sort.
LCID ResolveLocale(LCID locale);

// Writes the ICU locale id ("de_DE", "en_US") that `locale` stands for
// (ResolveLocale).
// False, with ERROR_INVALID_PARAMETER, for an id Windows does not know.
bool IcuLocaleIdOf(LCID locale, char* icuId, size_t size);

// The Windows locale id of an ICU locale id, 0 when Windows has none.
LCID LcidOfIcuLocale(const char* icuId);

// Windows' name of the locale of an ICU id ("zh-TW", "de-DE_phoneb").
std::string WindowsLocaleName(const char* icuId);

// The kernel's LCIDToLocaleName, with Windows' names ("zh-TW",
// "de-DE_phoneb", "" for the invariant locale).
int LCIDToLocaleName(LCID locale, WCHAR* name, int size, DWORD flags);

}  // namespace posix
}  // namespace platform
