#include "tools/log_reader.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace tool {

const char kEndMarker[] = "*++++++++++++++++++++++++End of Log++++++++++++++++++++++++*\r\n";

namespace {

constexpr size_t kMarkerLength = sizeof kEndMarker - 1;
constexpr size_t kHeaderLength = 10;
constexpr int kSharingRetries = 200;
constexpr auto kSharingRetryDelay = std::chrono::milliseconds(5);

// "Sun Dec 06 00:12:35 2026" as the runtime's ctime writes it, in local time.
std::time_t ParseEntryTime(const std::string& text) {
  static const char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
  char month[4] = {};
  std::tm fields{};
  if (std::sscanf(text.c_str(), "%*3s %3s %d %d:%d:%d %d", month, &fields.tm_mday, &fields.tm_hour, &fields.tm_min,
                  &fields.tm_sec, &fields.tm_year) != 6) {
    return 0;
  }
  const char* found = std::strstr(kMonths, month);
  if (found == nullptr || std::strlen(month) != 3) return 0;
  fields.tm_mon = static_cast<int>((found - kMonths) / 3);
  fields.tm_year -= 1900;
  fields.tm_isdst = -1;
  return std::mktime(&fields);
}

bool IsDigits(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// The lines of a region, each ending in CR LF; a last piece without one is
// an entry cut off (a writer stopped mid-way), kept as a leftover.
void SplitLines(const std::string& bytes, size_t begin, size_t end, std::vector<std::string>* lines,
                std::string* unfinished) {
  while (begin < end) {
    size_t lineEnd = bytes.find("\r\n", begin);
    if (lineEnd == std::string::npos || lineEnd + 2 > end) {
      *unfinished = bytes.substr(begin, end - begin);
      return;
    }
    lines->push_back(bytes.substr(begin, lineEnd - begin));
    begin = lineEnd + 2;
  }
}

bool ReadHeader(const std::string& bytes, long* position) {
  if (bytes.size() < kHeaderLength + kMarkerLength) return false;
  std::string header = bytes.substr(0, kHeaderLength);
  size_t digits = header.find_first_not_of("0123456789");
  if (digits == 0 || header.find_first_not_of(' ', digits == std::string::npos ? kHeaderLength : digits) != std::string::npos) {
    return false;
  }
  *position = std::atol(header.c_str());
  return *position >= static_cast<long>(kHeaderLength) &&
         bytes.compare(static_cast<size_t>(*position), kMarkerLength, kEndMarker) == 0;
}

void AddLines(const std::vector<std::string>& lines, std::vector<LogEntry>* entries) {
  for (const std::string& line : lines) entries->push_back(ParseEntryLine(line));
}

LogEntry Leftover(const std::string& piece) {
  LogEntry entry;
  entry.line = piece;
  entry.raw = true;
  return entry;
}

// A ring: the current round runs from the header to the marker; what follows
// the marker is the round before, overwritten from its start. Its first
// piece is usually the tail of an entry the current round overwrote, and
// its last entry is followed by whatever older rounds left beyond it (the
// ring keeps no mark there). So the previous round is the run of whole
// entries after that first piece, up to the first piece that is not one or
// an entry older than the one before it.
void ParseRing(const std::string& bytes, long position, LogContent* content) {
  size_t newestEnd = static_cast<size_t>(position);
  size_t olderBegin = newestEnd + kMarkerLength;
  size_t olderEnd = bytes.find(kEndMarker, olderBegin);
  if (olderEnd == std::string::npos) olderEnd = bytes.size();

  std::vector<std::string> older, newer;
  std::string unfinished;
  SplitLines(bytes, olderBegin, olderEnd, &older, &unfinished);
  std::vector<LogEntry> previousRound;
  size_t line = 0;
  if (!older.empty() && ParseEntryLine(older.front()).raw) content->leftovers.push_back(Leftover(older[line++]));
  for (; line < older.size(); ++line) {
    LogEntry entry = ParseEntryLine(older[line]);
    if (entry.raw || (!previousRound.empty() && entry.when < previousRound.back().when)) break;
    previousRound.push_back(entry);
  }
  for (; line < older.size(); ++line) content->leftovers.push_back(Leftover(older[line]));
  if (!unfinished.empty()) content->leftovers.push_back(Leftover(unfinished));
  if (olderEnd + kMarkerLength < bytes.size()) {
    content->leftovers.push_back(Leftover(bytes.substr(olderEnd + kMarkerLength)));
  }
  unfinished.clear();
  SplitLines(bytes, kHeaderLength, newestEnd, &newer, &unfinished);
  if (!unfinished.empty()) content->leftovers.push_back(Leftover(unfinished));
  content->entries = std::move(previousRound);
  AddLines(newer, &content->entries);
}

bool LooksLikeText(const std::string& bytes) { return bytes.find('\0') == std::string::npos; }

bool ReadBytes(const std::string& path, std::string* bytes, bool* missing) {
  for (int attempt = 0;; ++attempt) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file != nullptr) {
      bytes->clear();
      char block[1 << 16];
      size_t count;
      while ((count = std::fread(block, 1, sizeof block, file)) > 0) bytes->append(block, count);
      bool whole = std::ferror(file) == 0;
      std::fclose(file);
      return whole;
    }
    // Windows refuses the open while a writer holds the file alone.
    *missing = errno == ENOENT;
    if (*missing || attempt == kSharingRetries) return false;
    std::this_thread::sleep_for(kSharingRetryDelay);
  }
}

}  // namespace

