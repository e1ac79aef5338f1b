// The directory search of the POSIX layer, for the shell operations.
#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {
namespace posix {

// Appends the native paths of what the Windows-form `pattern` names: the
// entries its wildcards match ("." and ".." left out, and directories too
// when `filesOnly`), or the one file an exact name names. FALSE with the
// search's last error when it names nothing.
BOOL ExpandPattern(const std::string& pattern, bool filesOnly, std::vector<std::string>* paths);

}  // namespace posix
}  // namespace platform
