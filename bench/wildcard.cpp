// The wildcard match beside the C library's fnmatch (FNM_CASEFOLD: both
// ignore case) on the same inputs: a 100-kilobyte text and patterns of 30
// stars. The match backtracks only to the latest star, so each case costs
// at most the product of the lengths; fnmatch is the anchor.
//
// bench_wildcard runs the byte path and, with code page 932 pinned, the
// character-aware path.

#include <benchmark/benchmark.h>
#include <fnmatch.h>

#include <string>
#include <vector>

#include "bench/ratio.h"
#include "frame/module.h"
#include "ovpb32.h"
#include "platform/posix/posix_codepage.h"

namespace {

struct Case {
  const char* name;
  std::string pattern;
  std::string text;
};

std::string Repeated(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = [] {
    const std::string as(100 * 1024, 'a');
    return std::vector<Case>{
        {"30 separated stars, no match", Repeated("*a", 30) + "*b", as + "c"},
        {"30 separated stars, match", Repeated("*A", 30) + "*", as},
        {"30 stars in a row, no match", std::string(30, '*') + "b", as},
        {"star and 30 near misses", "*" + std::string(30, 'a') + "b", as},
    };
  }();
  return cases;
}

void Label(benchmark::State& state, const Case& c) {
  state.SetLabel(c.name);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.text.size()));
}

void Wcstrcmp(benchmark::State& state, int doubleByteFlag) {
  const Case& c = Cases()[static_cast<size_t>(state.range(0))];
  if (doubleByteFlag != 0) platform::AnsiCodePageStore::Pin(932);
  const int previous = frame::SetDoubleByteFlagForTesting(doubleByteFlag);
  if ((wcstrcmp(c.pattern.c_str(), c.text.c_str()) == 0) !=
      (fnmatch(c.pattern.c_str(), c.text.c_str(), FNM_CASEFOLD) == 0)) {
    state.SkipWithError("wcstrcmp and fnmatch disagree");
  }
  for (auto _ : state) benchmark::DoNotOptimize(wcstrcmp(c.pattern.c_str(), c.text.c_str()));
  frame::SetDoubleByteFlagForTesting(previous);
  platform::AnsiCodePageStore::Pin(0);
  Label(state, c);
}

void BM_wcstrcmp_bytes(benchmark::State& state) { Wcstrcmp(state, 0); }
void BM_wcstrcmp_characters_932(benchmark::State& state) { Wcstrcmp(state, 1); }

void BM_fnmatch(benchmark::State& state) {
  const Case& c = Cases()[static_cast<size_t>(state.range(0))];
  for (auto _ : state) benchmark::DoNotOptimize(fnmatch(c.pattern.c_str(), c.text.c_str(), FNM_CASEFOLD));
  Label(state, c);
}

BENCHMARK(BM_wcstrcmp_bytes)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_wcstrcmp_characters_932)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_fnmatch)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  std::vector<bench::Pair> pairs;
  for (int i = 0; i < 4; ++i) {
    const std::string range = "/" + std::to_string(i);
    pairs.push_back({"BM_wcstrcmp_bytes" + range, "BM_fnmatch" + range});
    pairs.push_back({"BM_wcstrcmp_characters_932" + range, "BM_fnmatch" + range});
    pairs.push_back({"BM_wcstrcmp_characters_932" + range, "BM_wcstrcmp_bytes" + range});
  }
  return bench::RunWithRatios(argc, argv, pairs);
}
