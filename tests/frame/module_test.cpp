// The module directory and the configuration file beside the library.

#include <gtest/gtest.h>

#include <string>

#include "frame/config.h"
#include "frame/module.h"
#include "platform/system.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::LoadedLibrary;
using testing_support::TempDir;

TEST(ModuleDirectory, IsTheFolderOfTheFileHoldingTheLibraryCode) {
  // Linked into this program, the library's file is the program itself.
  std::string directory = frame::GetModuleDirectoryA();
  ASSERT_FALSE(directory.empty());
  char last = directory.back();
  EXPECT_TRUE(last == '\\' || last == '/');
  EXPECT_EQ(fs::path(directory).parent_path(), testing_support::ProgramDirectory());
  EXPECT_EQ(std::string(frame::GetConfigFilePathA()), directory + "cv.ver");
  EXPECT_EQ(testing_support::ToUtf8(frame::GetModuleDirectoryW()), directory);
  EXPECT_EQ(testing_support::ToUtf8(frame::GetConfigFilePathW()), directory + "cv.ver");
}

TEST(ModuleDirectory, IsKeptOnceFound) {
  EXPECT_EQ(frame::GetModuleDirectoryA(), frame::GetModuleDirectoryA());
  EXPECT_EQ(frame::GetConfigFilePathW(), frame::GetConfigFilePathW());
}

TEST(ModuleFrame, RecordsTheAttachingThreadAndTheDoubleByteFlag) {
  // The test program's static initialisation, and so the attach step, ran
  // on the thread that runs main and the tests.
  EXPECT_EQ(frame::MainThreadId(), platform::GetCurrentThreadId());
  EXPECT_EQ(frame::DoubleByteFlag(), platform::GetSystemMetrics(SM_DBCSENABLED));
  EXPECT_NE(frame::ModuleInstance(), nullptr);
  std::lock_guard<std::recursive_mutex> outer(frame::ModuleLock());
  std::lock_guard<std::recursive_mutex> inner(frame::ModuleLock());  // a critical section re-enters
}

// A copy of the built library, renamed, in a folder away from the program
// that loads it.
class RelocatedLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    copy_ = dir_ / (std::string("renamed-copy") + testing_support::LibraryFile().extension().string());
    fs::copy_file(testing_support::LibraryFile(), copy_);
  }

  void WriteConfig(const std::string& contents) { testing_support::WriteTextFile(dir_ / "cv.ver", contents); }

  TempDir dir_;
  fs::path copy_;
};

TEST_F(RelocatedLibrary, ReadsTheConfigurationBesideItsOwnFile) {
  WriteConfig("[VERSION]\r\nOVAssert=1\r\n");
  LoadedLibrary library(copy_);
  ASSERT_TRUE(library.loaded());
  auto assertOn = library.Get<int (*)()>("OVAssertOn");
  ASSERT_NE(assertOn, nullptr);
  EXPECT_EQ(assertOn(), 1);
}

TEST_F(RelocatedLibrary, WithoutConfigurationKeysHaveTheirDefaults) {
  LoadedLibrary library(copy_);
  ASSERT_TRUE(library.loaded());
  EXPECT_EQ(library.Get<int (*)()>("OVAssertOn")(), 0);
}

TEST_F(RelocatedLibrary, KeysAreReadOncePerProcess) {
  WriteConfig("[VERSION]\r\nOVAssert=1\r\n");
  LoadedLibrary library(copy_);
  ASSERT_TRUE(library.loaded());
  auto assertOn = library.Get<int (*)()>("OVAssertOn");
  ASSERT_EQ(assertOn(), 1);
  WriteConfig("[VERSION]\r\nOVAssert=0\r\n");
  EXPECT_EQ(assertOn(), 1);
  // The next process sees the change.
  auto child = testing_support::RunHelper("assert-on \"" + copy_.string() + "\"");
  EXPECT_EQ(child.exitCode, 0);
  EXPECT_EQ(child.output.substr(0, 1), "0");
}

