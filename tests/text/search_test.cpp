// Search that passes over blanks, comparison up to a blank, wildcards.

#include <chrono>
#include <cstddef>
#include <string>

#include "ovpb32.h"
#include "text_test.h"

namespace {

using namespace text_testing;

// Where a match starts and ends, as offsets into the text; -1 for none.
struct Found {
  std::ptrdiff_t start;
  std::ptrdiff_t end;
  bool operator==(const Found& other) const { return start == other.start && end == other.end; }
};

std::ostream& operator<<(std::ostream& out, const Found& found) {
  return out << "[" << found.start << ", " << found.end << ")";
}

Found Search(char* (*find)(const char*, const char*, char**), const std::string& text, const std::string& pattern) {
  char* start = nullptr;
  char* end = find(text.c_str(), pattern.c_str(), &start);
  if (end == nullptr) return {-1, -1};
  return {start - text.c_str(), end - text.c_str()};
}

TEST_F(BytePath, SearchPassesOverBlanksOnEitherSide) {
  EXPECT_EQ(Search(strfind, "a b c", "abc"), (Found{0, 5}));
  EXPECT_EQ(Search(strfind, "abc", " a b c"), (Found{0, 3}));
  EXPECT_EQ(Search(strfind, "xx a b cd", "abc"), (Found{3, 8}));
  EXPECT_EQ(Search(strfind, "a\xa0" "b", "ab"), (Found{0, 3}));  // the no-break space too
  EXPECT_EQ(Search(strfind, "xab", "ab "), (Found{-1, -1}));     // a trailing blank needs text
  EXPECT_EQ(Search(strfind, "axb", "ab"), (Found{-1, -1}));
  EXPECT_EQ(Search(strfind, "aab", "ab"), (Found{1, 3}));
  const char text[] = "abc";
  EXPECT_EQ(strfind(text, "b", nullptr), text + 2);  // the start need not be asked for
}

TEST_F(BytePath, SearchFindsNothingForNothing) {
  EXPECT_EQ(Search(strfind, "abc", ""), (Found{-1, -1}));
  EXPECT_EQ(Search(strfind, "abc", " \xa0 "), (Found{-1, -1}));
  EXPECT_EQ(Search(strfind, "", "a"), (Found{-1, -1}));
}

TEST_F(BytePath, CaseIsIgnoredOnlyByTheCaseBlindSearch) {
  EXPECT_EQ(Search(strfind, "xAB", "ab"), (Found{-1, -1}));
  EXPECT_EQ(Search(strifind, "xAB", "ab"), (Found{1, 3}));
  EXPECT_EQ(Search(strifind, "x a B", "Ab"), (Found{2, 5}));
}

TEST_F(BytePath, ComparisonEndsWhereABlankFollowsTheShorterString) {
  EXPECT_EQ(strtrmcmp("abc", "abc  "), 0);
  EXPECT_EQ(strtrmcmp("abc x", "abc"), 0);  // only the first character after it counts
  EXPECT_EQ(strtrmcmp("abc", "abc"), 0);
  EXPECT_LT(strtrmcmp("abc", "abcd"), 0);
  EXPECT_EQ(strtrmcmp("abd", "abc"), 1);
  EXPECT_EQ(strtrmcmp("ab", "a"), 'b');
  EXPECT_LT(strtrmcmp("\xe9", "a"), 0);  // bytes compare signed
}

TEST_F(BytePath, WildcardsMatchTheWholeTextIgnoringCase) {
  EXPECT_EQ(wcstrcmp("a*", "ABC"), 0);
  EXPECT_EQ(wcstrcmp("*a?", "aab"), 0);
  EXPECT_EQ(wcstrcmp("**", ""), 0);
  EXPECT_EQ(wcstrcmp("a*c*e", "abcdcxe"), 0);
  EXPECT_EQ(wcstrcmp("*.TXT", "name.txt"), 0);
  EXPECT_NE(wcstrcmp("*ab", "xxb"), 0);
  EXPECT_EQ(wcstrcmp("a?c", "ac"), -1);
  EXPECT_NE(wcstrcmp("abc", "ab"), 0);
  EXPECT_NE(wcstrcmp("ab", "abc"), 0);
  EXPECT_EQ(wcstrcmp("*?", ""), -1);
  EXPECT_EQ(wcstrcmp("*x*", "abc"), 'x');  // the first pattern character left over
}

TEST_F(BytePath, WildcardsAnswerAtOnceForManyStarsOverALongText) {
  const std::string text(100 * 1024, 'a');
  std::string separated;
  for (int i = 0; i < 30; ++i) separated += "*a";
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(wcstrcmp((separated + "*").c_str(), text.c_str()), 0);
  EXPECT_NE(wcstrcmp((separated + "*b").c_str(), text.c_str()), 0);
  EXPECT_NE(wcstrcmp((std::string(30, '*') + "b").c_str(), text.c_str()), 0);
  // Proportional to the product of the lengths: well under a second natively.
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}

TEST_F(Cp932Path, ATrailByteNeverMatchesASingleByteCharacter) {
  const std::string b = kFullwidthCapitalB;  // its trail byte is 'a'
  EXPECT_EQ(Search(strfind, b + "x", "ax"), (Found{-1, -1}));
  EXPECT_EQ(Search(strfind, "a" + b + "x", "ax"), (Found{-1, -1}));
  EXPECT_EQ(Search(strfind, "x" + b + " " + kHiraganaA, b + kHiraganaA), (Found{1, 6}));
  EXPECT_NE(wcstrcmp("*a", b.c_str()), 0);
  EXPECT_EQ(wcstrcmp("?", kHiraganaA), 0);  // one character, two bytes
  EXPECT_EQ(wcstrcmp("*?x", (b + kHiraganaA + "x").c_str()), 0);
}

TEST_F(Cp932Path, FullWidthLettersCompareByCodeAndFoldCase) {
  EXPECT_EQ(Search(strifind, std::string("x") + kFullwidthSmallA, kFullwidthCapitalA), (Found{1, 3}));
  EXPECT_EQ(Search(strfind, std::string("x") + kFullwidthSmallA, kFullwidthCapitalA), (Found{-1, -1}));
  EXPECT_EQ(wcstrcmp((std::string(kFullwidthCapitalA) + "*").c_str(), (std::string(kFullwidthSmallA) + "z").c_str()), 0);
  // Codes compare unsigned: a double-byte character sorts after ASCII.
  EXPECT_EQ(strtrmcmp(kHiraganaA, "a"), 0x82A0 - 'a');
  EXPECT_EQ(strtrmcmp((std::string(kHiraganaA) + " ").c_str(), kHiraganaA), 0);
}

}  // namespace
