// The text functions on the byte path and, in code page 932, the character-aware
// path: buffers end at a guard page, so a write or read past their room faults.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <clocale>
#include <cstddef>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "frame/module.h"
#include "ovpb32.h"
#include "platform/codepage.h"
#include "platform/mbcs.h"
#include "platform/wide.h"
#include "support/guarded_memory.h"
#include "text/toolkit.h"

namespace {

// Sets the double-byte flag for the life of the object.
class DoubleByteFlag {
 public:
  explicit DoubleByteFlag(int flag) : previous_(frame::SetDoubleByteFlagForTesting(flag)) {}
  ~DoubleByteFlag() { frame::SetDoubleByteFlagForTesting(previous_); }

 private:
  int previous_;
};

// The byte path: any code page (the C locale classifies bytes alike), flag off.
class BytePath : public ::testing::Test {
 private:
  DoubleByteFlag flag_{0};
};

// A test that holds only in one ANSI code page skips itself in another.
template <UINT kCodePage>
class InCodePage : public ::testing::Test {
 protected:
  void SetUp() override {
    if (platform::GetACP() != kCodePage) GTEST_SKIP() << "needs the ANSI code page " << kCodePage;
  }
};

// The character-aware path: code page 932 and the flag on.
class Cp932Path : public InCodePage<932> {
 private:
  DoubleByteFlag flag_{1};
};

// Shift_JIS characters.
constexpr char kHiraganaA[] = "\x82\xa0";          // U+3042
constexpr char kIdeographicSpace[] = "\x81\x40";   // U+3000
constexpr char kFullwidthZero[] = "\x82\x4f";      // U+FF10
constexpr char kFullwidthNine[] = "\x82\x58";      // U+FF19
constexpr char kFullwidthCapitalA[] = "\x82\x60";  // U+FF21
constexpr char kFullwidthCapitalB[] = "\x82\x61";  // U+FF22, trail byte 'a'
constexpr char kFullwidthSmallA[] = "\x82\x81";    // U+FF41
constexpr char kHyou[] = "\x95\x5c";               // U+8868, trail byte '\'
constexpr char kHalfwidthKatakanaA[] = "\xb1";     // U+FF71, a single byte

// Text buffers that end at a guard page: a write past their room faults.
using GuardedA = testing_support::GuardedText<char>;
using GuardedW = testing_support::GuardedText<WCHAR>;

std::string Trimmed(void (*trim)(char*), std::string text) {
  trim(&text[0]);
  return text.c_str();
}

TEST_F(BytePath, BlanksGoFromEitherEndButNotTabsOrInnerBlanks) {
  const std::pair<const char*, const char*> trailing[] = {
      {"abc  ", "abc"}, {"  ", ""}, {"", ""}, {"a b\t", "a b\t"}, {"a \t ", "a \t"}, {" a", " a"}};
  for (auto trim : {str_trimA, strtrm}) {
    for (const auto& [text, trimmed] : trailing) EXPECT_EQ(Trimmed(trim, text), trimmed) << text;
  }
  for (auto trim : {str_trim_leftA, strtrmlft}) {
    EXPECT_EQ(Trimmed(trim, "  a b "), "a b ");
    EXPECT_EQ(Trimmed(trim, "   "), "");
    EXPECT_EQ(Trimmed(trim, "\ta"), "\ta");
  }
  WideString wide = OV_WIDE("ab \u3000  ");
  str_trimW(&wide[0]);
  EXPECT_EQ(WideString(wide.c_str()), OV_WIDE("ab \u3000"));
  wide = OV_WIDE("  a b");
  str_trim_leftW(&wide[0]);
  EXPECT_EQ(WideString(wide.c_str()), OV_WIDE("a b"));
}

// Each in a buffer of exactly the room it needs.
TEST_F(BytePath, PaddingSpacesAndJustificationWriteWidthAndATerminatorAtMost) {
  using Apply = void (*)(char*, int);
  const Apply pad = [](char* text, int width) { str_pad(text, static_cast<unsigned>(width)); };
  const struct { Apply apply; const char* text; int width; const char* result; } cases[] = {
      {pad, "ab", 5, "ab   "},     {pad, "ab   ", 1, "ab   "},   {str_padA, "ab", -1, "ab"},  {str_padA, "", 2, "  "},
      {str_space, "ab", 3, "   "}, {str_space, "ab", 0, ""},    {str_justifyA, "ab", 5, "   ab"},
      {str_justifyA, "   ab", 3, "   ab"}};
  for (const auto& c : cases) {
    GuardedA text(c.text, std::max<size_t>(std::strlen(c.text), std::max(c.width, 0)) + 1);
    c.apply(text.get(), c.width);
    EXPECT_EQ(text.text(), c.result) << c.text << " " << c.width;
  }
  GuardedW wide(OV_WIDE("xy"), 5);
  str_justifyW(wide.get(), 4);
  EXPECT_EQ(wide.text(), OV_WIDE("  xy"));
}

TEST_F(BytePath, BlankZeroAndDigitTestsWithinTheLimit) {
  for (auto [text, limit, blank] : {std::tuple{"   x", 3, 1}, {"   x", 4, 0}, {"   x", -1, 0}, {"x", 0, 1}, {"", -1, 1},
                                    {"  ", -1, 1}, {" \t", -1, 0}}) {
    EXPECT_EQ(strblankA(text, limit), blank) << text << " " << limit;
  }
  EXPECT_EQ(strblankW(OV_WIDE("  x"), 2), 1);
  EXPECT_EQ(strblankW(OV_WIDE("  x"), 0xFFFFFFFFu), 0);
  for (const char* zero : {"", " ", "0", "0.00", " 0.0", ".", "00 "}) EXPECT_EQ(strzeroA(zero, -1), 1) << zero;
  for (const char* nonzero : {"0.01", "-0", "1", "0,0"}) EXPECT_EQ(strzeroA(nonzero, -1), 0) << nonzero;
  EXPECT_EQ(strzeroA("0.01", 3), 1);
  EXPECT_EQ(strzeroW(OV_WIDE(" 0.0"), 0xFFFFFFFFu), 1);
  EXPECT_EQ(strzeroW(OV_WIDE("0.5"), 0xFFFFFFFFu), 0);
  for (const char* digits : {"", "0123456789"}) EXPECT_EQ(strdigits(digits), 1);
  for (const char* other : {"12a", " 1", "\xb2"}) EXPECT_EQ(strdigits(other), 0);  // no superscripts in the C locale
}

TEST_F(BytePath, CopiesTakeAtMostTheMaximumPrefixesGoInFrontFileNamesEndAtTheirDot) {
  GuardedA dest("", 4);
  EXPECT_EQ(lstrncpyA(dest.get(), "abcdef", 3), dest.get());
  EXPECT_EQ(dest.text(), "abc");
  lstrncpyA(dest.get(), "xy", 0);
  EXPECT_EQ(dest.text(), "");
  EXPECT_EQ(str_copy_till(dest.get(), "k=v", '='), 1);
  EXPECT_EQ(dest.text(), "k");
  EXPECT_EQ(str_copy_till(dest.get(), "=x", '='), 0);
  EXPECT_EQ(str_copy_till(dest.get(), "abc", '='), 3);
  EXPECT_EQ(dest.text(), "abc");
  GuardedW wide(OV_WIDE(""), 3);
  lstrncpyW(wide.get(), OV_WIDE("abcdef"), 2);
  EXPECT_EQ(wide.text(), OV_WIDE("ab"));
  std::string text = "abcdef";
  EXPECT_EQ(_tcstrunc(&text[0], 4), 4);
  EXPECT_EQ(_tcstrunc(&text[0], 10), 4);
  EXPECT_STREQ(text.c_str(), "abcd");
  GuardedA joined("world", 12);
  str_cat_frontA(joined.get(), "hello ");
  EXPECT_EQ(joined.text(), "hello world");
  GuardedW wideJoined(OV_WIDE("b"), 3);
  str_cat_frontW(wideJoined.get(), OV_WIDE("a"));
  EXPECT_EQ(wideJoined.text(), OV_WIDE("ab"));
  const std::pair<const char*, const char*> names[] = {
      {"c:\\dir.x\\file.tar.gz", "file"}, {"d:name", "name"}, {"dir/file.txt", "dir/file"}, {"c:\\dir\\", ""}};
  for (const auto& [path, name] : names) {
    GuardedA dest("", std::string(path).size() + 1);
    str_filename(dest.get(), path);
    EXPECT_EQ(dest.text(), name);
  }
}

TEST_F(Cp932Path, CopiesLeaveOutACharacterThatWouldCrossTheBoundOrStopAtATrailByte) {
  const std::string source = std::string("ab") + kHiraganaA + "c";
  GuardedA dest("", 5);
  lstrncpyA(dest.get(), source.c_str(), 3);
  EXPECT_EQ(dest.text(), "ab");
  text::DBCSlstrncpy(dest.get(), source.c_str(), 4);
  EXPECT_EQ(dest.text(), std::string("ab") + kHiraganaA);
  text::DBCSlstrncpy(dest.get(), kHiraganaA, 1);
  EXPECT_EQ(dest.text(), "");
  EXPECT_EQ(str_copy_till(dest.get(), (std::string("a") + kHyou + "\\b").c_str(), '\\'), 3);
  EXPECT_EQ(dest.text(), std::string("a") + kHyou);
  // The stop character may itself be double-byte.
  EXPECT_EQ(str_copy_till(dest.get(), (std::string("xy") + kHiraganaA + "z").c_str(), 0x82A0), 2);
  DoubleByteFlag off(0);  // truncation keeps whole characters whatever the flag
  std::string text = std::string("ab") + kHiraganaA;
  EXPECT_EQ(_tcstrunc(&text[0], 3), 2);
  EXPECT_STREQ(text.c_str(), "ab");
}

// The text after removal, and the length returned, as "text|length".
std::string Apply(int (*remove)(char*), std::string text) {
  int length = remove(&text[0]);
  return std::string(text.c_str()) + "|" + std::to_string(length);
}

std::string TrimMask(void (*trim)(const char*, char*), const char* mask, std::string value) {
  trim(mask, &value[0]);
  return value.c_str();
}

TEST_F(BytePath, WhiteSpaceGoesSeparatorRunsShrinkAndMaskedFieldsAreTrimmed) {
  EXPECT_EQ(Apply(strtrmspc, " a\tb c\r\n"), "abc|3");
  EXPECT_EQ(Apply(strtrmspc, "\v\f"), "|0");
  const std::pair<const char*, const char*> runs[] = {
      {"  Hello,  world!! ", "Hello,world|11"}, {"a   b", "a b|3"},
      {"a \tb", "a\tb|3"},  // all white space: its last character
      {"a -+ b", "a-b|3"},  // else its first other character
      {"--x", "x|1"},       {" ,; ", "|0"}};
  for (const auto& [text, result] : runs) EXPECT_EQ(Apply(strtrmextra, text), result) << text;
  WideString wide = OV_WIDE(" a\u3000b\u00a0c ");
  EXPECT_EQ(wcstrmspc(&wide[0]), 3);
  EXPECT_EQ(WideString(wide.c_str()), OV_WIDE("abc"));
  wide = OV_WIDE("\u00e9t\u00e9 \u3000 x ");  // letters beyond ASCII are alphanumeric
  EXPECT_EQ(wcstrmextra(&wide[0]), 5);
  EXPECT_EQ(WideString(wide.c_str()), OV_WIDE("\u00e9t\u00e9 x"));
  std::string text = "a.b..c.";
  str_rid_charA(&text[0], '.');
  EXPECT_STREQ(text.c_str(), "abc");
  wide = OV_WIDE("xax");
  str_rid_charW(&wide[0], u'x');
  EXPECT_EQ(WideString(wide.c_str()), OV_WIDE("a"));
  for (auto trim : {str_trim_mask, DBCSstr_trim_mask}) {
    EXPECT_EQ(TrimMask(trim, "99.99.9999", " 1. 2.2016 "), "1.2.2016");
    // Past the mask's fields everything stays but the trailing white space.
    EXPECT_EQ(TrimMask(trim, "99", " 1. 2"), "1. 2");
    EXPECT_EQ(TrimMask(trim, "9.9", "1 2 . 3 \t "), "1 2 .3");
    EXPECT_EQ(TrimMask(trim, "", "   "), "");
  }
}

// Where a match starts and ends, as "start-end" offsets into the text; "none".
std::string Search(char* (*find)(const char*, const char*, char**), const std::string& text, const std::string& pattern) {
  char* start = nullptr;
  char* end = find(text.c_str(), pattern.c_str(), &start);
  if (end == nullptr) return "none";
  return std::to_string(start - text.c_str()) + "-" + std::to_string(end - text.c_str());
}

TEST_F(BytePath, SearchPassesOverBlanksAndComparisonEndsAtABlankAfterTheShorter) {
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
  EXPECT_EQ(strtrmcmp("abc", "abc  "), 0);
  EXPECT_EQ(strtrmcmp("abc x", "abc"), 0);  // only the first character after it counts
  EXPECT_LT(strtrmcmp("abc", "abcd"), 0);
  EXPECT_EQ(strtrmcmp("abd", "abc"), 1);
  EXPECT_EQ(strtrmcmp("ab", "a"), 'b');
  EXPECT_LT(strtrmcmp("\xe9", "a"), 0);  // bytes compare signed
}

TEST_F(BytePath, WildcardsMatchTheWholeTextIgnoringCaseAndAnswerAtOnce) {
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

TEST_F(Cp932Path, DoubleByteCharactersAreClassifiedAndFoundWholeAndAreNoBlanks) {
  // The ideographic space is white space, but not a blank.
  const std::string ending = std::string("a") + kIdeographicSpace;
  EXPECT_EQ(Trimmed(str_trimA, ending + "  "), ending);
  EXPECT_EQ(Trimmed(str_trimA, "ab \x82"), "ab \x82");  // a lead byte before the terminator is a character
  EXPECT_EQ(Trimmed(str_trim_leftA, std::string("  ") + kHiraganaA), kHiraganaA);
  EXPECT_EQ(strdigits((std::string("1") + kFullwidthZero + kFullwidthNine).c_str()), 1);
  EXPECT_EQ(strdigits((std::string("1") + kFullwidthCapitalA).c_str()), 0);
  EXPECT_EQ(strblankA((std::string(" ") + kIdeographicSpace).c_str(), -1), 0);
  EXPECT_EQ(strzeroA((std::string(" 0") + kFullwidthZero).c_str(), -1), 0);
  EXPECT_EQ(strzeroA((std::string(" 0") + kFullwidthZero).c_str(), 2), 1);
  // Widths count bytes.
  GuardedA padded(kHiraganaA, 5), justified(kHiraganaA, 5);
  str_pad(padded.get(), 4);
  EXPECT_EQ(padded.text(), std::string(kHiraganaA) + "  ");
  str_justifyA(justified.get(), 4);
  EXPECT_EQ(justified.text(), std::string("  ") + kHiraganaA);
  const std::string space = kIdeographicSpace, a = kFullwidthCapitalA, b = kFullwidthCapitalB;
  EXPECT_EQ(Apply(strtrmspc, space + a + " " + b + space), a + b + "|4");
  // Full-width letters are alphanumeric; the ideographic space separates.
  EXPECT_EQ(Apply(strtrmextra, space + a + space + space + b + ", " + space), a + space + b + "|6");
  EXPECT_EQ(Apply(strtrmextra, kHalfwidthKatakanaA + std::string(" -") + kHiraganaA),
            kHalfwidthKatakanaA + std::string("-") + kHiraganaA + "|4");
  EXPECT_EQ(TrimMask(str_trim_mask, "99.99", space + "1." + space + "2" + space), "1.2");
  std::string text = std::string("a") + kHyou + "\\b";  // removing a byte also removes it as a trail byte
  str_rid_charA(&text[0], '\\');
  EXPECT_STREQ(text.c_str(), "a\x95" "b");
  EXPECT_EQ(Search(strfind, b + "x", "ax"), "none");
  EXPECT_EQ(Search(strfind, "x" + b + " " + kHiraganaA, b + kHiraganaA), "1-6");
  EXPECT_EQ(Search(strifind, std::string("x") + kFullwidthSmallA, kFullwidthCapitalA), "1-3");
  EXPECT_EQ(Search(strfind, std::string("x") + kFullwidthSmallA, kFullwidthCapitalA), "none");
  EXPECT_EQ(wcstrcmp((std::string(kFullwidthCapitalA) + "*").c_str(), (std::string(kFullwidthSmallA) + "z").c_str()), 0);
  // Codes compare unsigned: a double-byte character sorts after ASCII.
  EXPECT_EQ(strtrmcmp(kHiraganaA, "a"), 0x82A0 - 'a');
}

// The wildcard match against the plain star-by-star retry it shortens, on random patterns.
int RetryAtEachStar(const char* p, const char* x, bool doubleByte) {
  auto next = [&](const char* c) {
    return doubleByte ? reinterpret_cast<const char*>(platform::_mbsinc(reinterpret_cast<const unsigned char*>(c))) : c + 1;
  };
  auto code = [&](const char* c) {
    return next(c) - c == 2 ? platform::_mbsnextc(reinterpret_cast<const unsigned char*>(c)) : static_cast<unsigned char>(*c);
  };
  auto folded = [&](const char* c) {
    return doubleByte ? platform::_mbctoupper(code(c)) : static_cast<unsigned>(std::toupper(static_cast<int>(code(c))));
  };
  const char* patternResume = nullptr;
  const char* textResume = nullptr;
  for (;;) {
    if (*p == '*') {
      while (*p == '*') ++p;
      patternResume = p;
      textResume = x;
    }
    if (*p == '?') {
      if (*x == 0) return -1;
    } else if (folded(p) != folded(x)) {
      if (patternResume == nullptr) return -1;
      p = patternResume;
      if (*textResume == 0) break;
      x = textResume = next(textResume);
      continue;
    }
    if (*p != 0) p = next(p);
    if (*x == 0) break;
    x = next(x);
  }
  while (*p == '*') ++p;
  return static_cast<int>(code(p));
}

void ExpectSameAnswers(const std::vector<std::string>& pieces, bool doubleByte) {
  std::mt19937 random(7);
  auto pick = [&](size_t count, bool wild) {
    std::string out;
    for (size_t i = 0; i < count; ++i) {
      const size_t choice = random() % (pieces.size() + (wild ? 3 : 0));
      out += choice < pieces.size() ? pieces[choice] : choice == pieces.size() ? "?" : "*";
    }
    return out;
  };
  for (int round = 0; round < 3000; ++round) {
    const std::string text = pick(round % 3 == 0 ? 300 + random() % 40 : random() % 8, false);
    const std::string pattern = pick(random() % 8, true) + (round % 2 ? "*" : "") + pick(random() % 6, true);
    ASSERT_EQ(wcstrcmp(pattern.c_str(), text.c_str()), RetryAtEachStar(pattern.c_str(), text.c_str(), doubleByte))
        << "pattern " << pattern << " text " << text;
  }
}

TEST_F(BytePath, WildcardsAnswerAsTheRetryAtEachStar) { ExpectSameAnswers({"a", "B", "b", "\xe9"}, false); }

TEST_F(Cp932Path, WildcardsAnswerAsTheRetryAtEachStar) {
  ExpectSameAnswers({"a", "A", kFullwidthCapitalB, kFullwidthSmallA, kFullwidthCapitalA, "\x82"}, true);
}

// Narrow and wide conversion through the conversion locale.
constexpr size_t kError = static_cast<size_t>(-1);

TEST(CodePage, IsTheOneTheRunWasStartedFor) {
  const char* expected = std::getenv("OVPB_TEST_ACP");
  if (expected == nullptr) GTEST_SKIP() << "run without OVPB_TEST_ACP";
  EXPECT_EQ(platform::GetACP(), static_cast<UINT>(std::stoul(expected)));
  EXPECT_EQ(frame::DoubleByteFlag() != 0, std::string(expected) == "932");
}

using Cp1252 = InCodePage<1252>;

TEST_F(Cp1252, ConversionsStopAtTheirCountWhateverTheHostsRuntimeLocale) {
  EXPECT_EQ(li_mbstowcs(nullptr, "abc\xe9", 0), 4u);
  GuardedW wide(OV_WIDE(""), 5);
  EXPECT_EQ(li_mbstowcs(wide.get(), "a\x80\xe9", 5), 3u);
  EXPECT_EQ(wide.text(), OV_WIDE("a\u20ac\u00e9"));
  GuardedW exact(OV_WIDE(""), 2);  // no room for the terminator: none is written
  EXPECT_EQ(li_mbstowcs(exact.get(), "xyz", 2), 2u);
  EXPECT_EQ(li_wcstombs(nullptr, OV_WIDE("\u00e9t\u00e9"), 0), 3u);
  GuardedA narrow("", 3);
  EXPECT_EQ(li_wcstombs(narrow.get(), OV_WIDE("\u00e9\u20ac"), 3), 2u);
  EXPECT_EQ(narrow.text(), "\xe9\x80");
  EXPECT_EQ(li_wcstombs(narrow.get(), OV_WIDE("abc"), 2), 2u);
  // Not in the code page, and no best fit either.
  EXPECT_EQ(li_wcstombs(nullptr, OV_WIDE("\u3042"), 0), kError);
  EXPECT_EQ(li_wcstombs(narrow.get(), OV_WIDE("A\u0100"), 3), kError);
#ifdef _WIN32
  ASSERT_NE(std::setlocale(LC_ALL, ".437"), nullptr);
#else
  ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
#endif
  GuardedW after(OV_WIDE(""), 4);
  const size_t converted = li_mbstowcs(after.get(), "\x80\xe9", 4);
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(converted, 2u);
  EXPECT_EQ(after.text(), OV_WIDE("\u20ac\u00e9"));
}

using Cp932 = InCodePage<932>;

TEST_F(Cp932, DoubleByteCharactersConvertWholeOrAreErrors) {
  const std::string text = std::string(kHiraganaA) + "x" + kFullwidthCapitalA;
  EXPECT_EQ(li_mbstowcs(nullptr, text.c_str(), 0), 3u);
  GuardedW wide(OV_WIDE(""), 3);
  EXPECT_EQ(li_mbstowcs(wide.get(), text.c_str(), 2), 2u);
  EXPECT_EQ(WideString(wide.get(), 2), OV_WIDE("\u3042x"));
  EXPECT_EQ(li_wcstombs(nullptr, OV_WIDE("\u3042x"), 0), 3u);
  // A character that does not fit whole is left out, and no terminator
  // follows what was stored.
  GuardedA narrow("", 2);
  EXPECT_EQ(li_wcstombs(narrow.get(), OV_WIDE("x\u3042"), 2), 1u);
  EXPECT_EQ(narrow.get()[1], '~');  // the filler
  EXPECT_EQ(li_mbstowcs(nullptr, "a\x82", 0), kError);  // a lead byte without its trail byte
  // Beyond the characters asked for, an invalid sequence goes unseen.
  EXPECT_EQ(li_mbstowcs(wide.get(), (std::string(kHiraganaA) + "\x82").c_str(), 1), 1u);
  EXPECT_EQ(li_wcstombs(nullptr, OV_WIDE("\u00e9"), 0), kError);
}

// Code page 932 stepping, copying and searching, as the Windows runtime does them.
const unsigned char* U(const std::string& text) { return reinterpret_cast<const unsigned char*>(text.c_str()); }

TEST_F(Cp932, StepsCopiesAndSearchesTakeWholeCharactersNeverATrailByte) {
  const std::string text = std::string(kHiraganaA) + "a\x82";
  const unsigned char* p = U(text);
  EXPECT_EQ(platform::_mbsnextc(p), 0x82A0u);
  EXPECT_EQ(platform::_mbsinc(p), p + 2);
  EXPECT_EQ(platform::_mbsinc(p + 2), p + 3);
  EXPECT_EQ(platform::_mbclen(p + 3), 1u);  // a lead byte before the terminator is one byte long
  EXPECT_EQ(platform::_mbsinc(p + 3), p + 4);
  unsigned char out[3] = {'x', 'x', 'x'};
  platform::_mbccpy(out, U(kHiraganaA));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 3), std::string(kHiraganaA) + "x");
  platform::_mbccpy(out, U("\x82"));  // nothing of a half character
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], 0xA0);
  // 'a', Ｂ (trail byte 'a'), '\', 表 (trail byte '\'), 'a', '\'.
  const std::string mixed = std::string("a") + kFullwidthCapitalB + "\\" + kHyou + "a\\";
  p = U(mixed);
  const std::pair<unsigned, size_t> first[] = {{0x8261, 1}, {0x955C, 4}, {0, mixed.size()}, {0x61, 0}};
  for (const auto& [c, at] : first) EXPECT_EQ(platform::_mbschr(p, c), p + at) << c;
  EXPECT_EQ(platform::_mbschr(p + 1, 'a'), p + 6);
  EXPECT_EQ(platform::_mbschr(p, 0x5C62), nullptr);
  const std::pair<unsigned, size_t> last[] = {{'\\', 7}, {'a', 6}, {0x8261, 1}, {0, mixed.size()}};
  for (const auto& [c, at] : last) EXPECT_EQ(platform::_mbsrchr(p, c), p + at) << c;
  EXPECT_EQ(platform::_mbsrchr(U(kHyou), '\\'), nullptr);
}

