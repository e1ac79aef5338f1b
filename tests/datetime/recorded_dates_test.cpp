#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "support/recorded_dates.h"
#include "support/test_support.h"

namespace {

// Where the POSIX layer differs from the recording, by locale and form.
const char kEraPerLetter[] = "Wine writes the era once per g; a run of g (Windows) gives it once";
const std::map<std::string, std::string> kKnownDifferences = {
    {"0409 'It''s' dd-MMM-yy gg", kEraPerLetter}, {"0809 'It''s' dd-MMM-yy gg", kEraPerLetter},
    {"1009 'It''s' dd-MMM-yy gg", kEraPerLetter}, {"0c0c 'It''s' dd-MMM-yy gg", kEraPerLetter},
    {"0407 'It''s' dd-MMM-yy gg", kEraPerLetter}, {"0411 'It''s' dd-MMM-yy gg", kEraPerLetter},
    {"0419 'It''s' dd-MMM-yy gg", kEraPerLetter},
    {"0419 LONG", "the narrow no-break space before \"г.\": Windows writes the locale's code page 1251, "
                  "which lacks it ('?'); the POSIX layer the process's (UTF-8 here)"}};

// "locale\tdate\tform" to the text.
std::map<std::string, std::string> ByKey(const std::vector<std::string>& lines) {
  std::map<std::string, std::string> texts;
  for (const std::string& line : lines) {
    size_t text = line.rfind('\t');
    if (!line.empty() && line[0] != '#' && text != std::string::npos) texts[line.substr(0, text)] = line.substr(text + 1);
  }
  return texts;
}

TEST(RecordedDates, PlatformWritesWhatWindowsWrote) {
  std::ifstream file(testing_support::ProgramDirectory() / "wine_dates.txt");
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  std::map<std::string, std::string> recorded = ByKey(lines), written = ByKey(testing_support::RecordDateFormats());
  ASSERT_EQ(written.size(), recorded.size());
  std::map<std::string, int> tolerated;
  for (const auto& entry : written) {
    const std::string& key = entry.first;
    ASSERT_EQ(recorded.count(key), 1u) << key;
    if (recorded[key] == entry.second) continue;
    auto known = kKnownDifferences.find(key.substr(0, key.find('\t')) + " " + key.substr(key.rfind('\t') + 1));
    EXPECT_TRUE(known != kKnownDifferences.end()) << key << ": \"" << entry.second << "\", Windows \"" << recorded[key] << "\"";
    if (known != kKnownDifferences.end()) ++tolerated[known->second];
  }
  for (const auto& reason : tolerated) std::printf("%d differ: %s\n", reason.second, reason.first.c_str());
}

}  // namespace
