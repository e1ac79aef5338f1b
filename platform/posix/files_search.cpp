// The directory search: FindFirstFile and FindNextFile, and the runtime's
// _findfirst64i32 and _findnext64i32 over the same searches.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/posix/file_errors.h"
#include "platform/posix/file_facts.h"
#include "platform/posix/file_search.h"
#include "platform/posix/handles.h"
#include "platform/posix/native_path.h"
#include "platform/posix/system_calls.h"
#include "platform/posix/wildcard.h"
#include "platform/system.h"

namespace platform {
namespace posix {
namespace {

struct FoundEntry {
  std::string name;  // native, as are the others
  std::string path;
  FileFacts facts;
};

// The facts of the entry named `entry->name`, found at `path` relative to
// `folderFd`. A dangling symbolic link is still an entry: it tells of itself.
bool ReadEntryFacts(int folderFd, const std::string& path, FoundEntry* entry) {
  return ReadFacts(folderFd, path.c_str(), 0, entry->name, &entry->facts) ||
         ReadFacts(folderFd, path.c_str(), AT_SYMLINK_NOFOLLOW, entry->name, &entry->facts);
}

// One search: the matching entries of a folder, read as the caller asks for
// them. A search for an exact name has found all there is at its start.
class Search final : public HandleObject {
 public:
  Search() = default;
  Search(DIR* folder, std::string folderPath, const WideString& pattern, bool atRoot)
      : folder_(folder), folderPath_(std::move(folderPath)), pattern_(new WildcardPattern(pattern)), atRoot_(atRoot) {}
  ~Search() override {
    if (folder_ != nullptr) closedir(folder_);
  }
  Search(const Search&) = delete;
  Search& operator=(const Search&) = delete;

  bool Next(FoundEntry* entry) {
    while (folder_ != nullptr) {
      dirent* raw = sys::ReadDir(folder_);
      if (raw == nullptr) return false;
      std::string name = raw->d_name;
      bool dots = name == "." || name == "..";
      if (dots && atRoot_) continue;  // a root has no "." and ".." entries on Windows
      if (!pattern_->Matches(WideFromNative(name))) continue;
      entry->name = name;
      if (!ReadEntryFacts(dirfd(folder_), name, entry)) continue;  // gone since it was listed
      entry->path = folderPath_ + (folderPath_.back() == '/' ? "" : "/") + name;
      return true;
    }
    return false;
  }

