// The platform's connection lists, Winsock forms, process list and case-blind
// text; the POSIX layer's drives from the drive table and recorded mount tables,
// its dotted addresses and its vector case-blind compare.

#include <gtest/gtest.h>

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>

#include "platform/posix/drives.h"
#include "platform/posix/network_system.h"
#include "platform/posix/posix_codepage.h"
#endif

#include <algorithm>
#include <cstring>
#include <string>

#include "fake_network.h"
#include "ovpb32.h"
#include "platform/files.h"
#include "support/test_support.h"

namespace {

using net_test::FakeNetwork;
using net_test::ListedA;

TEST(NetworkPlatform, EnumerationsAndUniversalNamesResumeAndAskForRoom) {
  FakeNetwork network;
  network.Connect('Z', "\\\\srv\\data");
  network.Remember('R', "\\\\srv\\" + std::string(300, 'r'));
  network.List(RESOURCE_CONNECTED, "", "\\\\srv\\nodrive");
  const std::vector<std::string> expected = {"3 R: \\\\srv\\" + std::string(300, 'r'), "3 Z: \\\\srv\\data",
                                             "1 - \\\\srv\\nodrive"};
  EXPECT_EQ(ListedA(RESOURCE_REMEMBERED, 4096), expected);
  DWORD needed = 0;
  EXPECT_EQ(ListedA(RESOURCE_REMEMBERED, 40, &needed), expected);  // one entry per request
  EXPECT_EQ(needed, sizeof(NETRESOURCEA) + 4 + 306);
  EXPECT_EQ(ListedA(RESOURCE_CONNECTED, 4096), (std::vector<std::string>{"1 Z: \\\\srv\\data", "1 - \\\\srv\\nodrive"}));
  network.Local('C');
  alignas(void*) char buffer[200];
  DWORD size = 8;  // a universal name also asks for room
  EXPECT_EQ(platform::WNetGetUniversalNameA("Z:\\a\\", UNIVERSAL_NAME_INFO_LEVEL, buffer, &size), DWORD(ERROR_MORE_DATA));
  EXPECT_EQ(size, sizeof(void*) + 14);
  EXPECT_EQ(platform::WNetGetUniversalNameA("Z:\\a\\", UNIVERSAL_NAME_INFO_LEVEL, buffer, &size), 0u);
  EXPECT_STREQ(reinterpret_cast<UNIVERSAL_NAME_INFOA*>(buffer)->lpUniversalName, "\\\\srv\\data\\a\\");
  EXPECT_EQ(platform::GetDriveTypeW(OV_WIDE("c:\\x")), UINT(DRIVE_FIXED));
  network.refuse_enumeration = true;
  EXPECT_EQ(ListedA(RESOURCE_CONNECTED, 4096), std::vector<std::string>{"(not opened)"});
}

TEST(NetworkPlatform, WinsockCountsItsUsersAndReadsWindowsAddressForms) {
  WSADATA data;
  ASSERT_EQ(platform::WSAStartup(0x0101, &data), 0);
  const char* const cases[][2] = {{"10.1", "10.0.0.1"},   {"010.1.2.3", "8.1.2.3"}, {"0x7f.1", "127.0.0.1"},
                                  {"1.2.3.4", "1.2.3.4"}, {"1.2.3.4.5", "none"},    {"256.1.1.1", "none"},
                                  {"", "none"},           {"fs.dept", "none"}};
  for (const auto& c : cases) {
    IN_ADDR in;
    in.s_addr = platform::inet_addr(c[0]);
    EXPECT_EQ(in.s_addr == INADDR_NONE ? std::string("none") : std::string(platform::inet_ntoa(in)), c[1]) << c[0];
  }
  EXPECT_EQ(platform::WSACleanup(), 0);
  EXPECT_NE(platform::WSACleanup(), 0);
  EXPECT_EQ(platform::WSAGetLastError(), WSANOTINITIALISED);
}

TEST(NetworkPlatform, ProcessesOfTheUserOpenAndTellTheirNames) {
  std::vector<DWORD> ids(8192);
  DWORD needed = 0, listings = platform::ProcessListingsForTesting();
  ASSERT_TRUE(platform::EnumProcesses(ids.data(), DWORD(ids.size() * sizeof(DWORD)), &needed));
  EXPECT_EQ(platform::ProcessListingsForTesting(), listings + 1);
  ids.resize(needed / sizeof(DWORD));
  EXPECT_NE(std::find(ids.begin(), ids.end(), DWORD(getpid())), ids.end());
  HANDLE self = platform::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, DWORD(getpid()));
  ASSERT_NE(self, nullptr);
  HMODULE module = nullptr;
  ASSERT_TRUE(platform::EnumProcessModules(self, &module, sizeof module, &needed));
  char name[260];
  ASSERT_NE(platform::GetModuleBaseNameA(self, module, name, sizeof name), 0u);
  EXPECT_EQ(std::string(name), testing_support::ProgramPath().filename().string());
  EXPECT_EQ(platform::GetModuleBaseNameA(self, module, name, 5), 5u);  // cut, not terminated
  EXPECT_EQ(std::string(name, 6), "test_n");
  EXPECT_TRUE(platform::CloseHandle(self));
  EXPECT_FALSE(platform::EnumProcessModules(self, &module, sizeof module, &needed));
}

