#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "log/log_test_support.h"
#include "ovpb32.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "support/helper_process.h"
#include "support/test_support.h"
#ifndef _WIN32
#include "platform/posix/fault_injection.h"
#endif

namespace {

namespace fs = std::filesystem;
using testing_support::HelperProcess;
using testing_support::ReadTextFile;
using testing_support::WriteTextFile;

constexpr size_t kBlock = 0x100000;

// Bytes that tell their offset, their block's number and which content they
// belong to, so a misplaced, missing or foreign block shows.
std::string Pattern(size_t size, unsigned seed, size_t offset = 0) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + seed + i / 4093) & 0xFF);
  std::memcpy(&bytes[0], &offset, std::min(sizeof offset, size));
  return bytes;
}

std::vector<fs::path> Temporaries(const fs::path& folder) {
  std::vector<fs::path> found;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() == ".blcpy") found.push_back(entry.path());
  }
  return found;
}

class ByteLevelCopy : public log_testing::LogTest {
 protected:
  void SetUp() override {
    LogTest::SetUp();
    Configure("GeneralLogging=1\r\n");
    SetLogPath(LogFile("general.log").c_str());
    fs::create_directory(work_);
  }
  std::string In(const std::string& name) const { return (work_ / name).string(); }
  int Copy(const std::string& from, const std::string& to) { return ByteLevelFileCopy(from.c_str(), to.c_str()); }
  std::string Log() const {
    return fs::exists(LogFile("general.log")) ? ReadTextFile(LogFile("general.log")) : std::string();
  }
  // The copy's one entry in the log reads `start`, a temporary's name of 22
  // characters, then `end`; the log starts afresh.
  void ExpectEntry(const std::string& start, const std::string& end) {
    const std::string log = Log(), component = "[ByteLevelFileCopy]: ";
    fs::remove(LogFile("general.log"));
    const size_t at = log.find(component);
    ASSERT_NE(at, std::string::npos) << "no entry";
    EXPECT_EQ(log.find(component, at + 1), std::string::npos) << "more than one entry: " << log;
    const std::string entry = log.substr(at + component.size(), log.find("\r\n", at) - at - component.size());
    EXPECT_EQ(entry.substr(0, start.size()) + "|" + entry.substr(std::min(entry.size(), start.size() + 22)),
              start + "|" + end);
  }
  std::unique_ptr<HelperProcess> Holding(const std::string& file, const char* access, DWORD share) {
    auto helper = std::make_unique<HelperProcess>(std::vector<std::string>{"hold", In(file), access, std::to_string(share)});
    EXPECT_EQ(helper->ReadLine(), "held");
    return helper;
  }

  fs::path work_ = dir_ / "work";
};

