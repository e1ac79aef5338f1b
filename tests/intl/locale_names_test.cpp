// Locale names through the platform's locale-name function.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ovpb32.h"
#include "platform/library.h"

namespace {

TEST(LocaleNames, AreWindowsNames) {
  const struct {
    LCID locale;
    const char* name;
  } cases[] = {{0x0409, "en-US"}, {0x0809, "en-GB"},        {0x0C0C, "fr-CA"},        {0x0411, "ja-JP"},
               {0x0404, "zh-TW"}, {0x0804, "zh-CN"},        {0x241A, "sr-Latn-RS"},   {0x0009, "en"},
               {0x007F, ""},      {0x10407, "de-DE_phoneb"}, {0x040A, "es-ES_tradnl"}};
  for (const auto& c : cases) {
    char name[64] = "stale";
    EXPECT_EQ(LocaleIDToLocaleName(c.locale, name, sizeof name), 1) << std::hex << c.locale;
    EXPECT_STREQ(name, c.name);
  }
  char name[64] = {};
  EXPECT_EQ(LanguageCodeToLocaleName(0x0419, name, sizeof name), 1);
  EXPECT_STREQ(name, "ru-RU");
}

TEST(LocaleNames, UnknownIdsLeaveTheOutputAlone) {
  char name[16] = "untouched";
  EXPECT_EQ(LocaleIDToLocaleName(0x1234, name, sizeof name), 0);
  EXPECT_STREQ(name, "untouched");
}

TEST(LocaleNames, SmallOutputsAreNotOverrun) {
  char name[16];
  std::memset(name, 'x', sizeof name);
  LocaleIDToLocaleName(0x0409, name, 3);
  for (size_t i = 3; i < sizeof name; ++i) EXPECT_EQ(name[i], 'x') << i;
}

// Hides the kernel's function and every "nlsdl.dll", counting what is tried.
class NoLocaleNames : public platform::LibrarySeam {
 public:
  bool OnLoad(const char* fileName) override {
    loads.push_back(fileName);
    return std::string(fileName).find("nlsdl.dll") == std::string::npos;
  }
  platform::ProcAddress OnLookup(const char* procName, platform::ProcAddress found) override {
    return std::strcmp(procName, "LCIDToLocaleName") == 0 ? nullptr : found;
  }
  std::vector<std::string> loads;
};

// Run first in a process of its own: the function once found is kept.
TEST(LocaleNameSearch, LooksInTheKernelThenNlsdlAndAgainUntilFound) {
  if (std::getenv("OVPB_TEST_NAME_SEARCH") == nullptr) GTEST_SKIP() << "runs in a process of its own";
  NoLocaleNames seam;
  platform::ActiveLibrarySeam().store(&seam);
  char name[16] = "untouched";
  EXPECT_EQ(LocaleIDToLocaleName(0x0409, name, sizeof name), 0);
  EXPECT_EQ(LocaleIDToLocaleName(0x0409, name, sizeof name), 0);
  platform::ActiveLibrarySeam().store(nullptr);
  EXPECT_STREQ(name, "untouched");
  ASSERT_EQ(seam.loads.size(), 6u);
  EXPECT_EQ(seam.loads[0], "KERNEL32.dll");
  EXPECT_EQ(seam.loads[1], "nlsdl.dll");
  const std::string& fromHostFolder = seam.loads[2];
  ASSERT_GT(fromHostFolder.size(), 10u);
  EXPECT_EQ(fromHostFolder.substr(fromHostFolder.size() - 9), "nlsdl.dll");
  EXPECT_EQ(LocaleIDToLocaleName(0x0409, name, sizeof name), 1);
  EXPECT_STREQ(name, "en-US");
}

}  // namespace
