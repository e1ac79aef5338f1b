// Colours as "red green blue" text, and the accented letters of 8-bit text
// between the Windows code page and the Macintosh character set.

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ovpb32.h"

namespace services {
namespace {

constexpr COLORREF kPaletteRelative = 0x02000000;
constexpr size_t kMaxColourText = 260;

// The runtime's atoi as Windows' newer runtime has it: a value beyond the
// range of int reads as INT_MAX or INT_MIN rather than wrapping.
int ClampedAtoi(const char* text) {
  const long long value = std::strtoll(text, nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

// Cuts `text` at its first blank and returns what follows, or null.
char* CutAtBlank(char* text) {
  if (text == nullptr) return nullptr;
  char* blank = std::strchr(text, ' ');
  if (blank == nullptr) return nullptr;
  *blank = 0;
  return blank + 1;
}

DWORD ColourPart(const char* text) { return static_cast<DWORD>(ClampedAtoi(text == nullptr ? "0" : text)) & 0xFF; }

// The Windows byte of each Macintosh byte 0x80-0xFF.
const unsigned char kMacToWin[128] = {
    0xC4, 0xC5, 0xC7, 0xC9, 0xD1, 0xD6, 0xDC, 0xE1, 0xE0, 0xE2, 0xE4, 0xE3, 0xE5, 0xE7, 0xE9, 0xE8,
    0xEA, 0xEB, 0xED, 0xEC, 0xEE, 0xEF, 0xF1, 0xF3, 0xF2, 0xF4, 0xF6, 0xF5, 0xFA, 0xF9, 0xFB, 0xFC,
    0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xDF, 0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xC6, 0xD8,
    0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xBB, 0xBC, 0xBD, 0xE6, 0xF8,
    0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xC0, 0xC3, 0xD5, 0xCE, 0xCF,
    0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xFF, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF,
    0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xC2, 0xCA, 0xC1, 0xCB, 0xC8, 0xCD, 0xCE, 0xCF, 0xCC, 0xD3, 0xD4,
    0xF0, 0xD2, 0xDA, 0xDB, 0xD9, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF,
};

// The Macintosh byte of each Windows byte 0xC0-0xFF.
const unsigned char kWinToMac[64] = {
    0xCB, 0xE7, 0xE5, 0xCC, 0x80, 0x81, 0xAE, 0x82, 0xE9, 0x83, 0xE6, 0xE8, 0xED, 0xEA, 0xEB, 0xEC,
    0xD0, 0x84, 0xF1, 0xEE, 0xEF, 0xCD, 0x85, 0xD7, 0xAF, 0xF4, 0xF2, 0xF3, 0x86, 0xDD, 0xDE, 0xA7,
    0x88, 0x87, 0x89, 0x8B, 0x8A, 0x8C, 0xBE, 0x8D, 0x8F, 0x8E, 0x90, 0x91, 0x93, 0x92, 0x94, 0x95,
    0xF0, 0x96, 0x98, 0x97, 0x99, 0x9B, 0x9A, 0xF7, 0xBF, 0x9D, 0x9C, 0x9E, 0x9F, 0xFD, 0xFE, 0xD8,
};

char MacToWin(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  return static_cast<char>(value >= 0x80 ? kMacToWin[value - 0x80] : value);
}

char WinToMac(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  return static_cast<char>(value >= 0xC0 ? kWinToMac[value - 0xC0] : value);
}

// Converts up to and including the terminator; the terminator's address.
char* ConvertString(const char* source, char* destination, char (*convert)(char)) {
  if (source == nullptr || destination == nullptr) return nullptr;
  while (*source != 0) *destination++ = convert(*source++);
  *destination = 0;
  return destination;
}

}  // namespace
}  // namespace services

extern "C" COLORREF OVPB_API StringToColour(const char* text) {
  char copy[services::kMaxColourText] = "";
  if (text != nullptr) std::strncpy(copy, text, sizeof copy - 1);
  char* green = services::CutAtBlank(copy);
  char* blue = services::CutAtBlank(green);
  return services::kPaletteRelative + services::ColourPart(blue) * 65536 + services::ColourPart(green) * 256 +
         services::ColourPart(copy);
}

extern "C" int OVPB_API ColourToString(char* buffer, COLORREF colour) {
  if (buffer == nullptr) return 0;
  return std::sprintf(buffer, "%d %d %d", static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                      static_cast<int>((colour >> 16) & 0xFF));
}

extern "C" void OVPB_API WinToMacBuf(char* buffer, UINT length) {
  for (UINT i = 0; buffer != nullptr && i < length; ++i) buffer[i] = services::WinToMac(buffer[i]);
}

extern "C" void OVPB_API MacToWinBuf(const char* source, char* destination, UINT length) {
  if (source == nullptr || destination == nullptr) return;
  for (UINT i = 0; i < length; ++i) destination[i] = services::MacToWin(source[i]);
}

extern "C" char* OVPB_API WinToMacStr(const char* source, char* destination) {
  return services::ConvertString(source, destination, &services::WinToMac);
}

extern "C" char* OVPB_API MacToWinStr(const char* source, char* destination) {
  return services::ConvertString(source, destination, &services::MacToWin);
}
