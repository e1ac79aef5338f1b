// Money and numbers between the user's display text and the database form
// ([-]digits.decimals, a full stop, no grouping, no leading zeros).

#include "frame/config.h"
#include "numbers/number_text.h"
#include "ovpb32.h"

namespace {

// The separator's first byte; 0 (none) for an empty one.
char DisplayPoint(const InternationalSettings& settings) { return settings.decimalSeparator[0]; }

// 2, or the currency digits when "RegionalDigits" is on and they are more.
int DatabaseMoneyDecimals(const InternationalSettings& settings) {
  const bool regional = frame::ConfigInteger(frame::ConfigKey::RegionalDigits) != 0;
  return regional && settings.currencyDigits > 2 ? settings.currencyDigits : 2;
}

void ToDatabase(char* out, const char* text, int decimals) {
  const InternationalSettings& settings = *GetGlobalInternational();
  numbers::ConvertNumberText(out, text, {DisplayPoint(settings), '.', decimals, true});
}

void ToDisplay(char* out, const char* text, int decimals) {
  const InternationalSettings& settings = *GetGlobalInternational();
  numbers::ConvertNumberText(out, text,
                             {'.', decimals != 0 ? DisplayPoint(settings) : '\0', decimals, settings.leadingZero != 0});
}

}  // namespace

extern "C" void OVPB_API MoneyToDB(char* out, const char* text) {
  ToDatabase(out, text, DatabaseMoneyDecimals(*GetGlobalInternational()));
}

extern "C" void OVPB_API DBToMoney(char* out, const char* text) {
  ToDisplay(out, text, GetGlobalInternational()->currencyDigits);
}

extern "C" void OVPB_API NumberToDB(char* out, const char* text, int decimals) { ToDatabase(out, text, decimals); }

extern "C" void OVPB_API DBToNumber(char* out, const char* text, int decimals) { ToDisplay(out, text, decimals); }
