// A second process for tests: answers one question, or works on a file
// through the platform layer (ACCESS: letters of r, w, d; SHARE: a number).
//
//   assert-on LIBRARY       OVAssertOn() of that library
//   open FILE ACCESS SHARE  opens FILE, prints the error (0 when opened)
//   hold FILE ACCESS SHARE  opens FILE, prints "held" (or the error), keeps it until its input closes
//   count FILE TIMES        TIMES over: adds one to FILE's number, opening it without sharing, retrying
//   runtime-characters      the multi-byte services' answers, a section of tests/text/runtime_characters.txt
//   wide-characters         the same for the wide classification
//   log-writer RING APPEND TAG THREADS COUNT   COUNT entries from each thread into both logs; "lost <log> <id>" per failure
//   time-zone               the minutes 8 racing first ToGlobalTime calls saw, and "agree"
//   date-formats            the lines of tests/datetime/wine_dates.txt
//   locale-values           the lines of tests/intl/wine_locale_values.txt
//   copy SOURCE DEST        "copying", then ByteLevelFileCopy's result once it returns
//   note OUT FILE           its working folder and FILE, a line each, into OUT

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "ovpb32.h"
#include "platform/codepage.h"
#include "platform/date_format.h"
#include "platform/locale.h"
#include "platform/files.h"
#include "platform/system.h"
#include "support/shared_counter.h"
#include "support/locale_values.h"
#include "support/log_writer_entry.h"
#include "support/runtime_characters.h"
#include "support/test_support.h"