 private:
  DIR* folder_ = nullptr;
  std::string folderPath_;
  std::unique_ptr<WildcardPattern> pattern_;
  bool atRoot_ = false;
};

struct SearchStart {
  std::shared_ptr<Search> search;
  FoundEntry first;
  DWORD error = ERROR_SUCCESS;
};

SearchStart Failed(DWORD error) {
  SearchStart start;
  start.error = error;
  return start;
}

// The name Windows reports for "." or "..": that of the folder they stand for.
std::string ReportedName(const std::string& path) {
  std::string name = BaseName(path);
  if (name != "." && name != "..") return name;
  char real[PATH_MAX];
  return realpath(path.c_str(), real) != nullptr ? BaseName(real) : name;
}

// An exact name is looked up as the file system spells it: one lookup, on
// a native path resolved on the stack when it fits. With `entry` null only
// whether it exists is asked: then nothing is allocated, and a missing name
// is not told apart from a missing folder.
DWORD LookUpExactName(std::string_view pattern, FoundEntry* entry) {
  const StackResolved path(pattern, false);
  const char* native = path.native();
  if (path.resolved().error == ERROR_INVALID_NAME) return ERROR_FILE_NOT_FOUND;
  if (path.resolved().error != ERROR_SUCCESS) return path.resolved().error;
  if (entry == nullptr) {
    struct stat facts;
    if (sys::Lstat(native, &facts) == 0) return ERROR_SUCCESS;
    return errno == ENOENT ? ERROR_FILE_NOT_FOUND : WindowsErrorFromErrno(errno, native);
  }
  entry->name = ReportedName(native);
  entry->path = native;
  if (!ReadEntryFacts(AT_FDCWD, entry->path, entry)) return WindowsErrorFromErrno(errno, entry->path);
  return ERROR_SUCCESS;
}

// A pattern is a folder and a name in which the wildcards may stand.
struct PatternParts {
  std::string_view folder;
  std::string_view name;
};

PatternParts PartsOf(std::string_view pattern) {
  size_t nameStart = pattern.size();
  while (nameStart > 0 && pattern[nameStart - 1] != '/' && pattern[nameStart - 1] != '\\') --nameStart;
  if (nameStart == 0 && BeginsWithDrive(pattern)) nameStart = 2;
  return {pattern.substr(0, nameStart), pattern.substr(nameStart)};
}

// A pattern ending in a separator, a root among them, names nothing.
DWORD NoNameError(std::string_view pattern) { return pattern.empty() ? ERROR_PATH_NOT_FOUND : ERROR_FILE_NOT_FOUND; }

SearchStart StartSearch(const std::string& pattern) {
  const PatternParts parts = PartsOf(pattern);
  if (parts.name.empty()) return Failed(NoNameError(pattern));
  if (!HasWildcards(parts.name)) {
    SearchStart start;
    start.error = LookUpExactName(pattern, &start.first);
    if (start.error == ERROR_SUCCESS) start.search = std::make_shared<Search>();
    return start;
  }

  ResolvedPath where = ResolveUtf8(parts.folder.empty() ? std::string(".") : std::string(parts.folder));
  if (where.error != ERROR_SUCCESS) return Failed(where.error);
  DIR* opened = sys::OpenDir(where.native.c_str());
  if (opened == nullptr) {
    bool missing = errno == ENOENT || errno == ENOTDIR;
    return Failed(missing ? ERROR_PATH_NOT_FOUND : WindowsErrorFromErrno(errno, where.native));
  }
  SearchStart start;
  start.search = std::make_shared<Search>(opened, where.native, WideFromNative(std::string(parts.name)), where.root);
  if (!start.search->Next(&start.first)) return Failed(ERROR_FILE_NOT_FOUND);
  return start;
}

template <typename FindData>
void FillFacts(const FileFacts& facts, FindData* found) {
  std::memset(found, 0, sizeof *found);
  found->dwFileAttributes = facts.attributes;
  found->ftCreationTime = FileTimeFrom(facts.created);
  found->ftLastAccessTime = FileTimeFrom(facts.accessed);
  found->ftLastWriteTime = FileTimeFrom(facts.written);
  found->nFileSizeHigh = static_cast<DWORD>(facts.size >> 32);
  found->nFileSizeLow = static_cast<DWORD>(facts.size);
}

void Fill(const FoundEntry& entry, WIN32_FIND_DATAA* found) {
  FillFacts(entry.facts, found);
  std::string name = NarrowFromNative(entry.name);
  std::strncpy(found->cFileName, name.c_str(), MAX_PATH - 1);
}

void Fill(const FoundEntry& entry, WIN32_FIND_DATAW* found) {
  FillFacts(entry.facts, found);
  WideString name = WideFromNative(entry.name);
  WideCopyBounded(found->cFileName, name.c_str(), MAX_PATH);
}

// The runtime's record keeps times in seconds since 1970 and the low 32
// bits of the size.
void Fill(const FoundEntry& entry, struct _finddata64i32_t* found) {
  std::memset(found, 0, sizeof *found);
  found->attrib = entry.facts.attributes & (_A_RDONLY | _A_HIDDEN | _A_SYSTEM | _A_SUBDIR | _A_ARCH);
  found->time_create = entry.facts.created.tv_sec;
  found->time_access = entry.facts.accessed.tv_sec;
  found->time_write = entry.facts.written.tv_sec;
  found->size = static_cast<uint32_t>(entry.facts.size);
  std::string name = NarrowFromNative(entry.name);
  std::strncpy(found->name, name.c_str(), sizeof found->name - 1);
}

template <typename FindData>
HANDLE FindFirst(const std::string& pattern, FindData* found) {
  SearchStart start = StartSearch(pattern);
  if (start.error != ERROR_SUCCESS) {
    SetLastError(start.error);
    return INVALID_HANDLE_VALUE;
  }
  Fill(start.first, found);
  return AddHandle(start.search, 0);
}

// Whether a name follows the pattern's folder, as PartsOf finds it, without
// a walk over the name: not a separator at its end, not a drive alone.
bool EndsInName(std::string_view pattern) {
  if (pattern.empty() || pattern.back() == '/' || pattern.back() == '\\') return false;
  return !(pattern.size() == 2 && BeginsWithDrive(pattern));
}

// Whether a search for `pattern` would find anything, with no search kept.
// A pattern without a wildcard anywhere is an exact name.
BOOL Finds(std::string_view pattern) {
  DWORD error = NoNameError(pattern);
  if (EndsInName(pattern)) {
    error = HasWildcards(pattern) ? StartSearch(std::string(pattern)).error : LookUpExactName(pattern, nullptr);
  }
  return error == ERROR_SUCCESS ? TRUE : Fail(error);
}

template <typename FindData>
BOOL FindNext(HANDLE handle, FindData* found) {
  auto search = ObjectOf<Search>(handle);
  if (!search) return FALSE;
  FoundEntry entry;
  if (!search->Next(&entry)) return Fail(ERROR_NO_MORE_FILES);
  Fill(entry, found);
  return TRUE;
}

int RuntimeFailure(int error) {
  errno = error;
  return -1;
}

}  // namespace

BOOL ExpandPattern(const std::string& pattern, bool filesOnly, std::vector<std::string>* paths) {
  SearchStart start = StartSearch(pattern);
  if (start.error != ERROR_SUCCESS) return Fail(start.error);
  bool wildcards = HasWildcards(pattern.substr(pattern.find_last_of("/\\") + 1));
  for (FoundEntry entry = start.first;; ) {
    bool dots = entry.name == "." || entry.name == "..";
    bool skipped = wildcards && (dots || (filesOnly && (entry.facts.attributes & FILE_ATTRIBUTE_DIRECTORY)));
    if (!skipped) paths->push_back(entry.path);
    if (!start.search->Next(&entry)) return TRUE;
  }
}

}  // namespace posix

HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* found) {
  return posix::FindFirst(posix::Utf8FromNarrow(pattern != nullptr ? pattern : ""), found);
}

