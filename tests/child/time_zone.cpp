// "time-zone THREADS": THREADS threads make the process's first ToGlobalTime
// calls at once; prints the offset in minutes, then "agree" or "differ".

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "child/commands.h"
#include "ovpb32.h"

int RunTimeZone(char** argv) {
  std::vector<double> offsets(std::atoi(argv[2]));
  std::vector<std::thread> racers;
  std::atomic<size_t> ready{0};
  for (double& offset : offsets) {
    racers.emplace_back([&] {
      for (++ready; ready < offsets.size();) {
      }
      offset = ToGlobalTime(0.0);
    });
  }
  for (std::thread& racer : racers) racer.join();
  bool agree = true;
  for (double offset : offsets) agree = agree && offset == offsets[0];
  std::printf("%ld %s\n", std::lround(offsets[0] * 1440), agree ? "agree" : "differ");
  return 0;
}
