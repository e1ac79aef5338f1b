// Files under faults: a byte-level copy whose destination cannot be parked,
// on both builds; on Linux, faults made under the POSIX layer at every step.

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <string>

#include "log/log_test_support.h"
#include "ovpb32.h"
#include "platform/files.h"
#include "platform/profile.h"
#ifndef _WIN32
#include "platform/posix/fault_injection.h"
#endif

namespace {

namespace fs = std::filesystem;
using testing_support::ReadTextFile;
using testing_support::WriteTextFile;

class FileFaults : public log_testing::LogTest {
 protected:
  void SetUp() override {
    LogTest::SetUp();
    Configure("GeneralLogging=1\r\n");
    SetLogPath(LogFile("general.log").c_str());
    WriteTextFile(source_, std::string(0x280000, 'n'));
  }

  // Runs the copy onto a destination holding "old"; what is left is checked.
  int CopyOntoOld() {
    WriteTextFile(dest_, "old");
    fs::remove(LogFile("general.log"));
    int result = ByteLevelFileCopy(source_.c_str(), dest_.c_str());
    ExpectNoTemporaries();
    EXPECT_EQ(ReadTextFile(dest_).size(), result == 1 ? 0x280000u : 3u);
    return result;
  }

  void ExpectNoTemporaries() {
    for (const auto& entry : fs::directory_iterator(LogFile(""))) EXPECT_NE(entry.path().extension(), ".blcpy");
  }

  std::string Log() { return fs::exists(LogFile("general.log")) ? ReadTextFile(LogFile("general.log")) : ""; }

  std::string source_ = LogFile("source.bin"), dest_ = LogFile("dest.txt");
};

TEST_F(FileFaults, CopyOntoADestinationHeldWithoutSharingLeavesItWhole) {
  HANDLE held = platform::CreateFileA(dest_.c_str(), GENERIC_READ, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ByteLevelFileCopy(source_.c_str(), dest_.c_str()), -1);
  EXPECT_NE(Log().find("[ByteLevelFileCopy]: Failed to rename dest file!"), std::string::npos) << Log();
  platform::CloseHandle(held);
  EXPECT_EQ(fs::file_size(dest_), 0u);
  ExpectNoTemporaries();
}

#ifndef _WIN32
using platform::posix::ArmFault;
using platform::posix::Fault;
using platform::posix::FaultsMade;
using platform::posix::SystemCall;

// Each call of each kind the copy makes fails once in turn; the failures the
// copy cannot go around show in the log with the disk's error.
TEST_F(FileFaults, ACopyFailingAtAnyStepLeavesTheOldDestination) {
  std::string failures;
  for (auto [call, fault] : {std::pair{SystemCall::kOpen, Fault::kDiskFull}, {SystemCall::kWrite, Fault::kDiskFull},
                             {SystemCall::kRename, Fault::kDiskFull}, {SystemCall::kRead, Fault::kDeviceError}}) {
    for (unsigned nth = 1;; ++nth) {
      ArmFault(call, nth, fault);
      int result = CopyOntoOld();
      bool made = FaultsMade(call) != 0;
      platform::posix::DisarmFaults();
      if (!made) break;
      EXPECT_EQ(result == -1, Log().find("[ByteLevelFileCopy]: Failed") != std::string::npos) << nth << Log();
      if (result == -1) failures += Log();
    }
  }
  EXPECT_NE(failures.find("Failed to copy from source to NewDest!"), std::string::npos);
  EXPECT_NE(failures.find("Failed to rename dest file! dest = '" + dest_), std::string::npos);
  EXPECT_NE(failures.find("', error = 112."), std::string::npos);
  EXPECT_NE(failures.find("Failed to rename NewDest to dest!"), std::string::npos);
}

// After each entry, read back: the entry lies whole where the header stood,
// and the marker where the header now points.
TEST_F(FileFaults, RingLogEntriesStayWholeUnderInterruptedAndShortWrites) {
  const std::string ring = LogFile("ring.log"), marker = "*++++++++++++++++++++++++End of Log";
  for (int i = 0; i < 40; ++i) {
    std::string entry = "entry " + std::to_string(i) + std::string(i * 7 % 90, '.') + "\r\n";
    long at = fs::exists(ring) ? std::stol(ReadTextFile(ring).substr(0, 10)) : 10;
    if (i % 2) ArmFault(SystemCall::kWrite, 1, Fault::kShortWrite, UINT_MAX);
    else ArmFault(SystemCall::kWrite, 1 + i / 2 % 2, Fault::kInterrupted, 2), ArmFault(SystemCall::kRead, 1, Fault::kInterrupted);
    ASSERT_EQ(DoWriteLog(ring.c_str(), entry.c_str(), 700), 1);
    EXPECT_GT(FaultsMade(SystemCall::kWrite), 0u);
    platform::posix::DisarmFaults();
    std::string bytes = ReadTextFile(ring);
    EXPECT_EQ(bytes.substr(at, entry.size()), entry) << i;
    EXPECT_EQ(bytes.substr(std::stol(bytes.substr(0, 10)), marker.size()), marker) << i;
  }
}

TEST_F(FileFaults, ProfileUnreadableToItsEndGivesTheDefaults) {
  const std::string file = LogFile("faults.ini");
  WriteTextFile(file, "[s]\r\nkey=value\r\nn=5\r\n" + std::string(5000, ';') + "\r\n");
  char text[16];
  for (auto [call, nth] : {std::pair{SystemCall::kOpen, 1u}, {SystemCall::kRead, 1u}, {SystemCall::kRead, 2u}}) {
    ArmFault(call, nth, Fault::kDeviceError);
    EXPECT_EQ(platform::GetPrivateProfileStringA("s", "key", "dflt", text, sizeof text, file.c_str()), 4u);
    EXPECT_STREQ(text, "dflt");
    ArmFault(call, nth, Fault::kDeviceError);
    EXPECT_EQ(platform::GetPrivateProfileIntA("s", "n", 7, file.c_str()), 7u);
    EXPECT_EQ(FaultsMade(call), 1u);
    platform::posix::DisarmFaults();
  }
  EXPECT_EQ(platform::GetPrivateProfileIntA("s", "n", 7, file.c_str()), 5u);
}

TEST_F(FileFaults, ExistenceTestsUnderDeviceErrorsAnswerNotThere) {
  for (SystemCall call : {SystemCall::kLookUp, SystemCall::kOpen, SystemCall::kRead}) {
    ArmFault(call, 1, Fault::kDeviceError, UINT_MAX);
  }
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(file_exist(source_.c_str()), 0);
  EXPECT_EQ(OVFileDirectoryExists(source_.c_str()), 0);
  EXPECT_EQ(file_exist_with_timeout(source_.c_str()), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
  EXPECT_GT(FaultsMade(SystemCall::kLookUp), 0u);
  platform::posix::DisarmFaults();
  EXPECT_EQ(file_exist(source_.c_str()) + OVFileDirectoryExists(source_.c_str()), 2);
}
#endif

}  // namespace
