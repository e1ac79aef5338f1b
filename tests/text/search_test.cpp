// Search that passes over blanks, comparison up to a blank, wildcards.

#include <chrono>
#include <cstddef>
#include <string>

#include "ovpb32.h"
#include "text_test.h"

namespace {

using namespace text_testing;

// Where a match starts and ends, as "start-end" offsets into the text; "none".
std::string Search(char* (*find)(const char*, const char*, char**), const std::string& text, const std::string& pattern) {
  char* start = nullptr;
  char* end = find(text.c_str(), pattern.c_str(), &start);
  if (end == nullptr) return "none";
  return std::to_string(start - text.c_str()) + "-" + std::to_string(end - text.c_str());
}

TEST_F(BytePath, SearchPassesOverBlanksOnEitherSide) {
  const struct {
    const char *text, *pattern, *found;
  } cases[] = {{"a b c", "abc", "0-5"},  {"abc", " a b c", "0-3"}, {"xx a b cd", "abc", "3-8"},
               {"a\xa0" "b", "ab", "0-3"},  // the no-break space too
               {"xab", "ab ", "none"},  // a trailing blank needs text
               {"axb", "ab", "none"}, {"aab", "ab", "1-3"},  {"abc", "", "none"}, {"abc", " \xa0 ", "none"},
               {"", "a", "none"},     {"xAB", "ab", "none"}};
  for (const auto& c : cases) EXPECT_EQ(Search(strfind, c.text, c.pattern), c.found) << c.text << "/" << c.pattern;
  EXPECT_EQ(Search(strifind, "xAB", "ab"), "1-3");
  EXPECT_EQ(Search(strifind, "x a B", "Ab"), "2-5");
  const char text[] = "abc";
  EXPECT_EQ(strfind(text, "b", nullptr), text + 2);  // the start need not be asked for
}

TEST_F(BytePath, ComparisonEndsWhereABlankFollowsTheShorterString) {
  EXPECT_EQ(strtrmcmp("abc", "abc  "), 0);
  EXPECT_EQ(strtrmcmp("abc x", "abc"), 0);  // only the first character after it counts
  EXPECT_LT(strtrmcmp("abc", "abcd"), 0);
  EXPECT_EQ(strtrmcmp("abd", "abc"), 1);
  EXPECT_EQ(strtrmcmp("ab", "a"), 'b');
  EXPECT_LT(strtrmcmp("\xe9", "a"), 0);  // bytes compare signed
}

TEST_F(BytePath, WildcardsMatchTheWholeTextIgnoringCaseAndAnswerAtOnce) {
  // Random patterns are compared with a model in wildcard_retry_test.cpp.
  EXPECT_EQ(wcstrcmp("*.TXT", "n.txt"), 0);
  EXPECT_EQ(wcstrcmp("*x*", "abc"), 'x');  // the first pattern character left over
  const std::string text(100 * 1024, 'a');
  std::string separated;
  for (int i = 0; i < 30; ++i) separated += "*a";
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(wcstrcmp((separated + "*").c_str(), text.c_str()), 0);
  EXPECT_NE(wcstrcmp((separated + "*b").c_str(), text.c_str()), 0);
  // Proportional to the product of the lengths: well under a second natively.
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}

TEST_F(Cp932Path, ATrailByteNeverMatchesASingleByteCharacterAndCodesFoldCase) {
  const std::string b = kFullwidthCapitalB;  // its trail byte is 'a'
  EXPECT_EQ(Search(strfind, b + "x", "ax"), "none");
  EXPECT_EQ(Search(strfind, "x" + b + " " + kHiraganaA, b + kHiraganaA), "1-6");
  EXPECT_EQ(Search(strifind, std::string("x") + kFullwidthSmallA, kFullwidthCapitalA), "1-3");
  EXPECT_EQ(Search(strfind, std::string("x") + kFullwidthSmallA, kFullwidthCapitalA), "none");
  EXPECT_EQ(wcstrcmp((std::string(kFullwidthCapitalA) + "*").c_str(), (std::string(kFullwidthSmallA) + "z").c_str()), 0);
  // Codes compare unsigned: a double-byte character sorts after ASCII.
  EXPECT_EQ(strtrmcmp(kHiraganaA, "a"), 0x82A0 - 'a');
}

}  // namespace
