// Loose search and comparison of narrow text: a search that passes over
// blanks, a comparison that ignores what follows a blank where the shorter
// string ends, and a wildcard match. On the character-aware path
// characters are compared by full code, so a trail byte never matches a
// single-byte character.

#include <stdint.h>

#include <algorithm>
#include <cstring>
#include <type_traits>

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

// What the match asks of each byte (its upper case, whether it leads a
// double-byte character), asked of the runtime once per distinct byte in a
// call rather than once per character met.
template <typename Steps>
class MatchCharacters {
 public:
  static constexpr bool kDoubleByte = !std::is_same<Steps, ByteSteps>::value;

  bool IsLead(unsigned byte) {
    if (!kDoubleByte) return false;
    if (!Known(leadKnown_, byte)) lead_[byte] = platform::_ismbblead(byte) != 0;
    return lead_[byte];
  }
  size_t Length(const char* p) { return IsLead(Byte(p)) && p[1] != 0 ? 2 : 1; }
  const char* Next(const char* p) { return p + Length(p); }
  unsigned Code(const char* p) { return Length(p) == 2 ? Byte(p) << 8 | Byte(p + 1) : Byte(p); }
  unsigned Folded(const char* p) {
    const unsigned code = Code(p);
    if (code > 0xFF) return Steps::Upper(code);
    if (!Known(upperKnown_, code)) upper_[code] = static_cast<unsigned short>(Steps::Upper(code));
    return upper_[code];
  }

 private:
  static unsigned Byte(const char* p) { return static_cast<unsigned char>(*p); }
  // Marks `byte` known and tells whether it already was.
  static bool Known(uint64_t* known, unsigned byte) {
    const uint64_t bit = uint64_t{1} << (byte & 63);
    const bool was = (known[byte >> 6] & bit) != 0;
    known[byte >> 6] |= bit;
    return was;
  }
  uint64_t upperKnown_[4] = {};
  uint64_t leadKnown_[4] = {};
  unsigned short upper_[256];
  bool lead_[256];
};

// Where the last characters of a text begin, counted from its end; at most
// kKept of them.
struct TextEnd {
  static constexpr size_t kKept = 128;
  size_t characters = 0;
  const char* starts[kKept];  // a ring, by character number

  const char* FromEnd(size_t count) const { return starts[(characters - count) % kKept]; }
};

// A byte that leads no character ends one, so a character begins after it.
// Such a byte far enough before the end lets the walk to the last
// characters begin there rather than at the start of a long text; the
// numbering then counts from there, which answers alike once it reaches
// kKept.
template <typename Steps>
TextEnd MeasureEnd(MatchCharacters<Steps>& characters, const char* text) {
  const size_t length = std::strlen(text);
  const char* p = text;
  for (size_t at = length > 2 * TextEnd::kKept ? length - 2 * TextEnd::kKept : 0; at > 0; --at) {
    if (!characters.IsLead(static_cast<unsigned char>(text[at - 1]))) {
      p = text + at;
      break;
    }
  }
  TextEnd end;
  size_t number = 0;
  for (; *p != 0; p = characters.Next(p)) end.starts[number++ % TextEnd::kKept] = p;
  end.starts[number % TextEnd::kKept] = p;
  end.characters = number;
  return end;
}

// Whether the first `count` characters of the pattern match those of the text.
template <typename Steps>
bool Agrees(MatchCharacters<Steps>& characters, const char* p, const char* x, size_t count) {
  for (; count > 0; --count, p = characters.Next(p), x = characters.Next(x)) {
    if (*p != '?' && characters.Folded(p) != characters.Folded(x)) return false;
  }
  return true;
}

// After the last star the rest of the pattern, free of stars, can only
// match the end of the text. Gives what retrying the star at each later
// text position gives: 0 when the end matches, -1 when a '?' would meet the
// end of the text on the way, else the code of the rest's first character.
// False when the rest is too long for the ring of text positions.
template <typename Steps>
bool MatchRest(MatchCharacters<Steps>& characters, const char* rest, const char* text, int* result) {
  const char* restStarts[TextEnd::kKept];
  size_t restLength = 0;
  for (const char* p = rest; *p != 0; p = characters.Next(p)) {
    if (restLength == TextEnd::kKept - 1) return false;
    restStarts[restLength++] = p;
  }
  const TextEnd end = MeasureEnd(characters, text);
  if (end.characters >= restLength && Agrees(characters, rest, end.FromEnd(restLength), restLength)) {
    *result = 0;
    return true;
  }
  for (size_t left = std::min(end.characters + 1, restLength); left-- > 0;) {
    if (*restStarts[left] == '?' && Agrees(characters, rest, end.FromEnd(left), left)) {
      *result = -1;
      return true;
    }
  }
  *result = static_cast<int>(characters.Code(rest));
  return true;
}

template <typename Steps>
const char* LastStar(MatchCharacters<Steps>& characters, const char* pattern) {
  const char* last = nullptr;
  for (const char* p = pattern; *p != 0; p = characters.Next(p)) {
    if (*p == '*') last = p;
  }
  return last;
}

// Backtracks only to the latest star, which absorbs one more text character
// at each failure: time proportional to the product of the lengths at worst,
// and to the text's length once the last star is reached.
template <typename Steps>
int MatchWildcards(const char* pattern, const char* text) {
  MatchCharacters<Steps> characters;
  const char* lastStar = LastStar(characters, pattern);
  const char* p = pattern;
  const char* x = text;
  const char* patternResume = nullptr;  // just past the latest run of stars
  const char* textResume = nullptr;     // where that star's absorption ends
  for (;;) {
    if (*p == '*') {
      while (*p == '*') ++p;
      int result;
      if (p > lastStar && MatchRest(characters, p, x, &result)) return result;
      patternResume = p;
      textResume = x;
    }
    if (*p == '?') {
      if (*x == 0) return -1;
    } else if (characters.Folded(p) != characters.Folded(x)) {
      if (patternResume == nullptr) return -1;
      p = patternResume;
      if (*textResume == 0) break;
      textResume = characters.Next(textResume);
      x = textResume;
      continue;
    }
    if (*p != 0) p = characters.Next(p);
    if (*x == 0) break;
    x = characters.Next(x);
  }
  while (*p == '*') ++p;
  return static_cast<int>(characters.Code(p));
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
