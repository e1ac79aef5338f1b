// Windows error codes for the POSIX file layer: errno mapped to the code the
// Windows file functions give for the same failure.
#pragma once

#include <string_view>

#include "platform/types.h"

namespace platform {
namespace posix {

// The Windows code for `error` (an errno value) met by an operation on
// `path`. A missing name is ERROR_FILE_NOT_FOUND when its folder exists and
// ERROR_PATH_NOT_FOUND when the folder is missing too, as Windows tells them.
DWORD WindowsErrorFromErrno(int error, std::string_view path);

// Set the thread's last error and answer FALSE, for the callers' returns.
BOOL Fail(DWORD windowsError);
BOOL FailFromErrno(int error, std::string_view path = std::string_view());

}  // namespace posix
}  // namespace platform
