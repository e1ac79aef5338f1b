// Padding and justification with blanks. Widths count bytes even on
// double-byte systems, and the blanks go before or after the whole text, so
// no character is split whatever the code page: one path serves both.

#include <cstring>

#include "ovpb32.h"
#include "text/characters.h"
#include "text/toolkit.h"

namespace text {
namespace {

template <typename Char>
void PadWithBlanks(Char* text, size_t width) {
  size_t length = Length(text);
  if (length >= width) return;
  while (length < width) text[length++] = ' ';
  text[length] = 0;
}

template <typename Char>
void RightJustify(Char* text, int width) {
  const size_t length = Length(text);
  if (width <= 0 || length >= static_cast<size_t>(width)) return;
  const size_t shift = static_cast<size_t>(width) - length;
  std::memmove(text + shift, text, (length + 1) * sizeof(Char));
  for (size_t i = 0; i < shift; ++i) text[i] = ' ';
}

}  // namespace

void str_pad(char* text, unsigned width) { PadWithBlanks(text, width); }

void str_padA(char* text, int width) {
  if (width > 0) PadWithBlanks(text, static_cast<size_t>(width));
}

void str_space(char* out, int count) {
  int written = 0;
  for (; written < count; ++written) out[written] = ' ';
  out[written] = 0;
}

void str_justifyA(char* text, int width) { RightJustify(text, width); }
void str_justifyW(WCHAR* text, int width) { RightJustify(text, width); }

}  // namespace text

extern "C" void OVPB_API str_pad(char* text, unsigned int width) { text::str_pad(text, width); }
extern "C" void OVPB_API str_padA(char* text, int width) { text::str_padA(text, width); }
extern "C" void OVPB_API str_space(char* out, int count) { text::str_space(out, count); }
extern "C" void OVPB_API str_justifyA(char* text, int width) { text::str_justifyA(text, width); }
// Also exported as wcs_justify.
extern "C" void OVPB_API str_justifyW(WCHAR* text, int width) { text::str_justifyW(text, width); }
