// A fresh folder and short ways to make, open and look at files through the platform layer.
#pragma once

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/files.h"
#include "platform/system.h"
#include "support/test_support.h"

const DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;
const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() { Close(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  void Close() {
    if (valid()) platform::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

// The last error an operation leaves, or 0 when it succeeded.
template <typename Operation>
DWORD ErrorOf(Operation operation) {
  platform::SetLastError(12345);
  return operation() ? 0u : platform::GetLastError();
}

class FileTest : public ::testing::Test {
 protected:
  // `name` may hold `\` separators (the platform takes both).
  std::string Path(const std::string& name) const { return dir_.Narrow() + name; }
  // Made by the test's own means, not the platform layer; `name` with `/`.
  void Make(const std::string& name, const std::string& contents = "") {
    testing_support::WriteTextFile(dir_ / name, contents);
  }
  void MakeFolder(const std::string& name) { ASSERT_TRUE(platform::CreateDirectoryA(Path(name).c_str(), nullptr)); }
  std::string Contents(const std::string& name) const { return testing_support::ReadTextFile(dir_ / name); }
  HANDLE Open(const std::string& name, DWORD access, DWORD share, DWORD disposition = OPEN_EXISTING,
              DWORD flags = FILE_ATTRIBUTE_NORMAL) const {
    return platform::CreateFileA(Path(name).c_str(), access, share, nullptr, disposition, flags, nullptr);
  }
  // The last error an open leaves (closing the handle when it opened).
  DWORD OpenError(const std::string& name, DWORD access, DWORD share, DWORD disposition = OPEN_EXISTING,
                  DWORD flags = FILE_ATTRIBUTE_NORMAL) const {
    platform::SetLastError(12345);
    ScopedHandle file(Open(name, access, share, disposition, flags));
    return platform::GetLastError();
  }
  DWORD Attributes(const std::string& name) const { return platform::GetFileAttributesA(Path(name).c_str()); }
  bool Exists(const std::string& name) const { return Attributes(name) != INVALID_FILE_ATTRIBUTES; }
  // Every name a search for `pattern` (in the test folder unless told) yields;
  // the error when it yields none.
  std::set<std::string> Find(const std::string& pattern, bool inFolder = true) const {
    WIN32_FIND_DATAA found;
    HANDLE search = platform::FindFirstFileA((inFolder ? Path(pattern) : pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return {"error " + std::to_string(platform::GetLastError())};
    std::set<std::string> names;
    do {
      names.insert(found.cFileName);
    } while (platform::FindNextFileA(search, &found));
    EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(platform::FindClose(search));
    return names;
  }
  std::string ReadAll(HANDLE file) const {
    char buffer[256];
    DWORD got = 0;
    if (!platform::ReadFile(file, buffer, sizeof buffer, &got, nullptr)) return "<read failed>";
    return std::string(buffer, got);
  }
  bool Write(HANDLE file, const std::string& text) const {
    DWORD written = 0;
    return platform::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
  }

  testing_support::TempDir dir_;
};
