// The computer's and the user's names, the environment, the special folders.

#include <ctype.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/posix/native_path.h"
#include "platform/shell.h"
#include "platform/system.h"

extern char** environ;

namespace platform {
namespace {

// The NetBIOS form of the host name: its first label, upper-cased. Windows
// fixes the computer name when the system starts, so it is read once.
const std::string& ComputerName() {
  static const std::string name = [] {
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) return std::string();
    std::string first(host, strcspn(host, "."));
    for (char& c : first) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return first;
  }();
  return name;
}

std::string LookUpUserName(uid_t user) {
  char scratch[4096];
  passwd entry;
  passwd* found = nullptr;
  if (getpwuid_r(user, &entry, scratch, sizeof scratch, &found) == 0 && found != nullptr) return found->pw_name;
  const char* fromEnvironment = std::getenv("USER");
  if (fromEnvironment == nullptr) fromEnvironment = std::getenv("LOGNAME");
  return fromEnvironment != nullptr ? fromEnvironment : "";
}

// The effective user's name, looked up again only when the user changes:
// the user database is a file read, and the log asks at every entry.
std::string UserName() {
  static std::mutex lookUp;
  static uid_t knownUser = static_cast<uid_t>(-1);
  static std::string knownName;
  uid_t user = geteuid();
  std::lock_guard<std::mutex> hold(lookUp);
  if (user != knownUser || knownName.empty()) {
    knownName = LookUpUserName(user);
    knownUser = user;
  }
  return knownName;
}

// Copies `text` when it fits; `countTerminator` says whether the length
// reported on success includes it (GetUserName) or not (GetComputerName).
template <typename Char>
BOOL CopyName(const std::basic_string<Char>& text, Char* buffer, DWORD* size, bool countTerminator,
              DWORD overflowError) {
  if (text.empty()) {
    SetLastError(ERROR_INVALID_FUNCTION);
    return FALSE;
  }
  DWORD needed = static_cast<DWORD>(text.size()) + 1;
  if (buffer == nullptr || *size < needed) {
    *size = needed;
    SetLastError(overflowError);
    return FALSE;
  }
  std::memcpy(buffer, text.c_str(), needed * sizeof(Char));
  *size = countTerminator ? needed : needed - 1;
  return TRUE;
}

// Environment names compare without regard to case, as on Windows; an
// exact match wins.
const char* LookUpVariable(const std::string& name) {
  if (const char* exact = std::getenv(name.c_str())) return exact;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const char* equals = std::strchr(*entry, '=');
    if (equals != nullptr && static_cast<size_t>(equals - *entry) == name.size() &&
        strncasecmp(*entry, name.c_str(), name.size()) == 0) {
      return equals + 1;
    }
  }
  return nullptr;
}

}  // namespace

DWORD ExpandEnvironmentStringsA(const char* source, char* dest, DWORD size) {
  if (source == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string expanded;
  for (const char* p = source; *p != '\0';) {
    if (*p != '%') {
      expanded.push_back(*p++);
      continue;
    }
    const char* close = std::strchr(p + 1, '%');
    if (close == nullptr) {
      expanded += p;
      break;
    }
    const char* value = close > p + 1 ? LookUpVariable(std::string(p + 1, close)) : nullptr;
    if (value != nullptr) {
      expanded += value;
      p = close + 1;
    } else {
      expanded.append(p, close + 1);  // not a variable: "%name%" stays as it is
      p = close + 1;
    }
  }
  DWORD needed = static_cast<DWORD>(expanded.size()) + 1;
  if (dest != nullptr && needed <= size) std::memcpy(dest, expanded.c_str(), needed);
  return needed;
}

BOOL GetComputerNameA(char* buffer, DWORD* size) {
  return CopyName(posix::NarrowFromNative(ComputerName()), buffer, size, false, ERROR_BUFFER_OVERFLOW);
}

BOOL GetComputerNameW(WCHAR* buffer, DWORD* size) {
  return CopyName(posix::WideFromNative(ComputerName()), buffer, size, false, ERROR_BUFFER_OVERFLOW);
}

BOOL GetUserNameA(char* buffer, DWORD* size) {
  return CopyName(posix::NarrowFromNative(UserName()), buffer, size, true, ERROR_INSUFFICIENT_BUFFER);
}

BOOL GetUserNameW(WCHAR* buffer, DWORD* size) {
  return CopyName(posix::WideFromNative(UserName()), buffer, size, true, ERROR_INSUFFICIENT_BUFFER);
}

// The local application-data folder: $XDG_DATA_HOME, else ~/.local/share.
BOOL SHGetSpecialFolderPathA(HWND, char* path, int folder, BOOL create) {
  if (folder != CSIDL_LOCAL_APPDATA) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string native;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/') {
    native = xdg;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    native = std::string(home) + "/.local/share";
  } else {
    return FALSE;
  }
  struct stat status;
  if (stat(native.c_str(), &status) != 0) {
    if (!create || mkdir(native.c_str(), 0700) != 0) return FALSE;
  } else if (!S_ISDIR(status.st_mode)) {
    return FALSE;
  }
  std::string narrow = posix::NarrowFromNative(native);
  if (narrow.size() >= MAX_PATH) return FALSE;
  std::memcpy(path, narrow.c_str(), narrow.size() + 1);
  return TRUE;
}

}  // namespace platform
