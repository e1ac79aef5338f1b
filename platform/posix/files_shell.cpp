// SHFileOperationA without a user interface: deletes, moves, copies and
// renames over double-terminated name lists. What a user would be asked is
// answered yes (replace the target, make the folder, delete a read-only
// file); the result is 0, or the Windows error code of the step that failed.

#include <dirent.h>
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/posix/file_errors.h"
#include "platform/posix/file_facts.h"
#include "platform/posix/file_names.h"
#include "platform/posix/file_search.h"
#include "platform/posix/native_path.h"
#include "platform/posix/system_calls.h"
#include "platform/posix/wildcard.h"
#include "platform/system.h"

namespace platform {
namespace posix {
namespace {

std::vector<std::string> NameList(const char* list) {
  std::vector<std::string> names;
  for (const char* name = list; name != nullptr && *name != '\0'; name += std::strlen(name) + 1) {
    names.push_back(Utf8FromNarrow(name));
  }
  return names;
}

bool IsFolder(const std::string& path) {
  struct stat facts;
  return sys::Lstat(path.c_str(), &facts) == 0 && S_ISDIR(facts.st_mode);
}

bool Exists(const std::string& path) {
  struct stat facts;
  return sys::Lstat(path.c_str(), &facts) == 0;
}

std::string Child(const std::string& folder, const std::string& name) {
  return folder + (folder.back() == '/' ? "" : "/") + name;
}

std::vector<std::string> Children(const std::string& folder) {
  std::vector<std::string> children;
  DIR* listing = sys::OpenDir(folder.c_str());
  if (listing == nullptr) return children;
  while (dirent* entry = sys::ReadDir(listing)) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
      children.push_back(entry->d_name);
    }
  }
  closedir(listing);
  return children;
}

// "name (2).ext", "name (3).ext", ...: the first free one beside `path`.
std::string FreeName(const std::string& path) {
  std::string base = BaseName(path);
  size_t dot = base.rfind('.');
  std::string stem = dot == std::string::npos || dot == 0 ? base : base.substr(0, dot);
  std::string extension = base.substr(stem.size());
  std::string folder = path.substr(0, path.size() - base.size());
  for (int number = 2;; ++number) {
    std::string candidate = folder + stem + " (" + std::to_string(number) + ")" + extension;
    if (!Exists(candidate)) return candidate;
  }
}

BOOL RemoveTree(const std::string& path) {
  if (!IsFolder(path)) return DeleteNative(path, true);
  for (const std::string& name : Children(path)) {
    if (!RemoveTree(Child(path, name))) return FALSE;
  }
  return RemoveDirectoryNative(path);
}

BOOL CopyTree(const std::string& from, const std::string& to) {
  if (!IsFolder(from)) return CopyNative(from, to, true);
  if (!IsFolder(to) && !CreateDirectoryNative(to)) return FALSE;
  for (const std::string& name : Children(from)) {
    if (!CopyTree(Child(from, name), Child(to, name))) return FALSE;
  }
  return TRUE;
}

// A folder moved onto a folder merges into it; one that cannot be renamed
// across file systems is copied and removed.
BOOL MoveTree(const std::string& from, const std::string& to) {
  if (IsFolder(from) && IsFolder(to)) {
    for (const std::string& name : Children(from)) {
      if (!MoveTree(Child(from, name), Child(to, name))) return FALSE;
    }
    return RemoveDirectoryNative(from);
  }
  if (MoveNative(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) return TRUE;
  if (GetLastError() != ERROR_NOT_SAME_DEVICE) return FALSE;
  return CopyTree(from, to) && RemoveTree(from);
}

bool Inside(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/';
}

BOOL TransferOne(UINT operation, const std::string& from, std::string to, FILEOP_FLAGS flags) {
  if ((flags & FOF_RENAMEONCOLLISION) && Exists(to)) to = FreeName(to);
  if (Inside(to, from)) return Fail(ERROR_INVALID_PARAMETER);
  return operation == FO_COPY ? CopyTree(from, to) : MoveTree(from, to);
}

// Each source goes to its own target with FOF_MULTIDESTFILES; otherwise all
// go to one target, which is a folder to put them in when it is one or when
// there are several of them.
BOOL Transfer(UINT operation, const std::vector<std::string>& sources, const std::vector<std::string>& targets,
              FILEOP_FLAGS flags) {
  bool eachOwn = (flags & FOF_MULTIDESTFILES) != 0;
  if (targets.empty() || (eachOwn && targets.size() < sources.size())) return Fail(ERROR_INVALID_PARAMETER);
  for (size_t i = 0; i < sources.size(); ++i) {
    std::vector<std::string> paths;
    if (!ExpandPattern(sources[i], (flags & FOF_FILESONLY) != 0, &paths)) return FALSE;
    ResolvedPath target = ResolveUtf8(targets[eachOwn ? i : 0]);
    if (target.error != ERROR_SUCCESS) return Fail(target.error);
    bool several = !eachOwn && (sources.size() > 1 || paths.size() > 1 || HasWildcards(sources[i]));
    bool intoFolder = IsFolder(target.native) || several;
    if (intoFolder && !IsFolder(target.native) && !CreateDirectoryNative(target.native)) return FALSE;
    for (const std::string& path : paths) {
      std::string to = intoFolder ? Child(target.native, BaseName(path)) : target.native;
      if (!TransferOne(operation, path, to, flags)) return FALSE;
    }
  }
  return TRUE;
}

BOOL DeleteAll(const std::vector<std::string>& sources, FILEOP_FLAGS flags) {
  for (const std::string& source : sources) {
    std::vector<std::string> paths;
    if (!ExpandPattern(source, (flags & FOF_FILESONLY) != 0, &paths)) return FALSE;
    for (const std::string& path : paths) {
      if (!RemoveTree(path)) return FALSE;
    }
  }
  return TRUE;
}

BOOL RenameOne(const std::vector<std::string>& sources, const std::vector<std::string>& targets) {
  if (sources.size() != 1 || targets.size() != 1) return Fail(ERROR_INVALID_PARAMETER);
  ResolvedPath from = ResolveUtf8(sources[0]), to = ResolveUtf8(targets[0]);
  if (from.error != ERROR_SUCCESS || to.error != ERROR_SUCCESS) {
    return Fail(from.error != ERROR_SUCCESS ? from.error : to.error);
  }
  return MoveNative(from.native, to.native, 0);
}

BOOL Perform(const SHFILEOPSTRUCTA& operation) {
  std::vector<std::string> sources = NameList(operation.pFrom), targets = NameList(operation.pTo);
  if (sources.empty()) return Fail(ERROR_INVALID_PARAMETER);
  switch (operation.wFunc) {
    case FO_DELETE: return DeleteAll(sources, operation.fFlags);
    case FO_RENAME: return RenameOne(sources, targets);
    case FO_MOVE:
    case FO_COPY: return Transfer(operation.wFunc, sources, targets, operation.fFlags);
    default: return Fail(ERROR_INVALID_PARAMETER);
  }
}

}  // namespace
}  // namespace posix

int SHFileOperationA(SHFILEOPSTRUCTA* operation) {
  if (operation == nullptr) return ERROR_INVALID_PARAMETER;
  operation->fAnyOperationsAborted = FALSE;
  return posix::Perform(*operation) ? 0 : static_cast<int>(GetLastError());
}

}  // namespace platform