TEST(NetworkPlatform, CaseBlindTextFollowsUnicode) {
  EXPECT_EQ(platform::_wcsicmp(OV_WIDE("\u00c4rger \u03a3\u0418"), OV_WIDE("\u00e4RGER \u03c3\u0438")), 0);
  EXPECT_LT(platform::_wcsicmp(OV_WIDE("abc"), OV_WIDE("ABD")), 0);
  EXPECT_GT(platform::_wcsicmp(OV_WIDE("abcd"), OV_WIDE("ABC")), 0);
  EXPECT_EQ(platform::_wcsnicmp(OV_WIDE("\\\\SRV\\data"), OV_WIDE("\\\\srv\\DATABASE"), 10), 0);
  WCHAR upper[] = OV_WIDE("stra\u00dfe \u00e9t\u00e9 \u03c3");
  EXPECT_EQ(WideString(platform::_wcsupr(upper)), WideString(OV_WIDE("STRA\u00dfE \u00c9T\u00c9 \u03a3")));
  unsigned char narrow[] = "\\\\srv\\Data";
  EXPECT_STREQ(reinterpret_cast<char*>(platform::_mbsupr(narrow)), "\\\\SRV\\DATA");
  EXPECT_EQ(platform::_mbsicmp(narrow, reinterpret_cast<const unsigned char*>("\\\\Srv\\data")), 0);
  EXPECT_EQ(platform::_mbsnbicmp(narrow, reinterpret_cast<const unsigned char*>("\\\\srv\\dx"), 7), 0);
  EXPECT_NE(platform::_mbsnbicmp(narrow, reinterpret_cast<const unsigned char*>("\\\\srv\\dx"), 8), 0);
}

#ifndef _WIN32

int Sign(const std::string& a, const std::string& b, size_t bytes) {
  auto* x = reinterpret_cast<const unsigned char*>(a.c_str());
  auto* y = reinterpret_cast<const unsigned char*>(b.c_str());
  int result = bytes == 0 ? platform::_mbsicmp(x, y) : platform::_mbsnbicmp(x, y, bytes);
  return (result > 0) - (result < 0);
}

// Long texts compare by character across the blocks of the vector path.
TEST(CaseCompare, LongTextsCompareByCharacterWherever) {
  platform::AnsiCodePageStore::Pin(1252);
  const std::string base = "\\\\server\\share\\reports\\2026\\ledger-of-accounts.txt";
  const struct { std::string other; size_t bytes; int sign; } cases[] = {  // bytes 0: no limit
      {"\\\\SERVER\\SHARE\\REPORTS\\2026\\LEDGER-OF-ACCOUNTS.TXT", 0, 0},
      {"\\\\server\\share\\reports\\2026\\ledger-of-accounts.txu", 0, -1},  // the last byte
      {"\\\\server\\sharE\\reports\\2026\\ledger-of-accountr.TXT", 0, 1},   // in the overlap
      {"\\\\server\\share\\repoRTs\\2026\\LEDGER", 0, 1},
      {"\\\\server\\share\\reports\\2026\\LEDGER-of-x", 38, 0},
      {"\\\\server\\share\\reports\\2026\\LEDGER-of-x", 39, -1},
      {"\\\\server\\shar[\\reports", 0, -1},  // '[' lies between the cases
      {"\\\\server\\shar\xc9\\reports\\2026\\ledger-of-accounts.txt", 0, -1}};
  for (const auto& c : cases) {
    EXPECT_EQ(Sign(base, c.other, c.bytes), c.sign) << c.other << " " << c.bytes;
    EXPECT_EQ(Sign(c.other, base, c.bytes), -c.sign) << c.other << " " << c.bytes;
  }
  EXPECT_EQ(Sign("\\\\srv\\caf\xe9-reports-of-2026\\a", "\\\\SRV\\CAF\xc9-REPORTS-OF-2026\\A", 0), 0);
  platform::AnsiCodePageStore::Pin(0);
}

