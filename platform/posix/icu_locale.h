// The ICU locale behind a Windows locale id, for the parts of the POSIX
// layer that format with ICU (dates, numbers, locale values).
#pragma once

#include <stddef.h>

#include "platform/types.h"

namespace platform {
namespace posix {

// Writes the ICU locale id ("de_DE", "en_US") that `locale` stands for, the
// default and neutral ids resolved as ConvertDefaultLocale resolves them.
// False, with ERROR_INVALID_PARAMETER, for an id Windows does not know.
bool IcuLocaleIdOf(LCID locale, char* icuId, size_t size);

}  // namespace posix
}  // namespace platform
