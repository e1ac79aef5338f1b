// Date-time text, day numbers and the date-entry patterns made from a
// short-date pattern of any content. Invariants: both text forms read the
// same value; a value inside the range comes back through its text; a valid
// day number comes back through its date; patterns and masks stay within
// their 100 bytes (dates within 255) and the masks line up letter for
// letter with the edit mask.

#include <string>

#include "datetime/calendar.h"
#include "datetime/date_formats.h"
#include "fuzz/fuzz_support.h"
#include "ovpb32.h"

namespace {

constexpr size_t kPatternRoom = 100;
constexpr size_t kDateRoom = 255;
constexpr size_t kDateTimeRoom = 15;

void CheckDateTimeText(const char* text, BOOL dateOnly) {
  std::vector<WCHAR> wide;
  for (const char* c = text; *c != 0; ++c) wide.push_back(static_cast<unsigned char>(*c));
  wide.push_back(0);
  double value = StringToDateTimeA(text, dateOnly);
  double wideValue = StringToDateTimeW(wide.data(), dateOnly);
  FUZZ_CHECK(value == wideValue || (value != value && wideValue != wideValue));

  auto narrowText = fuzzing::Exactly<char>(kDateTimeRoom);
  auto wideText = fuzzing::Exactly<WCHAR>(kDateTimeRoom);
  DateTimeToStringA(value, narrowText.data(), dateOnly);
  DateTimeToStringW(value, wideText.data(), dateOnly);
  size_t length = std::strlen(narrowText.data());
  for (size_t i = 0; i <= length; ++i) FUZZ_CHECK(wideText[i] == static_cast<unsigned char>(narrowText[i]));

  bool inRange = value > datetime::kNullDateTime && value <= datetime::kLatestDateTime;
  if (!inRange) {
    FUZZ_CHECK(length == 0);
    return;
  }
  FUZZ_CHECK(length == (dateOnly ? 8u : 14u));
  FUZZ_CHECK(StringToDateTimeA(narrowText.data(), dateOnly) == value);
}

void CheckDayNumber(int dayNumber) {
  int day = 0, month = 0, year = 0;
  JulianToDate(dayNumber, &day, &month, &year);
  if (dayNumber < -693960) return;  // before 1 March of year 0: no stated date
  FUZZ_CHECK(month >= 1 && month <= 12 && day >= 1 && day <= 31);
  int back = -1;
  DateToJulian(&back, day, month, year);
  FUZZ_CHECK(back == (year >= 1900 ? dayNumber : 0));
}

// Mask letters are 0x01 in the preference mask and '9' or 'N' in the edit
// mask; every other character is the same in both.
void CheckMasks(size_t patternLength, char doubled) {
  auto prefMask = fuzzing::Exactly<char>(kPatternRoom);
  auto editMask = fuzzing::Exactly<char>(kPatternRoom);
  auto rebuilt = fuzzing::Exactly<char>(kPatternRoom);
  auto display = fuzzing::Exactly<char>(kPatternRoom);
  auto date = fuzzing::Exactly<char>(kDateRoom);
  OVGetShortDatePrefMask(prefMask.data(), doubled);
  OVGetShortDateEditMask(editMask.data(), doubled);
  OVGetShortDatePrefFormat(-2, rebuilt.data());
  OVGetShortDatePrefFormat(-1, display.data());
  OVGetShortDatePrefFormat(45000, date.data());
  for (auto* text : {&prefMask, &editMask, &rebuilt, &display})
    FUZZ_CHECK(std::strlen(text->data()) < kPatternRoom);
  FUZZ_CHECK(std::strlen(date.data()) < kDateRoom);

  if (2 * patternLength >= kPatternRoom - 1) return;  // nothing was cut at 99
  size_t length = std::strlen(prefMask.data());
  FUZZ_CHECK(std::strlen(editMask.data()) == length);
  for (size_t i = 0; i < length; ++i) {
    char edit = editMask[i];
    FUZZ_CHECK(edit == prefMask[i] || (prefMask[i] == 0x01 && (edit == '9' || edit == 'N')));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto text = fuzzing::Terminated<char>(data, size);
  CheckDateTimeText(text.data(), FALSE);
  CheckDateTimeText(text.data(), TRUE);

  int dayNumber = 0;
  std::memcpy(&dayNumber, data, size < sizeof dayNumber ? size : sizeof dayNumber);
  CheckDayNumber(dayNumber);
  if (size >= 3) {
    int back = -1;
    DateToJulian(&back, data[0], data[1] % 16, 1890 + data[2]);
    if (back != 0) {
      int day = 0, month = 0, year = 0;
      JulianToDate(back, &day, &month, &year);
      FUZZ_CHECK(day == data[0] && month == data[1] % 16 && year == 1890 + data[2]);
    }
  }

  datetime::SetShortDatePatternForTesting(text.data());
  CheckMasks(text.size() - 1, size > 0 ? static_cast<char>(data[size - 1]) : '\0');
  datetime::SetShortDatePatternForTesting(nullptr);
  return 0;
}
