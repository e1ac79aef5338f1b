#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "platform/guid.h"
#include "platform/system.h"
#ifndef _WIN32
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <stddef.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <vector>
#endif

namespace {

TEST(CoCreateGuid, MakesDistinctVersionFourGuids) {
  std::set<std::string> seen;
  for (int i = 0; i < 2000; ++i) {
    GUID guid;
    ASSERT_EQ(platform::CoCreateGuid(&guid), S_OK);
    ASSERT_EQ(guid.Data3 >> 12, 4) << i;
    ASSERT_EQ(guid.Data4[0] & 0xC0, 0x80) << i;
    seen.insert(std::string(reinterpret_cast<const char*>(&guid), sizeof guid));
  }
  EXPECT_EQ(seen.size(), 2000u);
  EXPECT_EQ(platform::CoCreateGuid(nullptr), E_INVALIDARG);
}

#ifndef _WIN32
// Makes the listed system calls fail with ENOSYS from now on, then exits 0
// when CoCreateGuid answers as expected and, on failure, leaves the GUID as
// it was; 1 otherwise; 2 when the filter could not be set.
void CreateGuidWithout(std::initializer_list<long> calls, HRESULT expected) {
  std::vector<sock_filter> program{BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr))};
  for (long call : calls) {
    program.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<__u32>(call), 0, 1));
    program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (ENOSYS & SECCOMP_RET_DATA)));
  }
  program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
  sock_fprog filter{static_cast<unsigned short>(program.size()), program.data()};
  if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) != 0) _exit(2);
  GUID guid, before;
  std::memset(&guid, 0x5A, sizeof guid);
  before = guid;
  const HRESULT result = platform::CoCreateGuid(&guid);
  const bool untouched = std::memcmp(&guid, &before, sizeof guid) == 0;
  _exit(result == expected && untouched == FAILED(expected) ? 0 : 1);
}

TEST(CoCreateGuidDeathTest, FallsBackToTheDeviceAndFailsAsComDoesWithoutAnyRandomness) {
  EXPECT_EXIT(CreateGuidWithout({SYS_getrandom}, S_OK), testing::ExitedWithCode(0), "");
  EXPECT_EXIT(CreateGuidWithout({SYS_getrandom, SYS_open, SYS_openat}, HRESULT_FROM_WIN32(RPC_S_UUID_NO_ADDRESS)),
              testing::ExitedWithCode(0), "");
}
#endif

}  // namespace
