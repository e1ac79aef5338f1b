// The disk test of file_exist beside the platform's search it makes and a
// bare stat of the same name: the existence test should cost about one stat.

#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/ratio.h"
#include "ovpb32.h"
#include "platform/files.h"

namespace {

namespace fs = std::filesystem;

// One file under the temporary folder for the whole run.
const std::string& ExistingFile() {
  static const std::string path = [] {
    fs::path file = fs::temp_directory_path() / "ovpb-bench-file-exist.txt";
    std::ofstream(file) << "x";
    return file.string();
  }();
  return path;
}

void BM_FileExist(benchmark::State& state) {
  const char* path = ExistingFile().c_str();
  for (auto _ : state) benchmark::DoNotOptimize(file_exist(path));
}
BENCHMARK(BM_FileExist);

void BM_FileExistMissing(benchmark::State& state) {
  const std::string missing = ExistingFile() + ".missing";
  for (auto _ : state) benchmark::DoNotOptimize(file_exist(missing.c_str()));
}
BENCHMARK(BM_FileExistMissing);

// What the test asks of the platform: a search for the name, closed at once.
void BM_PlatformSearch(benchmark::State& state) {
  const char* path = ExistingFile().c_str();
  WIN32_FIND_DATAA found;
  for (auto _ : state) {
    HANDLE search = platform::FindFirstFileA(path, &found);
    if (search != INVALID_HANDLE_VALUE) platform::FindClose(search);
  }
}
BENCHMARK(BM_PlatformSearch);

// The anchor: the one system call the search stands on.
void BM_Stat(benchmark::State& state) {
  const char* path = ExistingFile().c_str();
  struct stat status;
  for (auto _ : state) benchmark::DoNotOptimize(stat(path, &status));
}
BENCHMARK(BM_Stat);

void BM_StatMissing(benchmark::State& state) {
  const std::string missing = ExistingFile() + ".missing";
  struct stat status;
  for (auto _ : state) benchmark::DoNotOptimize(stat(missing.c_str(), &status));
}
BENCHMARK(BM_StatMissing);

}  // namespace

int main(int argc, char** argv) {
  bench::RunWithRatios(argc, argv, {{"BM_FileExist", "BM_Stat"}, {"BM_FileExistMissing", "BM_StatMissing"}});
  std::remove(ExistingFile().c_str());
  return 0;
}
