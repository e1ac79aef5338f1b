// ovpb log show|tail|write|where.

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

#include "ovpb32.h"
#include "tools/command_line.h"
#include "tools/library_config.h"
#include "tools/log_reader.h"

namespace tool {
namespace {

struct EntryFilter {
  std::time_t since = 0;
  std::string component, text;
  bool json = false, raw = false;
};

bool ParseTime(const std::string& text, std::time_t* when) {
  std::tm fields{};
  int matched = std::sscanf(text.c_str(), "%d-%d-%d%*1[ T]%d:%d:%d", &fields.tm_year, &fields.tm_mon, &fields.tm_mday,
                            &fields.tm_hour, &fields.tm_min, &fields.tm_sec);
  if (matched != 3 && matched < 5) return false;
  fields.tm_year -= 1900;
  fields.tm_mon -= 1;
  fields.tm_isdst = -1;
  *when = std::mktime(&fields);
  return *when != static_cast<std::time_t>(-1);
}

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

bool Passes(const EntryFilter& filter, const LogEntry& entry) {
  if (filter.since != 0 && (entry.raw || entry.when < filter.since)) return false;
  if (!filter.component.empty() && (entry.raw || !SameText(filter.component, entry.component))) return false;
  return filter.text.empty() || entry.line.find(filter.text) != std::string::npos;
}

void PrintJsonString(const char* name, const std::string& value, bool last = false) {
  std::printf("\"%s\":\"", name);
  for (unsigned char c : value) {
    if (c == '"' || c == '\\') {
      std::printf("\\%c", c);
    } else if (c < 0x20) {
      std::printf("\\u%04x", c);
    } else {
      std::putchar(c);
    }
  }
  std::printf(last ? "\"" : "\",");
}

void PrintEntry(const EntryFilter& filter, const LogEntry& entry) {
  if (!filter.json) {
    std::printf("%s\n", entry.line.c_str());
  } else if (entry.raw) {
    std::putchar('{');
    PrintJsonString("raw", entry.line, true);
    std::printf("}\n");
  } else {
    std::putchar('{');
    PrintJsonString("time", entry.time);
    PrintJsonString("computer", entry.computer);
    PrintJsonString("user", entry.user);
    PrintJsonString("program", entry.program);
    PrintJsonString("thread", entry.thread);
    PrintJsonString("component", entry.component);
    std::printf("\"indentation\":%d,", entry.indentation);
    PrintJsonString("message", entry.message, true);
    std::printf("}\n");
  }
}

bool TakeFilterOptions(Arguments& arguments, EntryFilter* filter, std::string* error) {
  std::string value;
  while (!arguments.Done() && arguments.Peek().rfind("--", 0) == 0) {
    if (arguments.TakeOption("--since", &value)) {
      if (!ParseTime(value, &filter->since)) {
        *error = "not a time: '" + value + "' (YYYY-MM-DD [HH:MM[:SS]])";
        return false;
      }
    } else if (arguments.TakeOption("--component", &filter->component) || arguments.TakeOption("--grep", &filter->text)) {
    } else if (arguments.TakeFlag("--json")) {
      filter->json = true;
    } else if (arguments.TakeFlag("--raw")) {
      filter->raw = true;
    } else {
      *error = "unknown option '" + arguments.Peek() + "'";
      return false;
    }
  }
  return true;
}

int ReadFailure(const std::string& path, LogReadResult result) {
  switch (result) {
    case LogReadResult::Missing: return Fail(path, "no such file");
    case LogReadResult::NotALog: return Fail(path, "not a log file");
    default: return Fail(path, "cannot be read");
  }
}

// FILE, or the general log when there is none; false on extra words.
bool TakeLogPath(Arguments& arguments, std::string* path) {
  *path = arguments.Done() ? GeneralLogPath() : arguments.Take();
  return arguments.Done();
}

int RunShow(Arguments& arguments) {
  EntryFilter filter;
  std::string error, path;
  if (!TakeFilterOptions(arguments, &filter, &error)) return Usage("log show", error);
  if (!TakeLogPath(arguments, &path)) return Usage("log show", "one FILE at most");
  LogContent content;
  LogReadResult result = ReadLogFile(path, &content);
  if (result != LogReadResult::Read) return ReadFailure(path, result);
  if (filter.raw) {
    for (const LogEntry& piece : content.leftovers) {
      if (!Passes(filter, piece)) continue;
      if (filter.json) {
        PrintEntry(filter, piece);
      } else {
        std::printf("(leftover) %s\n", piece.line.c_str());
      }
    }
  }
  for (const LogEntry& entry : content.entries) {
    if (Passes(filter, entry)) PrintEntry(filter, entry);
  }
  return kSuccess;
}

// The entries of `now` that follow the newest of `before`: the last few of
// `before` are found again in `now` (a ring drops the oldest as it wraps).
size_t FirstNewEntry(const std::vector<LogEntry>& before, const std::vector<LogEntry>& now) {
  if (before.empty()) return 0;
  size_t anchor = before.size() < 3 ? before.size() : 3;
  for (size_t end = now.size(); end >= anchor; --end) {
    bool same = true;
    for (size_t k = 1; k <= anchor && same; ++k) same = now[end - k].line == before[before.size() - k].line;
    if (same) return end;
  }
  return 0;  // all of it is new: the file was replaced, or wrapped more than once
}

int RunTail(Arguments& arguments) {
  long count = 10;
  bool follow = false;
  std::string value, path;
  while (!arguments.Done() && arguments.Peek().rfind("-", 0) == 0) {
    if (arguments.TakeOption("-n", &value)) {
      char* end = nullptr;
      count = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != 0 || count < 0) return Usage("log tail", "not a count: '" + value + "'");
    } else if (arguments.TakeFlag("-f") || arguments.TakeFlag("--follow")) {
      follow = true;
    } else {
      return Usage("log tail", "unknown option '" + arguments.Peek() + "'");
    }
  }
  if (!TakeLogPath(arguments, &path)) return Usage("log tail", "one FILE at most");
  EntryFilter plain;
  LogContent content;
  LogReadResult result = ReadLogFile(path, &content);
  if (result != LogReadResult::Read) return ReadFailure(path, result);
  size_t total = content.entries.size();
  for (size_t i = total > static_cast<size_t>(count) ? total - count : 0; i < total; ++i) PrintEntry(plain, content.entries[i]);
  std::fflush(stdout);
  std::string stamp = LogFileStamp(path);
  while (follow) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    // A ring rewrites its header with every entry, an append log grows: the
    // whole file is read again only when one of them changed.
    std::string latest = LogFileStamp(path);
    if (latest == stamp) continue;
    stamp = latest;
    LogContent now;
    if (ReadLogFile(path, &now) != LogReadResult::Read) continue;
    for (size_t i = FirstNewEntry(content.entries, now.entries); i < now.entries.size(); ++i) {
      PrintEntry(plain, now.entries[i]);
    }
    std::fflush(stdout);
    content = std::move(now);
  }
  return kSuccess;
}

