// Files under faults: a copy whose destination cannot be parked (both
// builds); on Linux, faults made under the POSIX layer at every step.

#include <gtest/gtest.h>

#include <chrono>
#include <climits>

#include "log/log_test_support.h"
#include "ovpb32.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "support/helper_process.h"
#ifndef _WIN32
#include "platform/posix/fault_injection.h"
#endif

namespace {

namespace fs = std::filesystem;
using testing_support::ReadTextFile;

class FileFaults : public log_testing::LogTest {
 protected:
  void SetUp() override {
    Configure("GeneralLogging=1\r\n");
    SetLogPath(LogFile("general.log").c_str());
    testing_support::WriteTextFile(source_, std::string(0x280000, 'n'));
  }
  // The copy onto a destination holding "old": on failure it must hold that
  // still, and no temporary may be left either way.
  int CopyOntoOld() {
    testing_support::WriteTextFile(dest_, "old");
    fs::remove(LogFile("general.log"));
    int result = ByteLevelFileCopy(source_.c_str(), dest_.c_str());
    for (const auto& entry : fs::directory_iterator(LogFile(""))) EXPECT_NE(entry.path().extension(), ".blcpy");
    EXPECT_EQ(fs::file_size(dest_), result == 1 ? 0x280000u : 3u);
    return result;
  }
  std::string Log() { return fs::exists(LogFile("general.log")) ? ReadTextFile(LogFile("general.log")) : ""; }

  std::string source_ = LogFile("source.bin"), dest_ = LogFile("dest.txt");
};

TEST_F(FileFaults, CopyOntoADestinationHeldWithoutSharingLeavesItWhole) {
  HANDLE held = platform::CreateFileA(dest_.c_str(), GENERIC_READ, FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
  EXPECT_EQ(CopyOntoOld(), -1);
  EXPECT_NE(Log().find("[ByteLevelFileCopy]: Failed to rename dest file!"), std::string::npos) << Log();
  platform::CloseHandle(held);
}

#ifndef _WIN32
using platform::posix::ArmFault;
using platform::posix::DisarmFaults;
using platform::posix::Fault;
using platform::posix::FaultsMade;
using Call = platform::posix::SystemCall;

// Each call of each kind fails once in turn; the failures the copy cannot
// go around are logged with the disk's error.
TEST_F(FileFaults, ACopyFailingAtAnyStepLeavesTheOldDestination) {
  std::string failures;
  for (auto [call, fault] : {std::pair{Call::kOpen, Fault::kDiskFull}, {Call::kWrite, Fault::kDiskFull},
                             {Call::kRename, Fault::kDiskFull}, {Call::kRead, Fault::kDeviceError}}) {
    for (unsigned nth = 1;; ++nth) {
      ArmFault(call, nth, fault);
      int result = CopyOntoOld();
      const bool made = FaultsMade(call) != 0;
      DisarmFaults();
      if (!made) break;
      EXPECT_EQ(result == -1, Log().find("[ByteLevelFileCopy]: Failed") != std::string::npos) << nth << Log();
      failures += result == -1 ? Log() : "";
    }
  }
  for (const char* step : {"Failed to copy from source to NewDest!", "Failed to rename dest file!", "error = 112.",
                           "Failed to rename NewDest to dest!"}) {
    EXPECT_NE(failures.find(step), std::string::npos) << step;
  }
}

TEST_F(FileFaults, AChildArmedThroughTheEnvironmentFailsAsArmed) {
  setenv("OVPB_FAULTS", "fsync:1:EIO,rename:1:ENOSPC", 1);
  testing_support::WriteTextFile(dest_, "old");
  testing_support::HelperProcess child({"copy", source_, dest_});
  unsetenv("OVPB_FAULTS");
  EXPECT_EQ(child.ReadLine(), "copying");
  EXPECT_EQ(child.ReadLine(), "-1");
  EXPECT_EQ(ReadTextFile(dest_), "old");
}

// After each entry the file is read back: the entry lies whole where the
// header stood, and the marker where it now points.
TEST_F(FileFaults, RingLogEntriesStayWholeUnderInterruptedAndShortWrites) {
  const std::string ring = LogFile("ring.log"), marker = "*++++++++++++++++++++++++End of Log";
  for (int i = 0; i < 40; ++i) {
    std::string entry = "entry " + std::to_string(i) + std::string(i * 7 % 90, '.') + "\r\n";
    long at = fs::exists(ring) ? std::stol(ReadTextFile(ring).substr(0, 10)) : 10;
    ArmFault(Call::kWrite, 1 + i / 2 % 2, i % 2 ? Fault::kShortWrite : Fault::kInterrupted, i % 2 ? UINT_MAX : 2);
    ArmFault(Call::kRead, 1, Fault::kInterrupted);
    ASSERT_EQ(DoWriteLog(ring.c_str(), entry.c_str(), 700), 1);
    EXPECT_GT(FaultsMade(Call::kWrite), 0u);
    DisarmFaults();
    std::string bytes = ReadTextFile(ring);
    EXPECT_EQ(bytes.substr(at, entry.size()), entry) << i;
    EXPECT_EQ(bytes.substr(std::stol(bytes.substr(0, 10)), marker.size()), marker) << i;
  }
}

// A profile read in part would give some keys and lose others silently.
TEST_F(FileFaults, ProfileUnreadableToItsEndGivesTheDefaults) {
  const std::string file = LogFile("faults.ini");
  testing_support::WriteTextFile(file, "[s]\r\nkey=value\r\nn=5\r\n" + std::string(5000, ';') + "\r\n");
  char text[16];
  for (auto [call, nth] : {std::pair{Call::kOpen, 1u}, {Call::kRead, 1u}, {Call::kRead, 2u}}) {
    ArmFault(call, nth, Fault::kDeviceError);
    EXPECT_EQ(platform::GetPrivateProfileStringA("s", "key", "dflt", text, sizeof text, file.c_str()), 4u);
    EXPECT_STREQ(text, "dflt");
    ArmFault(call, nth, Fault::kDeviceError);
    EXPECT_EQ(platform::GetPrivateProfileIntA("s", "n", 7, file.c_str()), 7u);
    EXPECT_EQ(FaultsMade(call), 1u);
    DisarmFaults();
  }
  EXPECT_EQ(platform::GetPrivateProfileIntA("s", "n", 7, file.c_str()), 5u);
}

TEST_F(FileFaults, ExistenceTestsUnderDeviceErrorsAnswerNotThere) {
  for (Call call : {Call::kLookUp, Call::kOpen, Call::kRead}) ArmFault(call, 1, Fault::kDeviceError, UINT_MAX);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(file_exist(source_.c_str()) + OVFileDirectoryExists(source_.c_str()), 0);
  EXPECT_EQ(file_exist_with_timeout(source_.c_str()), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
  EXPECT_GT(FaultsMade(Call::kLookUp), 0u);
  DisarmFaults();
  EXPECT_EQ(file_exist(source_.c_str()) + OVFileDirectoryExists(source_.c_str()), 2);
}
#endif

}  // namespace
