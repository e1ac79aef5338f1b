// Helpers shared by the test programs.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/types.h"
#include "platform/wide.h"

namespace testing_support {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const fs::path& path() const { return path_; }
  // The folder as the library's narrow functions take it, with a trailing
  // separator.
  std::string Narrow() const;
  fs::path operator/(const std::string& name) const { return path_ / name; }

 private:
  fs::path path_;
};

void WriteTextFile(const fs::path& file, const std::string& contents);
std::string ReadTextFile(const fs::path& file);
// The fields of a table file's lines, split at `separator`; empty lines and
// lines starting with '#' left out.
std::vector<std::vector<std::string>> ReadTable(const fs::path& file, char separator);

// The running test program's file and folder, from the operating system.
fs::path ProgramPath();
fs::path ProgramDirectory();

// The built library and the helper program, as this platform names them.
fs::path LibraryFile();
fs::path HelperProgram();

// A library loaded by file name, as a host program loads it.
class LoadedLibrary {
 public:
  explicit LoadedLibrary(const fs::path& file);
  ~LoadedLibrary();
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  bool loaded() const { return handle_ != nullptr; }
  void* Symbol(const char* name) const;
  template <typename Function>
  Function Get(const char* name) const {
    return reinterpret_cast<Function>(Symbol(name));
  }

 private:
  void* handle_;
};

// A thread joined at the latest when it goes; on Windows the system's own, as under
// Wine a runtime thread sometimes never started while other processes came and went.
class TestThread {
 public:
  // Throws, with the system's error code, when the thread cannot be made.
  explicit TestThread(std::function<void()> body);
  TestThread(TestThread&& other) noexcept;
  ~TestThread() { join(); }
  void join();

 private:
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  std::thread thread_;
#endif
};

std::string ToUtf8(const WideString& text);
void SetEnvironment(const char* name, const char* value);

}  // namespace testing_support
