// The dump on request through the real debugging library or a recording
// stand-in for its writer (the look-up seam), and what a Linux dump holds.

#include <atomic>
#include <cstring>

#include "log_test_support.h"
#include "ovpb32.h"
#include "platform/debug_help.h"
#include "platform/files.h"
#include "platform/library.h"
#include "platform/process.h"
#include "support/mini_dump_reader.h"
#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <future>

#include "platform/posix/drives.h"
#include "platform/posix/thread_stopper.h"
#endif

namespace {

namespace fs = std::filesystem;
using testing_support::MiniDumpReader;

struct {
  int calls;
  HANDLE process;
  DWORD processId, type;
  bool exception, callback;
} recorded;
BOOL standInAnswer = TRUE;

// Writes a mark through the handle it gets, so the test sees which file it was.
BOOL WINAPI RecordingWriter(HANDLE process, DWORD processId, HANDLE file, MINIDUMP_TYPE type,
                            MINIDUMP_EXCEPTION_INFORMATION* exception, MINIDUMP_USER_STREAM_INFORMATION*,
                            MINIDUMP_CALLBACK_INFORMATION* callback) {
  recorded = {recorded.calls + 1, process, processId, static_cast<DWORD>(type), exception != nullptr,
              callback != nullptr};
  DWORD written = 0;
  platform::WriteFile(file, "MDMP", 4, &written, nullptr);
  return standInAnswer;
}

struct RecordingSeam : platform::LibrarySeam {
  bool OnLoad(const char* fileName) override {
    if (std::strcmp(fileName, "dbghelp.dll") == 0) loadedDebugHelp = true;
    granted += hideLibrary ? 0 : 1;
    return !hideLibrary;
  }
  platform::ProcAddress OnLookup(const char* procName, platform::ProcAddress found) override {
    if (!standIn || std::strcmp(procName, "MiniDumpWriteDump") != 0) return found;
    return reinterpret_cast<platform::ProcAddress>(&RecordingWriter);
  }
  void OnFree(HMODULE) override { ++frees; }

  std::atomic<bool> loadedDebugHelp{false};
  bool hideLibrary = false, standIn = false;
  std::atomic<int> granted{0}, frees{0};
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
    WriteConfig("GenerateMiniDump=1\r\n");
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
      if (name.rfind("orvanta_", 0) == 0 && name.find(".dmp") == 22) dumps.push_back(entry.path());
    }
    return dumps;
  }
  void RemoveDumps() { for (const fs::path& dump : Dumps()) fs::remove(dump); }
  // The configuration file changed under the running process.
  void WriteConfig(const std::string& lines) { testing_support::WriteTextFile(ConfigFile(), "[VERSION]\r\n" + lines); }

  fs::path driveC_;
  RecordingSeam seam_;
};

std::string DumpName(time_t time) {
  char name[40];
  std::strftime(name, sizeof name, "orvanta_%Y%m%d%H%M%S.dmp", std::gmtime(&time));
  return name;
}

TEST_F(MiniDump, OnlyANonEmptyValueSwitchesItOnAndTheWriterGetsTheProcessFileAndType) {
  const struct {
    const char* config;
    bool dumps;
    BOOL full;
  } kCases[] = {{"", false, TRUE}, {"GenerateMiniDump=\r\n", false, TRUE}, {"GenerateMiniDump=   \r\n", false, TRUE},
                {"GenerateMiniDump=\"\"\r\n", false, TRUE}, {"GenerateMiniDump=0\r\n", true, TRUE},
                {"GenerateMiniDump=no\r\n", true, FALSE}};
  seam_.standIn = true;
  for (const auto& c : kCases) {
    WriteConfig(c.config);
    seam_.loadedDebugHelp = false;
    recorded = {};
    OvSaveMiniDump(nullptr, c.full);
    EXPECT_EQ(seam_.loadedDebugHelp, c.dumps) << c.config;
    EXPECT_EQ(recorded.calls, c.dumps ? 1 : 0) << c.config;
    ASSERT_EQ(Dumps().size(), c.dumps ? 1u : 0u) << c.config;
    if (!c.dumps) continue;
    EXPECT_EQ(recorded.process, platform::GetCurrentProcess());
    EXPECT_EQ(recorded.processId, platform::GetCurrentProcessId());
    EXPECT_EQ(recorded.type, c.full ? 6u : 0x54u);
    EXPECT_FALSE(recorded.exception || recorded.callback);
    EXPECT_EQ(testing_support::ReadTextFile(Dumps()[0]), "MDMP");
    RemoveDumps();
  }
}

