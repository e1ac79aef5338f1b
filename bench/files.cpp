// The POSIX file layer beside the plain system calls it stands on: what the
// handle table and the share-mode locks add to an open and close, and what
// the DOS wildcard rules cost beside fnmatch.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "bench/ratio.h"
#include "platform/files.h"
#include "platform/posix/native_path.h"
#include "platform/posix/wildcard.h"

namespace {

std::string BenchFile() {
  static std::string path = [] {
    char folder[] = "/tmp/ovpb-bench-XXXXXX";
    std::string made = mkdtemp(folder) != nullptr ? folder : "/tmp";
    std::string file = made + "/file.txt";
    close(open(file.c_str(), O_CREAT | O_WRONLY, 0644));
    return file;
  }();
  return path;
}

void OpenAndCloseHandle(benchmark::State& state) {
  std::string path = BenchFile();
  for (auto _ : state) {
    HANDLE file = platform::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                        nullptr);
    benchmark::DoNotOptimize(file);
    platform::CloseHandle(file);
  }
}
BENCHMARK(OpenAndCloseHandle);

// An open for reading and writing without sharing, as the log and the
// exclusive-access test ask for.
void OpenAndCloseExclusiveHandle(benchmark::State& state) {
  std::string path = BenchFile();
  for (auto _ : state) {
    HANDLE file =
        platform::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    benchmark::DoNotOptimize(file);
    platform::CloseHandle(file);
  }
}
BENCHMARK(OpenAndCloseExclusiveHandle);

// Anchor: the descriptor alone, no name mapping, no share modes.
void OpenAndCloseDescriptor(benchmark::State& state) {
  std::string path = BenchFile();
  for (auto _ : state) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    benchmark::DoNotOptimize(fd);
    close(fd);
  }
}
BENCHMARK(OpenAndCloseDescriptor);

const char* const kNames[] = {"report.txt", "Report.TXT", "archive.tar.gz", "readme", "data-2024-01.csv",
                              "a.b.c.d", "notes.txt.bak", "x"};

void MatchWindowsWildcards(benchmark::State& state) {
  platform::posix::WildcardPattern pattern(platform::posix::WideFromNative("*.t?t"));
  std::vector<WideString> names;
  for (const char* name : kNames) names.push_back(platform::posix::WideFromNative(name));
  for (auto _ : state) {
    for (const WideString& name : names) benchmark::DoNotOptimize(pattern.Matches(name));
  }
}
BENCHMARK(MatchWindowsWildcards);

// Anchor: the C library's matcher on the same names, without regard to case.
void MatchWithFnmatch(benchmark::State& state) {
  for (auto _ : state) {
    for (const char* name : kNames) benchmark::DoNotOptimize(fnmatch("*.t?t", name, FNM_CASEFOLD));
  }
}
BENCHMARK(MatchWithFnmatch);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunWithRatios(argc, argv,
                              {{"OpenAndCloseHandle", "OpenAndCloseDescriptor"},
                               {"OpenAndCloseExclusiveHandle", "OpenAndCloseDescriptor"},
                               {"MatchWindowsWildcards", "MatchWithFnmatch"}});
}
