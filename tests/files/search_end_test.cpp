// Ending directory searches with the Linux library's _findclose: nothing of
// an ended search stays behind (the runtime's own ends them on Windows).

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fstream>
#include <iterator>
#include <string>

#include "ovpb32.h"
#include "support/test_support.h"

namespace {

long OpenDescriptors() {
  return std::distance(testing_support::fs::directory_iterator("/proc/self/fd"), {});
}

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string field;
  long value = 0;
  while (status >> field) {
    if (field == "VmRSS:") status >> value;
  }
  return value;
}

TEST(SearchEnd, EndedSearchesLeaveNoDescriptorsOrMemory) {
  testing_support::TempDir dir;
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) testing_support::WriteTextFile(dir / name, name);
  const std::string pattern = (dir / "*.txt").string();
  auto searchAndEnd = [&](bool finish) {
    _finddata64i32_t found;
    INT_PTR search = file_find_first(pattern.c_str(), &found);
    while (finish && file_find_next(search, &found) == 0) {
    }
    return _findclose(search);
  };
  for (int i = 0; i < 2000; ++i) ASSERT_EQ(searchAndEnd(i % 2 == 0), 0);  // caches settle
  const long descriptors = OpenDescriptors();
  const long resident = ResidentKilobytes();
  for (int i = 0; i < 100000; ++i) ASSERT_EQ(searchAndEnd(i % 2 == 0), 0);
  EXPECT_EQ(OpenDescriptors(), descriptors);
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)  // they hold freed memory back
  EXPECT_LT(ResidentKilobytes() - resident, 2048);  // an open search costs kilobytes
#endif
  _finddata64i32_t found;
  INT_PTR search = file_find_first(pattern.c_str(), &found);
  ASSERT_EQ(_findclose(search), 0);
  EXPECT_EQ(_findclose(search), -1);  // no longer an open search
  EXPECT_EQ(_findclose(-1), -1);
}

}  // namespace
#endif
