// Loose search and comparison of narrow text: a search that passes over
// blanks, a comparison that ignores what follows a blank where the shorter
// string ends, and a wildcard match. On the character-aware path
// characters are compared by full code, so a trail byte never matches a
// single-byte character.

#include "ovpb32.h"
#include "text/characters.h"

namespace text {
namespace {

// Unlike the trimming functions, the search takes the no-break space for a
// blank too.
bool IsSearchBlank(unsigned c) { return c == 0x20 || c == 0xA0; }

template <typename Steps, bool kIgnoreCase>
unsigned Folded(const char* p) {
  return kIgnoreCase ? Steps::Upper(Steps::Code(p)) : Steps::Code(p);
}

template <typename Steps>
const char* Next(const char* p) {
  return p + Steps::Length(p);
}

// Tries every start position with a fresh trial, in which a blank on either
// side is passed over when the characters differ.
template <typename Steps, bool kIgnoreCase>
char* Find(const char* text, const char* pattern, char** start) {
  while (IsSearchBlank(Steps::Code(pattern))) pattern = Next<Steps>(pattern);
  if (*text == 0 || *pattern == 0) return nullptr;
  const unsigned first = Folded<Steps, kIgnoreCase>(pattern);
  for (const char* s = text; *s != 0; s = Next<Steps>(s)) {
    if (Folded<Steps, kIgnoreCase>(s) != first) continue;
    const char* t = Next<Steps>(s);
    const char* q = Next<Steps>(pattern);
    for (;;) {
      if (*q == 0) {
        if (start != nullptr) *start = const_cast<char*>(s);
        return const_cast<char*>(t);
      }
      if (*t == 0) break;
      if (Folded<Steps, kIgnoreCase>(t) == Folded<Steps, kIgnoreCase>(q)) {
        t = Next<Steps>(t);
        q = Next<Steps>(q);
      } else if (IsSearchBlank(Steps::Code(t))) {
        t = Next<Steps>(t);
      } else if (IsSearchBlank(Steps::Code(q))) {
        q = Next<Steps>(q);
      } else {
        break;
      }
    }
  }
  return nullptr;
}

template <bool kIgnoreCase>
char* FindEitherPath(const char* text, const char* pattern, char** start) {
  return DoubleByte() ? Find<CharacterSteps, kIgnoreCase>(text, pattern, start)
                      : Find<ByteSteps, kIgnoreCase>(text, pattern, start);
}

// Bytes compare as signed values, so bytes above 0x7F sort before ASCII;
// double-byte codes compare unsigned.
int ByteValue(unsigned c) { return static_cast<signed char>(c); }
int CodeValue(unsigned c) { return static_cast<int>(c); }

template <typename Steps>
int CompareUpToBlank(const char* a, const char* b, int (*value)(unsigned)) {
  while (*a != 0 && *b != 0) {
    const unsigned ca = Steps::Code(a);
    const unsigned cb = Steps::Code(b);
    if (ca != cb) return value(ca) - value(cb);
    a = Next<Steps>(a);
    b = Next<Steps>(b);
  }
  if (*a == ' ' || *b == ' ') return 0;
  return value(Steps::Code(a)) - value(Steps::Code(b));
}

// Backtracks only to the latest star, which absorbs one more text character
// at each failure: time proportional to the product of the lengths at worst.
template <typename Steps>
int MatchWildcards(const char* pattern, const char* text) {
  const char* p = pattern;
  const char* x = text;
  const char* patternResume = nullptr;  // just past the latest run of stars
  const char* textResume = nullptr;     // where that star's absorption ends
  for (;;) {
    if (*p == '*') {
      while (*p == '*') ++p;
      patternResume = p;
      textResume = x;
    }
    if (*p == '?') {
      if (*x == 0) return -1;
    } else if (Folded<Steps, true>(p) != Folded<Steps, true>(x)) {
      if (patternResume == nullptr) return -1;
      p = patternResume;
      if (*textResume == 0) break;
      textResume = Next<Steps>(textResume);
      x = textResume;
      continue;
    }
    if (*p != 0) p = Next<Steps>(p);
    if (*x == 0) break;
    x = Next<Steps>(x);
  }
  while (*p == '*') ++p;
  return static_cast<int>(Steps::Code(p));
}

}  // namespace
}  // namespace text

extern "C" char* OVPB_API strfind(const char* text, const char* pattern, char** start) {
  return text::FindEitherPath<false>(text, pattern, start);
}

extern "C" char* OVPB_API strifind(const char* text, const char* pattern, char** start) {
  return text::FindEitherPath<true>(text, pattern, start);
}

extern "C" int OVPB_API strtrmcmp(const char* a, const char* b) {
  return text::DoubleByte() ? text::CompareUpToBlank<text::CharacterSteps>(a, b, text::CodeValue)
                            : text::CompareUpToBlank<text::ByteSteps>(a, b, text::ByteValue);
}

extern "C" int OVPB_API wcstrcmp(const char* pattern, const char* text) {
  return text::DoubleByte() ? text::MatchWildcards<text::CharacterSteps>(pattern, text)
                            : text::MatchWildcards<text::ByteSteps>(pattern, text);
}
