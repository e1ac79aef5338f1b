#include "support/shared_counter.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/files.h"

namespace testing_support {

bool AddOneExclusively(const std::string& path) {
  HANDLE file = platform::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char text[32] = {};
  DWORD got = 0;
  platform::ReadFile(file, text, sizeof text - 1, &got, nullptr);
  std::string next = std::to_string(std::atol(text) + 1);
  std::this_thread::sleep_for(std::chrono::microseconds(100));  // long enough for a second writer to slip in
  platform::SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  platform::WriteFile(file, next.data(), static_cast<DWORD>(next.size()), &got, nullptr);
  platform::CloseHandle(file);
  return true;
}

}  // namespace testing_support
