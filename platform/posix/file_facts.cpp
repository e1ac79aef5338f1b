#include "platform/posix/file_facts.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/files.h"
#include "platform/posix/system_calls.h"
#include "platform/system.h"

namespace platform {
namespace posix {
namespace {

const int64_t kSecondsFrom1601To1970 = 11644473600LL;
const int64_t kTicksPerSecond = 10000000;  // FILETIME counts 100 ns
const int64_t kDaysFrom1601To1970 = 134774;

timespec TimeFrom(const statx_timestamp& stamp) {
  timespec time;
  time.tv_sec = stamp.tv_sec;
  time.tv_nsec = stamp.tv_nsec;
  return time;
}

bool Earlier(const timespec& a, const timespec& b) {
  return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

// Without a birth time the earliest time the file system keeps is the
// nearest to the creation.
timespec CreationTime(const struct statx& facts) {
  if (facts.stx_mask & STATX_BTIME) return TimeFrom(facts.stx_btime);
  timespec earliest = TimeFrom(facts.stx_mtime);
  for (const statx_timestamp& stamp : {facts.stx_atime, facts.stx_ctime}) {
    if (Earlier(TimeFrom(stamp), earliest)) earliest = TimeFrom(stamp);
  }
  return earliest;
}

// Days since 1970-01-01 to the Gregorian date (proleptic, any era).
void CivilFromDays(int64_t days, int64_t* year, unsigned* month, unsigned* day) {
  days += 719468;
  int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
  unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
  *day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
  *month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  *year = static_cast<int64_t>(yearOfEra) + era * 400 + (*month <= 2 ? 1 : 0);
}

}  // namespace

bool IsReadOnly(uint32_t mode) { return !S_ISDIR(mode) && (mode & 0222) == 0; }

DWORD AttributesOf(uint32_t mode, const std::string& name) {
  DWORD attributes = S_ISDIR(mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if (IsReadOnly(mode)) attributes |= FILE_ATTRIBUTE_READONLY;
  if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= FILE_ATTRIBUTE_HIDDEN;
  return attributes;
}

std::string_view BaseNameOf(std::string_view path) {
  size_t end = path.find_last_not_of('/');
  if (end == std::string_view::npos) return path.empty() ? path : "/";
  size_t start = path.rfind('/', end);
  start = start == std::string_view::npos ? 0 : start + 1;
  return path.substr(start, end + 1 - start);
}

std::string BaseName(const std::string& path) { return std::string(BaseNameOf(path)); }

bool ReadFacts(int folderFd, const char* path, int flags, const std::string& name, FileFacts* facts) {
  struct statx raw;
  if (sys::Statx(folderFd, path, flags, STATX_BASIC_STATS | STATX_BTIME, &raw) != 0) return false;
  facts->mode = raw.stx_mode;
  facts->attributes = AttributesOf(raw.stx_mode, name);
  facts->size = S_ISDIR(raw.stx_mode) ? 0 : raw.stx_size;
  facts->created = CreationTime(raw);
  facts->accessed = TimeFrom(raw.stx_atime);
  facts->written = TimeFrom(raw.stx_mtime);
  facts->device = (static_cast<uint64_t>(raw.stx_dev_major) << 32) | raw.stx_dev_minor;
  facts->index = raw.stx_ino;
  facts->links = raw.stx_nlink;
  return true;
}

FILETIME FileTimeFrom(const timespec& time) {
  int64_t ticks = (time.tv_sec + kSecondsFrom1601To1970) * kTicksPerSecond + time.tv_nsec / 100;
  uint64_t value = static_cast<uint64_t>(std::max<int64_t>(ticks, 0));
  FILETIME out;
  out.dwLowDateTime = static_cast<DWORD>(value);
  out.dwHighDateTime = static_cast<DWORD>(value >> 32);
  return out;
}

}  // namespace posix

BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime) {
  uint64_t ticks = (static_cast<uint64_t>(fileTime->dwHighDateTime) << 32) | fileTime->dwLowDateTime;
  if (ticks > static_cast<uint64_t>(INT64_MAX)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  uint64_t milliseconds = ticks / 10000;
  int64_t days = static_cast<int64_t>(milliseconds / 86400000);
  uint64_t ofDay = milliseconds % 86400000;
  int64_t year;
  unsigned month, day;
  posix::CivilFromDays(days - posix::kDaysFrom1601To1970, &year, &month, &day);
  systemTime->wYear = static_cast<WORD>(year);
  systemTime->wMonth = static_cast<WORD>(month);
  systemTime->wDay = static_cast<WORD>(day);
  systemTime->wDayOfWeek = static_cast<WORD>((days + 1) % 7);  // 1 January 1601 was a Monday
  systemTime->wHour = static_cast<WORD>(ofDay / 3600000);
  systemTime->wMinute = static_cast<WORD>(ofDay / 60000 % 60);
  systemTime->wSecond = static_cast<WORD>(ofDay / 1000 % 60);
  systemTime->wMilliseconds = static_cast<WORD>(ofDay % 1000);
  return TRUE;
}

}  // namespace platform