// Keys read through this program's own cv.ver.
class ConfigurationKeys : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = fs::path(frame::GetConfigFilePathA());
    fs::remove(path_);
    frame::ForgetConfigForTesting();
  }
  void TearDown() override {
    fs::remove(path_);
    frame::ForgetConfigForTesting();
  }
  void WriteConfig(const std::string& contents) { testing_support::WriteTextFile(path_, contents); }

  std::string Text(frame::ConfigKey key) {
    char buffer[MAX_PATH];
    frame::ReadConfigTextA(key, buffer, sizeof buffer);
    return buffer;
  }

  fs::path path_;
};

TEST_F(ConfigurationKeys, DefaultsWithoutAConfigurationFile) {
  using frame::ConfigKey;
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::GeneralLogging), 0);
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::LoggingSize), 10000000);
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::OVAssert), 0);
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::LogFileDeletes), 0);
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::Applocale), 0);
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::GetFileAttributesOld), 0);
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::RegionalDigits), 0);
  EXPECT_EQ(Text(ConfigKey::LoggingCategory), "*");
  EXPECT_EQ(Text(ConfigKey::LoggingPath), std::string(frame::GetModuleDirectoryA()) + "GeneralLog.log");
  EXPECT_EQ(Text(ConfigKey::GenerateMiniDump), "");
}

TEST_F(ConfigurationKeys, EveryKeyIsReadFromTheVersionSection) {
  WriteConfig(
      "[version]\r\nGeneralLogging=3\r\nLoggingCategory=Net,Files\r\nLoggingPath=C:\\logs\\x.log\r\n"
      "LoggingSize=5000\r\nOVAssert=2\r\nLogFileDeletes=1\r\nGenerateMiniDump=yes\r\nApplocale=1\r\n"
      "GetFileAttributesOld=1\r\nRegionalDigits=4\r\n");
  using frame::ConfigKey;
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::GeneralLogging), 3);
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::LoggingSize), 5000);
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::OVAssert), 2);
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::LogFileDeletes), 1);
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::Applocale), 1);
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::GetFileAttributesOld), 1);
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::RegionalDigits), 4);
  EXPECT_EQ(Text(ConfigKey::LoggingCategory), "Net,Files");
  EXPECT_EQ(Text(ConfigKey::LoggingPath), "C:\\logs\\x.log");
  EXPECT_EQ(Text(ConfigKey::GenerateMiniDump), "yes");
}

TEST_F(ConfigurationKeys, KeptKeysIgnoreLaterChangesButTheDumpSwitchDoesNot) {
  using frame::ConfigKey;
  WriteConfig("[VERSION]\r\nGeneralLogging=2\r\nGenerateMiniDump=first\r\n");
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::GeneralLogging), 2);
  EXPECT_EQ(Text(ConfigKey::GenerateMiniDump), "first");
  WriteConfig("[VERSION]\r\nGeneralLogging=5\r\nGenerateMiniDump=second\r\n");
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::GeneralLogging), 2);
  EXPECT_EQ(Text(ConfigKey::GenerateMiniDump), "second");
}

TEST_F(ConfigurationKeys, AValueEqualToItsSentinelIsReadAgain) {
  using frame::ConfigKey;
  WriteConfig("[VERSION]\r\nGeneralLogging=-1\r\nLogFileDeletes=2147483647\r\n");
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::GeneralLogging), -1);
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::LogFileDeletes), 0x7FFFFFFF);
  WriteConfig("[VERSION]\r\nGeneralLogging=4\r\nLogFileDeletes=-1\r\n");
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::GeneralLogging), 4);
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::LogFileDeletes), -1);
  // -1 is no sentinel for LogFileDeletes: now it is kept.
  WriteConfig("[VERSION]\r\nLogFileDeletes=6\r\n");
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::LogFileDeletes), -1);
}

}  // namespace
