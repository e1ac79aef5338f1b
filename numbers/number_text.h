// The number text engine behind the exported formatting and conversion
// functions: plain number text ([-]digits.digits) to display text and back,
// digit by digit on the text, so no amount loses precision on the way.
// Every function writes only the caller's buffer and its own locals.
#pragma once

namespace numbers {

// The formatter's own path: integer digits grouped by three when a
// thousands separator is given (null or empty: none), `decimals` digits
// (a signed count) after the decimal separator, rounded half away from zero
// on the text. Returns the length; the text is terminated only when
// rounding put a new leading '1' in front.
int FormatPlainNumber(char* out, const char* text, int decimals, const char* thousandSeparator,
                      const char* decimalSeparator, bool leadingZero);

// One direction of the database conversions: the decimal point read and
// the one written (0: none), the decimals (a signed count), and whether a
// text without integer digits gets a '0'. Leading zeros and non-digits of
// the integer part are dropped; the output is terminated.
struct DatabaseForm {
  char pointRead;
  char pointWritten;
  int decimals;
  bool zeroWithoutInteger;
};
void ConvertNumberText(char* out, const char* text, const DatabaseForm& form);

// Display text to a double: '.' ends the number, the first byte of the
// decimal separator becomes the point. 0.0 for a text over 255 bytes.
double DisplayTextToDouble(const char* text, char decimalSeparator);

// Whether typed money text holds only digits, spaces and the separators
// after its leading spaces and minus signs; 1 or 0. The characters refused
// are listed in `list` (may be null) as "\"%c\"" joined by ", ".
int CheckMoneyText(const char* text, char* list, const char* decimalSeparator,
                   const char* thousandSeparator);

}  // namespace numbers
