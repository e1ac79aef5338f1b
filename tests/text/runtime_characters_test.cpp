// The platform's multi-byte services and wide classification against the
// Windows runtime's own answers, recorded under Wine in
// runtime_characters.txt: every lead byte, every single byte and every
// double-byte code of the code pages 1252, 932, 936, 949 and 950.
//
// On Linux every code page of the file is checked (the ANSI code page is
// pinned to each in turn); on Windows the section of the running code page,
// which keeps the file true to the runtime.

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "platform/codepage.h"
#include "support/runtime_characters.h"
#include "support/test_support.h"
#ifndef _WIN32
#include "platform/posix/posix_codepage.h"
#endif

namespace {

// The recorded sections by name ("932", "wide", ...), each from its "[name]" line.
std::map<std::string, std::string> RecordedSections() {
  std::istringstream file(testing_support::ReadTextFile(testing_support::ProgramDirectory() / "runtime_characters.txt"));
  std::map<std::string, std::string> sections;
  std::string* section = nullptr;
  for (std::string line; std::getline(file, line);) {
    if (line[0] == '[') section = &sections[line.substr(1, line.find(']') - 1)];
    if (section != nullptr && line[0] != '#') *section += line + "\n";
  }
  return sections;
}

TEST(RuntimeCharacters, MultiByteServicesAnswerAsTheRuntime) {
  int compared = 0;
  for (const auto& [name, recorded] : RecordedSections()) {
    if (name == "wide") continue;
    const UINT codePage = static_cast<UINT>(std::stoul(name));
#ifdef _WIN32
    if (codePage != platform::GetACP()) continue;
#else
    platform::AnsiCodePageStore::Pin(codePage);
#endif
    EXPECT_EQ(testing_support::MultiByteServicesSection(), recorded) << "code page " << codePage;
    ++compared;
  }
#ifdef _WIN32
  if (compared == 0) GTEST_SKIP() << "no recorded answers for code page " << platform::GetACP();
#else
  platform::AnsiCodePageStore::Pin(0);
  EXPECT_EQ(compared, 5);
#endif
}

TEST(RuntimeCharacters, WideClassificationAnswersAsTheRuntime) {
  EXPECT_EQ(testing_support::WideClassificationSection(), RecordedSections()["wide"]);
}

}  // namespace
