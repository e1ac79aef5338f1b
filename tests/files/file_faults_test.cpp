#ifndef _WIN32
#include <gtest/gtest.h>

#include <chrono>

#include "log/log_test_support.h"
#include "ovpb32.h"
#include "platform/posix/fault_injection.h"
#include "platform/profile.h"
#include "support/helper_process.h"

namespace {

namespace fs = std::filesystem;
using namespace platform::posix;  // NOLINT: the seam's few names
using testing_support::ReadTextFile, testing_support::WriteTextFile;
using Call = SystemCall;

class FileFaults : public log_testing::LogTest {
 protected:
  void SetUp() override {
    Configure("GeneralLogging=1\r\n");
    SetLogPath(LogFile("general.log").c_str());
    WriteTextFile(source_, std::string(0x280000, 'n'));
  }
  // On failure the destination holds "old" still, with a log entry; no temporary is left.
  int CopyOntoOld() {
    WriteTextFile(dest_, "old");
    fs::remove(LogFile("general.log"));
    int result = ByteLevelFileCopy(source_.c_str(), dest_.c_str());
    for (const auto& entry : fs::directory_iterator(LogFile(""))) EXPECT_NE(entry.path().extension(), ".blcpy");
    EXPECT_EQ(fs::file_size(dest_), result == 1 ? 0x280000u : 3u);
    log_ = fs::exists(LogFile("general.log")) ? ReadTextFile(LogFile("general.log")) : "";
    EXPECT_EQ(result == -1, log_.find("[ByteLevelFileCopy]: Failed") != std::string::npos) << log_;
    return result;
  }
  std::string source_ = LogFile("source.bin"), dest_ = LogFile("dest.txt"), log_;
};

// Each call of each kind fails once in turn; what the copy cannot go around
// is logged with the disk's error.
TEST_F(FileFaults, ACopyFailingAtAnyStepLeavesTheOldDestination) {
  std::string failures;
  for (auto [call, fault] : {std::pair{Call::kOpen, Fault::kDiskFull}, {Call::kWrite, Fault::kDiskFull},
                             {Call::kRename, Fault::kDiskFull}, {Call::kRead, Fault::kDeviceError}}) {
    for (unsigned nth = 1; ArmFault(call, nth, fault), CopyOntoOld(), FaultsMade(call) != 0; ++nth) failures += log_;
    DisarmFaults();
  }
  for (const char* step : {"copy from source to NewDest!", "rename dest file!", "= 112.", "rename NewDest to dest!"}) {
    EXPECT_NE(failures.find(step), std::string::npos) << step;
  }
}

TEST_F(FileFaults, AChildArmedThroughTheEnvironmentFailsAsArmed) {
  setenv("OVPB_FAULTS", "fsync:1:EIO,rename:1:ENOSPC", 1);
  WriteTextFile(dest_, "old");
  testing_support::HelperProcess child({"copy", source_, dest_});
  unsetenv("OVPB_FAULTS");
  EXPECT_EQ(child.ReadLine(), "copying");
  EXPECT_EQ(child.ReadLine(), "-1");
  EXPECT_EQ(ReadTextFile(dest_), "old");
}

// Read back after each entry: the entry lies whole where the header stood,
// and the marker where it now points.
TEST_F(FileFaults, RingLogEntriesStayWholeUnderInterruptedAndShortWrites) {
  const std::string ring = LogFile("ring.log");
  for (int i = 0, at = 10; i < 40; ++i) {
    std::string entry = "entry " + std::to_string(i) + std::string(i * 7 % 90, '.') + "\r\n";
    ArmFault(Call::kWrite, 1 + i / 2 % 2, i % 2 ? Fault::kShortWrite : Fault::kInterrupted, i % 2 ? UINT_MAX : 2);
    ArmFault(Call::kRead, 1, Fault::kInterrupted);
    ASSERT_EQ(DoWriteLog(ring.c_str(), entry.c_str(), 700), 1);
    EXPECT_GT(FaultsMade(Call::kWrite), 0u);
    DisarmFaults();
    const std::string bytes = ReadTextFile(ring);
    const int next = std::stoi(bytes.substr(0, 10));
    EXPECT_EQ(bytes.substr(at, entry.size()) + bytes.substr(next, 12), entry + "*+++++++++++") << i;
    at = next;
  }
}

// A profile read in part would give some keys and lose others silently.
TEST_F(FileFaults, ProfileUnreadableToItsEndGivesTheDefaults) {
  const std::string file = LogFile("faults.ini");
  WriteTextFile(file, "[s]\r\nkey=value\r\n" + std::string(5000, ';') + "\r\n");
  char text[16];
  for (auto [call, nth, expected] : {std::tuple{Call::kOpen, 1u, "dflt"}, {Call::kRead, 1u, "dflt"},
                                    {Call::kRead, 2u, "dflt"}, {Call::kFsync, 1u, "value"}}) {
    ArmFault(call, nth, Fault::kDeviceError);
    platform::GetPrivateProfileStringA("s", "key", "dflt", text, sizeof text, file.c_str());
    EXPECT_STREQ(text, expected);
    DisarmFaults();
  }
}

TEST_F(FileFaults, ExistenceTestsUnderDeviceErrorsAnswerNotThere) {
  for (Call call : {Call::kLookUp, Call::kOpen, Call::kRead}) ArmFault(call, 1, Fault::kDeviceError, UINT_MAX);
  const auto start = std::chrono::steady_clock::now();
  const char* path = source_.c_str();
  EXPECT_EQ(file_exist(path) + OVFileDirectoryExists(path) + file_exist_with_timeout(path), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
  EXPECT_GT(FaultsMade(Call::kLookUp), 0u);
  DisarmFaults();
  EXPECT_EQ(file_exist(path) + OVFileDirectoryExists(path), 2);
}
}  // namespace
#endif
