// Tests of fixed-form text: blank, zero, all digits.

#include <climits>
#include <cstdint>

#include "ovpb32.h"
#include "text/characters.h"
#include "text/toolkit.h"

namespace text {
namespace {

bool IsBlank(unsigned c) { return c == ' '; }
bool IsBlankZeroOrDot(unsigned c) { return c == ' ' || c == '0' || c == '.'; }

constexpr size_t kNoLimit = SIZE_MAX;

// Steps over accepted characters while the limit in bytes (units) lasts;
// true if that reaches the end of the text or of the limit.
template <typename Steps, typename Char>
int OnlyAccepted(const Char* text, size_t limit, bool (*accepted)(unsigned)) {
  const Char* p = text;
  size_t left = limit;
  while (left > 0 && accepted(Steps::Code(p))) {
    const size_t length = Steps::Length(p);
    p += length;
    left = length < left ? left - length : 0;
  }
  return *p == 0 || left == 0 ? 1 : 0;
}

int NarrowOnlyAccepted(const char* text, int limit, bool (*accepted)(unsigned)) {
  const size_t bound = limit < 0 ? kNoLimit : static_cast<size_t>(limit);
  return DoubleByte() ? OnlyAccepted<CharacterSteps>(text, bound, accepted)
                      : OnlyAccepted<ByteSteps>(text, bound, accepted);
}

int WideOnlyAccepted(const WCHAR* text, unsigned limit, bool (*accepted)(unsigned)) {
  return OnlyAccepted<UnitSteps>(text, limit == UINT_MAX ? kNoLimit : limit, accepted);
}

template <typename Steps>
int AllDigits(const char* text) {
  for (const char* p = text; *p != 0; p += Steps::Length(p)) {
    if (!Steps::IsDigit(Steps::Code(p))) return 0;
  }
  return 1;
}

}  // namespace

int strblankA(const char* text, int limit) { return NarrowOnlyAccepted(text, limit, IsBlank); }
int strblankW(const WCHAR* text, unsigned limit) { return WideOnlyAccepted(text, limit, IsBlank); }
int strzeroA(const char* text, int limit) { return NarrowOnlyAccepted(text, limit, IsBlankZeroOrDot); }
int strzeroW(const WCHAR* text, unsigned limit) { return WideOnlyAccepted(text, limit, IsBlankZeroOrDot); }

int strdigits(const char* text) { return DoubleByte() ? AllDigits<CharacterSteps>(text) : AllDigits<ByteSteps>(text); }

}  // namespace text

extern "C" int OVPB_API strblankA(const char* text, int limit) { return text::strblankA(text, limit); }
extern "C" int OVPB_API strblankW(const WCHAR* text, unsigned int limit) { return text::strblankW(text, limit); }
extern "C" int OVPB_API strzeroA(const char* text, int limit) { return text::strzeroA(text, limit); }
extern "C" int OVPB_API strzeroW(const WCHAR* text, unsigned int limit) { return text::strzeroW(text, limit); }
extern "C" int OVPB_API strdigits(const char* text) { return text::strdigits(text); }
