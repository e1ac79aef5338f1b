// A full dump of a process with 8 threads and 256 MiB of touched heap, beside
// copying the same readable mappings into a file with process_vm_readv and
// write in the same run; the small dump's time beside them. The dump's work
// runs in a helper process, so the times are real (wall-clock) times.

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/ratio.h"
#include "frame/module.h"
#include "ovpb32.h"

namespace {

constexpr size_t kHeapSize = size_t{256} << 20;
constexpr int kThreads = 8;

char benchFolder[] = "/tmp/ovpb-bench-dump-XXXXXX";

void RemoveBenchFiles() {
  std::remove(frame::GetConfigFilePathA());
  std::system((std::string("rm -rf '") + benchFolder + "'").c_str());
}

// Threads waiting for the end of the run, the touched heap, drive C: in a
// folder of the run's own, and the dump switched on.
struct DumpedProcess {
  DumpedProcess() : heap(kHeapSize) {
    for (size_t i = 0; i < heap.size(); i += 4096) heap[i] = static_cast<char>(i >> 12);
    for (int i = 0; i < kThreads; ++i) {
      threads.emplace_back([this] {
        std::unique_lock<std::mutex> lock(mutex);
        done.wait(lock, [this] { return finished; });
      });
    }
    if (mkdtemp(benchFolder) == nullptr) std::abort();
    setenv("OVPB_DRIVES", (std::string("C:=") + benchFolder).c_str(), 1);
    std::ofstream(frame::GetConfigFilePathA()) << "[VERSION]\r\nGenerateMiniDump=1\r\n";
    std::atexit(RemoveBenchFiles);
  }
  ~DumpedProcess() {
    {
      std::lock_guard<std::mutex> lock(mutex);
      finished = true;
    }
    done.notify_all();
    for (std::thread& thread : threads) thread.join();
  }
  std::vector<char> heap;
  std::vector<std::thread> threads;
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
};

DumpedProcess& Process() {
  static DumpedProcess process;
  return process;
}

void Settle(benchmark::State& state) {
  state.PauseTiming();
  sync();
  state.ResumeTiming();
}

// The dumps written since the last call, removed; a dump fails silently, so
// a run that wrote none (or a full one smaller than the heap) is no figure.
uintmax_t TakeDumps() {
  uintmax_t largest = 0;
  for (const auto& entry : std::filesystem::directory_iterator(benchFolder)) {
    if (entry.path().extension() != ".dmp") continue;
    largest = std::max(largest, entry.file_size());
    std::filesystem::remove(entry.path());
  }
  return largest;
}

void Dump(benchmark::State& state, BOOL fullMemory) {
  Process();
  for (auto _ : state) {
    Settle(state);
    OvSaveMiniDump(nullptr, fullMemory);
    state.PauseTiming();
    const uintmax_t written = TakeDumps();
    state.ResumeTiming();
    if (written == 0 || (fullMemory && written < kHeapSize)) {
      state.SkipWithError("no dump written");
      break;
    }
  }
}

void DumpFull(benchmark::State& state) { Dump(state, TRUE); }
BENCHMARK(DumpFull)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void DumpSmall(benchmark::State& state) { Dump(state, FALSE); }
BENCHMARK(DumpSmall)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Anchor: the readable mappings (not the kernel's or a device's) copied into a
// file in 1 MiB pieces.
void CopyMappings(const std::string& file) {
  std::ifstream maps("/proc/self/maps");
  std::vector<std::pair<uint64_t, uint64_t>> ranges;
  for (std::string line; std::getline(maps, line);) {
    unsigned long long start, end;
    char permissions[5] = {};
    int pathAt = 0;
    if (std::sscanf(line.c_str(), "%llx-%llx %4s %*x %*x:%*x %*u %n", &start, &end, permissions, &pathAt) < 3) continue;
    std::string path = pathAt > 0 ? line.substr(pathAt) : "";
    if (permissions[0] != 'r' || path.rfind("/dev/", 0) == 0 || path == "[vvar]" || path == "[vsyscall]") continue;
    ranges.emplace_back(start, end);
  }
  std::vector<char> buffer(size_t{1} << 20);
  FILE* out = std::fopen(file.c_str(), "wb");
  const int fd = fileno(out);
  for (const auto& range : ranges) {
    for (uint64_t at = range.first; at < range.second; at += buffer.size()) {
      const size_t piece = static_cast<size_t>(std::min<uint64_t>(buffer.size(), range.second - at));
      iovec local = {buffer.data(), piece}, remote = {reinterpret_cast<void*>(at), piece};
      if (process_vm_readv(getpid(), &local, 1, &remote, 1, 0) < 0) std::memset(buffer.data(), 0, piece);
      if (write(fd, buffer.data(), piece) < 0) std::abort();
    }
  }
  std::fclose(out);
}

void CopyMappingsAnchor(benchmark::State& state) {
  Process();
  const std::string file = std::string(benchFolder) + "/anchor.bin";
  for (auto _ : state) {
    Settle(state);
    CopyMappings(file);
  }
}
BENCHMARK(CopyMappingsAnchor)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunWithRatios(argc, argv,
                              {{"DumpFull/iterations:5/real_time", "CopyMappingsAnchor/iterations:5/real_time"},
                               {"DumpSmall/iterations:5/real_time", ""}},
                              bench::Clock::kReal);
}
