// Starting documents and programs as the desktop's opener does, and the
// association query answering from the same resolution.

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <new>
#include <string>
#include <vector>

#include "platform/com_object.h"
#include "platform/common/ansi_text.h"
#include "platform/posix/desktop_apps.h"
#include "platform/posix/native_path.h"
#include "platform/shell.h"

namespace platform {
namespace {

using posix::Utf8FromWide;

constexpr int kStarted = 42;

const CLSID kQueryAssociationsClass = {0xa07034fd, 0x6caa, 0x4954, {0xac, 0x3f, 0x97, 0xa2, 0x72, 0x16, 0xf9, 0x8a}};
const IID kQueryAssociationsInterface = {0xc46ca590, 0x3c3f, 0x11d2, {0xbe, 0xe6, 0x00, 0x00, 0xf8, 0x05, 0xca, 0x57}};

std::string Utf8(const WCHAR* text) { return text == nullptr ? std::string() : Utf8FromWide(WideString(text)); }

bool IsFolder(const std::string& path) {
  struct stat facts;
  return stat(path.c_str(), &facts) == 0 && S_ISDIR(facts.st_mode);
}

// The extension of a file name without its period.
std::string ExtensionOf(const WCHAR* file) {
  const WCHAR* period = PathFindExtensionW(file);
  return *period == 0 ? std::string() : Utf8(period + 1);
}

// Arguments as a Windows program's runtime splits its command line: blanks
// separate outside quotes, 2n backslashes before a quote give n and the
// quote toggles, 2n+1 give n and a literal quote.
std::vector<std::string> SplitWindowsArguments(const std::string& line) {
  std::vector<std::string> arguments;
  size_t i = 0;
  while (true) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    std::string argument;
    bool quoted = false;
    for (; i < line.size(); ++i) {
      size_t backslashes = 0;
      while (i < line.size() && line[i] == '\\') ++backslashes, ++i;
      if (i < line.size() && line[i] == '"') {
        argument.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
          argument += '"';
        } else if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
          argument += '"';
          ++i;
        } else {
          quoted = !quoted;
        }
        continue;
      }
      argument.append(backslashes, '\\');
      if (i >= line.size() || ((line[i] == ' ' || line[i] == '\t') && !quoted)) break;
      argument += line[i];
    }
    arguments.push_back(argument);
  }
  return arguments;
}

int ShellErrorOf(int error) {
  switch (error) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES: case EPERM: return ERROR_ACCESS_DENIED;
    case ENOMEM: case EAGAIN: return ERROR_NOT_ENOUGH_MEMORY;
    default: return SE_ERR_NOASSOC;
  }
}

