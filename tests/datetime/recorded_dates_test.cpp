#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "support/recorded_dates.h"
#include "support/test_support.h"

namespace {

// Where the POSIX layer's locale data (ICU's) differs from the recording,
// by locale and form.
struct KnownDifference {
  const char* locale;
  const char* form;
  const char* reason;
};
const char kEraPerLetter[] = "Wine writes the era once per g; a run of g (Windows) gives it once";
const KnownDifference kKnownDifferences[] = {
    {"0409", "'It''s' dd-MMM-yy gg", kEraPerLetter},
    {"0809", "'It''s' dd-MMM-yy gg", kEraPerLetter},
    {"1009", "'It''s' dd-MMM-yy gg", kEraPerLetter},
    {"0c0c", "'It''s' dd-MMM-yy gg", kEraPerLetter},
    {"0407", "'It''s' dd-MMM-yy gg", kEraPerLetter},
    {"0411", "'It''s' dd-MMM-yy gg", kEraPerLetter},
    {"0419", "'It''s' dd-MMM-yy gg", kEraPerLetter},
    {"0419", "LONG",
     "the pattern's narrow no-break space before \"г.\": Windows writes the locale's code page 1251, which "
     "lacks it ('?'); the POSIX layer the process's (UTF-8 here)"},
};

const KnownDifference* Known(const std::string& locale, const std::string& form) {
  for (const KnownDifference& known : kKnownDifferences) {
    if (locale == known.locale && form == known.form) return &known;
  }
  return nullptr;
}

// "locale\tdate\tform" to the text.
std::map<std::string, std::string> ByKey(const std::vector<std::string>& lines) {
  std::map<std::string, std::string> texts;
  for (const std::string& line : lines) {
    size_t text = line.rfind('\t');
    if (line.empty() || line[0] == '#' || text == std::string::npos) continue;
    texts[line.substr(0, text)] = line.substr(text + 1);
  }
  return texts;
}

TEST(RecordedDates, PlatformWritesWhatWindowsWrote) {
  std::ifstream file(testing_support::ProgramDirectory() / "wine_dates.txt");
  ASSERT_TRUE(file) << "wine_dates.txt beside the test program";
  std::vector<std::string> recordedLines;
  for (std::string line; std::getline(file, line);) recordedLines.push_back(line);
  std::map<std::string, std::string> recorded = ByKey(recordedLines);
  std::map<std::string, std::string> written = ByKey(testing_support::RecordDateFormats());
  ASSERT_EQ(written.size(), recorded.size());
  std::map<std::string, int> toleratedByReason;
  for (const auto& entry : written) {
    const std::string& key = entry.first;
    auto wine = recorded.find(key);
    ASSERT_NE(wine, recorded.end()) << key;
    if (wine->second == entry.second) continue;
    std::string locale = key.substr(0, key.find('\t'));
    std::string form = key.substr(key.rfind('\t') + 1);
    const KnownDifference* known = Known(locale, form);
    EXPECT_NE(known, nullptr) << key << ": \"" << entry.second << "\", Windows \"" << wine->second << "\"";
    if (known != nullptr) ++toleratedByReason[known->reason];
  }
  for (const auto& tolerated : toleratedByReason) std::printf("%d differ: %s\n", tolerated.second, tolerated.first.c_str());
}

}  // namespace