int RunWrite(Arguments& arguments) {
  std::string value;
  int level = 0;
  if (arguments.TakeOption("--level", &value)) {
    char* end = nullptr;
    level = static_cast<int>(std::strtol(value.c_str(), &end, 10));
    if (value.empty() || *end != 0) return Usage("log write", "not a level: '" + value + "'");
  }
  if (arguments.words.size() - arguments.next != 2) return Usage("log write", "COMPONENT and MESSAGE are needed");
  std::string component = arguments.Take();
  std::string message = arguments.Take();
  OVWriteLogA(component.c_str(), level, "%s", message.c_str());
  return kSuccess;
}

int RunWhere(Arguments& arguments) {
  if (!arguments.Done()) return Usage("log where", "no arguments are taken");
  std::vector<ConfigSetting> settings = ReadSettings(ConfigFilePath(), LibraryDirectory());
  auto value = [&settings](const char* name) {
    for (const ConfigSetting& setting : settings) {
      if (std::string(setting.info->name) == name) return setting.value;
    }
    return std::string();
  };
  long size = std::atol(value("LoggingSize").c_str());
  std::printf("file:       %s\n", GeneralLogPath().c_str());
  if (size == -1) {
    std::printf("mode:       append\n");
  } else {
    std::printf("mode:       ring of %ld bytes\n", size);
  }
  std::printf("level:      %s (entries up to this level are written)\n", value("GeneralLogging").c_str());
  std::printf("categories: %s\n", value("LoggingCategory").c_str());
  return kSuccess;
}

}  // namespace

const std::vector<Command>& LogCommands() {
  static const std::vector<Command> commands = {
      {"show", "",
       "Usage: ovpb log show [--since TIME] [--component NAME] [--grep TEXT] [--json] [--raw] [FILE]\n"
       "The entries of a ring or append log, oldest first; without FILE the\n"
       "general log that cv.ver names.\n"
       "  --since TIME      entries from TIME on (YYYY-MM-DD [HH:MM[:SS]], local time)\n"
       "  --component NAME  entries of that component (any case)\n"
       "  --grep TEXT       entries whose line holds TEXT\n"
       "  --json            one JSON object per entry\n"
       "  --raw             also the leftovers of earlier rounds of a ring\n",
       RunShow},
      {"tail", "",
       "Usage: ovpb log tail [-n N] [-f] [FILE]\n"
       "The last N entries (10); with -f, then each new entry as it arrives\n"
       "(until interrupted).\n",
       RunTail},
      {"write", "",
       "Usage: ovpb log write [--level N] COMPONENT MESSAGE\n"
       "Writes MESSAGE to the general log as the library does for programs: only\n"
       "when N (0) is at most GeneralLogging and COMPONENT passes LoggingCategory.\n",
       RunWrite},
      {"where", "",
       "Usage: ovpb log where\n"
       "The general log's file, its mode and size, the level and categories in force.\n",
       RunWhere},
  };
  return commands;
}

}  // namespace tool
