// The existence tests that programs ask thousands of times a second
// allocate nothing once a first call has set up what the process keeps,
// whether the name exists or not, in the native form or the Windows one.

#include <gtest/gtest.h>

#include <string>

#include "allocation_counter.h"
#include "ovpb32.h"
#include "support/test_support.h"

namespace {

TEST(HotPathAllocations, ExistenceTestsAllocateNothing) {
  testing_support::TempDir dir;
  testing_support::WriteTextFile(dir / "file.txt", "x");
  const std::string file = (dir / "file.txt").string();
  const std::string windowsForm = dir.Narrow() + "sub\\..\\file.txt";
  const std::string missing = dir.Narrow() + "missing.txt";
  for (const std::string& path : {file, windowsForm, missing}) {
    SCOPED_TRACE(path);
    const char* name = path.c_str();
    const int exists = file_exist(name);
    EXPECT_EQ(exists, path == missing ? 0 : 1);
    const size_t before = testing_support::AllocationsOnThisThread();
    const int again = file_exist(name);
    const int fileExists = OVFileExists(name);
    const int directoryExists = exists ? OVFileDirectoryExists(name) : 1;
    const size_t allocations = testing_support::AllocationsOnThisThread() - before;
    EXPECT_EQ(again, exists);
    EXPECT_EQ(fileExists, exists ? 1 : 2);
    EXPECT_EQ(directoryExists, 1);
    EXPECT_EQ(allocations, 0u);
  }
}

}  // namespace
