// The POSIX layer's network drives: the drive table's letters, on network
// file systems of a recorded mount table, or remembered by the drive table
// or fstab.

#ifndef _WIN32

#include <gtest/gtest.h>

#include "fake_network.h"
#include "platform/posix/drives.h"
#include "platform/posix/network_system.h"

namespace {

using platform::posix::DriveTable;

class PosixNetworkDrives : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::posix::SetMountFilesForTesting("mountinfo.txt", "fstab.txt");
    DriveTable::Instance().Load(
        "C:=/;D:=/mnt/data/sub;E:=/mnt/backup;F:=/mnt/export/;G:=/mnt/with space;H:=/mnt/local;"
        "X:=//nas/music;Y:=\\\\srv\\other;Z:=\\\\srv\\data;\\\\srv\\data=/tmp");
  }
  void TearDown() override {
    platform::posix::SetMountFilesForTesting("", "");
    DriveTable::Instance().LoadFromEnvironment();
  }
};

std::string Universal(const char* root) {
  alignas(void*) char buffer[600];
  DWORD size = sizeof buffer;
  DWORD error = platform::WNetGetUniversalNameA(root, UNIVERSAL_NAME_INFO_LEVEL, buffer, &size);
  return error != 0 ? std::to_string(error) : reinterpret_cast<UNIVERSAL_NAME_INFOA*>(buffer)->lpUniversalName;
}

TEST_F(PosixNetworkDrives, DrivesTellTheirKindAndShare) {
  const struct {
    const char* root;
    UINT type;
    const char* universal;
  } cases[] = {
      {"C:\\", DRIVE_FIXED, "2250"},
      {"D:\\x\\", DRIVE_REMOTE, "\\\\srv\\data\\sub\\x\\"},
      {"E:\\", DRIVE_REMOTE, "1201"},
      {"F:\\", DRIVE_REMOTE, "\\\\files\\export\\"},
      {"G:\\a", DRIVE_REMOTE, "\\\\host\\home\\user\\a"},
      {"H:\\", DRIVE_FIXED, "2250"},
      {"X:\\", DRIVE_REMOTE, "\\\\nas\\music\\"},
      {"Y:\\", DRIVE_REMOTE, "1201"},
      {"z:\\", DRIVE_REMOTE, "\\\\srv\\data\\"},
      {"Q:\\", DRIVE_NO_ROOT_DIR, "2250"},
      {"\\\\srv\\data\\", DRIVE_NO_ROOT_DIR, "1200"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::GetDriveTypeA(c.root), c.type) << c.root;
    EXPECT_EQ(Universal(c.root), c.universal) << c.root;
  }
  EXPECT_EQ(DriveTable::Instance().Root(26), "/tmp");  // a connected remembered drive has the share's folder
  EXPECT_EQ(DriveTable::Instance().Root(25), "");
}

TEST_F(PosixNetworkDrives, EnumerationsListConnectedOrRememberedDrives) {
  EXPECT_EQ(net_test::ListedA(RESOURCE_CONNECTED, 4096),
            (std::vector<std::string>{"1 D: \\\\srv\\data\\sub", "1 F: \\\\files\\export", "1 G: \\\\host\\home\\user",
                                      "1 X: \\\\nas\\music", "1 Z: \\\\srv\\data"}));
  EXPECT_EQ(net_test::ListedA(RESOURCE_REMEMBERED, 4096),
            (std::vector<std::string>{"3 D: \\\\srv\\data\\sub", "3 E: \\\\srv\\backup", "3 F: \\\\files\\export",
                                      "3 G: \\\\host\\home\\user", "3 X: \\\\nas\\music", "3 Y: \\\\srv\\other",
                                      "3 Z: \\\\srv\\data"}));
}

}  // namespace

#endif
