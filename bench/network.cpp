// The network names beside the work they stand on: a cache hit of
// GetUniversalNameA beside a lock, a case-blind compare and three bounded
// copies; GetNetworkSafeNameA beside the resolver's getaddrinfo of the same
// names; GetMinimalDriveMappingA beside one read of the mount table.

#include <benchmark/benchmark.h>
#include <netdb.h>
#include <strings.h>

#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>

#include "ovpb32.h"

namespace {

void BM_UniversalNameCacheHit(benchmark::State& state) {
  char unc[300], computer[32];
  GetUniversalNameA("C:\\reports\\ledger.txt", unc, computer, sizeof computer);
  for (auto _ : state) {
    benchmark::DoNotOptimize(GetUniversalNameA("c:\\REPORTS\\ledger.txt", unc, computer, sizeof computer));
  }
}
BENCHMARK(BM_UniversalNameCacheHit);

void BM_LockCompareAndCopies(benchmark::State& state) {
  static std::mutex lock;
  static char cached_path[260] = "C:\\reports\\ledger.txt", cached_unc[260] = "C:\\reports\\ledger.txt",
              cached_computer[32] = "HOST";
  char unc[300], computer[32];
  const char* path = "c:\\REPORTS\\ledger.txt";
  for (auto _ : state) {
    std::lock_guard<std::mutex> guard(lock);
    if (strcasecmp(path, cached_path) == 0) {
      std::strncpy(unc, cached_unc, sizeof unc - 1);
      std::strncpy(computer, cached_computer, sizeof computer);
      std::strncpy(cached_path, path, sizeof cached_path - 1);
    }
    benchmark::DoNotOptimize(unc);
  }
}
BENCHMARK(BM_LockCompareAndCopies);

void BM_NetworkSafeNameAlternating(benchmark::State& state) {
  SetSafeNameHandling(2);
  const char* paths[] = {"\\\\127.0.0.1\\s", "\\\\127.0.0.2\\s"};
  char out[300];
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(GetNetworkSafeNameA(paths[i++ & 1], out));
  SetSafeNameHandling(0);
}
BENCHMARK(BM_NetworkSafeNameAlternating);

void BM_GetAddrInfo(benchmark::State& state) {
  const char* hosts[] = {"127.0.0.1", "127.0.0.2"};
  addrinfo hints;
  std::memset(&hints, 0, sizeof hints);
  size_t i = 0;
  for (auto _ : state) {
    addrinfo* list = nullptr;
    if (getaddrinfo(hosts[i++ & 1], nullptr, &hints, &list) == 0) freeaddrinfo(list);
  }
}
BENCHMARK(BM_GetAddrInfo);

void BM_MinimalDriveMapping(benchmark::State& state) {
  char out[300];
  for (auto _ : state) benchmark::DoNotOptimize(GetMinimalDriveMappingA("\\\\srv\\data\\a\\b.txt", out));
}
BENCHMARK(BM_MinimalDriveMapping);

void BM_ReadMountInfo(benchmark::State& state) {
  for (auto _ : state) {
    std::ifstream in("/proc/self/mountinfo");
    std::stringstream text;
    text << in.rdbuf();
    benchmark::DoNotOptimize(text.str());
  }
}
BENCHMARK(BM_ReadMountInfo);

}  // namespace

BENCHMARK_MAIN();
