// Which application opens a type of file, as the desktop's opener resolves
// it: the type from the shared-mime-info globs, the application from
// mimeapps.list and then from the desktop entries naming the type.
#pragma once

#include <string>
#include <vector>

namespace platform {
namespace posix {

// The MIME type of files with extension `extension` (without its period,
// any case); empty when no glob names it.
std::string MimeTypeOfExtension(const std::string& extension);

// The Exec line of the application for `mimeType`: its main command for
// the verb "open" (any case) or none, else the desktop action of that
// name. Empty when nothing takes the type or the verb.
std::string CommandForType(const std::string& mimeType, const std::string& verb);

// An Exec line split into arguments, field codes replaced by `file`.
std::vector<std::string> ExpandCommand(const std::string& exec, const std::string& file);

}  // namespace posix
}  // namespace platform
