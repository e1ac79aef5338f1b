// The module directory and the configuration file beside the library.

#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "frame/config.h"
#include "frame/module.h"
#include "platform/system.h"
#include "support/helper_process.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::LoadedLibrary;
using testing_support::TempDir;

TEST(ModuleFrame, KnowsItsDirectoryAttachingThreadAndDoubleByteFlag) {
  // Linked into this program, the library's file is the program itself.
  std::string directory = frame::GetModuleDirectoryA();
  ASSERT_FALSE(directory.empty());
  EXPECT_TRUE(directory.back() == '\\' || directory.back() == '/');
  EXPECT_EQ(fs::path(directory).parent_path(), testing_support::ProgramDirectory());
  EXPECT_EQ(std::string(frame::GetConfigFilePathA()), directory + "cv.ver");
  EXPECT_EQ(testing_support::ToUtf8(frame::GetConfigFilePathW()), directory + "cv.ver");
  // The test program's static initialisation, and so the attach step, ran
  // on the thread that runs main and the tests.
  EXPECT_EQ(frame::MainThreadId(), platform::GetCurrentThreadId());
  EXPECT_EQ(frame::DoubleByteFlag(), platform::GetSystemMetrics(SM_DBCSENABLED));
  std::lock_guard<frame::RecursiveLock> outer(frame::ModuleLock());
  std::lock_guard<frame::RecursiveLock> inner(frame::ModuleLock());  // a critical section re-enters
}

// A renamed copy of the built library, in a folder away from the program
// that loads it, reads the cv.ver beside itself once per process.
TEST(RelocatedLibrary, ReadsTheConfigurationBesideItsOwnFileOncePerProcess) {
  TempDir dir;
  const fs::path copy = dir / ("renamed-copy" + testing_support::LibraryFile().extension().string());
  fs::copy_file(testing_support::LibraryFile(), copy);
  testing_support::WriteTextFile(dir / "cv.ver", "[VERSION]\r\nOVAssert=1\r\n");
  LoadedLibrary library(copy);
  ASSERT_TRUE(library.loaded());
  auto assertOn = library.Get<int (*)()>("OVAssertOn");
  ASSERT_EQ(assertOn(), 1);
  testing_support::WriteTextFile(dir / "cv.ver", "[VERSION]\r\nOVAssert=0\r\n");
  EXPECT_EQ(assertOn(), 1);
  testing_support::HelperProcess child({"assert-on", copy.string()});  // the next process sees the change
  EXPECT_EQ(child.ReadLine(), "0");
  EXPECT_EQ(child.Finish(), 0);
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

TEST_F(ConfigurationKeys, DefaultsEveryKeyAndWhichKeysAreReadOnce) {
  using frame::ConfigKey;
  const ConfigKey integers[] = {ConfigKey::GeneralLogging, ConfigKey::LoggingSize, ConfigKey::OVAssert,
                                ConfigKey::LogFileDeletes, ConfigKey::Applocale, ConfigKey::GetFileAttributesOld,
                                ConfigKey::RegionalDigits};
  const int defaults[] = {0, 10000000, 0, 0, 0, 0, 0}, configured[] = {-1, 5000, 2, 0x7FFFFFFF, 1, 1, 4};
  for (size_t i = 0; i < std::size(integers); ++i) EXPECT_EQ(frame::ConfigInteger(integers[i]), defaults[i]) << i;
  EXPECT_EQ(Text(ConfigKey::LoggingCategory), "*");
  EXPECT_EQ(Text(ConfigKey::LoggingPath), std::string(frame::GetModuleDirectoryA()) + "GeneralLog.log");
  EXPECT_EQ(Text(ConfigKey::GenerateMiniDump), "");
  WriteConfig(
      "[version]\r\nGeneralLogging=-1\r\nLoggingCategory=Net,Files\r\nLoggingPath=C:\\logs\\x.log\r\n"
      "LoggingSize=5000\r\nOVAssert=2\r\nLogFileDeletes=2147483647\r\nGenerateMiniDump=yes\r\nApplocale=1\r\n"
      "GetFileAttributesOld=1\r\nRegionalDigits=4\r\n");
  frame::ForgetConfigForTesting();
  for (size_t i = 0; i < std::size(integers); ++i) EXPECT_EQ(frame::ConfigInteger(integers[i]), configured[i]) << i;
  EXPECT_EQ(Text(ConfigKey::LoggingCategory), "Net,Files");
  EXPECT_EQ(Text(ConfigKey::LoggingPath), "C:\\logs\\x.log");
  EXPECT_EQ(Text(ConfigKey::GenerateMiniDump), "yes");
  // Kept keys ignore later changes, unless the value read was the key's
  // sentinel (-1, and 0x7FFFFFFF for LogFileDeletes); the dump switch is
  // read at every use.
  WriteConfig("[VERSION]\r\nGeneralLogging=4\r\nLogFileDeletes=-1\r\nGenerateMiniDump=second\r\nOVAssert=5\r\n");
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::GeneralLogging), 4);
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::LogFileDeletes), -1);
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::OVAssert), 2);
  EXPECT_EQ(Text(ConfigKey::GenerateMiniDump), "second");
  WriteConfig("[VERSION]\r\nLogFileDeletes=6\r\n");  // -1 is no sentinel for LogFileDeletes
  EXPECT_EQ(frame::ConfigInteger(ConfigKey::LogFileDeletes), -1);
}

}  // namespace
