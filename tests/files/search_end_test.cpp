// Ending a directory search with _findclose: the runtime's function on
// Windows, the library's on Linux, called the same way.

#include <gtest/gtest.h>

#include <string>

#include "ovpb32.h"
#include "support/test_support.h"

#ifndef _WIN32
#include <dirent.h>

#include <fstream>
#endif

namespace {

#ifndef _WIN32
int OpenDescriptors() {
  int count = 0;
  DIR* fds = opendir("/proc/self/fd");
  while (readdir(fds) != nullptr) ++count;
  closedir(fds);
  return count;
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

// Sanitizers hold freed memory back, so only a plain build measures it.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kMemoryIsMeasurable = false;
#else
constexpr bool kMemoryIsMeasurable = true;
#endif
#endif

class SearchEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) testing_support::WriteTextFile(dir_ / name, name);
    pattern_ = (dir_ / "*.txt").string();
  }
  // A search stepped to its end, or left after its first entry.
  void SearchAndEnd(bool finish) {
    _finddata64i32_t found;
    INT_PTR search = file_find_first(pattern_.c_str(), &found);
    ASSERT_NE(search, -1);
    while (finish && file_find_next(search, &found) == 0) {
    }
    ASSERT_EQ(_findclose(search), 0);
  }

  testing_support::TempDir dir_;
  std::string pattern_;
};

TEST_F(SearchEnd, EndsAnOpenSearchOnce) {
  _finddata64i32_t found;
  INT_PTR search = file_find_first(pattern_.c_str(), &found);
  ASSERT_NE(search, -1);
  EXPECT_EQ(_findclose(search), 0);
}

#ifndef _WIN32
// The Windows runtime treats these as invalid parameters (a crash by default).
TEST_F(SearchEnd, RefusesWhatIsNotAnOpenSearch) {
  _finddata64i32_t found;
  INT_PTR search = file_find_first(pattern_.c_str(), &found);
  ASSERT_EQ(_findclose(search), 0);
  EXPECT_EQ(_findclose(search), -1);
  EXPECT_EQ(_findclose(-1), -1);
  EXPECT_EQ(_findclose(0), -1);
}

TEST_F(SearchEnd, ManySearchesKeepDescriptorsAndMemoryFlat) {
  for (int i = 0; i < 2000; ++i) SearchAndEnd(i % 2 == 0);  // allocator and caches settle
  const int descriptors = OpenDescriptors();
  const long resident = ResidentKilobytes();
  for (int i = 0; i < 100000; ++i) SearchAndEnd(i % 2 == 0);
  EXPECT_EQ(OpenDescriptors(), descriptors);
  // A search left open costs a descriptor and a directory buffer of kilobytes.
  if (kMemoryIsMeasurable) {
    EXPECT_LT(ResidentKilobytes() - resident, 2048);
  }
}
#endif

}  // namespace
