// Many writers at once: processes and threads share one ring log and one
// append log, serialised only by the exclusive open and its retries.

#include <iostream>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "log_test_support.h"
#include "support/helper_process.h"
#include "support/log_writer_entry.h"

namespace {

namespace fs = std::filesystem;

using testing_support::ReadTextFile;

constexpr int kProcesses = 4;
constexpr int kThreads = 4;
constexpr int kEntries = 500;
using log_testing::kMarker;

// Splits the entries, failing the test on any line that is not a whole entry.
std::multiset<std::string> EntriesIn(const std::string& text) {
  std::multiset<std::string> ids;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "unterminated entry at " << start;
    if (end == std::string::npos) break;
    std::string line = text.substr(start, end + 2 - start);
    std::string id = line.substr(0, line.find(' '));
    EXPECT_EQ(line, testing_support::LogWriterEntry(id)) << "entry at " << start << " is not whole";
    ids.insert(id);
    start = end + 2;
  }
  return ids;
}

using ConcurrentWriters = log_testing::LogTest;

TEST_F(ConcurrentWriters, EveryReportedEntryIsWholeAndInTheFile) {
  std::string ring = LogFile("ring.log"), append = LogFile("append.log");
  std::vector<std::unique_ptr<testing_support::HelperProcess>> writers;
  for (int p = 0; p < kProcesses; ++p) {
    writers.emplace_back(new testing_support::HelperProcess(
        {"log-writer", ring, append, "P" + std::to_string(p), std::to_string(kThreads), std::to_string(kEntries)}));
  }
  std::set<std::string> lostRing, lostAppend;
  for (auto& writer : writers) {
    for (std::string line = writer->ReadLine(); !line.empty(); line = writer->ReadLine()) {
      std::istringstream words(line);
      std::string word, log, id;
      words >> word >> log >> id;
      (log == "ring" ? lostRing : lostAppend).insert(id);
    }
    EXPECT_EQ(writer->Finish(), 0);
  }
  std::multiset<std::string> expectedRing, expectedAppend;
  for (int p = 0; p < kProcesses; ++p) {
    for (int t = 0; t < kThreads; ++t) {
      for (int i = 0; i < kEntries; ++i) {
        std::string id = testing_support::LogWriterEntryId("P" + std::to_string(p), t, i);
        if (!lostRing.count(id)) expectedRing.insert(id);
        if (!lostAppend.count(id)) expectedAppend.insert(id);
      }
    }
  }

  std::string ringBytes = ReadTextFile(ring);
  size_t end = std::stoul(ringBytes.substr(0, 10));
  ASSERT_LE(end + kMarker.size(), ringBytes.size());
  EXPECT_EQ(ringBytes.substr(end, kMarker.size()), kMarker) << "the header does not point at the end marker";
  EXPECT_EQ(EntriesIn(ringBytes.substr(10, end - 10)), expectedRing);
  EXPECT_EQ(EntriesIn(ReadTextFile(append)), expectedAppend);

  std::cout << "lost entries: ring " << lostRing.size() << ", append " << lostAppend.size() << " of "
            << kProcesses * kThreads * kEntries << " each\n";
}

}  // namespace
