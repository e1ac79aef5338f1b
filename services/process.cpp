// Process services: the id of a process by handle, the tax year the
// installation is set up for, and a number naming the computer and session.

#include "services/process.h"

#include <atomic>
#include <cstdio>
#include <cstring>

#include "frame/module.h"
#include "ovpb32.h"
#include "platform/library.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "platform/system.h"

namespace services {
namespace {

constexpr int kUnread = -1;
constexpr int kDefaultYear = 2015;

std::atomic<int> taxYear{kUnread};

// The identifier with the session it was made for, in one word so that a
// reader never pairs one call's identifier with another's session.
struct SessionIdentifier {
  std::atomic<bool> made{false};
  std::atomic<unsigned long long> sessionAndValue{0};
};
SessionIdentifier sessionIdentifier;

// The reflected CRC-32 (polynomial 0xEDB88320) continued over `bytes`.
DWORD Crc32(DWORD crc, const unsigned char* bytes, size_t length) {
  crc = ~crc;
  for (size_t i = 0; i < length; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

template <typename Function>
Function Kernel32Function(const char* name) {
  return platform::GetProcAddressAs<Function>(platform::GetModuleHandleA("KERNEL32.DLL"), name);
}

DWORD CurrentSessionId() {
  auto toSession = Kernel32Function<platform::ProcessIdToSessionIdFunction>("ProcessIdToSessionId");
  DWORD session = 0;
  if (toSession == nullptr || !toSession(platform::GetCurrentProcessId(), &session)) return 0;
  return session;
}

DWORD MakeSessionIdentifier(DWORD session) {
  char name[16];
  DWORD size = sizeof name;
  DWORD identifier = 0;
  if (platform::GetComputerNameA(name, &size)) {
    identifier = Crc32(0, reinterpret_cast<const unsigned char*>(name), std::strlen(name));
  }
  if (session != 0) {
    const unsigned char bytes[4] = {static_cast<unsigned char>(session), static_cast<unsigned char>(session >> 8),
                                    static_cast<unsigned char>(session >> 16),
                                    static_cast<unsigned char>(session >> 24)};
    identifier = Crc32(identifier, bytes, sizeof bytes);
  }
  return identifier;
}

}  // namespace

void ForgetTaxYearForTesting() { taxYear.store(kUnread); }

}  // namespace services

extern "C" DWORD OVPB_API OVGetProcessId(HANDLE process) {
  if (auto getProcessId = services::Kernel32Function<platform::GetProcessIdFunction>("GetProcessId")) {
    return getProcessId(process);
  }
  auto query = platform::GetProcAddressAs<platform::NtQueryInformationProcessFunction>(
      platform::GetModuleHandleA("NTDLL.DLL"), "NtQueryInformationProcess");
  if (query == nullptr) return 0;
  platform::ProcessBasicInformation basic = {};
  if (query(process, 0, &basic, sizeof basic, nullptr) != 0) return 0;
  return static_cast<DWORD>(basic.uniqueProcessId);
}

extern "C" int OVPB_API GetTaxYear() {
  const int kept = services::taxYear.load();
  if (kept != services::kUnread) return kept;
  const char* directory = frame::GetModuleDirectoryA();
  const size_t length = std::strlen(directory);
  if (length == 0 || (directory[length - 1] != '\\' && directory[length - 1] != '/')) {
    return services::kDefaultYear - 1900;  // not kept: the next call looks again
  }
  char path[MAX_PATH];
  std::snprintf(path, MAX_PATH - 1, "%s%s", directory, "taxyear.ini");
  const int year = static_cast<int>(platform::GetPrivateProfileIntA("TAX", "YEAR", services::kDefaultYear, path)) - 1900;
  services::taxYear.store(year);
  return year;
}

extern "C" DWORD OVPB_API GetSessionUniqueIdentifier() {
  const DWORD session = services::CurrentSessionId();
  auto& kept = services::sessionIdentifier;
  if (kept.made.load()) {
    const unsigned long long both = kept.sessionAndValue.load();
    if (static_cast<DWORD>(both >> 32) == session) return static_cast<DWORD>(both);
  }
  const DWORD identifier = services::MakeSessionIdentifier(session);
  kept.sessionAndValue.store(static_cast<unsigned long long>(session) << 32 | identifier);
  kept.made.store(true);
  return identifier;
}
