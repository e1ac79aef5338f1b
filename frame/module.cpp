#include "frame/module.h"

#include <atomic>
#include <cstdio>
#include <memory>

#include "frame/kept_text.h"
#include "ovpb32.h"
#include "intl/intl.h"
#include "platform/locale.h"
#include "platform/module.h"
#include "platform/system.h"
#include "platform/wide.h"

namespace frame {
namespace {

// Values set by the attach step, one place for all of them.
struct AttachedState {
  std::atomic<HMODULE> instance{nullptr};
  std::atomic<DWORD> mainThreadId{0};
  std::atomic<int> doubleByteFlag{0};
  std::unique_ptr<RecursiveLock> moduleLock;
};

AttachedState attached;

KeptText<char, MAX_PATH> moduleDirectoryA;
KeptText<WCHAR, MAX_PATH> moduleDirectoryW;
KeptText<char, MAX_PATH> configFilePathA;
KeptText<WCHAR, MAX_PATH> configFilePathW;

struct LocaleReleaser {
  void operator()(platform::CtypeLocale* locale) const { platform::FreeCtypeLocale(locale); }
};

// ".<ANSI code page>", the name the runtime gives the code page's locale.
std::unique_ptr<platform::CtypeLocale, LocaleReleaser> MakeConversionLocale() {
  WCHAR name[10] = {u'.'};
  platform::GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, name + 1, 9);
  return std::unique_ptr<platform::CtypeLocale, LocaleReleaser>(platform::CreateCtypeLocale(name));
}

HMODULE OwnModule() { return platform::ModuleFromAddress(reinterpret_cast<const void*>(&GetModuleDirectoryA)); }

// Ends the text after its last separator. A backslash that is the trail
// byte of a double-byte character is not a separator.
void CutAfterLastSeparator(char* path) {
  char* cut = nullptr;
  for (char* p = path; *p != 0; ++p) {
    if (platform::IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] != 0) {
      ++p;
    } else if (*p == '\\' || *p == '/') {
      cut = p + 1;
    }
  }
  if (cut != nullptr) *cut = 0;
}

void CutAfterLastSeparator(WCHAR* path) {
  WCHAR* cut = nullptr;
  for (WCHAR* p = path; *p != 0; ++p) {
    if (*p == u'\\' || *p == u'/') cut = p + 1;
  }
  if (cut != nullptr) *cut = 0;
}

}  // namespace

void ProcessAttach(HMODULE instance) {
  ConversionLocale();  // the runtime's static initialiser: made before attach, released after detach
  attached.moduleLock.reset(new RecursiveLock);
  attached.doubleByteFlag.store(platform::GetSystemMetrics(SM_DBCSENABLED));
  attached.instance.store(instance);
  attached.mainThreadId.store(platform::GetCurrentThreadId());
  intl::FillCharsetNameIndex();
}

void ProcessDetach() {
  CleanUpPostMessagePointers();  // no cached block outlives the library
  attached.moduleLock.reset();
}

HMODULE ModuleInstance() { return attached.instance.load(); }
DWORD MainThreadId() { return attached.mainThreadId.load(); }
int DoubleByteFlag() { return attached.doubleByteFlag.load(std::memory_order_relaxed); }

int SetDoubleByteFlagForTesting(int flag) { return attached.doubleByteFlag.exchange(flag); }

RecursiveLock& ModuleLock() { return *attached.moduleLock; }

platform::CtypeLocale* ConversionLocale() {
  static const std::unique_ptr<platform::CtypeLocale, LocaleReleaser> locale = MakeConversionLocale();
  return locale.get();
}

const char* GetModuleDirectoryA() {
  return moduleDirectoryA.Get([](char* buffer, size_t size) {
    if (platform::GetModuleFileNameA(OwnModule(), buffer, static_cast<DWORD>(size)) == 0) {
      buffer[0] = 0;
      return;
    }
    CutAfterLastSeparator(buffer);
  });
}

const WCHAR* GetModuleDirectoryW() {
  return moduleDirectoryW.Get([](WCHAR* buffer, size_t size) {
    if (platform::GetModuleFileNameW(OwnModule(), buffer, static_cast<DWORD>(size)) == 0) {
      buffer[0] = 0;
      return;
    }
    CutAfterLastSeparator(buffer);
  });
}

const char* GetConfigFilePathA() {
  return configFilePathA.Get([](char* buffer, size_t size) {
    std::snprintf(buffer, size, "%s%s", GetModuleDirectoryA(), "cv.ver");
  });
}

const WCHAR* GetConfigFilePathW() {
  return configFilePathW.Get([](WCHAR* buffer, size_t size) {
    WideString path = WideString(GetModuleDirectoryW()) + OV_WIDE("cv.ver");
    WideCopyBounded(buffer, path.c_str(), size);
  });
}

}  // namespace frame
