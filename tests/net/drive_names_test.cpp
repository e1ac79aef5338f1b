// Minimal drive mappings and universal names over a network of the test's
// own, narrow and wide.

#include <gtest/gtest.h>

#include <string>

#include "fake_network.h"
#include "ovpb32.h"
#include "platform/system.h"

namespace {

using net_test::FakeNetwork;

std::string Computer() {
  char name[64];
  DWORD size = sizeof name;
  return platform::GetComputerNameA(name, &size) ? name : "";
}

std::string Mapped(const std::string& path) {
  return net_test::Both(GetMinimalDriveMappingA, GetMinimalDriveMappingW, path);
}

// "result unc | computer", the wide form giving the same.
std::string Universal(const std::string& path, DWORD computer_size = 32) {
  char unc[600] = "untouched", computer[32] = "untouched";
  int result = GetUniversalNameA(path.c_str(), unc, computer, computer_size);
  return std::to_string(result) + " " + unc + " | " + computer;
}
std::string UniversalW(const std::string& path) {
  WCHAR unc[600] = {'u', 0}, computer[32] = {'u', 0};
  int result = GetUniversalNameW(WidenAscii(path.c_str()).c_str(), unc, computer, 32);
  return std::to_string(result) + " " + testing_support::ToUtf8(unc) + " | " + testing_support::ToUtf8(computer);
}

TEST(DriveMapping, LongestCoveringConnectionWinsInAnyOrder) {
  FakeNetwork network;
  network.List(RESOURCE_CONNECTED, "z:", "\\\\srv\\data");
  network.List(RESOURCE_REMEMBERED, "Y:", "\\\\srv\\data\\a");
  network.List(RESOURCE_CONNECTED, "", "\\\\srv\\data\\a\\b");         // no local name
  network.List(RESOURCE_GLOBALNET, "W:", "\\\\srv\\data\\a\\b\\c");  // another scope
  const char* const cases[][2] = {
      {"\\\\srv\\data\\x\\b.txt", "Z:\\x\\b.txt"}, {"\\\\srv\\data\\a\\b.txt", "Y:\\b.txt"},
      {"\\\\SRV\\Data\\A\\b\\c\\d.txt", "Y:\\b\\c\\d.txt"}, {"\\\\srv\\data", "Z:"},
      {"\\\\srv\\database\\x.txt", "\\\\srv\\database\\x.txt"}, {"\\\\srv\\other\\x.txt", "\\\\srv\\other\\x.txt"},
      {"C:\\data\\x.txt", "C:\\data\\x.txt"}, {"rel\\x.txt", "rel\\x.txt"}, {"", ""}};
  for (const auto& c : cases) EXPECT_EQ(Mapped(c[0]), c[1]) << c[0];

  network.ClearConnections();  // the longer connection first; a list that needs a bigger buffer
  network.List(RESOURCE_CONNECTED, "Y:", "\\\\srv\\data\\a");
  for (int i = 0; i < 40; ++i) network.List(RESOURCE_CONNECTED, "Q:", "\\\\host" + std::to_string(i) + "\\share");
  network.List(RESOURCE_CONNECTED, "P:", "\\\\long\\" + std::string(1000, 'n'));
  network.List(RESOURCE_CONNECTED, "Z:", "\\\\srv\\data");
  EXPECT_EQ(Mapped("\\\\srv\\data\\a\\b.txt"), "Y:\\b.txt");
  EXPECT_EQ(Mapped("\\\\host39\\share\\f"), "Q:\\f");
  network.List(RESOURCE_CONNECTED, std::string(40, 'L') + ":", "\\\\srv\\long");  // a local name over 31
  EXPECT_EQ(net_test::Narrow(GetMinimalDriveMappingA, "\\\\srv\\long\\x").substr(0, 31), std::string(31, 'L'));

  network.refuse_enumeration = true;
  char out[64] = "untouched";
  EXPECT_EQ(GetMinimalDriveMappingA("\\\\srv\\data\\x", out), 0);
  EXPECT_STREQ(out, "untouched");
  EXPECT_EQ(GetMinimalDriveMappingA("C:\\x", out), 1);  // never asks
  EXPECT_STREQ(out, "C:\\x");
}

class UniversalNames : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::SetEnvironment("OVPathResolution", "");
    network_.Connect('Z', "\\\\srv\\data");
    network_.Remember('R', "\\\\srv\\data");
    network_.Local('C');
  }
  FakeNetwork network_;
};