// Dotted addresses: four decimal parts, or the C library's forms.
TEST(DottedAddresses, AnswerInNetworkOrder) {
  const struct { const char* host; unsigned char bytes[4]; } cases[] = {
      {"192.168.10.20", {192, 168, 10, 20}}, {"255.255.255.255", {255, 255, 255, 255}},
      {"10.1", {10, 0, 0, 1}}, {"010.1.2.3", {8, 1, 2, 3}}};
  for (const auto& c : cases) {
    DWORD address = 0;
    EXPECT_EQ(GetIPAddrFromHostName(c.host, &address), 0) << c.host;
    EXPECT_EQ(std::memcmp(&address, c.bytes, 4), 0) << c.host;
  }
  net::ResetStateForTesting();
  SetSafeNameHandling(2);
  char out[64];
  GetNetworkSafeNameA("\\\\192.168.010.20\\s\\x", out);
  EXPECT_STREQ(out, "\\\\192.168.8.20\\s\\x");
  GetNetworkSafeNameA("\\\\192.168.10.20\\s", out);
  EXPECT_STREQ(out, "\\\\192.168.10.20\\s");
  net::ResetStateForTesting();
}

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

TEST_F(PosixNetworkDrives, DrivesTellTheirKindShareAndConnection) {
  const struct { const char* root; UINT type; const char* universal; } cases[] = {
      {"C:\\", DRIVE_FIXED, "2250"}, {"D:\\x\\", DRIVE_REMOTE, "\\\\srv\\data\\sub\\x\\"}, {"E:\\", DRIVE_REMOTE, "1201"},
      {"F:\\", DRIVE_REMOTE, "\\\\files\\export\\"}, {"G:\\a", DRIVE_REMOTE, "\\\\host\\home\\user\\a"},
      {"H:\\", DRIVE_FIXED, "2250"}, {"X:\\", DRIVE_REMOTE, "\\\\nas\\music\\"}, {"Y:\\", DRIVE_REMOTE, "1201"},
      {"z:\\", DRIVE_REMOTE, "\\\\srv\\data\\"}, {"Q:\\", DRIVE_NO_ROOT_DIR, "2250"},
      {"\\\\srv\\data\\", DRIVE_NO_ROOT_DIR, "1200"}};
  for (const auto& c : cases) {
    EXPECT_EQ(platform::GetDriveTypeA(c.root), c.type) << c.root;
    EXPECT_EQ(Universal(c.root), c.universal) << c.root;
  }
  EXPECT_EQ(DriveTable::Instance().Root(26), "/tmp");  // a connected remembered drive has the share's folder
  EXPECT_EQ(DriveTable::Instance().Root(25), "");
  EXPECT_EQ(net_test::ListedA(RESOURCE_CONNECTED, 4096),
            (std::vector<std::string>{"1 D: \\\\srv\\data\\sub", "1 F: \\\\files\\export", "1 G: \\\\host\\home\\user",
                                      "1 X: \\\\nas\\music", "1 Z: \\\\srv\\data"}));
  EXPECT_EQ(net_test::ListedA(RESOURCE_REMEMBERED, 4096),
            (std::vector<std::string>{"3 D: \\\\srv\\data\\sub", "3 E: \\\\srv\\backup", "3 F: \\\\files\\export",
                                      "3 G: \\\\host\\home\\user", "3 X: \\\\nas\\music", "3 Y: \\\\srv\\other",
                                      "3 Z: \\\\srv\\data"}));
}

#endif

}  // namespace
