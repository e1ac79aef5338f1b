#include <gtest/gtest.h>

#include <cstdarg>
#include <string>

#include "platform/format.h"
#include "platform/library.h"
#include "platform/system.h"
#include "support/test_support.h"

namespace {

std::string Expanded(const char* text, DWORD size = 260) {
  std::string buffer(size, '#');
  DWORD needed = platform::ExpandEnvironmentStringsA(text, &buffer[0], size);
  return needed <= size ? buffer.c_str() : "needs " + std::to_string(needed);
}

TEST(EnvironmentExpansion, ReplacesKnownVariablesWithoutRegardToCase) {
  testing_support::SetEnvironment("OVPB_EXPAND_TEST", "value");
  const std::pair<const char*, const char*> cases[] = {
      {"a%OVPB_EXPAND_TEST%b", "avalueb"}, {"%ovpb_expand_test%", "value"},
      {"%OVPB_NO_SUCH_VARIABLE%x", "%OVPB_NO_SUCH_VARIABLE%x"}, {"100%", "100%"},
      {"%%OVPB_EXPAND_TEST%", "%%OVPB_EXPAND_TEST%"}, {"%X%%OVPB_EXPAND_TEST%", "%X%value"},
      {"x%OVPB_EXPAND_TEST%", "xvalue"}};
  for (const auto& [text, expanded] : cases) EXPECT_EQ(Expanded(text), expanded) << text;
  // The room needed, and nothing written when it is short.
  EXPECT_EQ(platform::ExpandEnvironmentStringsA("x%OVPB_EXPAND_TEST%", nullptr, 0), 7u);
  EXPECT_EQ(Expanded("x%OVPB_EXPAND_TEST%", 4), "needs 7");
}

std::string Formatted(size_t capacity, const WCHAR* format, ...) {
  WideString buffer(capacity, u'#');
  va_list arguments;
  va_start(arguments, format);
  int result = platform::FormatWide(&buffer[0], capacity, format, arguments);
  va_end(arguments);
  std::string text = testing_support::ToUtf8(WideString(buffer.c_str()));
  return result < 0 ? "cut:" + text : text;
}

TEST(WideFormat, StringsAreWideUnlessMarkedNarrowAndCutTextIsTerminated) {
  EXPECT_EQ(Formatted(64, OV_WIDE("%s|%S|%hs|%ls"), OV_WIDE("w1"), "n1", "n2", OV_WIDE("w2")), "w1|n1|n2|w2");
  EXPECT_EQ(Formatted(64, OV_WIDE("[%-6s][%6s][%.2s]"), OV_WIDE("ab"), OV_WIDE("cd"), OV_WIDE("xyz")),
            "[ab    ][    cd][xy]");
  EXPECT_EQ(Formatted(64, OV_WIDE("%c%C"), static_cast<int>(u'\u00e9'), static_cast<int>('z')), "\u00e9z");
  EXPECT_EQ(Formatted(6, OV_WIDE("%s"), OV_WIDE("abcdefgh")), "cut:abcde");
  EXPECT_EQ(Formatted(6, OV_WIDE("abcde")), "abcde");
}

using TickCount = DWORD (*)();

TEST(Library, FindsSystemFunctionsByNameInAnyCaseOrFailsWithTheErrors) {
  for (const char* name : {"kernel32.dll", "KERNEL32", "Kernel32.DLL"}) {
    HMODULE kernel = platform::LoadLibraryA(name);
    ASSERT_NE(kernel, nullptr) << name;
    auto tickCount = platform::GetProcAddressAs<TickCount>(kernel, "GetTickCount");
    ASSERT_NE(tickCount, nullptr) << name;
    EXPECT_LE(platform::GetTickCount() - tickCount(), 1000u);
    EXPECT_EQ(platform::GetModuleHandleA(name), kernel);
    EXPECT_EQ(platform::GetProcAddress(kernel, "NoSuchFunctionAnywhere"), nullptr);
    EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_TRUE(platform::FreeLibrary(kernel));
  }
  EXPECT_EQ(platform::LoadLibraryA("no-such-library-here.dll"), nullptr);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

}  // namespace
