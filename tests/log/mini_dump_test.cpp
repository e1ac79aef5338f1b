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
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <mutex>

#include "platform/posix/drives.h"
#include "platform/posix/thread_stopper.h"
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

#ifndef _WIN32

constexpr uint64_t kParkedMarker = 0x5AFE5AFE00000000;
constexpr uint64_t kBlockPattern = 0xB10CB10CB10CB10C;

// Threads waiting with a known value in a local each.
class ParkedThreads {
 public:
  explicit ParkedThreads(int count) : ids_(count) {
    for (int i = 0; i < count; ++i) threads_.emplace_back([this, i] { Park(i); });
    std::unique_lock<std::mutex> lock(mutex_);
    ready_.wait(lock, [this] { return parked_ == static_cast<int>(ids_.size()); });
  }
  ~ParkedThreads() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      released_ = true;
    }
    ready_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }
  const std::vector<uint32_t>& ids() const { return ids_; }

 private:
  void Park(int index) {
    volatile uint64_t marker = kParkedMarker + index;
    std::unique_lock<std::mutex> lock(mutex_);
    ids_[index] = static_cast<uint32_t>(syscall(SYS_gettid));
    ++parked_;
    ready_.notify_all();
    ready_.wait(lock, [this] { return released_; });
    (void)marker;
  }

  std::vector<uint32_t> ids_;
  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable ready_;
  int parked_ = 0;
  bool released_ = false;
};

std::string Pattern(uint64_t value, size_t words) {
  std::string bytes(words * sizeof value, '\0');
  for (size_t i = 0; i < words; ++i) std::memcpy(&bytes[i * sizeof value], &value, sizeof value);
  return bytes;
}

bool HasMarker(const std::string& stack, uint64_t marker) {
  return stack.find(Pattern(marker, 1)) != std::string::npos;
}

class MiniDumpContent : public MiniDump {
 protected:
  void SetUp() override {
    MiniDump::SetUp();
    WriteConfig("GenerateMiniDump=1\r\n");
  }
  void TearDown() override {
    platform::posix::RefusePtraceForTesting().store(false);
    MiniDump::TearDown();
  }
  fs::path DumpOnce(BOOL full) {
    RemoveDumps();
    OvSaveMiniDump(nullptr, full);
    std::vector<fs::path> dumps = Dumps();
    return dumps.size() == 1 ? dumps[0] : fs::path();
  }
};

