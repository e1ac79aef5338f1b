// Date-time values as 14-digit sortable text, from the clock and from file
// times, and shifted between local and global time.

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

#include "datetime/calendar.h"
#include "ovpb32.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace datetime {
namespace {

constexpr int kDateTimeDigits = 14;

// Writes the text into an ASCII buffer of 15; false when there is none.
bool FormatDateTime(double value, bool dateOnly, char* text) {
  DateTimeFields f;
  if (value == kNullDateTime || !DecodeDateTime(value, &f)) return false;
  if (dateOnly) {
    std::snprintf(text, kDateTimeDigits + 1, "%4.4d%2.2d%2.2d", f.year, f.month, f.day);
  } else {
    std::snprintf(text, kDateTimeDigits + 1, "%4.4d%2.2d%2.2d%2.2d%2.2d%2.2d", f.year, f.month, f.day,
                  f.hour, f.minute, f.second);
  }
  return true;
}

// The field of `count` digits at `start` (0-based); 0 when the text is too
// short for it or any of them is not a digit.
template <typename Char>
int ReadField(const Char* text, size_t length, size_t start, size_t count) {
  if (start + count > length) return 0;
  int value = 0;
  for (size_t i = start; i < start + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return 0;
    value = 10 * value + static_cast<int>(text[i] - '0');
  }
  return value;
}

template <typename Char>
double ParseDateTime(const Char* text, bool dateOnly) {
  if (text == nullptr || text[0] == 0 || text[0] == ' ') return kNullDateTime;
  size_t length = std::char_traits<Char>::length(text);
  DateTimeFields f{};
  f.year = ReadField(text, length, 0, 4);
  f.month = ReadField(text, length, 4, 2);
  f.day = ReadField(text, length, 6, 2);
  if (!dateOnly) {
    f.hour = ReadField(text, length, 8, 2);
    f.minute = ReadField(text, length, 10, 2);
    f.second = ReadField(text, length, 12, 2);
  }
  return EncodeDateTime(f);
}

// Days to add to a local time for global time, taken once per process.
std::atomic<double> zoneOffset{0.0};
std::atomic<bool> zoneOffsetTaken{false};

double ZoneOffset() {
  if (!zoneOffsetTaken.load(std::memory_order_acquire)) {
    platform::TimeB64 now;
    platform::_ftime64(&now);
    double minutes = now.timezone - (now.dstflag != 0 ? 60 : 0);
    zoneOffset.store(minutes / 1440.0, std::memory_order_relaxed);
    zoneOffsetTaken.store(true, std::memory_order_release);
  }
  return zoneOffset.load(std::memory_order_relaxed);
}

}  // namespace
}  // namespace datetime

extern "C" {

void OVPB_API DateTimeToStringA(double value, char* text, BOOL dateOnly) {
  if (text == nullptr) return;
  if (!datetime::FormatDateTime(value, dateOnly != 0, text)) text[0] = '\0';
}

void OVPB_API DateTimeToStringW(double value, WCHAR* text, BOOL dateOnly) {
  if (text == nullptr) return;
  char narrow[datetime::kDateTimeDigits + 1] = "";
  datetime::FormatDateTime(value, dateOnly != 0, narrow);
  size_t i = 0;
  for (; narrow[i] != '\0'; ++i) text[i] = static_cast<WCHAR>(narrow[i]);
  text[i] = 0;
}

double OVPB_API StringToDateTimeA(const char* text, BOOL dateOnly) {
  return datetime::ParseDateTime(text, dateOnly != 0);
}

double OVPB_API StringToDateTimeW(const WCHAR* text, BOOL dateOnly) {
  return datetime::ParseDateTime(text, dateOnly != 0);
}

double OVPB_API ToGlobalTime(double localTime) { return localTime + datetime::ZoneOffset(); }

double OVPB_API ToLocalTime(double globalTime) { return globalTime - datetime::ZoneOffset(); }

double OVPB_API GetCurrentGlobalTime(void) {
  int64_t now = platform::_time64(nullptr);
  const platform::TimeFields* utc = platform::_gmtime64(&now);
  if (utc == nullptr) return datetime::kNullDateTime;
  return datetime::EncodeDateTime(
      {utc->tm_year + 1900, utc->tm_mon + 1, utc->tm_mday, utc->tm_hour, utc->tm_min, utc->tm_sec});
}

double OVPB_API FileTimeToDateTime(const FILETIME* fileTime) {
  SYSTEMTIME calendar;
  if (fileTime == nullptr || !platform::FileTimeToSystemTime(fileTime, &calendar)) return datetime::kNullDateTime;
  return datetime::EncodeDateTime({calendar.wYear, calendar.wMonth, calendar.wDay, calendar.wHour,
                                   calendar.wMinute, calendar.wSecond});
}

}  // extern "C"
