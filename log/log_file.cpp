// Log files in append mode, or as a ring: a 10-byte position header, the
// entries, and an end marker after the newest entry. Writers are serialised
// by the file itself: it is opened exclusively for each entry, and a writer
// that finds it busy retries.

#include "log/log_file.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

#include "frame/config.h"
#include "frame/kept_text.h"
#include "ovpb32.h"
#include "platform/files.h"
#include "platform/system.h"
#include "text/toolkit.h"

namespace logging {
namespace {

constexpr char kEndMarker[] = "*++++++++++++++++++++++++End of Log++++++++++++++++++++++++*\r\n";
constexpr DWORD kEndMarkerLength = sizeof kEndMarker - 1;
constexpr DWORD kHeaderLength = 10;
constexpr long kFirstEntryOffset = 10;
constexpr int kSharingRetries = 200;
constexpr DWORD kSharingRetryDelayMs = 5;

static_assert(kEndMarkerLength == 62, "the end marker is 62 bytes");

frame::KeptText<char, MAX_PATH> logPath;

HANDLE OpenExclusively(const char* path, DWORD access) {
  for (int attempt = 0;; ++attempt) {
    HANDLE file = platform::CreateFileA(path, access, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    if (platform::GetLastError() != ERROR_SHARING_VIOLATION || attempt == kSharingRetries) return file;
    platform::Sleep(kSharingRetryDelayMs);
  }
}

// Failed writes go unnoticed, by design; the count tells where the file's
// position now is.
DWORD Write(HANDLE file, const char* bytes, DWORD length) {
  DWORD written = 0;
  platform::WriteFile(file, bytes, length, &written, nullptr);
  return written;
}

void MoveTo(HANDLE file, long offset) { platform::SetFilePointer(file, offset, nullptr, FILE_BEGIN); }

void AppendEntry(HANDLE file, const char* text, DWORD length) {
  platform::SetFilePointer(file, 0, nullptr, FILE_END);
  Write(file, text, length);
}

// The write position from the header: its decimal value, 10 at the least.
bool ReadWritePosition(HANDLE file, long* position) {
  char header[kHeaderLength + 1] = {};
  DWORD read = 0;
  MoveTo(file, 0);
  if (!platform::ReadFile(file, header, kHeaderLength, &read, nullptr)) return false;
  *position = std::atol(header);
  if (*position < kFirstEntryOffset) *position = kFirstEntryOffset;
  return true;
}

void WriteHeader(HANDLE file, long position) {
  char header[24] = {};  // room for any long, then cut to the header's 10 bytes
  std::to_chars(header, header + sizeof header - 1, position);
  text::str_pad(header, kHeaderLength);
  MoveTo(file, 0);
  Write(file, header, kHeaderLength);
}

// The entry at `position` and the end marker after it, in one write when
// they fit the buffer; the count is the entry's. Should the write stop
// short, the marker goes where the entry ended, as after a write of the
// entry alone.
DWORD WriteEntryAndMarker(HANDLE file, long position, const char* text, DWORD length) {
  char joined[4096];
  DWORD written = 0;
  if (length + kEndMarkerLength <= sizeof joined) {
    std::memcpy(joined, text, length);
    std::memcpy(joined + length, kEndMarker, kEndMarkerLength);
    written = Write(file, joined, length + kEndMarkerLength);
    if (written == length + kEndMarkerLength) return length;
    written = std::min(written, length);
    MoveTo(file, position + static_cast<long>(written));
  } else {
    written = Write(file, text, length);
  }
  Write(file, kEndMarker, kEndMarkerLength);
  return written;
}

bool WriteRingEntry(HANDLE file, const char* text, DWORD length, int sizeLimit) {
  long position = 0;
  if (!ReadWritePosition(file, &position)) return false;
  MoveTo(file, position);
  if (position + static_cast<long long>(length) <= sizeLimit) {
    long end = position + static_cast<long>(WriteEntryAndMarker(file, position, text, length));  // after the entry
    WriteHeader(file, end);
  } else {
    // Full: the next round starts over the oldest entries.
    Write(file, text, length);
    WriteHeader(file, kFirstEntryOffset);
    Write(file, kEndMarker, kEndMarkerLength);
  }
  return true;
}

}  // namespace

const char* GetLogPathA() {
  return logPath.Get([](char* path, size_t size) {
    char configured[MAX_PATH];
    frame::ReadConfigTextA(frame::ConfigKey::LoggingPath, configured, sizeof configured);
    // An expansion that does not fit leaves the path empty: no log rather
    // than a log in a wrong place.
    platform::ExpandEnvironmentStringsA(configured, path, static_cast<DWORD>(size));
  });
}

}  // namespace logging

extern "C" int OVPB_API DoWriteLog(const char* path, const char* text, int sizeLimit) {
  if (path == nullptr || text == nullptr) return 0;
  const DWORD length = static_cast<DWORD>(std::strlen(text));
  const bool ring = sizeLimit != -1;
  if (ring && static_cast<long long>(sizeLimit) < static_cast<long long>(length) + logging::kEndMarkerLength) {
    return 0;
  }
  HANDLE file = logging::OpenExclusively(path, ring ? GENERIC_READ | GENERIC_WRITE : GENERIC_WRITE);
  if (file == INVALID_HANDLE_VALUE) return 0;
  bool issued = true;
  if (ring) {
    issued = logging::WriteRingEntry(file, text, length, sizeLimit);
  } else {
    logging::AppendEntry(file, text, length);
  }
  platform::CloseHandle(file);
  return issued ? 1 : 0;
}

extern "C" void OVPB_API SetLogPath(const char* path) {
  if (path == nullptr) return;
  size_t length = std::strlen(path);
  if (length >= MAX_PATH) return;  // a path the log cannot hold leaves the log where it was
  logging::logPath.Set([path, length](char* buffer, size_t) { std::memcpy(buffer, path, length + 1); });
}