TEST_F(ByteLevelCopy, CopiesWholeOntoNewAndExistingDestinationsAsNewFiles) {
  for (size_t size : {size_t{0}, kBlock - 1, kBlock, 3 * kBlock + 17}) {
    SCOPED_TRACE(size);
    const std::string content = Pattern(size, 7);
    WriteTextFile(work_ / "source", content);
    fs::remove(work_ / "dest");
    EXPECT_EQ(Copy(In("source"), In("dest")), 1);
    EXPECT_TRUE(ReadTextFile(work_ / "dest") == content);
    WriteTextFile(work_ / "dest", Pattern(size + kBlock / 2 + 3, 99));  // longer: nothing of it may remain
    EXPECT_EQ(Copy(In("source"), In("dest")), 1);
    EXPECT_TRUE(ReadTextFile(work_ / "dest") == content);
    EXPECT_TRUE(Temporaries(work_).empty());
  }
  // The destination is a new file, not the source's facts.
  ASSERT_TRUE(platform::SetFileAttributesA(In("source").c_str(), FILE_ATTRIBUTE_READONLY));
  auto old = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
  fs::last_write_time(work_ / "source", old);
  EXPECT_EQ(Copy(In("source"), In("dest")), 1);
  EXPECT_EQ(platform::GetFileAttributesA(In("dest").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_GT(fs::last_write_time(work_ / "dest"), old + std::chrono::hours(24));
  platform::SetFileAttributesA(In("source").c_str(), FILE_ATTRIBUTE_NORMAL);
  // A relative destination has its temporaries in the current directory.
  const fs::path previous = fs::current_path();
  fs::current_path(work_);
  WriteTextFile(work_ / "source", "relative");
  const int relative = Copy("source", "dest");
  fs::current_path(previous);
  EXPECT_EQ(relative, 1);
  EXPECT_EQ(ReadTextFile(work_ / "dest"), "relative");
  EXPECT_TRUE(Temporaries(work_).empty());
  EXPECT_EQ(Log(), "") << "a successful copy logs nothing";
}

TEST_F(ByteLevelCopy, FailuresLeaveTheOldDestinationAndSayWhy) {
  const std::string notCopied = "Failed to copy from source to NewDest! source = '";
  WriteTextFile(work_ / "dest", "old");
  EXPECT_EQ(Copy(In("absent"), In("dest")), -1);
  ExpectEntry(notCopied + In("absent") + "', NewDest = '" + In(""), ".blcpy'.");
  WriteTextFile(work_ / "source", "new");
  const std::string missing = In("no-such-folder") + static_cast<char>(fs::path::preferred_separator);
  EXPECT_EQ(Copy(In("source"), missing + "dest"), -1);
  ExpectEntry(notCopied + In("source") + "', NewDest = '" + missing, ".blcpy'.");
  EXPECT_FALSE(fs::exists(work_ / "no-such-folder"));
  // Paths beyond the buffers fail without touching anything or logging.
  const std::string tooLong = In("") + std::string(260, 'x');
  EXPECT_EQ(Copy(tooLong, In("dest")) + Copy(In("source"), tooLong), -2);
  EXPECT_EQ(ByteLevelFileCopy(nullptr, In("dest").c_str()), -1);
  EXPECT_EQ(Log(), "");
  const DWORD readWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;
  {
    auto locker = Holding("source", "r", 0);  // shared with nobody: cannot be read
    EXPECT_EQ(Copy(In("source"), In("dest")), -1);
    ExpectEntry(notCopied + In("source") + "', NewDest = '" + In(""), ".blcpy'.");
  }
  {
    auto holder = Holding("dest", "r", readWrite);
    EXPECT_EQ(Copy(In("source"), In("dest")), -1);
    ExpectEntry("Failed to rename dest file! dest = '" + In("dest") + "', DestRenamed = '" + In(""),
                ".blcpy', error = 32.");
  }
  EXPECT_EQ(ReadTextFile(work_ / "dest"), "old");
  EXPECT_TRUE(Temporaries(work_).empty()) << "NewDest must be removed";
  auto writer = Holding("source", "w", readWrite);
  EXPECT_EQ(Copy(In("source"), In("dest")), 1);  // read alongside its writer
  EXPECT_EQ(ReadTextFile(work_ / "dest"), "new");
  // Long destination folders are refused, or fail to name their temporaries.
  auto folderOfLength = [&](size_t length) {  // drive, directory and final separator
    return In("") + std::string(length - In("").size() - 1, 'd') + static_cast<char>(fs::path::preferred_separator);
  };
  // 231 + a GUID text of 22 + ".blcpy" is 259 characters: the longest name that fits.
  const std::string fits = folderOfLength(231), folder = folderOfLength(232), refused = folderOfLength(236);
  fs::create_directories(fits);
  fs::create_directories(refused);
  EXPECT_EQ(Copy(In("source"), fits + "d"), 1);
  EXPECT_EQ(ReadTextFile(fits + "d"), "new");
  EXPECT_EQ(Copy(In("source"), folder + "d"), -1);
  const std::string drive = folder[1] == ':' ? folder.substr(0, 2) : std::string();
  ExpectEntry("Failed to create a temp destination file name '",
              ".blcpy' on drive '" + drive + "', in directory = '" + folder.substr(drive.size()) + "'.");
  EXPECT_EQ(Copy(In("source"), refused + "d"), -1);
  EXPECT_EQ(Log(), "");
  EXPECT_TRUE(fs::is_empty(refused));
}

#if defined(_WIN32) || defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr size_t kCrashSourceSize = 32u << 20;  // the slow builds copy less
#else
constexpr size_t kCrashSourceSize = 200u << 20;
#endif
constexpr size_t kCrashOldSize = kBlock + 4321;
constexpr unsigned kNewSeed = 1, kOldSeed = 2;

void WritePattern(const fs::path& file, size_t size, unsigned seed) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  for (size_t done = 0; done < size; done += kBlock) {
    const std::string block = Pattern(std::min(kBlock, size - done), seed, done);
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
  }
}

// True when the file holds exactly what WritePattern(size, seed) wrote,
// judged by its size and its first, last and every 7th block.
bool HoldsPattern(const fs::path& file, size_t size, unsigned seed) {
  std::error_code error;
  if (fs::file_size(file, error) != size || error) return false;
  std::ifstream in(file, std::ios::binary);
  for (size_t done = 0; done < size; done += kBlock) {
    if (done / kBlock % 7 != 0 && done + kBlock < size) continue;
    const std::string expected = Pattern(std::min(kBlock, size - done), seed, done);
    std::string actual(expected.size(), '\0');
    in.seekg(static_cast<std::streamoff>(done));
    in.read(&actual[0], static_cast<std::streamsize>(actual.size()));
    if (!in || actual != expected) return false;
  }
  return true;
}

TEST_F(ByteLevelCopy, KilledCopyLeavesTheOldOrTheWholeNewContent) {
  const fs::path source = work_ / "source", dest = work_ / "dest";
  WritePattern(source, kCrashSourceSize, kNewSeed);
  // Whole copies in the child measure how long the copy takes there; the
  // faster of two, as the first may still share the disk with the writing
  // of the source.
  auto duration = std::chrono::microseconds::max();
  for (int run = 0; run < 2; ++run) {
    WritePattern(dest, kCrashOldSize, kOldSeed);
    HelperProcess timed({"copy", source.string(), dest.string()});
    ASSERT_EQ(timed.ReadLine(), "copying");
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(timed.ReadLine(), "1");
    duration = std::min(duration, std::chrono::duration_cast<std::chrono::microseconds>(
                                      std::chrono::steady_clock::now() - started));
    timed.Finish();
    ASSERT_TRUE(HoldsPattern(dest, kCrashSourceSize, kNewSeed));
  }
  std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<long long> moment(0, duration.count());
  int keptOld = 0;
  for (int trial = 0; trial < 20; ++trial) {
    SCOPED_TRACE(trial);
    WritePattern(dest, kCrashOldSize, kOldSeed);
    HelperProcess child({"copy", source.string(), dest.string()});
    ASSERT_EQ(child.ReadLine(), "copying");
    std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
    child.Kill();
    const bool finished = child.ReadLine() == "1";
    if (HoldsPattern(dest, kCrashOldSize, kOldSeed)) {
      EXPECT_FALSE(finished);
      ++keptOld;
    } else if (!HoldsPattern(dest, kCrashSourceSize, kNewSeed)) {
      // Killed between parking the old destination and renaming the copy
      // into place: both contents must be whole under their temporary names.
      ASSERT_FALSE(fs::exists(dest)) << "the destination holds neither content";
      const std::vector<fs::path> parked = Temporaries(work_);
      ASSERT_EQ(parked.size(), 2u);
      const bool oldFirst = HoldsPattern(parked[0], kCrashOldSize, kOldSeed);
      EXPECT_TRUE(HoldsPattern(parked[oldFirst ? 0 : 1], kCrashOldSize, kOldSeed));
      EXPECT_TRUE(HoldsPattern(parked[oldFirst ? 1 : 0], kCrashSourceSize, kNewSeed));
    }
    for (const fs::path& leftover : Temporaries(work_)) fs::remove(leftover);
  }
  EXPECT_GT(keptOld, 0) << "no kill landed while copying";
}

#ifndef _WIN32
// Faults made under the files through the POSIX layer's system-call seam.
using namespace platform::posix;  // NOLINT: the seam's few names
using Call = SystemCall;

class FileFaults : public ByteLevelCopy {
 protected:
  void SetUp() override {
    ByteLevelCopy::SetUp();
    WriteTextFile(work_ / "source", std::string(0x280000, 'n'));
  }
  // On failure the destination holds "old" still, with a log entry; no temporary is left.
  int CopyOntoOld() {
    WriteTextFile(work_ / "dest", "old");
    fs::remove(LogFile("general.log"));
    const int result = Copy(In("source"), In("dest"));
    EXPECT_TRUE(Temporaries(work_).empty());
    EXPECT_EQ(fs::file_size(work_ / "dest"), result == 1 ? 0x280000u : 3u);
    log_ = Log();
    EXPECT_EQ(result == -1, log_.find("[ByteLevelFileCopy]: Failed") != std::string::npos) << log_;
    return result;
  }
  std::string log_;
};

// Each call of each kind fails once in turn; what the copy cannot go around
// is logged with the disk's error. A child takes its faults from the
// environment.
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
  setenv("OVPB_FAULTS", "fsync:1:EIO,rename:1:ENOSPC", 1);
  WriteTextFile(work_ / "dest", "old");
  HelperProcess child({"copy", In("source"), In("dest")});
  unsetenv("OVPB_FAULTS");
  EXPECT_EQ(child.ReadLine(), "copying");
  EXPECT_EQ(child.ReadLine(), "-1");
  EXPECT_EQ(ReadTextFile(work_ / "dest"), "old");
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
  const std::string source = In("source");
  const char* path = source.c_str();
  EXPECT_EQ(file_exist(path) + OVFileDirectoryExists(path) + file_exist_with_timeout(path), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
  EXPECT_GT(FaultsMade(Call::kLookUp), 0u);
  DisarmFaults();
  EXPECT_EQ(file_exist(path) + OVFileDirectoryExists(path), 2);
}
#endif

}  // namespace
