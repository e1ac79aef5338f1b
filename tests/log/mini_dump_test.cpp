// The dump on request: its switch, file name, comment stream and steps, on
// both builds (the real debugging library, or a recording stand-in for its
// writer, through the library look-up seam).

#include <atomic>
#include <chrono>
#include <cstring>
#include <ctime>
#include <thread>

#include "log_test_support.h"
#include "ovpb32.h"
#include "platform/debug_help.h"
#include "platform/files.h"
#include "platform/library.h"
#include "platform/process.h"
#include "support/mini_dump_reader.h"
#ifndef _WIN32
#include "platform/posix/drives.h"
#endif

namespace {

namespace fs = std::filesystem;
using testing_support::MiniDumpReader;

// What the stand-in writer was called with.
struct WriterCall {
  int calls = 0;
  HANDLE process = nullptr, file = nullptr;
  DWORD processId = 0, type = 0;
  bool exception = false, callback = false;
};
WriterCall recorded;
BOOL standInAnswer = TRUE;

BOOL WINAPI RecordingWriter(HANDLE process, DWORD processId, HANDLE file, MINIDUMP_TYPE type,
                            MINIDUMP_EXCEPTION_INFORMATION* exception, MINIDUMP_USER_STREAM_INFORMATION*,
                            MINIDUMP_CALLBACK_INFORMATION* callback) {
  recorded = {recorded.calls + 1, process, file, processId, static_cast<DWORD>(type), exception != nullptr,
              callback != nullptr};
  DWORD written = 0;
  platform::WriteFile(file, "MDMP", 4, &written, nullptr);
  return standInAnswer;
}

class RecordingSeam : public platform::LibrarySeam {
 public:
  bool OnLoad(const char* fileName) override {
    loads.push_back(fileName);
    if (!hideLibrary) ++granted;
    return !hideLibrary;
  }
  platform::ProcAddress OnLookup(const char* procName, platform::ProcAddress found) override {
    if (!standIn || std::strcmp(procName, "MiniDumpWriteDump") != 0) return found;
    return reinterpret_cast<platform::ProcAddress>(&RecordingWriter);
  }
  void OnFree(HMODULE) override { ++frees; }

  std::vector<std::string> loads;
  int granted = 0;
  int frees = 0;
  bool hideLibrary = false;
  bool standIn = false;
};

class MiniDump : public log_testing::LogTest {
 protected:
  void SetUp() override {
    LogTest::SetUp();
#ifdef _WIN32
    driveC_ = "C:\\";
#else
    driveC_ = dir_.path() / "c";
    fs::create_directory(driveC_);
    platform::posix::DriveTable::Instance().Load("C:=" + driveC_.string());
#endif
    RemoveDumps();
    recorded = {};
    standInAnswer = TRUE;
    platform::ActiveLibrarySeam().store(&seam_);
  }
  void TearDown() override {
    platform::ActiveLibrarySeam().store(nullptr);
    RemoveDumps();
#ifndef _WIN32
    platform::posix::DriveTable::Instance().LoadFromEnvironment();
#endif
    LogTest::TearDown();
  }

  std::vector<fs::path> Dumps() const {
    std::vector<fs::path> dumps;
    for (const auto& entry : fs::directory_iterator(driveC_)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind("orvanta_", 0) == 0 && name.size() > 4 && name.substr(name.size() - 4) == ".dmp") {
        dumps.push_back(entry.path());
      }
    }
    return dumps;
  }
  void RemoveDumps() {
    std::error_code ignored;
    for (const fs::path& dump : Dumps()) fs::remove(dump, ignored);
  }
  // The configuration file as it is, without forgetting what was read.
  void WriteConfig(const std::string& lines) { testing_support::WriteTextFile(ConfigFile(), "[VERSION]\r\n" + lines); }
  bool LoadedDebugHelp() const {
    for (const std::string& load : seam_.loads) {
      if (load == "dbghelp.dll") return true;
    }
    return false;
  }

  fs::path driveC_;
  RecordingSeam seam_;
};

std::string DumpName(time_t time) {
  char name[40];
  tm utc = *std::gmtime(&time);
  std::strftime(name, sizeof name, "orvanta_%Y%m%d%H%M%S.dmp", &utc);
  return name;
}

TEST_F(MiniDump, OnlyANonEmptyValueSwitchesItOnReadAtEveryCall) {
  const struct {
    const char* config;
    bool dumps;
  } kCases[] = {
      {"", false}, {"GenerateMiniDump=\r\n", false}, {"GenerateMiniDump=   \r\n", false},
      {"GenerateMiniDump=\"\"\r\n", false}, {"GenerateMiniDump=0\r\n", true}, {"GenerateMiniDump=no\r\n", true},
  };
  seam_.standIn = true;
  for (const auto& c : kCases) {
    WriteConfig(c.config);
    seam_.loads.clear();
    OvSaveMiniDump(nullptr, FALSE);
    EXPECT_EQ(LoadedDebugHelp(), c.dumps) << c.config;
    EXPECT_EQ(Dumps().size(), c.dumps ? 1u : 0u) << c.config;
    RemoveDumps();
  }
}

