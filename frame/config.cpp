#include "frame/config.h"

#include <atomic>
#include <cstdio>
#include <cstring>

#include "frame/module.h"
#include "platform/profile.h"
#include "platform/wide.h"

namespace frame {
namespace {

using config_table::kConfigKeys;

constexpr size_t kKeyCount = sizeof kConfigKeys / sizeof kConfigKeys[0];

size_t IndexOf(ConfigKey key) { return static_cast<size_t>(key); }

// The kept integers, one slot per key.
struct KeptValues {
  KeptValues() {
    for (size_t i = 0; i < kKeyCount; ++i) integers[i].store(kConfigKeys[i].sentinel);
  }
  std::atomic<int> integers[kKeyCount];
};

KeptValues& Kept() {
  static KeptValues values;
  return values;
}

int ReadInteger(const ConfigKeyInfo& info) {
  if (info.kind == ConfigValueKind::WideInteger) {
    return static_cast<int>(platform::GetPrivateProfileIntW(WidenAscii(info.section).c_str(),
                                                            WidenAscii(info.name).c_str(), info.defaultInteger,
                                                            GetConfigFilePathW()));
  }
  return static_cast<int>(
      platform::GetPrivateProfileIntA(info.section, info.name, info.defaultInteger, GetConfigFilePathA()));
}

}  // namespace

const ConfigKeyInfo* ConfigKeys(size_t* count) {
  *count = kKeyCount;
  return kConfigKeys;
}

const ConfigKeyInfo& DescribeConfigKey(ConfigKey key) { return kConfigKeys[IndexOf(key)]; }

int ConfigInteger(ConfigKey key) {
  const ConfigKeyInfo& info = DescribeConfigKey(key);
  std::atomic<int>& slot = Kept().integers[IndexOf(key)];
  int value = slot.load(std::memory_order_relaxed);
  if (value != info.sentinel) return value;
  value = ReadInteger(info);
  int expected = info.sentinel;
  slot.compare_exchange_strong(expected, value, std::memory_order_relaxed);
  return value;
}

DWORD ReadConfigTextA(ConfigKey key, char* buffer, DWORD size) {
  const ConfigKeyInfo& info = DescribeConfigKey(key);
  char fallback[MAX_PATH];
  std::snprintf(fallback, sizeof fallback, "%s%s", info.defaultInModuleDirectory ? GetModuleDirectoryA() : "",
                info.defaultText);
  return platform::GetPrivateProfileStringA(info.section, info.name, fallback, buffer, size, GetConfigFilePathA());
}

DWORD ReadConfigTextW(ConfigKey key, WCHAR* buffer, DWORD size) {
  const ConfigKeyInfo& info = DescribeConfigKey(key);
  WideString fallback = WidenAscii(info.defaultText);
  if (info.defaultInModuleDirectory) fallback.insert(0, GetModuleDirectoryW());
  return platform::GetPrivateProfileStringW(WidenAscii(info.section).c_str(), WidenAscii(info.name).c_str(),
                                            fallback.c_str(), buffer, size, GetConfigFilePathW());
}

void ForgetConfigForTesting() {
  KeptValues& kept = Kept();
  for (size_t i = 0; i < kKeyCount; ++i) {
    kept.integers[i].store(kConfigKeys[i].sentinel);
  }
}

}  // namespace frame
