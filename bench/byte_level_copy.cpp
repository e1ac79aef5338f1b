// ByteLevelFileCopy of a 256 MiB file beside the system's cp of the same file
// in the same run: what the temporary name, the two renames and the 1 MiB
// blocks through the file layer cost beside the system's own copy.

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "ovpb32.h"

namespace {

constexpr size_t kFileSize = size_t{256} << 20;

// A folder holding the source file, made once and removed at exit.
const std::string& BenchFolder() {
  static const std::string folder = [] {
    char made[] = "/tmp/ovpb-bench-copy-XXXXXX";
    if (mkdtemp(made) == nullptr) std::abort();
    std::string path(made);
    std::vector<char> block(size_t{1} << 20);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131 + i / 997);
    std::ofstream out(path + "/source", std::ios::binary);
    for (size_t done = 0; done < kFileSize; done += block.size()) out.write(block.data(), block.size());
    std::atexit([] { std::system(("rm -rf '" + BenchFolder() + "'").c_str()); });
    return path;
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

}  // namespace

BENCHMARK_MAIN();