TEST_F(MiniDumpContent, HoldsEveryThreadItsStackTheMemoryAskedForAndTheDescriptors) {
  const uint32_t caller = static_cast<uint32_t>(syscall(SYS_gettid));
  ParkedThreads parked(5);
  const size_t kBigWords = (64u << 20) / 8;
  std::unique_ptr<uint64_t[]> big(new uint64_t[kBigWords]);
  std::fill(big.get(), big.get() + kBigWords, kBlockPattern);
  char* volatile reachedFromALocal = new char[4096];
  std::memset(reachedFromALocal, 0x7E, 4096);
  const std::string held = (dir_.path() / "held.txt").string();
  const int descriptor = open(held.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
  ASSERT_GE(descriptor, 0);
  // Kept hidden, so that no stack value points into the middle of the block.
  const volatile uint64_t middleOfBigHidden = ~reinterpret_cast<uint64_t>(big.get() + kBigWords / 2);

  for (bool refused : {false, true}) {
    platform::posix::RefusePtraceForTesting().store(refused);
    for (BOOL full : {FALSE, TRUE}) {
      MiniDumpReader dump(DumpOnce(full));
      ASSERT_TRUE(dump.complete());
      EXPECT_EQ(fs::status(Dumps()[0]).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
      std::vector<MiniDumpReader::Thread> threads = dump.Threads();
      for (size_t index = 0; index < parked.ids().size(); ++index) {
        const uint32_t id = parked.ids()[index];
        auto thread = std::find_if(threads.begin(), threads.end(), [id](const auto& t) { return t.id == id; });
        ASSERT_NE(thread, threads.end()) << id;
        if (refused) {
          EXPECT_EQ(thread->stackPointer, 0u);  // by id only
          continue;
        }
        EXPECT_TRUE(HasMarker(thread->stack, kParkedMarker + index)) << id;
        EXPECT_GE(thread->stackPointer, thread->stackStart);
        EXPECT_LT(thread->stackPointer, thread->stackStart + thread->stack.size());
      }
      auto own = std::find_if(threads.begin(), threads.end(), [caller](const auto& t) { return t.id == caller; });
      ASSERT_NE(own, threads.end());
      EXPECT_GE(own->stackPointer, own->stackStart);
      EXPECT_EQ(dump.Memory(~middleOfBigHidden, 64), full ? Pattern(kBlockPattern, 8) : "") << full;
      EXPECT_EQ(dump.Memory(reinterpret_cast<uint64_t>(reachedFromALocal), 64), std::string(64, 0x7E)) << full;
      std::vector<std::string> handles = dump.HandleNames();
      EXPECT_NE(std::find(handles.begin(), handles.end(), held), handles.end());
    }
  }
  close(descriptor);
  delete[] reachedFromALocal;
}

TEST_F(MiniDumpContent, AFailedWriteLeavesNoFile) {
  struct rlimit limit;
  getrlimit(RLIMIT_FSIZE, &limit);
  struct rlimit small = {4096, limit.rlim_max};  // the soft limit alone, so that it can be raised again
  signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  OvSaveMiniDump("too big", FALSE);
  setrlimit(RLIMIT_FSIZE, &limit);
  signal(SIGXFSZ, SIG_DFL);
  EXPECT_TRUE(Dumps().empty());
  OvSaveMiniDump("fits", FALSE);
  EXPECT_EQ(Dumps().size(), 1u);
}

// Threads that take the allocator's, the handle table's and the log's locks
// all the time must not hang a dump, with the threads stopped or not.
TEST_F(MiniDumpContent, WorkingThreadsNeverHangADump) {
  WriteConfig("GenerateMiniDump=1\r\nGeneralLogging=1\r\nLoggingPath=" + LogFile("busy.log") + "\r\n");
  const std::string file = LogFile("busy.txt");
  for (bool refused : {false, true}) {
    platform::posix::RefusePtraceForTesting().store(refused);
    std::atomic<bool> stop{false};
    std::vector<std::thread> workers;
    for (int i = 0; i < 4; ++i) {
      workers.emplace_back([&stop, &file] {
        while (!stop.load()) {
          delete[] new char[1 + std::rand() % 4096];
          HANDLE handle = OVCreateFile(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
          if (handle != INVALID_HANDLE_VALUE) platform::CloseHandle(handle);
          OVWriteLogA("Busy", 1, "working");
        }
      });
    }
    auto dumps = std::async(std::launch::async, [] {
      for (int i = 0; i < 20; ++i) OvSaveMiniDump("busy", FALSE);
    });
    if (dumps.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
      std::fprintf(stderr, "20 dumps took over 60 s (refused=%d): a deadlock\n", refused);
      std::_Exit(1);
    }
    stop = true;
    for (std::thread& worker : workers) worker.join();
    ASSERT_FALSE(Dumps().empty());
    for (const fs::path& dump : Dumps()) EXPECT_TRUE(MiniDumpReader(dump).complete());
  }
}

// A frame of its own in the backtrace: neither inlined nor left by a tail call.
__attribute__((noinline)) void DumpForTheDebugger() {
  OvSaveMiniDump(nullptr, FALSE);
  asm volatile("" ::: "memory");
}

TEST_F(MiniDumpContent, TheDebuggerListsEveryThreadAndTheCallersFunctions) {
  ParkedThreads parked(3);
  DumpForTheDebugger();
  std::vector<fs::path> dumps = Dumps();
  ASSERT_EQ(dumps.size(), 1u);
  const std::string command = "lldb --batch -c '" + dumps[0].string() + "' -o 'thread list' -o 'bt all' 2>&1";
  FILE* output = popen(command.c_str(), "r");
  ASSERT_NE(output, nullptr);
  std::string text;
  char chunk[4096];
  while (size_t got = std::fread(chunk, 1, sizeof chunk, output)) text.append(chunk, got);
  ASSERT_EQ(pclose(output), 0) << text;
  for (uint32_t id : parked.ids()) {
    char tid[32];
    std::snprintf(tid, sizeof tid, "tid = %u", id);
    EXPECT_NE(text.find(tid), std::string::npos) << tid << "\n" << text;
  }
  EXPECT_NE(text.find("DumpForTheDebugger"), std::string::npos) << text;
}

#endif

}  // namespace