namespace {

DWORD AccessFrom(const char* letters) {
  DWORD access = 0;
  if (std::strchr(letters, 'r')) access |= GENERIC_READ;
  if (std::strchr(letters, 'w')) access |= GENERIC_WRITE;
  if (std::strchr(letters, 'd')) access |= DELETE;
  return access;
}

int OpenOrHold(char** argv) {
  HANDLE file = platform::CreateFileA(argv[2], AccessFrom(argv[3]), static_cast<DWORD>(std::atoi(argv[4])), nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  const unsigned long error = file == INVALID_HANDLE_VALUE ? static_cast<unsigned long>(platform::GetLastError()) : 0;
  if (std::strcmp(argv[1], "open") == 0) {
    std::printf("%lu\n", error);
  } else {
    std::printf("%s\n", error != 0 ? ("error " + std::to_string(error)).c_str() : "held");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
  }
  platform::CloseHandle(file);
  return 0;
}

int Count(char** argv) {
  for (int done = 0, times = std::atoi(argv[3]); done < times;) {
    if (testing_support::AddOneExclusively(argv[2])) {
      ++done;
    } else if (platform::GetLastError() != ERROR_SHARING_VIOLATION) {
      return 1;
    }
  }
  return 0;
}

int AssertOn(char** argv) {
  testing_support::LoadedLibrary library{testing_support::fs::path(argv[2])};
  auto assertOn = library.Get<int (*)()>("OVAssertOn");
  if (assertOn == nullptr) return 2;
  std::printf("%d\n", assertOn());
  return 0;
}

int RuntimeCharacters(char**) { return std::printf("%s", testing_support::MultiByteServicesSection().c_str()) < 0; }

int WideCharacters(char**) { return std::printf("%s", testing_support::WideClassificationSection().c_str()) < 0; }

// In UTF-8; Windows writes in the locale's own code page, the POSIX layer in the process's.
std::string FormatDate(LCID locale, DWORD flags, const SYSTEMTIME& date, const char* picture) {
  char text[256], codePage[8] = "0";
#ifdef _WIN32
  platform::GetLocaleInfoA(locale, LOCALE_IDEFAULTANSICODEPAGE, codePage, sizeof codePage);
#endif
  if (platform::GetDateFormatA(locale, flags, &date, picture, text, sizeof text) == 0) return "(error)";
  WideString wide(256, 0);
  int units = platform::MultiByteToWideChar(static_cast<UINT>(std::atoi(codePage)), 0, text, -1, &wide[0], 256);
  wide.resize(units > 0 ? units - 1 : 0);
  return testing_support::ToUtf8(wide);
}

// "locale<TAB>yyyy-mm-dd<TAB>form<TAB>text"; the form LONG, SHORT or a picture.
int DateFormats(char**) {
  for (LCID locale : {0x0409, 0x0809, 0x1009, 0x0C0C, 0x0407, 0x0411, 0x0419}) {
    for (int year : {1601, 1752, 1899, 1900, 1999, 2000, 2001, 2024, 2100, 2400, 5000, 9999}) {
      for (int month = 1; month <= 13; ++month) {  // 13: 29 February of the leap years
        if (month == 13 && (year % 4 != 0 || (year % 100 == 0 && year % 400 != 0))) continue;
        SYSTEMTIME date{static_cast<WORD>(year), static_cast<WORD>(month <= 12 ? month : 2), 0,
                        static_cast<WORD>(month <= 12 ? 2 * month + 1 : 29), 0, 0, 0, 0};
        for (const char* form : {"LONG", "SHORT", "d dd ddd dddd", "M MM MMM MMMM", "d MMMM yyyy", "y yy yyy yyyyy",
                                  "'It''s' dd-MMM-yy gg", "MMMM, yyyy"}) {
          DWORD flags = std::strcmp(form, "LONG") == 0 ? DATE_LONGDATE : std::strcmp(form, "SHORT") == 0 ? DATE_SHORTDATE : 0;
          std::printf("%04x\t%04d-%02d-%02d\t%s\t%s\n", static_cast<unsigned>(locale), year, date.wMonth, date.wDay, form,
                      FormatDate(locale, flags, date, flags != 0 ? nullptr : form).c_str());
        }
      }
    }
  }
  return 0;
}

int LogWriter(char** argv) {
  std::string ring = argv[2], append = argv[3], tag = argv[4];
  int threads = std::atoi(argv[5]), count = std::atoi(argv[6]);
  std::mutex output;
  std::vector<testing_support::TestThread> writers;
  for (int t = 0; t < threads; ++t) {
    writers.emplace_back([&, t] {
      for (int i = 0; i < count; ++i) {
        std::string id = testing_support::LogWriterEntryId(tag, t, i);
        std::string entry = testing_support::LogWriterEntry(id);
        bool ringWritten = DoWriteLog(ring.c_str(), entry.c_str(), 10000000) == 1;
        bool appendWritten = DoWriteLog(append.c_str(), entry.c_str(), -1) == 1;
        std::lock_guard<std::mutex> hold(output);
        if (!ringWritten) std::printf("lost ring %s\n", id.c_str());
        if (!appendWritten) std::printf("lost append %s\n", id.c_str());
      }
    });
  }
  for (testing_support::TestThread& writer : writers) writer.join();
  return 0;
}

int TimeZone(char**) {
  std::vector<double> offsets(8);
  std::vector<testing_support::TestThread> racers;
  for (double& offset : offsets) racers.emplace_back([&offset] { offset = ToGlobalTime(0.0); });
  for (testing_support::TestThread& racer : racers) racer.join();
  bool agree = std::count(offsets.begin(), offsets.end(), offsets[0]) == 8;
  std::printf("%ld %s\n", std::lround(offsets[0] * 1440), agree ? "agree" : "differ");
  return 0;
}

int LocaleValues(char**) {
  for (LCID locale : testing_support::ComparedLocales()) {
    for (LCTYPE type : testing_support::ComparedLocaleValues()) {
      std::printf("%s\n", testing_support::LocaleValueLine(locale, type).c_str());
    }
  }
  return 0;
}

int Copy(char** argv) {
  std::printf("copying\n");
  std::fflush(stdout);
  int result = ByteLevelFileCopy(argv[2], argv[3]);
  std::printf("%d\n", result);
  std::fflush(stdout);
  return result == 1 ? 0 : 1;
}

int Note(char** argv) {
  char folder[MAX_PATH] = "";
  platform::GetCurrentDirectoryA(MAX_PATH, folder);
  std::string text = std::string(folder) + "\n" + argv[3] + "\n";
  std::string partial = std::string(argv[2]) + ".part";
  testing_support::WriteTextFile(partial, text);
  return platform::MoveFileA(partial.c_str(), argv[2]) ? 0 : 1;  // whole or not at all
}

struct Command {
  const char* name;
  int argumentCount;  // after the command's name
  int (*run)(char** argv);
};

const Command kCommands[] = {
    {"assert-on", 1, AssertOn},
    {"open", 3, OpenOrHold},
    {"hold", 3, OpenOrHold},
    {"count", 2, Count},
    {"runtime-characters", 0, RuntimeCharacters},
    {"wide-characters", 0, WideCharacters},
    {"log-writer", 5, LogWriter},
    {"copy", 2, Copy},
    {"time-zone", 0, TimeZone},
    {"date-formats", 0, DateFormats},
    {"note", 2, Note},
    {"locale-values", 0, LocaleValues},
};

}  // namespace

int main(int argc, char** argv) {
  for (const Command& command : kCommands) {
    if (argc == command.argumentCount + 2 && std::strcmp(argv[1], command.name) == 0) return command.run(argv);
  }
  std::fprintf(stderr, "%s: unknown command; see the list at the top of tests/child/main.cpp\n", argv[0]);
  return 2;
}
