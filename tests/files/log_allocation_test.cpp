// A ring-log entry allocates nothing once a first entry has run: the line
// is built on the stack and the open file's memory is kept for the next.

#include <gtest/gtest.h>

#include <string>

#include "allocation_counter.h"
#include "ovpb32.h"
#include "support/test_support.h"

TEST(HotPathAllocations, RingLogEntryAllocatesNothing) {
  testing_support::TempDir dir;
  const std::string log = (dir / "ring.log").string(), text(900, 'x');
  SetLogPath(log.c_str());
  OVWriteLogA("Ring", 0, "%s", text.c_str());
  const size_t before = testing_support::AllocationsOnThisThread();
  OVWriteLogA("Ring", 0, "%s", text.c_str());
  const size_t allocations = testing_support::AllocationsOnThisThread() - before;
  SetLogPath("");
  EXPECT_EQ(allocations, 0u);
  const std::string written = testing_support::ReadTextFile(log);
  EXPECT_NE(written.find(text, written.find(text) + text.size()), std::string::npos);  // both entries
}
