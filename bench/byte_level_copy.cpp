// ByteLevelFileCopy of a 256 MiB file beside the system's cp of the same file
// in the same run: what the temporary name, the two renames and the 1 MiB
// blocks through the file layer cost beside the system's own copy.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "ovpb32.h"

namespace {

constexpr size_t kFileSize = size_t{256} << 20;

char benchFolder[] = "/tmp/ovpb-bench-copy-XXXXXX";

void RemoveBenchFolder() { std::system((std::string("rm -rf '") + benchFolder + "'").c_str()); }

// A folder holding the source file, made once and removed at exit.
const std::string& BenchFolder() {
  static const std::string folder = [] {
    if (mkdtemp(benchFolder) == nullptr) std::abort();
    std::atexit(RemoveBenchFolder);
    std::vector<char> block(size_t{1} << 20);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131 + i / 997);
    std::ofstream out(std::string(benchFolder) + "/source", std::ios::binary);
    for (size_t done = 0; done < kFileSize; done += block.size()) out.write(block.data(), block.size());
    return std::string(benchFolder);
  }();
  return folder;
}

// Each copy starts with no dirty pages of the one before it, so that neither
// side pays for the other's writeback.
void Settle(benchmark::State& state) {
  state.PauseTiming();
  sync();
  state.ResumeTiming();
}

void Report(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
}

// Replaces an existing destination each time, as programs use it.
void CopyByteLevel(benchmark::State& state) {
  std::string source = BenchFolder() + "/source", dest = BenchFolder() + "/dest";
  for (auto _ : state) {
    Settle(state);
    if (ByteLevelFileCopy(source.c_str(), dest.c_str()) != 1) state.SkipWithError("copy failed");
  }
  Report(state);
}
BENCHMARK(CopyByteLevel)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);

// Anchor: coreutils cp onto an existing file, started as a process.
void CopyWithCp(benchmark::State& state) {
  std::string command = "cp '" + BenchFolder() + "/source' '" + BenchFolder() + "/cp-dest'";
  for (auto _ : state) {
    Settle(state);
    if (std::system(command.c_str()) != 0) state.SkipWithError("cp failed");
  }
  Report(state);
}
BENCHMARK(CopyWithCp)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);

// Anchor: the same steps on plain system calls, without the file layer: 1 MiB
// reads and writes into a new file, the old one parked, the new one renamed
// into place, the old one removed. Beside cp it shows what the buffer's trip
// through user space costs; beside the library, what the library adds.
bool CopyWithSystemCalls(const std::string& source, const std::string& dest) {
  std::string fresh = dest + ".new", parked = dest + ".old";
  int from = open(source.c_str(), O_RDONLY | O_CLOEXEC);
  int to = open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  std::vector<char> buffer(size_t{1} << 20);
  ssize_t got = 0;
  bool complete = from >= 0 && to >= 0;
  while (complete && (got = read(from, buffer.data(), buffer.size())) > 0) {
    complete = write(to, buffer.data(), static_cast<size_t>(got)) == got;
  }
  close(from);
  close(to);
  bool existed = access(dest.c_str(), F_OK) == 0;
  return complete && got == 0 && (!existed || rename(dest.c_str(), parked.c_str()) == 0) &&
         rename(fresh.c_str(), dest.c_str()) == 0 && (!existed || unlink(parked.c_str()) == 0);
}

void CopyWithPlainCalls(benchmark::State& state) {
  std::string source = BenchFolder() + "/source", dest = BenchFolder() + "/plain-dest";
  if (!CopyWithSystemCalls(source, dest)) state.SkipWithError("first copy failed");
  for (auto _ : state) {
    Settle(state);
    if (!CopyWithSystemCalls(source, dest)) state.SkipWithError("copy failed");
  }
  Report(state);
}
BENCHMARK(CopyWithPlainCalls)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);

}  // namespace

BENCHMARK_MAIN();
