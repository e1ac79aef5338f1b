// Removing characters in place: white space, runs of separators, one given
// character, and the blanks inside the fields of a masked value. Every pass
// compacts the text towards its start, so the write position never passes
// the read position.

#include "ovpb32.h"
#include "text/characters.h"
#include "text/toolkit.h"

namespace text {
namespace {

template <typename Steps, typename Char>
int RemoveWhiteSpace(Char* text) {
  Char* out = text;
  for (const Char* p = text; *p != 0;) {
    const size_t length = Steps::Length(p);
    if (!Steps::IsSpace(Steps::Code(p))) {
      Steps::Copy(out, p, length);
      out += length;
    }
    p += length;
  }
  *out = 0;
  return static_cast<int>(out - text);
}

// Keeps the runs of alphanumeric characters. A run of separators between
// two of them becomes its first separator that is not white space, or, when
// all of it is white space, its last one; separators before the first and
// after the last alphanumeric character go.
template <typename Steps, typename Char>
int KeepOneSeparatorPerRun(Char* text) {
  Char* out = text;
  bool inRun = false;
  bool alphanumericSeen = false;
  size_t pendingLength = 0;  // the run's separator, written at `out` but not yet kept
  unsigned pendingCode = 0;
  for (const Char* p = text; *p != 0;) {
    const size_t length = Steps::Length(p);
    const unsigned code = Steps::Code(p);
    if (Steps::IsAlnum(code)) {
      if (inRun && alphanumericSeen) out += pendingLength;
      Steps::Copy(out, p, length);
      out += length;
      inRun = false;
      alphanumericSeen = true;
    } else if (!inRun || Steps::IsSpace(pendingCode)) {
      Steps::Copy(out, p, length);
      pendingLength = length;
      pendingCode = code;
      inRun = true;
    }
    p += length;
  }
  *out = 0;
  return static_cast<int>(out - text);
}

template <typename Char>
void RemoveEvery(Char* text, Char removed) {
  Char* out = text;
  for (const Char* p = text; *p != 0; ++p) {
    if (*p != removed) *out++ = *p;
  }
  *out = 0;
}

// Drops the white space at the start of each of the first n + 1 fields (n
// the dots of the mask) and the white space at the end of the value.
template <typename Steps>
void TrimMaskedValue(const char* mask, char* value) {
  int maskDots = 0;
  for (const char* m = mask; *m != 0; ++m) {
    if (*m == '.') ++maskDots;
  }
  int dotsMet = 0;
  bool fieldStart = true;
  char* out = value;
  char* spaceRun = nullptr;  // where the latest run of white space in the output began
  for (const char* p = value; *p != 0;) {
    const size_t length = Steps::Length(p);
    const unsigned code = Steps::Code(p);
    const bool space = Steps::IsSpace(code);
    p += length;
    if (dotsMet <= maskDots) {
      if (code == '.') {
        fieldStart = true;
        ++dotsMet;
      } else if (!space) {
        fieldStart = false;
      } else if (fieldStart) {
        continue;
      }
    }
    if (!space) {
      spaceRun = nullptr;
    } else if (spaceRun == nullptr) {
      spaceRun = out;
    }
    Steps::Copy(out, p - length, length);
    out += length;
  }
  *(spaceRun != nullptr ? spaceRun : out) = 0;
}

}  // namespace

int strtrmspc(char* text) {
  return DoubleByte() ? RemoveWhiteSpace<CharacterSteps>(text) : RemoveWhiteSpace<ByteSteps>(text);
}

int wcstrmspc(WCHAR* text) { return RemoveWhiteSpace<UnitSteps>(text); }

int strtrmextra(char* text) {
  return DoubleByte() ? KeepOneSeparatorPerRun<CharacterSteps>(text) : KeepOneSeparatorPerRun<ByteSteps>(text);
}

int wcstrmextra(WCHAR* text) { return KeepOneSeparatorPerRun<UnitSteps>(text); }

void str_rid_charA(char* text, char removed) { RemoveEvery(text, removed); }
void str_rid_charW(WCHAR* text, WCHAR removed) { RemoveEvery(text, removed); }

void str_trim_mask(const char* mask, char* value) {
  if (DoubleByte()) {
    DBCSstr_trim_mask(mask, value);
  } else {
    TrimMaskedValue<ByteSteps>(mask, value);
  }
}

void DBCSstr_trim_mask(const char* mask, char* value) { TrimMaskedValue<CharacterSteps>(mask, value); }

}  // namespace text

extern "C" int OVPB_API strtrmspc(char* text) { return text::strtrmspc(text); }
extern "C" int OVPB_API wcstrmspc(WCHAR* text) { return text::wcstrmspc(text); }
extern "C" int OVPB_API strtrmextra(char* text) { return text::strtrmextra(text); }
extern "C" int OVPB_API wcstrmextra(WCHAR* text) { return text::wcstrmextra(text); }
extern "C" void OVPB_API str_rid_charA(char* text, char removed) { text::str_rid_charA(text, removed); }
extern "C" void OVPB_API str_rid_charW(WCHAR* text, WCHAR removed) { text::str_rid_charW(text, removed); }
extern "C" void OVPB_API str_trim_mask(const char* mask, char* value) { text::str_trim_mask(mask, value); }
extern "C" void OVPB_API DBCSstr_trim_mask(const char* mask, char* value) { text::DBCSstr_trim_mask(mask, value); }