// Starts the program detached from this process (its own session, reaped
// at once by a middle child, so no zombie stays) in `folder`. A failed
// start comes back through a pipe that closes on exec.
int StartDetached(const std::vector<std::string>& arguments, const std::string& folder) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return ShellErrorOf(errno);
  const pid_t middle = fork();
  if (middle == 0) {
    setsid();
    if (fork() != 0) _exit(0);
    int error = 0;
    if (!folder.empty() && chdir(folder.c_str()) != 0) {
      error = errno;
    } else {
      execvp(argv[0], argv.data());
      error = errno;
    }
    ssize_t written = write(report[1], &error, sizeof error);
    (void)written;
    _exit(127);
  }
  close(report[1]);
  int error = middle < 0 ? errno : 0;
  if (middle > 0) {
    while (waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
    }
    ssize_t got;
    while ((got = read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    if (got != sizeof error) error = 0;
  }
  close(report[0]);
  return error == 0 ? kStarted : ShellErrorOf(error);
}

int Execute(const WCHAR* verb, const WCHAR* file, const WCHAR* parameters, const WCHAR* directory) {
  if (file == nullptr || file[0] == 0) return ERROR_FILE_NOT_FOUND;
  std::string folder;
  if (directory != nullptr && directory[0] != 0) {
    folder = posix::NativePathFromWide(directory);
    if (!IsFolder(folder)) return ERROR_PATH_NOT_FOUND;
  }
  std::string path = posix::NativePathFromWide(file);
  if (!path.empty() && path[0] != '/' && !folder.empty() && access((folder + "/" + path).c_str(), F_OK) == 0) {
    path = folder + "/" + path;
  }
  struct stat facts;
  if (path.empty() || stat(path.c_str(), &facts) != 0) return ERROR_FILE_NOT_FOUND;  // in a missing folder too
  const std::string verbText = Utf8(verb);
  const bool opening = verbText.empty() || strcasecmp(verbText.c_str(), "open") == 0;
  if (opening && S_ISREG(facts.st_mode) && access(path.c_str(), X_OK) == 0) {
    std::vector<std::string> arguments{path};
    for (const std::string& argument : SplitWindowsArguments(Utf8(parameters))) arguments.push_back(argument);
    return StartDetached(arguments, folder);
  }
  const std::string command = posix::CommandForType(posix::MimeTypeOfExtension(ExtensionOf(file)), verbText);
  std::vector<std::string> arguments = posix::ExpandCommand(command, path);
  if (arguments.empty()) return SE_ERR_NOASSOC;
  return StartDetached(arguments, folder);
}

const WCHAR* OrNull(const char* narrow, const WideString& wide) { return narrow == nullptr ? nullptr : wide.c_str(); }

// Answers the "open" command (or a named action's) of an extension's type.
class QueryAssociations final : public ComObject<IQueryAssociations> {
 public:
  HRESULT STDMETHODCALLTYPE Init(ASSOCF, const WCHAR* association, void*, HWND) override {
    if (association == nullptr) return E_INVALIDARG;
    std::string text = Utf8(association);
    extension_ = !text.empty() && text[0] == '.' ? text.substr(1) : text;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetString(ASSOCF, ASSOCSTR what, const WCHAR* extra, WCHAR* out, DWORD* outSize) override {
    if (what != ASSOCSTR_COMMAND) return E_NOTIMPL;
    if (outSize == nullptr) return E_INVALIDARG;
    const std::string command = posix::CommandForType(posix::MimeTypeOfExtension(extension_), Utf8(extra));
    if (command.empty()) return HRESULT_FROM_WIN32(ERROR_NO_ASSOCIATION);
    const WideString wide = posix::WideFromNative(command);
    const DWORD needed = static_cast<DWORD>(wide.size() + 1);
    if (out == nullptr) {
      *outSize = needed;
      return S_FALSE;
    }
    if (*outSize < needed) {
      *outSize = needed;
      return E_POINTER;
    }
    std::copy(wide.c_str(), wide.c_str() + needed, out);
    *outSize = needed;
    return S_OK;
  }

 private:
  ~QueryAssociations() override = default;
  bool Answers(const IID& iid) const override { return SameGuid(iid, kQueryAssociationsInterface); }

  std::string extension_;
};

}  // namespace

HINSTANCE ShellExecuteA(HWND window, const char* verb, const char* file, const char* parameters,
                        const char* directory, int show) {
  WideString v = WidenAnsi(verb), f = WidenAnsi(file), p = WidenAnsi(parameters), d = WidenAnsi(directory);
  return ShellExecuteW(window, OrNull(verb, v), OrNull(file, f), OrNull(parameters, p), OrNull(directory, d), show);
}

HINSTANCE ShellExecuteW(HWND, const WCHAR* verb, const WCHAR* file, const WCHAR* parameters, const WCHAR* directory,
                        int) {
  ShellSeam* seam = ActiveShellSeam().load();
  if (seam != nullptr && !seam->OnExecute(verb, file, parameters, directory)) {
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(kStarted));
  }
  return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(Execute(verb, file, parameters, directory)));
}

HRESULT AssocCreate(const CLSID& classId, const IID& interfaceId, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!SameGuid(classId, kQueryAssociationsClass)) return static_cast<HRESULT>(0x80040154u);  // REGDB_E_CLASSNOTREG
  auto* query = new (std::nothrow) QueryAssociations();
  if (query == nullptr) return E_OUTOFMEMORY;
  HRESULT result = query->QueryInterface(interfaceId, object);
  query->Release();
  return result;
}

const CLSID& QueryAssociationsClass() { return kQueryAssociationsClass; }
const IID& QueryAssociationsInterface() { return kQueryAssociationsInterface; }

// Windows ends an extension at a backslash or a blank; native paths here
// also separate with a slash.
WCHAR* PathFindExtensionW(const WCHAR* path) {
  if (path == nullptr) return nullptr;
  const WCHAR* period = nullptr;
  const WCHAR* at = path;
  for (; *at != 0; ++at) {
    if (*at == u'\\' || *at == u'/' || *at == u' ') {
      period = nullptr;
    } else if (*at == u'.') {
      period = at;
    }
  }
  return const_cast<WCHAR*>(period != nullptr ? period : at);
}

}  // namespace platform