LogEntry ParseEntryLine(const std::string& line) {
  LogEntry entry;
  entry.line = line;
  entry.raw = true;
  // (time) computer:user program:thread [component   ]: message
  if (line.size() < 2 || line[0] != '(') return entry;
  size_t timeEnd = line.find(") ");
  if (timeEnd == std::string::npos) return entry;
  size_t userSeparator = line.find(':', timeEnd + 2);
  size_t userEnd = userSeparator == std::string::npos ? userSeparator : line.find(' ', userSeparator);
  if (userEnd == std::string::npos) return entry;
  // The program's name may hold blanks and colons: its thread is the last
  // ":digits" before the component field or the message's ": ".
  size_t fieldsEnd = line.find(": ", userEnd + 1);
  size_t bracket = line.find(" [", userEnd + 1);
  bool hasComponent = bracket != std::string::npos && bracket < fieldsEnd;
  size_t programEnd = hasComponent ? bracket : fieldsEnd;
  if (programEnd == std::string::npos || programEnd == 0) return entry;
  if (!hasComponent && line[programEnd - 1] == ' ') --programEnd;
  size_t threadSeparator = line.rfind(':', programEnd - 1);
  if (threadSeparator == std::string::npos || threadSeparator <= userEnd) return entry;
  std::string thread = line.substr(threadSeparator + 1, programEnd - threadSeparator - 1);
  if (!IsDigits(thread) && thread.rfind('-', 0) != 0) return entry;

  size_t messageBegin;
  if (hasComponent) {
    size_t close = line.find("]: ", bracket);
    if (close == std::string::npos) return entry;
    entry.component = line.substr(bracket + 2, close - bracket - 2);
    entry.component.erase(entry.component.find_last_not_of(' ') + 1);
    messageBegin = close + 3;
  } else {
    messageBegin = fieldsEnd + 2;
  }
  entry.time = line.substr(1, timeEnd - 1);
  entry.computer = line.substr(timeEnd + 2, userSeparator - timeEnd - 2);
  entry.user = line.substr(userSeparator + 1, userEnd - userSeparator - 1);
  entry.program = line.substr(userEnd + 1, threadSeparator - userEnd - 1);
  entry.thread = thread;
  size_t text = line.find_first_not_of(' ', messageBegin);
  if (text == std::string::npos) text = line.size();
  entry.indentation = static_cast<int>(text - messageBegin);
  entry.message = line.substr(text);
  entry.when = ParseEntryTime(entry.time);
  entry.raw = false;
  return entry;
}

bool ParseLog(const std::string& bytes, LogContent* content) {
  *content = LogContent();
  if (!LooksLikeText(bytes)) return false;
  long position = 0;
  if (ReadHeader(bytes, &position)) {
    content->ring = true;
    content->writePosition = position;
    ParseRing(bytes, position, content);
    return true;
  }
  std::vector<std::string> lines;
  std::string unfinished;
  SplitLines(bytes, 0, bytes.size(), &lines, &unfinished);
  AddLines(lines, &content->entries);
  if (!unfinished.empty()) content->leftovers.push_back(Leftover(unfinished));
  // An append log holds raw entries too, but a text of none of the
  // library's entries is some other file.
  for (const LogEntry& entry : content->entries) {
    if (!entry.raw) return true;
  }
  return bytes.empty();
}

std::string LogFileStamp(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::string();
  char header[kHeaderLength] = {};
  size_t read = std::fread(header, 1, sizeof header, file);
  std::fseek(file, 0, SEEK_END);
  long size = std::ftell(file);
  std::fclose(file);
  return std::to_string(size) + ":" + std::string(header, read);
}

LogReadResult ReadLogFile(const std::string& path, LogContent* content) {
  std::string bytes, again;
  bool missing = false;
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (!ReadBytes(path, &bytes, &missing)) return missing ? LogReadResult::Missing : LogReadResult::Unreadable;
    // A writer may have changed the file while it was read: a second read
    // of its header and size tells.
    if (!ReadBytes(path, &again, &missing)) return LogReadResult::Unreadable;
    if (again == bytes) break;
  }
  return ParseLog(bytes, content) ? LogReadResult::Read : LogReadResult::NotALog;
}

}  // namespace tool
