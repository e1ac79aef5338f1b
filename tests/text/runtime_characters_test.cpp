// The platform's multi-byte services and wide classification against the
// Windows runtime's answers recorded under Wine (runtime_characters.txt): on
// Linux every code page of the file, pinned in turn; on Windows the running one.

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

TEST(RuntimeCharacters, MultiByteServicesAndWideClassificationAnswerAsTheRuntime) {
  int compared = 0;
  auto sections = RecordedSections();
  EXPECT_EQ(testing_support::WideClassificationSection(), sections["wide"]);
  for (const auto& [name, recorded] : sections) {
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

}  // namespace
