// Prints, after the benchmarks, each measured function beside its anchor of
// the same run: the median time per iteration of both over the repetitions,
// and the ratio anchor / library (1 is as fast as the anchor, above 1
// faster). The time is the thread's processor time, the system calls'
// included: on a loaded machine it holds where waiting for a processor
// would blur the real time. Work done in another process shows only in the
// real time, which such a benchmark asks for instead.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bench {

struct Pair {
  std::string library;
  std::string anchor;  // empty: the library's time alone
};

enum class Clock { kProcessor, kReal };

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit RatioReporter(Clock clock) : clock_(clock) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
        times_[run.benchmark_name()].push_back(clock_ == Clock::kReal ? run.GetAdjustedRealTime()
                                                                      : run.GetAdjustedCPUTime());
      }
    }
  }

  // The median time of `name` in its own unit, 0 when it did not run.
  double Median(const std::string& name) {
    std::vector<double>& times = times_[name];
    if (times.empty()) return 0;
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
  }

 private:
  Clock clock_;
  std::map<std::string, std::vector<double>> times_;
};

inline int RunWithRatios(int argc, char** argv, const std::vector<Pair>& pairs, Clock clock = Clock::kProcessor) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter(clock);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n%-44s %-36s %12s %12s %7s\n", "library", "anchor", "library", "anchor", "ratio");
  for (const Pair& pair : pairs) {
    const double library = reporter.Median(pair.library), anchor = reporter.Median(pair.anchor);
    if (library > 0 && pair.anchor.empty()) std::printf("%-44s %-36s %12.3f\n", pair.library.c_str(), "", library);
    if (library <= 0 || anchor <= 0) continue;
    std::printf("%-44s %-36s %12.3f %12.3f %7.2f\n", pair.library.c_str(), pair.anchor.c_str(), library, anchor,
                anchor / library);
  }
  benchmark::Shutdown();
  return 0;
}

}  // namespace bench
