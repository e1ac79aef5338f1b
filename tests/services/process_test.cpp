#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "ovpb32.h"
#include "platform/files.h"
#include "platform/library.h"
#include "platform/process.h"
#include "platform/system.h"
#include "services/process.h"
#include "support/test_support.h"

#ifndef _WIN32
#include <zlib.h>
#endif

namespace {

// zlib's CRC-32 on Linux; Windows' own in ntdll.
DWORD ReferenceCrc32(const std::string& bytes) {
#ifdef _WIN32
  typedef DWORD(WINAPI * Crc)(DWORD, const BYTE*, INT);
  auto crc = platform::GetProcAddressAs<Crc>(platform::GetModuleHandleA("ntdll.dll"), "RtlComputeCrc32");
  return crc(0, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<INT>(bytes.size()));
#else
  return static_cast<DWORD>(crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
#endif
}

std::atomic<DWORD> fakeSession{0};
BOOL WINAPI FakeSessionId(DWORD, DWORD* session) {
  *session = fakeSession.load();
  return TRUE;
}

// Hides the named functions, or stands the fake session in.
struct ProcessSeam : platform::LibrarySeam {
  std::set<std::string> hidden;
  bool fakeSessions = false;
  platform::ProcAddress OnLookup(const char* procName, platform::ProcAddress found) override {
    if (hidden.count(procName) != 0) return nullptr;
    if (fakeSessions && std::strcmp(procName, "ProcessIdToSessionId") == 0) {
      return reinterpret_cast<platform::ProcAddress>(&FakeSessionId);
    }
    return found;
  }
};

class ProcessServices : public ::testing::Test {
 protected:
  void SetUp() override { platform::ActiveLibrarySeam() = &seam_; }
  void TearDown() override { platform::ActiveLibrarySeam() = nullptr; }
  ProcessSeam seam_;
};

TEST_F(ProcessServices, ProcessIdByEitherPath) {
  const DWORD own = platform::GetCurrentProcessId();
  struct Case { std::set<std::string> hidden; HANDLE process; DWORD expected; };
  const Case cases[] = {
      {{}, platform::GetCurrentProcess(), own},  {{"GetProcessId"}, platform::GetCurrentProcess(), own},
      {{"GetProcessId", "NtQueryInformationProcess"}, platform::GetCurrentProcess(), 0},
      {{}, reinterpret_cast<HANDLE>(0x1234), 0}, {{"GetProcessId"}, reinterpret_cast<HANDLE>(0x1234), 0},
  };
  for (const Case& c : cases) {
    seam_.hidden = c.hidden;
    EXPECT_EQ(c.expected, OVGetProcessId(c.process)) << c.hidden.size();
  }
}

TEST_F(ProcessServices, SessionIdentifierIsTheCrcOfNameAndSession) {
  char name[16];
  DWORD size = sizeof name;
  ASSERT_TRUE(platform::GetComputerNameA(name, &size));
  auto sessionOf = platform::GetProcAddressAs<platform::ProcessIdToSessionIdFunction>(
      platform::GetModuleHandleA("kernel32.dll"), "ProcessIdToSessionId");
  DWORD session = 0;
  ASSERT_TRUE(sessionOf != nullptr && sessionOf(platform::GetCurrentProcessId(), &session));
  auto expected = [&](DWORD id) {
    return ReferenceCrc32(id == 0 ? std::string(name) : std::string(name) + std::string(reinterpret_cast<char*>(&id), 4));
  };
  EXPECT_EQ(expected(session), GetSessionUniqueIdentifier());
  seam_.fakeSessions = true;
  for (DWORD id : {7u, 0u, 0x01020304u, 7u}) {
    fakeSession = id;
    EXPECT_EQ(expected(id), GetSessionUniqueIdentifier()) << id;
  }
}

TEST_F(ProcessServices, TaxYearIsReadOnce) {
  const auto ini = testing_support::ProgramDirectory() / "taxyear.ini";
  std::remove(ini.string().c_str());
  services::ForgetTaxYearForTesting();
  EXPECT_EQ(115, GetTaxYear());
  testing_support::WriteTextFile(ini, "[TAX]\r\nYEAR=2016\r\n");
  EXPECT_EQ(115, GetTaxYear());  // kept
  services::ForgetTaxYearForTesting();
  EXPECT_EQ(116, GetTaxYear());
  testing_support::WriteTextFile(ini, "[tax]\r\nyear=2020\r\n");
  EXPECT_EQ(116, GetTaxYear());
  services::ForgetTaxYearForTesting();
  std::vector<int> years(8);
  std::vector<DWORD> sessions(8);
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&, t] {
      years[t] = GetTaxYear();
      sessions[t] = GetSessionUniqueIdentifier();
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(std::vector<int>(8, 120), years);
  EXPECT_EQ(std::vector<DWORD>(8, sessions[0]), sessions);
  std::remove(ini.string().c_str());
}

}  // namespace