HANDLE FindFirstFileW(const WCHAR* pattern, WIN32_FIND_DATAW* found) {
  return posix::FindFirst(posix::Utf8FromWide(pattern != nullptr ? WideString(pattern) : WideString()), found);
}

BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* found) { return posix::FindNext(search, found); }
BOOL FindNextFileW(HANDLE search, WIN32_FIND_DATAW* found) { return posix::FindNext(search, found); }

BOOL SearchFindsA(const char* pattern) {
  std::string_view text = pattern != nullptr ? pattern : "";
  if (GetACP() == CP_UTF8 || posix::IsAscii(text)) return posix::Finds(text);
  return posix::Finds(posix::Utf8FromNarrow(pattern));
}

BOOL FindClose(HANDLE search) { return posix::RemoveHandle(search, typeid(posix::Search)) ? TRUE : FALSE; }

// The runtime's search handle is the search's handle; failures answer -1
// with errno set as the runtime sets it.
intptr_t _findfirst64i32(const char* pattern, struct _finddata64i32_t* found) {
  if (pattern == nullptr || found == nullptr) return posix::RuntimeFailure(EINVAL);
  HANDLE search = posix::FindFirst(posix::Utf8FromNarrow(pattern), found);
  if (search == INVALID_HANDLE_VALUE) return posix::RuntimeFailure(ENOENT);
  return reinterpret_cast<intptr_t>(search);
}

int _findnext64i32(intptr_t search, struct _finddata64i32_t* found) {
  HANDLE handle = reinterpret_cast<HANDLE>(search);
  if (!posix::ObjectOf<posix::Search>(handle)) return posix::RuntimeFailure(EINVAL);
  if (!posix::FindNext(handle, found)) return posix::RuntimeFailure(ENOENT);
  return 0;
}

int _findclose(intptr_t search) {
  return FindClose(reinterpret_cast<HANDLE>(search)) ? 0 : posix::RuntimeFailure(EINVAL);
}

}  // namespace platform
