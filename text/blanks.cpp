// Trailing and leading blanks. A blank is the space alone: tabs stay.

#include <cstring>

#include "ovpb32.h"
#include "text/characters.h"
#include "text/toolkit.h"

namespace text {
namespace {

// Walks back from the end over blanks.
template <typename Char>
void CutTrailingBlanks(Char* text) {
  const size_t length = Length(text);
  size_t kept = length;
  while (kept > 0 && text[kept - 1] == ' ') --kept;
  if (kept < length) text[kept] = 0;
}

// Walks forward remembering where the latest run of blanks began, so a
// character is never entered from its trail byte.
template <typename Steps>
void CutLatestBlankRun(char* text) {
  char* run = nullptr;
  for (char* p = text; *p != 0; p += Steps::Length(p)) {
    if (*p != ' ') {
      run = nullptr;
    } else if (run == nullptr) {
      run = p;
    }
  }
  if (run != nullptr) *run = 0;
}

template <typename Char>
int TrimmedLength(const Char* text, int maximum) {
  int kept = 0;
  for (int n = 0; n < maximum && text[n] != 0; ++n) {
    if (text[n] != ' ') kept = n + 1;
  }
  return kept;
}

// A blank is one byte on every code page, so skipping blanks bytewise is
// also the character-aware skip.
template <typename Char>
void RemoveLeadingBlanks(Char* text) {
  const Char* start = text;
  while (*start == ' ') ++start;
  if (start != text) std::memmove(text, start, (Length(start) + 1) * sizeof(Char));
}

template <typename Char>
Char* SkipBlanksWithin(const Char* text, unsigned length, unsigned* remaining) {
  unsigned skipped = 0;
  while (skipped < length && text[skipped] == ' ') ++skipped;
  if (remaining != nullptr) *remaining = skipped >= length ? 0 : length - skipped;
  return const_cast<Char*>(text + skipped);
}

}  // namespace

void str_trimA(char* text) {
  if (DoubleByte()) {
    CutLatestBlankRun<CharacterSteps>(text);
  } else {
    CutTrailingBlanks(text);
  }
}

void str_trimW(WCHAR* text) { CutTrailingBlanks(text); }
void strtrm(char* text) { CutLatestBlankRun<ByteSteps>(text); }
int strtrmlenA(const char* text, int maximum) { return TrimmedLength(text, maximum); }
int strtrmlenW(const WCHAR* text, int maximum) { return TrimmedLength(text, maximum); }

void str_trim_leftA(char* text) { RemoveLeadingBlanks(text); }
void str_trim_leftW(WCHAR* text) { RemoveLeadingBlanks(text); }
void strtrmlft(char* text) { RemoveLeadingBlanks(text); }

char* strtrmleftstartA(const char* text, unsigned length, unsigned* remaining) {
  return SkipBlanksWithin(text, length, remaining);
}

WCHAR* strtrmleftstartW(const WCHAR* text, unsigned length, unsigned* remaining) {
  return SkipBlanksWithin(text, length, remaining);
}

}  // namespace text

extern "C" void OVPB_API str_trimA(char* text) { text::str_trimA(text); }
extern "C" void OVPB_API str_trimW(WCHAR* text) { text::str_trimW(text); }
extern "C" void OVPB_API strtrm(char* text) { text::strtrm(text); }
extern "C" int OVPB_API strtrmlenA(const char* text, int maximum) { return text::strtrmlenA(text, maximum); }
extern "C" int OVPB_API strtrmlenW(const WCHAR* text, int maximum) { return text::strtrmlenW(text, maximum); }
extern "C" void OVPB_API str_trim_leftA(char* text) { text::str_trim_leftA(text); }
extern "C" void OVPB_API str_trim_leftW(WCHAR* text) { text::str_trim_leftW(text); }
extern "C" void OVPB_API strtrmlft(char* text) { text::strtrmlft(text); }

extern "C" char* OVPB_API strtrmleftstartA(const char* text, unsigned int length, unsigned int* remaining) {
  return text::strtrmleftstartA(text, length, remaining);
}

extern "C" WCHAR* OVPB_API strtrmleftstartW(const WCHAR* text, unsigned int length, unsigned int* remaining) {
  return text::strtrmleftstartW(text, length, remaining);
}