TEST_F(MiniDump, NamedByTheUtcSecondInDriveCWithTheCommentAsItsOwnStream) {
  WriteConfig("GenerateMiniDump=1\r\n");
  const struct {
    const char* comment;
    std::vector<std::string> streams;
  } kCases[] = {{"abc", {"abc"}}, {"", {""}}, {nullptr, {}}};
  for (const auto& c : kCases) {
    const time_t before = std::time(nullptr);
    OvSaveMiniDump(c.comment, FALSE);
    const time_t after = std::time(nullptr);
    std::vector<fs::path> dumps = Dumps();
    ASSERT_EQ(dumps.size(), 1u);
    const std::string name = dumps[0].filename().string();
    EXPECT_TRUE(name == DumpName(before) || name == DumpName(after)) << name;
    MiniDumpReader dump(dumps[0]);
    EXPECT_TRUE(dump.complete());
    EXPECT_EQ(dump.Streams(platform::kCommentStreamA), c.streams);
    RemoveDumps();
  }
}

TEST_F(MiniDump, PassesTheProcessTheCreatedFileAndTheTypeToTheWriter) {
  WriteConfig("GenerateMiniDump=1\r\n");
  seam_.standIn = true;
  for (BOOL full : {TRUE, FALSE}) {
    OvSaveMiniDump("x", full);
    EXPECT_EQ(recorded.process, platform::GetCurrentProcess());
    EXPECT_EQ(recorded.processId, platform::GetCurrentProcessId());
    EXPECT_EQ(recorded.type, full ? 6u : 0x54u);
    EXPECT_FALSE(recorded.exception);
    EXPECT_FALSE(recorded.callback);
    std::vector<fs::path> dumps = Dumps();
    ASSERT_EQ(dumps.size(), 1u);
    EXPECT_EQ(testing_support::ReadTextFile(dumps[0]), "MDMP");  // what the writer wrote into its handle
    RemoveDumps();
  }
  EXPECT_EQ(recorded.calls, 2);
  EXPECT_EQ(seam_.frees, 2);
}

TEST_F(MiniDump, EveryFailureLeavesNoFileAndFreesTheLibrary) {
  WriteConfig("GenerateMiniDump=1\r\n");
  seam_.standIn = true;
  standInAnswer = FALSE;
  OvSaveMiniDump("x", TRUE);
  EXPECT_EQ(recorded.calls, 1);
  EXPECT_TRUE(Dumps().empty());
  EXPECT_EQ(seam_.frees, 1);

  seam_.hideLibrary = true;
  OvSaveMiniDump("x", TRUE);
  EXPECT_EQ(recorded.calls, 1);
  EXPECT_TRUE(Dumps().empty());
  seam_.hideLibrary = false;

  // A dump file held without sharing for this second and the next ones.
  standInAnswer = TRUE;
  std::vector<HANDLE> held;
  const time_t now = std::time(nullptr);
  for (time_t second = now; second < now + 3; ++second) {
    const std::string name = (driveC_ / DumpName(second)).string();
    held.push_back(platform::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(held.back(), INVALID_HANDLE_VALUE);
  }
  OvSaveMiniDump("x", TRUE);
  EXPECT_EQ(recorded.calls, 1);
  for (HANDLE file : held) platform::CloseHandle(file);
  for (const fs::path& dump : Dumps()) EXPECT_EQ(fs::file_size(dump), 0u);
#ifndef _WIN32
  platform::posix::DriveTable::Instance().Load("C:=" + (dir_.path() / "missing").string());
  OvSaveMiniDump("x", TRUE);
  EXPECT_EQ(recorded.calls, 1);
#endif
  EXPECT_EQ(seam_.frees, seam_.granted);
}

TEST_F(MiniDump, TwoThreadsDumpingAtOnceLeaveOneCompleteFile) {
  WriteConfig("GenerateMiniDump=1\r\n");
  std::atomic<bool> go{false};
  auto dump = [&go] {
    while (!go.load()) std::this_thread::yield();
    OvSaveMiniDump("both", FALSE);
  };
  std::thread first(dump), second(dump);
  go = true;
  first.join();
  second.join();
  std::vector<fs::path> dumps = Dumps();
  ASSERT_GE(dumps.size(), 1u);
  ASSERT_LE(dumps.size(), 2u);  // the two calls may fall into two seconds
  for (const fs::path& file : dumps) {
    MiniDumpReader reader(file);
    EXPECT_TRUE(reader.complete());
    EXPECT_EQ(reader.Streams(platform::kCommentStreamA), std::vector<std::string>{"both"});
  }
}

}  // namespace