TEST_F(UniversalNames, AnswersByTheKindOfPath) {
  const std::string computer = Computer();
  const char* const cases[][2] = {  // the path, and its universal name; "=" local
      {"Z:\\a\\b.txt", "\\\\srv\\data\\a\\b.txt"}, {"Z:\\b.txt", "\\\\srv\\data\\b.txt"},
      {"R:\\a\\b.txt", "\\\\SRV\\DATA\\A\\b.txt"}, {"r:\\b.txt", "\\\\SRV\\DATA\\b.txt"},
      {"\\\\srv\\data\\x.txt", "\\\\srv\\data\\x.txt"}, {"C:\\x\\y.txt", "="}, {"rel\\x.txt", "="}, {"Q:\\x.txt", "="}};
  for (const auto& c : cases) {
    std::string expected = c[1][0] == '=' ? "1 " + std::string(c[0]) + " | " + computer : "1 " + std::string(c[1]) + " | ";
    EXPECT_EQ(Universal(c[0]), expected);
    EXPECT_EQ(UniversalW(c[0]), expected);
  }
  EXPECT_EQ(Universal("C:\\short.txt", static_cast<DWORD>(computer.size())), "1 C:\\short.txt | ");
}

TEST_F(UniversalNames, TheLastAnswerOfEachFormIsKept) {
  EXPECT_EQ(Universal(""), "1  | ");  // from the empty cache
  EXPECT_EQ(Universal("Z:\\a\\b.txt"), "1 \\\\srv\\data\\a\\b.txt | ");
  network_.Connect('Z', "\\\\other\\share");
  EXPECT_EQ(Universal("z:\\A\\B.TXT"), "1 \\\\srv\\data\\a\\b.txt | ");
  EXPECT_EQ(UniversalW("z:\\A\\B.TXT"), "1 \\\\other\\share\\A\\B.TXT | ");
  network_.refuse_enumeration = true;
  EXPECT_EQ(Universal("R:\\x.txt")[0], '0');  // leaves the cache as it was
  EXPECT_EQ(Universal("Z:\\a\\b.txt"), "1 \\\\srv\\data\\a\\b.txt | ");
}

TEST_F(UniversalNames, MappingModeIsReadOnceAtTheFirstCall) {
  testing_support::SetEnvironment("OVPathResolution", "map");
  EXPECT_EQ(UniversalW("\\\\srv\\data\\a.txt"), "1 Z:\\a.txt | ");
  testing_support::SetEnvironment("OVPathResolution", "");
  EXPECT_EQ(Universal("\\\\SRV\\data\\b.txt"), "1 Z:\\b.txt | ");
  EXPECT_EQ(Universal("Z:\\a.txt", 0), "1 Z:\\a.txt | untouched");
  EXPECT_EQ(Universal("C:\\a.txt"), "1 C:\\a.txt | " + Computer());
  net::ResetStateForTesting();  // a new process without the variable
  EXPECT_EQ(Universal("\\\\srv\\data\\c.txt"), "1 \\\\srv\\data\\c.txt | ");
  testing_support::SetEnvironment("OVPathResolution", "map");
  EXPECT_EQ(Universal("\\\\srv\\data\\d.txt"), "1 \\\\srv\\data\\d.txt | ");
  testing_support::SetEnvironment("OVPathResolution", "");
}

}  // namespace
