#include "numbers/number_text.h"

#include <cstring>
#include <string>

#include "frame/module.h"
#include "platform/codepage.h"
#include "platform/mbcs.h"
#include "platform/number_format.h"
#include "text/toolkit.h"

namespace numbers {
namespace {

// ASCII digits only, at every step, so the walks that count on finding the
// digits they counted always find them.
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int CountIntegerDigits(const char* text, char point) {
  int count = 0;
  for (; *text != 0 && *text != point; ++text) count += IsDigit(*text);
  return count;
}

// Copies each leading '-' and passes over leading spaces, in any mix.
size_t CopySignsSkipSpaces(char* out, const char*& in) {
  size_t written = 0;
  for (; *in == '-' || *in == ' '; ++in)
    if (*in == '-') out[written++] = '-';
  return written;
}

size_t CountLeadingMinus(const char* out, size_t length) {
  size_t signs = 0;
  while (signs < length && out[signs] == '-') ++signs;
  return signs;
}

// `decimals` characters from the input, the point passed over, zeros past
// the end.
size_t CopyDecimals(char* out, const char*& in, int decimals, char point) {
  size_t written = 0;
  for (int i = 0; i < decimals;) {
    if (*in != 0 && *in == point) {
      ++in;
      continue;
    }
    out[written++] = *in != 0 ? *in++ : '0';
    ++i;
  }
  return written;
}

// The first digit after the cut decides; the end never rounds up.
bool RoundsUp(const char* in) {
  while (*in != 0 && !IsDigit(*in)) ++in;
  return *in >= '5';
}

// Puts '1' (and `separator`, if any) in front of out[signs, length) and
// terminates; returns the new length.
size_t PrefixOne(char* out, size_t signs, size_t length, const char* separator) {
  const std::string digits(out + signs, length - signs);
  const size_t separatorLength = separator != nullptr ? std::strlen(separator) : 0;
  char* p = out + signs;
  *p++ = '1';
  std::memcpy(p, separator != nullptr ? separator : "", separatorLength);
  p += separatorLength;
  if (frame::DoubleByteFlag() != 0) {
    text::DBCSlstrncpy(p, digits.c_str(), static_cast<unsigned>(digits.size()));
  } else {
    std::memcpy(p, digits.c_str(), digits.size() + 1);
  }
  return signs + 1 + separatorLength + digits.size();
}

// The display formatter's carry: nines become zeros back to the first other
// digit or the start of the text; a space there becomes '1'; at a '9' or
// another non-digit there, a '1' goes in front (with the separator when the
// new digit opens a group of its own).
size_t CarryDisplay(char* out, size_t length, int integerDigits, const char* thousandSeparator) {
  const size_t signs = CountLeadingMinus(out, length);
  if (length == signs) return PrefixOne(out, signs, length, nullptr);
  for (size_t i = length; i-- > signs;) {
    const char c = out[i];
    if (IsDigit(c) && c != '9') {
      ++out[i];
      return length;
    }
    if (c == '9') out[i] = '0';
    if (i > signs) continue;
    if (c == ' ') {
      out[i] = '1';
      return length;
    }
    const bool newGroup = c == '9' && thousandSeparator != nullptr && integerDigits >= 3 && integerDigits % 3 == 0;
    return PrefixOne(out, signs, length, newGroup ? thousandSeparator : nullptr);
  }
  return length;
}

// The database conversions' carry: nines become zeros, non-digits are passed
// over; with every digit a nine, a '1' goes in front of the digits.
size_t CarryDatabase(char* out, size_t length) {
  const size_t signs = CountLeadingMinus(out, length);
  for (size_t i = length; i-- > signs;) {
    if (out[i] == '9') {
      out[i] = '0';
    } else if (IsDigit(out[i])) {
      ++out[i];
      return length;
    }
  }
  return PrefixOne(out, signs, length, nullptr);
}

size_t CopyText(char* out, const char* text) {
  const size_t length = std::strlen(text);
  std::memcpy(out, text, length);
  return length;
}

}  // namespace

int FormatPlainNumber(char* out, const char* in, int decimals, const char* thousandSeparator,
                      const char* decimalSeparator, bool leadingZero) {
  if (thousandSeparator != nullptr && *thousandSeparator == 0) thousandSeparator = nullptr;
  const int integerDigits = CountIntegerDigits(in, '.');
  size_t length = CopySignsSkipSpaces(out, in);

  if (integerDigits == 0) {
    if (leadingZero) out[length++] = '0';
  } else {
    for (int n = integerDigits; n > 1; ++in) {
      if (!IsDigit(*in)) continue;
      out[length++] = *in;
      if (thousandSeparator != nullptr && n % 3 == 1) length += CopyText(out + length, thousandSeparator);
      --n;
    }
    out[length++] = *in++;
  }
  if (decimals != 0) length += CopyText(out + length, decimalSeparator);
  length += CopyDecimals(out + length, in, decimals, '.');

  if (RoundsUp(in)) length = CarryDisplay(out, length, integerDigits, thousandSeparator);
  if (length == 2 && out[0] == '-' && out[1] == '0') {
    out[0] = '0';
    length = 1;
  }
  return static_cast<int>(length);
}

void ConvertNumberText(char* out, const char* text, const DatabaseForm& form) {
  // The walk reads past what it has written; a copy keeps an output that
  // overlaps the input from changing it underway.
  const std::string copy(text);
  const char* in = copy.c_str();
  const int integerDigits = CountIntegerDigits(in, form.pointRead);
  size_t length = CopySignsSkipSpaces(out, in);

  if (integerDigits == 0) {
    if (form.zeroWithoutInteger) out[length++] = '0';
  } else {
    bool significant = false;
    for (int n = integerDigits; n > 1; ++in) {
      if (!IsDigit(*in)) continue;
      significant = significant || *in != '0';
      if (significant) out[length++] = *in;
      --n;
    }
    out[length++] = *in++;
  }
  if (form.pointWritten != 0) out[length++] = form.pointWritten;
  length += CopyDecimals(out + length, in, form.decimals, form.pointRead);
  if (RoundsUp(in)) length = CarryDatabase(out, length);
  out[length] = 0;
}

double DisplayTextToDouble(const char* text, char decimalSeparator) {
  if (decimalSeparator == '.') return platform::atof(text);
  const size_t length = std::strlen(text);
  if (length > 255) return 0.0;
  char buffer[256];
  std::memcpy(buffer, text, length + 1);
  const bool doubleByte = frame::DoubleByteFlag() != 0;
  // Trail bytes of double-byte characters are never taken for either.
  auto replace = [&](char from, char to) {
    for (char* p = buffer; *p != 0; ++p) {
      if (doubleByte && platform::_ismbblead(static_cast<unsigned char>(*p))) {
        if (*++p == 0) break;
      } else if (*p == from) {
        *p = to;
      }
    }
  };
  replace('.', 'a');
  replace(decimalSeparator, '.');
  return platform::atof(buffer);
}

namespace {

// The bytes of the character at `p`: a double-byte character, or a UTF-8
// sequence in the UTF-8 code page; never past the terminator.
size_t CharacterBytes(const char* p) {
  if (frame::DoubleByteFlag() != 0) return platform::_mbclen(reinterpret_cast<const unsigned char*>(p));
  if (platform::GetACP() != 65001) return 1;
  const unsigned char lead = static_cast<unsigned char>(*p);
  const size_t expected = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  size_t length = 1;
  while (length < expected && (static_cast<unsigned char>(p[length]) & 0xC0) == 0x80) ++length;
  return length;
}

bool StartsWith(const char* p, const char* prefix) {
  return prefix != nullptr && *prefix != 0 && std::strncmp(p, prefix, std::strlen(prefix)) == 0;
}

}  // namespace

int CheckMoneyText(const char* text, char* list, const char* decimalSeparator,
                   const char* thousandSeparator) {
  while (*text == ' ' || *text == '-') ++text;
  if (list != nullptr) *list = 0;
  int valid = 1;
  size_t listed = 0;
  while (*text != 0) {
    if (IsDigit(*text) || *text == ' ') {
      ++text;
    } else if (StartsWith(text, decimalSeparator)) {
      text += std::strlen(decimalSeparator);
    } else if (StartsWith(text, thousandSeparator)) {
      text += std::strlen(thousandSeparator);
    } else {
      const size_t bytes = CharacterBytes(text);
      if (list != nullptr) {
        if (valid == 0) listed += CopyText(list + listed, ", ");
        list[listed++] = '"';
        std::memcpy(list + listed, text, bytes);
        listed += bytes;
        list[listed++] = '"';
        list[listed] = 0;
      }
      valid = 0;
      text += bytes;
    }
  }
  return valid;
}

}  // namespace numbers
