// Entries per second into a ring log of 10 MB: OVWriteLogA beside two
// anchor loops that make the file's system calls directly (open
// exclusively, read the header, write the entry, the end marker and the
// header, close). The first opens exclusively the shortest way (flock); the
// second makes the calls the library's share-mode emulation makes for an
// exclusive open, so the gap between it and the library is the library's
// own work (formatting the line, the handle table).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/ratio.h"
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

const std::string kLine =
    "(Sun Dec 06 00:12:35 2026) HOST:user bench_log:4711 [Bench       ]: entry 1 of the benchmark, with some "
    "text after it\r\n";

// The share-mode emulation's exclusive open: a guard, a check of the name
// and of the other openers' locks, the opener's own locks.
bool OpenWithShareModeCalls(int fd, const char* path) {
  struct stat byHandle, byName;
  if (fstat(fd, &byHandle) != 0 || flock(fd, LOCK_EX | LOCK_NB) != 0 || stat(path, &byName) != 0) return false;
  const off_t base = INT64_MAX - 1024;
  struct flock probe = {};
  probe.l_type = F_WRLCK;
  probe.l_start = base;
  probe.l_len = 7;
  fcntl(fd, F_OFD_GETLK, &probe);
  struct flock uses = {}, denies = {};
  uses.l_type = denies.l_type = F_RDLCK;
  uses.l_start = base;
  uses.l_len = 3;
  denies.l_start = base + 4;
  denies.l_len = 3;
  fcntl(fd, F_OFD_SETLK, &uses);
  fcntl(fd, F_OFD_SETLK, &denies);
  return flock(fd, LOCK_UN) == 0;
}

// The same entry line, formatted once; only the file work is repeated.
void AnchorEntries(benchmark::State& state, bool shareModeCalls) {
  std::string path = TempLog(shareModeCalls ? "anchor-share.log" : "anchor.log");
  for (auto _ : state) {
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    bool opened = fd >= 0 && (shareModeCalls ? OpenWithShareModeCalls(fd, path.c_str()) : flock(fd, LOCK_EX | LOCK_NB) == 0);
    if (!opened) {
      state.SkipWithError("open failed");
      break;
    }
    char header[11] = {};
    if (pread(fd, header, 10, 0) < 0) state.SkipWithError("read failed");
    long position = std::atol(header);
    if (position < 10) position = 10;
    if (position + static_cast<long>(kLine.size()) > kRingSize) position = 10;
    benchmark::DoNotOptimize(pwrite(fd, kLine.data(), kLine.size(), position));
    position += static_cast<long>(kLine.size());
    benchmark::DoNotOptimize(pwrite(fd, kMarker, sizeof kMarker - 1, position));
    char text[24];
    std::snprintf(text, sizeof text, "%-10ld", position);
    benchmark::DoNotOptimize(pwrite(fd, text, 10, 0));
    close(fd);
  }
  state.SetItemsProcessed(state.iterations());
  unlink(path.c_str());
}

void AnchorEntriesFlock(benchmark::State& state) { AnchorEntries(state, false); }
void AnchorEntriesShareModeCalls(benchmark::State& state) { AnchorEntries(state, true); }

BENCHMARK(LibraryEntries);
BENCHMARK(AnchorEntriesFlock);
BENCHMARK(AnchorEntriesShareModeCalls);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunWithRatios(argc, argv,
                              {{"LibraryEntries", "AnchorEntriesFlock"}, {"LibraryEntries", "AnchorEntriesShareModeCalls"}});
}
