// The platform's multi-byte services and wide classification against the
// Windows runtime's own answers, recorded under Wine in
// runtime_characters.txt: every lead byte, every single byte and every
// double-byte code of the code pages 1252, 932, 936, 949 and 950.
//
// On Linux every code page of the file is checked (the ANSI code page is
// pinned to each in turn); on Windows the section of the running code page,
// which keeps the file true to the runtime.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "platform/codepage.h"
#include "support/runtime_characters.h"
#include "support/test_support.h"
#ifndef _WIN32
#include "platform/posix/posix_codepage.h"
#endif

namespace {

using testing_support::CharacterTable;

std::map<std::string, CharacterTable> RecordedAnswers() {
  std::string file = testing_support::ReadTextFile(testing_support::ProgramDirectory() / "runtime_characters.txt");
  return testing_support::ParseSections(file);
}

// Lists the differences, at most a screenful.
std::string Differences(const CharacterTable& expected, const CharacterTable& actual) {
  std::ostringstream out;
  int shown = 0;
  for (unsigned byte = 0; byte < 256; ++byte) {
    if (expected.lead[byte] != actual.lead[byte]) out << "lead byte " << byte << " differs\n";
  }
  if (expected.characters.size() != actual.characters.size()) {
    out << expected.characters.size() << " codes recorded, " << actual.characters.size() << " asked\n";
    return out.str();
  }
  for (size_t i = 0; i < expected.characters.size(); ++i) {
    if (expected.characters[i] == actual.characters[i]) continue;
    if (++shown > 20) return out.str() + "...\n";
    out << "runtime " << Describe(expected.characters[i]) << "\nplatform " << Describe(actual.characters[i]) << "\n";
  }
  return out.str();
}

#ifndef _WIN32
class PinnedCodePage {
 public:
  explicit PinnedCodePage(UINT codePage) { platform::AnsiCodePageStore::Pin(codePage); }
  ~PinnedCodePage() { platform::AnsiCodePageStore::Pin(0); }
};
#endif

TEST(RuntimeCharacters, MultiByteServicesAnswerAsTheRuntime) {
  const auto recorded = RecordedAnswers();
  int compared = 0;
  for (const auto& section : recorded) {
    if (section.first == "wide") continue;
    const UINT codePage = static_cast<UINT>(std::stoul(section.first));
#ifdef _WIN32
    if (codePage != platform::GetACP()) continue;
#else
    PinnedCodePage pinned(codePage);
#endif
    EXPECT_EQ(Differences(section.second, testing_support::AskMultiByteServices()), "") << "code page " << codePage;
    ++compared;
  }
#ifdef _WIN32
  if (compared == 0) GTEST_SKIP() << "no recorded answers for code page " << platform::GetACP();
#else
  EXPECT_EQ(compared, 5);
#endif
}

TEST(RuntimeCharacters, WideClassificationAnswersAsTheRuntime) {
  const auto recorded = RecordedAnswers();
  ASSERT_EQ(recorded.count("wide"), 1u);
  EXPECT_EQ(Differences(recorded.at("wide"), testing_support::AskWideClassification()), "");
}

}  // namespace
