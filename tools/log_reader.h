// Reading the library's log files back: a ring log (10-byte position header,
// entries, end marker after the newest, the oldest after it) or an append
// log, as entries in the order they were written.
#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace tool {

struct LogEntry {
  std::string line;  // as written, without its CR LF
  bool raw = false;  // not an entry of the library's format (a raw entry, or a leftover)
  // The fields of a formatted entry.
  std::string time, computer, user, program, thread, component, message;
  int indentation = 0;
  std::time_t when = 0;  // local time the entry names; 0 when unreadable
};

struct LogContent {
  bool ring = false;
  long writePosition = 0;  // ring: where the next entry goes
  std::vector<LogEntry> entries;    // oldest first
  std::vector<LogEntry> leftovers;  // ring: pieces of earlier rounds, in file order
};

enum class LogReadResult { Read, Missing, Unreadable, NotALog };

// Reads the whole file as one consistent picture: a writer changing it while
// it is read makes the reader read it again; a file held without sharing is
// retried as the log writer retries.
LogReadResult ReadLogFile(const std::string& path, LogContent* content);

// What changes with every entry written: the file's size and its first 10
// bytes (a ring's position header). Empty when the file cannot be read.
std::string LogFileStamp(const std::string& path);

// Parses a file's bytes; false when they are not a log.
bool ParseLog(const std::string& bytes, LogContent* content);

// One line, parsed as the library formats entries.
LogEntry ParseEntryLine(const std::string& line);

// The size of the ring's end marker, and where the newest entry ends in bytes.
extern const char kEndMarker[];

}  // namespace tool