// "ab", a lead byte and the terminator flush against a guard page: stepping
// over the terminator faults.
TEST_F(Cp932Path, TextEndingInALeadByteIsReadAndChangedUpToItsTerminator) {
  testing_support::GuardedBytes memory(4);
  auto Fresh = [&] { return static_cast<char*>(std::memcpy(memory.data(), "ab\x82", 4)); };
  str_trimA(Fresh());
  EXPECT_EQ(strtrmspc(Fresh()), 3);
  EXPECT_EQ(strtrmextra(Fresh()), 2);  // the lone lead byte is no letter
  char* value = Fresh();
  str_trim_mask("99.99", value);
  EXPECT_STREQ(value, "ab\x82");
  EXPECT_EQ(_tcstrunc(Fresh(), 10), 3);
  EXPECT_EQ(strblankA(Fresh(), -1), 0);
  EXPECT_EQ(strzeroA(Fresh(), -1), 0);
  EXPECT_EQ(strdigits(Fresh()), 0);
  char dest[8];
  text::DBCSlstrncpy(dest, Fresh(), 10);
  EXPECT_STREQ(dest, "ab\x82");
  EXPECT_EQ(str_copy_till(dest, Fresh(), '='), 3);
  EXPECT_EQ(strfind(Fresh(), "bx", nullptr), nullptr);
  EXPECT_EQ(strifind(Fresh(), "B", nullptr), Fresh() + 2);
  EXPECT_EQ(strtrmcmp(Fresh(), "ab"), 0x82);
  EXPECT_NE(wcstrcmp("*x", Fresh()), 0);
  EXPECT_EQ(wcstrcmp("ab?", Fresh()), 0);
}

}  // namespace
