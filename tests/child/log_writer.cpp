// "log-writer RING APPEND TAG THREADS COUNT": THREADS threads write COUNT
// entries each into a ring log (default size) and an append log. Prints
// one line "lost <ring|append> <entry id>" for each write that failed.

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "child/commands.h"
#include "ovpb32.h"
#include "support/log_writer_entry.h"

int RunLogWriter(char** argv) {
  std::string ring = argv[2], append = argv[3], tag = argv[4];
  int threads = std::atoi(argv[5]), count = std::atoi(argv[6]);
  std::mutex output;
  std::vector<std::thread> writers;
  for (int t = 0; t < threads; ++t) {
    writers.emplace_back([&, t] {
      for (int i = 0; i < count; ++i) {
        std::string id = testing_support::LogWriterEntryId(tag, t, i);
        std::string entry = testing_support::LogWriterEntry(id);
        bool ringWritten = DoWriteLog(ring.c_str(), entry.c_str(), 10000000) == 1;
        bool appendWritten = DoWriteLog(append.c_str(), entry.c_str(), -1) == 1;
        std::lock_guard<std::mutex> hold(output);
        if (!ringWritten) std::printf("lost ring %s\n", id.c_str());
        if (!appendWritten) std::printf("lost append %s\n", id.c_str());
      }
    });
  }
  for (std::thread& writer : writers) writer.join();
  return 0;
}
