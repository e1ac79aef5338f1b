// Entries per second into a ring log of 10 MB: OVWriteLogA beside an anchor
// loop that makes the file's system calls directly (open exclusively, read
// the header, write the entry, the end marker and the header, close).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ovpb32.h"

namespace {

constexpr int kRingSize = 10000000;
const char kMarker[] = "*++++++++++++++++++++++++End of Log++++++++++++++++++++++++*\r\n";

std::string TempLog(const char* name) {
  std::string path = std::string(P_tmpdir) + "/ovpb-bench-" + std::to_string(getpid()) + "-" + name;
  unlink(path.c_str());
  return path;
}

void LibraryEntries(benchmark::State& state) {
  std::string path = TempLog("library.log");
  SetLogPath(path.c_str());
  int count = 0;
  for (auto _ : state) OVWriteLogA("Bench", 0, "entry %d of the benchmark, with some text after it", ++count);
  state.SetItemsProcessed(state.iterations());
  unlink(path.c_str());
}

// The same entry line, formatted once; only the file work is repeated.
void AnchorEntries(benchmark::State& state) {
  std::string path = TempLog("anchor.log");
  std::string line =
      "(Sun Dec 06 00:12:35 2026) HOST:user bench_log:4711 [Bench       ]: entry 1 of the benchmark, with some "
      "text after it\r\n";
  for (auto _ : state) {
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0 || flock(fd, LOCK_EX | LOCK_NB) != 0) {
      state.SkipWithError("open failed");
      break;
    }
    char header[11] = {};
    if (pread(fd, header, 10, 0) < 0) state.SkipWithError("read failed");
    long position = std::atol(header);
    if (position < 10) position = 10;
    if (position + static_cast<long>(line.size()) > kRingSize) position = 10;
    benchmark::DoNotOptimize(pwrite(fd, line.data(), line.size(), position));
    position += static_cast<long>(line.size());
    benchmark::DoNotOptimize(pwrite(fd, kMarker, sizeof kMarker - 1, position));
    char text[16];
    std::snprintf(text, sizeof text, "%-10ld", position);
    benchmark::DoNotOptimize(pwrite(fd, text, 10, 0));
    close(fd);
  }
  state.SetItemsProcessed(state.iterations());
  unlink(path.c_str());
}

BENCHMARK(LibraryEntries);
BENCHMARK(AnchorEntries);

}  // namespace

BENCHMARK_MAIN();