TEST_F(MiniDump, NamedByTheUtcSecondInDriveCWithTheCommentAsItsOwnStream) {
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
  // Two threads at once: the second replaces the first or leaves it whole.
  auto dump = [] { OvSaveMiniDump("both", FALSE); };
  testing_support::TestThread first(dump), second(dump);
  first.join(), second.join();
  EXPECT_TRUE(Dumps().size() == 1 || Dumps().size() == 2);  // the two may fall into two seconds
  for (const fs::path& file : Dumps()) {
    EXPECT_EQ(MiniDumpReader(file).Streams(platform::kCommentStreamA), std::vector<std::string>{"both"});
  }
}

TEST_F(MiniDump, EveryFailureLeavesNoFileAndFreesTheLibrary) {
  seam_.standIn = true, standInAnswer = FALSE;
  OvSaveMiniDump("x", TRUE);
  standInAnswer = TRUE, seam_.hideLibrary = true;
  OvSaveMiniDump("x", TRUE);
  seam_.hideLibrary = false;
  EXPECT_TRUE(Dumps().empty());
  // The names of this second and the next ones held without sharing.
  std::vector<HANDLE> held;
  for (time_t second = std::time(nullptr), last = second + 2; second <= last; ++second) {
    held.push_back(platform::CreateFileA((driveC_ / DumpName(second)).string().c_str(), GENERIC_WRITE, 0, nullptr,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  OvSaveMiniDump("x", TRUE);
  for (HANDLE file : held) platform::CloseHandle(file);
  for (const fs::path& dump : Dumps()) EXPECT_EQ(fs::file_size(dump), 0u);
  RemoveDumps();
#ifndef _WIN32
  rlimit limit;
  getrlimit(RLIMIT_FSIZE, &limit);
  const rlimit small = {4096, limit.rlim_max};  // the soft limit alone, so that it can be raised again
  signal(SIGXFSZ, SIG_IGN), setrlimit(RLIMIT_FSIZE, &small), seam_.standIn = false;
  OvSaveMiniDump("a write fails", FALSE);
  setrlimit(RLIMIT_FSIZE, &limit), signal(SIGXFSZ, SIG_DFL);
  EXPECT_TRUE(Dumps().empty());
  platform::posix::DriveTable::Instance().Load("C:=" + (dir_.path() / "missing").string());
  OvSaveMiniDump("x", TRUE);
#endif
  EXPECT_EQ(recorded.calls, 1);  // the failing stand-in only
  EXPECT_EQ(seam_.frees, seam_.granted);
}

// ThreadSanitizer's runtime does not survive the forked helper that stops the
// threads (its shadow memory and interceptors in a child of a threaded
// process); the other sanitizers run these tests.
#if !defined(_WIN32) && !defined(__SANITIZE_THREAD__)

constexpr uint64_t kStackMarker = 0x5AFE5AFE00000000;

std::string Bytes(const uint64_t& value) { return std::string(reinterpret_cast<const char*>(&value), sizeof value); }

TEST_F(MiniDump, HoldsEveryThreadTheAskedMemoryAndDescriptorsForTheDebuggerAndNeverHangs) {
  // Threads with a known value in a local each, parked while the content is
  // checked, then taking the allocator's, the handle table's and the log's
  // locks all the time.
  WriteConfig("GenerateMiniDump=1\r\nGeneralLogging=1\r\nLoggingPath=" + LogFile("busy.log") + "\r\n");
  const std::string busy = LogFile("busy.txt");
  std::atomic<bool> working{false}, stop{false};
  std::vector<std::atomic<uint32_t>> ids(5);
  std::vector<testing_support::TestThread> workers;
  for (size_t i = 0; i < ids.size(); ++i) {
    workers.emplace_back([&, i] {
      [[maybe_unused]] volatile uint64_t marker = kStackMarker + i;
      ids[i] = static_cast<uint32_t>(syscall(SYS_gettid));
      while (!working.load()) usleep(1000);
      while (!stop.load()) {
        delete[] new char[1 + std::rand() % 4096];
        platform::CloseHandle(OVCreateFile(busy.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        OVWriteLogA("Busy", 1, "working");
      }
    });
  }
  std::shared_ptr<void> joined(nullptr, [&](void*) {  // also when an assertion ends the test early
    stop = true, working = true;
    for (testing_support::TestThread& worker : workers) worker.join();
  });
  for (auto& id : ids) while (id.load() == 0) usleep(1000);
  const uint64_t kBlock = 0xB10CB10CB10CB10C, kWords = (64u << 20) / 8;
  std::unique_ptr<uint64_t[]> big(new uint64_t[kWords]);
  std::fill(big.get(), big.get() + kWords, kBlock);
  // Hidden, so that no stack value points into the middle of the block.
  const volatile uint64_t middleHidden = ~reinterpret_cast<uint64_t>(big.get() + kWords / 2);
  char* volatile reachedFromALocal = std::strcpy(new char[64], "reached from a local alone");
  const std::string held = (dir_.path() / "held.txt").string();
  const int descriptor = open(held.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
  for (bool refused : {false, true}) {
    platform::posix::RefusePtraceForTesting() = refused;
    for (BOOL full : {FALSE, TRUE}) {
      RemoveDumps();
      OvSaveMiniDump(nullptr, full);
      ASSERT_EQ(Dumps().size(), 1u);
      EXPECT_EQ(fs::status(Dumps()[0]).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
      MiniDumpReader dump(Dumps()[0]);
      std::vector<MiniDumpReader::Thread> threads = dump.Threads();
      for (size_t i = 0; i < ids.size(); ++i) {
        auto thread = std::find_if(threads.begin(), threads.end(), [&](auto& t) { return t.id == ids[i]; });
        ASSERT_NE(thread, threads.end());
        // Without ptrace the other threads are there by id only.
        EXPECT_EQ(thread->stack.find(Bytes(kStackMarker + i)) != std::string::npos, !refused);
        EXPECT_EQ(thread->stackPointer - thread->stackStart < thread->stack.size(), !refused);
      }
      EXPECT_EQ(dump.Memory(~middleHidden, 8), full ? Bytes(kBlock) : "") << full;
      EXPECT_EQ(dump.Memory(reinterpret_cast<uint64_t>(reachedFromALocal), 26), reachedFromALocal) << full;
      std::vector<std::string> handles = dump.HandleNames();
      EXPECT_NE(std::find(handles.begin(), handles.end(), held), handles.end());
      if (refused || full) continue;
      // lldb lists every thread, and this function in the calling thread's backtrace.
      FILE* output = popen(("lldb --batch -c '" + Dumps()[0].string() + "' -o 'thread list' -o 'bt' 2>&1").c_str(), "r");
      std::string text(1 << 20, '\0');
      text.resize(std::fread(&text[0], 1, text.size(), output));
      ASSERT_EQ(pclose(output), 0) << text;
      for (auto& id : ids) EXPECT_NE(text.find("tid = " + std::to_string(id)), std::string::npos) << text;
      EXPECT_NE(text.find("HoldsEveryThread"), std::string::npos) << text;
    }
  }
  working = true;
  for (bool refused : {false, true}) {
    platform::posix::RefusePtraceForTesting() = refused;
    RemoveDumps();
    std::promise<void> done;
    testing_support::TestThread dumper([&] {
      for (int i = 0; i < 20; ++i) OvSaveMiniDump("busy", FALSE);
      done.set_value();
    });
    if (done.get_future().wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
      std::fprintf(stderr, "20 dumps took over 60 s (ptrace refused: %d): a deadlock\n", refused);
      std::_Exit(1);
    }
    ASSERT_FALSE(Dumps().empty());
    for (const fs::path& dump : Dumps()) EXPECT_TRUE(MiniDumpReader(dump).complete());
  }
  platform::posix::RefusePtraceForTesting() = false;
  close(descriptor);
  delete[] reachedFromALocal;
}

#endif

}  // namespace
