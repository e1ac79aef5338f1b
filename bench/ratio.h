// Prints, after the benchmarks, each measured function beside its anchor of
// the same run: the median real time per iteration of both over the
// repetitions, and the ratio anchor / library (1 is as fast as the anchor,
// above 1 faster). Ratios of one run hold however loaded the machine is.
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
  std::string anchor;
};

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
        times_[run.benchmark_name()].push_back(run.GetAdjustedRealTime());
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
  std::map<std::string, std::vector<double>> times_;
};

inline int RunWithRatios(int argc, char** argv, const std::vector<Pair>& pairs) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n%-44s %-36s %12s %12s %7s\n", "library", "anchor", "library", "anchor", "ratio");
  for (const Pair& pair : pairs) {
    const double library = reporter.Median(pair.library), anchor = reporter.Median(pair.anchor);
    if (library <= 0 || anchor <= 0) continue;
    std::printf("%-44s %-36s %12.3f %12.3f %7.2f\n", pair.library.c_str(), pair.anchor.c_str(), library, anchor,
                anchor / library);
  }
  benchmark::Shutdown();
  return 0;
}

}  // namespace bench
