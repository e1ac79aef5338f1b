// "time-zone THREADS": THREADS threads make the first ToGlobalTime calls of
// the process at once. Prints the offset in minutes that the first thread
// saw, then "agree" or "differ".

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "child/commands.h"
#include "ovpb32.h"

int RunTimeZone(char** argv) {
  int threads = std::atoi(argv[2]);
  std::vector<double> offsets(threads);
  std::atomic<int> ready{0};
  std::vector<std::thread> racers;
  for (int t = 0; t < threads; ++t) {
    racers.emplace_back([&, t] {
      ready.fetch_add(1);
      while (ready.load() < threads) {
      }
      offsets[t] = ToGlobalTime(0.0);
    });
  }
  for (std::thread& racer : racers) racer.join();
  bool agree = true;
  for (double offset : offsets) agree = agree && offset == offsets[0];
  std::printf("%ld %s\n", std::lround(offsets[0] * 1440), agree ? "agree" : "differ");
  return 0;
}
