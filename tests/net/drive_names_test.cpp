// Minimal drive mappings and universal names over a network of the test's
// own, narrow and wide.

#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>

#include "fake_network.h"
#include "ovpb32.h"
#include "platform/system.h"
#include "support/test_support.h"

namespace {

using net_test::FakeNetwork;

void SetVariable(const char* name, const char* value) {
#ifdef _WIN32
  SetEnvironmentVariableA(name, value);
#else
  if (value != nullptr) setenv(name, value, 1);
  else unsetenv(name);
#endif
}
using net_test::Guarded;

std::string Computer() {
  char name[64];
  DWORD size = sizeof name;
  return platform::GetComputerNameA(name, &size) ? name : "";
}

std::string MappedA(const std::string& path) {
  char out[600];
  return GetMinimalDriveMappingA(path.c_str(), out) == 1 ? out : "(0)";
}

std::string MappedW(const std::string& path) {
  WCHAR out[600];
  return GetMinimalDriveMappingW(WidenAscii(path.c_str()).c_str(), out) == 1 ? testing_support::ToUtf8(out) : "(0)";
}

struct Answer {
  int result;
  std::string unc, computer;
  bool operator==(const Answer& o) const { return result == o.result && unc == o.unc && computer == o.computer; }
};
std::ostream& operator<<(std::ostream& out, const Answer& a) {
  return out << a.result << " [" << a.unc << "] [" << a.computer << "]";
}

Answer UniversalA(const std::string& path, DWORD computer_size = 32) {
  char unc[600] = "untouched", computer[32] = "untouched";
  int result = GetUniversalNameA(path.c_str(), unc, computer, computer_size);
  return {result, unc, computer};
}

Answer UniversalW(const std::string& path, DWORD computer_size = 32) {
  WCHAR unc[600] = {'u', 0}, computer[32] = {'u', 0};
  int result = GetUniversalNameW(WidenAscii(path.c_str()).c_str(), unc, computer, computer_size);
  return {result, testing_support::ToUtf8(unc), testing_support::ToUtf8(computer)};
}

class DriveMapping : public ::testing::Test {
 protected:
  void SetUp() override {
    network_.List(RESOURCE_CONNECTED, "z:", "\\\\srv\\data");
    network_.List(RESOURCE_REMEMBERED, "Y:", "\\\\srv\\data\\a");
    network_.List(RESOURCE_CONNECTED, "", "\\\\srv\\data\\a\\b");         // no local name
    network_.List(RESOURCE_GLOBALNET, "W:", "\\\\srv\\data\\a\\b\\c");  // another scope
  }
  FakeNetwork network_;
};

TEST_F(DriveMapping, LongestCoveringConnectionWins) {
  const struct {
    const char* path;
    const char* expected;
  } cases[] = {
      {"\\\\srv\\data\\x\\b.txt", "Z:\\x\\b.txt"},
      {"\\\\srv\\data\\a\\b.txt", "Y:\\b.txt"},
      {"\\\\SRV\\Data\\A\\b\\c\\d.txt", "Y:\\b\\c\\d.txt"},
      {"\\\\srv\\data", "Z:"},
      {"\\\\srv\\database\\x.txt", "\\\\srv\\database\\x.txt"},
      {"\\\\srv\\other\\x.txt", "\\\\srv\\other\\x.txt"},
      {"C:\\data\\x.txt", "C:\\data\\x.txt"},
      {"rel\\x.txt", "rel\\x.txt"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MappedA(c.path), c.expected) << c.path;
    EXPECT_EQ(MappedW(c.path), c.expected) << c.path;
  }
}

TEST_F(DriveMapping, OrderOfTheListDoesNotMatterAndTheBufferGrows) {
  network_.ClearConnections();
  network_.List(RESOURCE_CONNECTED, "Y:", "\\\\srv\\data\\a");
  for (int i = 0; i < 40; ++i) network_.List(RESOURCE_CONNECTED, "Q:", "\\\\host" + std::to_string(i) + "\\share");
  network_.List(RESOURCE_CONNECTED, "P:", "\\\\long\\" + std::string(1000, 'n'));
  network_.List(RESOURCE_CONNECTED, "Z:", "\\\\srv\\data");
  EXPECT_EQ(MappedA("\\\\srv\\data\\a\\b.txt"), "Y:\\b.txt");
  EXPECT_EQ(MappedW("\\\\srv\\data\\a\\b.txt"), "Y:\\b.txt");
  EXPECT_EQ(MappedA("\\\\host39\\share\\f"), "Q:\\f");
}

TEST_F(DriveMapping, UnopenedListLeavesOutUntouched) {
  network_.refuse_enumeration = true;
  char out[64] = "untouched";
  EXPECT_EQ(GetMinimalDriveMappingA("\\\\srv\\data\\x", out), 0);
  EXPECT_STREQ(out, "untouched");
  EXPECT_EQ(GetMinimalDriveMappingA("C:\\x", out), 1);  // never asks
  EXPECT_STREQ(out, "C:\\x");
}

class UniversalNames : public ::testing::Test {
 protected:
  void SetUp() override {
    SetVariable("OVPathResolution", nullptr);
    network_.Connect('Z', "\\\\srv\\data");
    network_.Remember('R', "\\\\srv\\data");
    network_.Local('C');
  }
  FakeNetwork network_;
};

TEST_F(UniversalNames, AnswersByTheKindOfPath) {
  const std::string computer = Computer();
  const struct {
    const char* path;
    const char* unc;
    bool local;
  } cases[] = {
      {"Z:\\a\\b.txt", "\\\\srv\\data\\a\\b.txt", false},
      {"Z:\\b.txt", "\\\\srv\\data\\b.txt", false},
      {"C:\\x\\y.txt", "C:\\x\\y.txt", true},
      {"R:\\a\\b.txt", "\\\\SRV\\DATA\\A\\b.txt", false},
      {"r:\\b.txt", "\\\\SRV\\DATA\\b.txt", false},
      {"\\\\srv\\data\\x.txt", "\\\\srv\\data\\x.txt", false},
      {"rel\\x.txt", "rel\\x.txt", true},
      {"Q:\\x.txt", "Q:\\x.txt", true},
  };
  for (const auto& c : cases) {
    Answer expected{1, c.unc, c.local ? computer : ""};
    EXPECT_EQ(UniversalA(c.path), expected) << c.path;
    EXPECT_EQ(UniversalW(c.path), expected) << c.path;
  }
  EXPECT_EQ(UniversalA("C:\\short.txt", static_cast<DWORD>(computer.size())), (Answer{1, "C:\\short.txt", ""}));
}

TEST_F(UniversalNames, TheLastAnswerOfEachFormIsKept) {
  EXPECT_EQ(UniversalA(""), (Answer{1, "", ""}));  // from the empty cache
  EXPECT_EQ(UniversalA("Z:\\a\\b.txt"), (Answer{1, "\\\\srv\\data\\a\\b.txt", ""}));
  network_.Connect('Z', "\\\\other\\share");
  EXPECT_EQ(UniversalA("z:\\A\\B.TXT"), (Answer{1, "\\\\srv\\data\\a\\b.txt", ""}));
  EXPECT_EQ(UniversalW("z:\\A\\B.TXT"), (Answer{1, "\\\\other\\share\\A\\B.TXT", ""}));
  network_.refuse_enumeration = true;
  EXPECT_EQ(UniversalA("R:\\x.txt").result, 0);  // leaves the cache as it was
  EXPECT_EQ(UniversalA("Z:\\a\\b.txt"), (Answer{1, "\\\\srv\\data\\a\\b.txt", ""}));
}

TEST_F(UniversalNames, MappingModeIsReadOnceAtTheFirstCall) {
  SetVariable("OVPathResolution", "map");
  const std::string computer = Computer();
  EXPECT_EQ(UniversalW("\\\\srv\\data\\a.txt"), (Answer{1, "Z:\\a.txt", ""}));
  SetVariable("OVPathResolution", nullptr);
  EXPECT_EQ(UniversalA("\\\\SRV\\data\\b.txt"), (Answer{1, "Z:\\b.txt", ""}));
  EXPECT_EQ(UniversalA("Z:\\a.txt", 0), (Answer{1, "Z:\\a.txt", "untouched"}));
  EXPECT_EQ(UniversalA("C:\\a.txt"), (Answer{1, "C:\\a.txt", computer}));
  net::ResetStateForTesting();  // a new process without the variable
  EXPECT_EQ(UniversalA("\\\\srv\\data\\c.txt"), (Answer{1, "\\\\srv\\data\\c.txt", ""}));
  SetVariable("OVPathResolution", "map");
  EXPECT_EQ(UniversalA("\\\\srv\\data\\d.txt"), (Answer{1, "\\\\srv\\data\\d.txt", ""}));
  SetVariable("OVPathResolution", nullptr);
}

// Nothing is written past the working buffers, whatever the lengths.
TEST_F(UniversalNames, LongInputStaysWithinItsBuffers) {
  const char* shapes[] = {"\\\\", "Z:\\", "R:\\", "C:\\", "\\\\srv\\data\\", ""};
  for (size_t length : {0u, 1u, 31u, 32u, 255u, 256u, 259u, 260u, 261u, 2051u, 2052u, 2053u, 5000u}) {
    for (const char* shape : shapes) {
      for (char filler : {'a', '\\', '.'}) {
        std::string path = shape + std::string(length, filler);
        size_t room = path.size() + 300;
        Guarded<char> unc(room), computer(32), mapped(room);
        GetUniversalNameA(path.c_str(), unc.get(), computer.get(), 32);
        GetMinimalDriveMappingA(path.c_str(), mapped.get());
        Guarded<WCHAR> wide_unc(room), wide_computer(32), wide_mapped(room);
        WideString wide = WidenAscii(path.c_str());
        GetUniversalNameW(wide.c_str(), wide_unc.get(), wide_computer.get(), 32);
        GetMinimalDriveMappingW(wide.c_str(), wide_mapped.get());
        EXPECT_TRUE(unc.Intact() && computer.Intact() && mapped.Intact()) << path.size();
        EXPECT_TRUE(wide_unc.Intact() && wide_computer.Intact() && wide_mapped.Intact()) << path.size();
      }
    }
  }
  network_.List(RESOURCE_CONNECTED, std::string(40, 'L') + ":", "\\\\srv\\long");  // a local name over 31
  EXPECT_EQ(MappedA("\\\\srv\\long\\x").substr(0, 31), std::string(31, 'L'));
}

}  // namespace
