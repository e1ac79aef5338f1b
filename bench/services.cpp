// Resource look-ups and the post-message pointer cache, each beside an
// anchor doing the same work directly: the two binary searches of a
// resource file by pread, and the cache's scan under a std::mutex.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "ovpb32.h"
#include "services/resource_writer.h"

namespace {

namespace fs = std::filesystem;

constexpr int kResources = 10000;
constexpr size_t kResourceSize = 1024;

std::string NameOf(int index) {
  char name[16];
  std::snprintf(name, sizeof name, "R%06d", index);
  return name;
}

// 10 000 resources of 1 KiB in 4 types, written once for the run.
const std::string& ResourceFilePath() {
  static const std::string path = [] {
    std::vector<services::ResourceSource> sources;
    const char* types[] = {"BMP", "TEXT", "WAVE", "DATA"};
    for (int i = 0; i < kResources; ++i) {
      sources.push_back({types[i % 4], NameOf(i), std::string(kResourceSize, static_cast<char>('a' + i % 26))});
    }
    fs::path file = fs::temp_directory_path() / "ovpb-bench-resources.dat";
    std::ofstream(file, std::ios::binary) << services::BuildResourceFile(sources);
    return file.string();
  }();
  return path;
}

const char* TypeOf(int index) {
  static const char* types[] = {"bmp", "text", "wave", "data"};
  return types[index % 4];
}

void BM_OpenResRead(benchmark::State& state) {
  InitResMan(ResourceFilePath().c_str());
  char buffer[kResourceSize];
  int index = 0;
  for (auto _ : state) {
    IStream* resource = openRes(NameOf(index).c_str(), TypeOf(index));
    benchmark::DoNotOptimize(_lreadRes(resource, buffer, sizeof buffer));
    closeRes(resource);
    index = (index + 7919) % kResources;
  }
  CloseResMan();
}
BENCHMARK(BM_OpenResRead);

DWORD Word(int fd, off_t offset) {
  unsigned char bytes[4] = {};
  if (pread(fd, bytes, 4, offset) != 4) return 0;
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<DWORD>(bytes[3]) << 24;
}

// The entry of `key` in the sorted table [start, end), or -1.
long Search(int fd, const char* key, size_t width, size_t size, DWORD start, DWORD end) {
  long low = 0, high = static_cast<long>((end - start) / size) - 1;
  while (low <= high) {
    long mid = (low + high) / 2;
    char entry[8] = {};
    if (pread(fd, entry, width, start + mid * size) != static_cast<ssize_t>(width)) return -1;
    int order = std::strncmp(entry, key, width);
    if (order == 0) return start + mid * size;
    if (order < 0) low = mid + 1; else high = mid - 1;
  }
  return -1;
}

// The anchor: the same keys, searches and read on a plain descriptor.
void BM_PreadSearches(benchmark::State& state) {
  int fd = open(ResourceFilePath().c_str(), O_RDONLY);
  const off_t size = lseek(fd, 0, SEEK_END);
  char buffer[kResourceSize];
  int index = 0;
  for (auto _ : state) {
    char type[8] = {}, name[16] = {};
    for (size_t i = 0; TypeOf(index)[i] != 0; ++i) type[i] = static_cast<char>(std::toupper(TypeOf(index)[i]));
    std::strcpy(name, NameOf(index).c_str());
    const DWORD table = Word(fd, size - 4);
    long typeEntry = Search(fd, type, 4, 8, table, static_cast<DWORD>(size - 4));
    long nameEntry = Search(fd, name, 8, 20, Word(fd, typeEntry + 4), Word(fd, typeEntry + 12));
    const DWORD start = Word(fd, nameEntry + 12);
    benchmark::DoNotOptimize(pread(fd, buffer, Word(fd, nameEntry + 16) - start, start));
    index = (index + 7919) % kResources;
  }
  close(fd);
}
BENCHMARK(BM_PreadSearches);

constexpr int kLiveBlocks = 256;

void BM_GetPostMessagePointer(benchmark::State& state) {
  CleanUpPostMessagePointers();
  std::vector<DWORD> keys;
  for (int i = 0; i < kLiveBlocks; ++i) {
    DWORD key = 0;
    AllocatePostMessagePointer(16, &key);
    keys.push_back(key);
  }
  size_t index = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(GetPostMessagePointer(keys[index]));
    index = (index + 97) % keys.size();
  }
  CleanUpPostMessagePointers();
}
BENCHMARK(BM_GetPostMessagePointer);

// The anchor: an array of the same entries scanned the same way under a
// std::mutex.
struct Entry {
  DWORD tick;
  void* pointer;
  DWORD key;
};

void BM_MutexScan(benchmark::State& state) {
  std::mutex lock;
  std::vector<Entry> entries(kLiveBlocks);
  std::vector<char> blocks(kLiveBlocks * 16);
  for (int i = 0; i < kLiveBlocks; ++i) entries[i] = Entry{0, &blocks[i * 16], static_cast<DWORD>(i + 1)};
  size_t index = 0;
  for (auto _ : state) {
    const DWORD key = static_cast<DWORD>(index + 1);
    void* found = nullptr;
    {
      std::lock_guard<std::mutex> hold(lock);
      for (const Entry& entry : entries) {
        if (entry.key == key) {
          found = entry.pointer;
          break;
        }
      }
    }
    benchmark::DoNotOptimize(found);
    index = (index + 97) % kLiveBlocks;
  }
}
BENCHMARK(BM_MutexScan);

}  // namespace

BENCHMARK_MAIN();
