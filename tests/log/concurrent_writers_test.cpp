// Many writers at once: processes and threads share one ring log and one
// append log, serialised only by the exclusive open and its retries.

#include <iostream>
#include <set>
#include <sstream>
#include <vector>

#include "log_test_support.h"
#include "support/helper_process.h"
#include "support/log_writer_entry.h"

namespace {

using testing_support::ReadTextFile;

constexpr int kProcesses = 4;
constexpr int kThreads = 4;
constexpr int kEntries = 500;
using log_testing::kMarker;

// The ids of the entries, failing the test on any line that is not a whole entry.
std::multiset<std::string> EntriesIn(const std::string& text) {
  std::multiset<std::string> ids;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::string id = line.substr(0, line.find(' '));
    EXPECT_EQ(line + "\n", testing_support::LogWriterEntry(id)) << "not a whole entry";
    ids.insert(id);
  }
  return ids;
}

using ConcurrentWriters = log_testing::LogTest;

TEST_F(ConcurrentWriters, EveryReportedEntryIsWholeAndInTheFile) {
  std::string ring = LogFile("ring.log"), append = LogFile("append.log");
  std::vector<std::unique_ptr<testing_support::HelperProcess>> writers;
  std::multiset<std::string> expectedRing, expectedAppend;
  for (int p = 0; p < kProcesses; ++p) {
    const std::string tag = "P" + std::to_string(p);
    writers.emplace_back(new testing_support::HelperProcess(
        {"log-writer", ring, append, tag, std::to_string(kThreads), std::to_string(kEntries)}));
    for (int t = 0; t < kThreads; ++t) {
      for (int i = 0; i < kEntries; ++i) expectedRing.insert(testing_support::LogWriterEntryId(tag, t, i));
    }
  }
  expectedAppend = expectedRing;
  for (auto& writer : writers) {  // lines "lost <ring|append> <id>"
    for (std::string line = writer->ReadLine(); !line.empty(); line = writer->ReadLine()) {
      std::istringstream words(line);
      std::string word, log, id;
      words >> word >> log >> id;
      (log == "ring" ? expectedRing : expectedAppend).erase(id);
    }
    EXPECT_EQ(writer->Finish(), 0);
  }
  std::string ringBytes = ReadTextFile(ring);
  size_t end = std::stoul(ringBytes.substr(0, 10));
  ASSERT_LE(end + kMarker.size(), ringBytes.size());
  EXPECT_EQ(ringBytes.substr(end, kMarker.size()), kMarker) << "the header does not point at the end marker";
  EXPECT_EQ(EntriesIn(ringBytes.substr(10, end - 10)), expectedRing);
  EXPECT_EQ(EntriesIn(ReadTextFile(append)), expectedAppend);
  const size_t all = kProcesses * kThreads * kEntries;
  std::cout << "lost entries: ring " << all - expectedRing.size() << ", append " << all - expectedAppend.size()
            << " of " << all << " each\n";
}

}  // namespace
