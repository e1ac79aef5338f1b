// Writers taking turns to raise a number kept in a file: the test of exclusive
// opens between threads and processes, for the tests and the helper program.
#pragma once

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/files.h"

namespace testing_support {

// Adds one to the number in the file (made when missing), holding the file
// open without sharing throughout; false with the platform's last error set
// when the open fails (ERROR_SHARING_VIOLATION while another writer has it).
inline bool AddOneExclusively(const std::string& path) {
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
