// Functions looked up by name: the same answers from Windows and from the
// POSIX layer's stand-ins, and the seam tests use to hide or replace them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/library.h"
#include "platform/system.h"

namespace {

using TickCount = DWORD (*)();

TEST(Library, FindsSystemFunctionsByNameInAnyCase) {
  for (const char* name : {"kernel32.dll", "KERNEL32", "Kernel32.DLL"}) {
    HMODULE kernel = platform::LoadLibraryA(name);
    ASSERT_NE(kernel, nullptr) << name;
    auto tickCount = platform::GetProcAddressAs<TickCount>(kernel, "GetTickCount");
    ASSERT_NE(tickCount, nullptr) << name;
    EXPECT_LE(platform::GetTickCount() - tickCount(), 1000u);
    EXPECT_EQ(platform::GetModuleHandleA(name), kernel);
    EXPECT_TRUE(platform::FreeLibrary(kernel));
  }
}

TEST(Library, MissingLibraryAndFunctionFailWithTheirErrors) {
  EXPECT_EQ(platform::LoadLibraryA("no-such-library-here.dll"), nullptr);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  HMODULE kernel = platform::LoadLibraryA("kernel32.dll");
  EXPECT_EQ(platform::GetProcAddress(kernel, "NoSuchFunctionAnywhere"), nullptr);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  platform::FreeLibrary(kernel);
}

DWORD FixedTicks() { return 42; }

struct RecordingSeam : platform::LibrarySeam {
  std::vector<std::string> loads;
  int frees = 0;
  bool OnLoad(const char* fileName) override {
    loads.push_back(fileName);
    return std::string(fileName) != "refused.dll";
  }
  platform::ProcAddress OnLookup(const char* procName, platform::ProcAddress found) override {
    if (std::string(procName) == "GetCurrentThreadId") return nullptr;
    if (std::string(procName) == "GetTickCount") return reinterpret_cast<platform::ProcAddress>(&FixedTicks);
    return found;
  }
  void OnFree(HMODULE) override { ++frees; }
};

TEST(Library, SeamSeesLoadsAndHidesOrReplacesFunctions) {
  RecordingSeam seam;
  platform::ActiveLibrarySeam() = &seam;
  EXPECT_EQ(platform::LoadLibraryA("refused.dll"), nullptr);
  HMODULE kernel = platform::LoadLibraryA("kernel32.dll");
  ASSERT_NE(kernel, nullptr);
  EXPECT_EQ(platform::GetProcAddress(kernel, "GetCurrentThreadId"), nullptr);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  EXPECT_EQ(platform::GetProcAddressAs<TickCount>(kernel, "GetTickCount")(), 42u);
  platform::FreeLibrary(kernel);
  platform::ActiveLibrarySeam() = nullptr;
  EXPECT_EQ(seam.loads, (std::vector<std::string>{"refused.dll", "kernel32.dll"}));
  EXPECT_EQ(seam.frees, 1);
}

}  // namespace
