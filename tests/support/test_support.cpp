#include "support/test_support.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace testing_support {

namespace {

// Paths built on Linux reach the Windows programs under Wine through Z:.
fs::path FromBuildPath(const char* built) {
#ifdef _WIN32
  std::string path = built;
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return fs::path(path);
#else
  return fs::path(built);
#endif
}

}  // namespace

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  for (;;) {
    std::string name = "ovpb-test-" + std::to_string(random()) + "-" + std::to_string(counter++);
    path_ = fs::temp_directory_path() / name;
    if (fs::create_directory(path_)) break;
  }
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string TempDir::Narrow() const {
  std::string text = path_.string();
  text.push_back(static_cast<char>(fs::path::preferred_separator));
  return text;
}

void WriteTextFile(const fs::path& file, const std::string& contents) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << contents;
}

std::string ReadTextFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::vector<std::string>> ReadTable(const fs::path& file, char separator) {
  std::vector<std::vector<std::string>> table;
  std::istringstream lines(ReadTextFile(file));
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string>& fields = table.emplace_back();
    for (size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
      end = line.find(separator, start);
      fields.push_back(line.substr(start, end - start));
    }
  }
  return table;
}

fs::path ProgramPath() {
#ifdef _WIN32
  wchar_t buffer[MAX_PATH];
  DWORD length = ::GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  return fs::path(std::wstring(buffer, length));
#else
  return fs::read_symlink("/proc/self/exe");
#endif
}

fs::path ProgramDirectory() { return ProgramPath().parent_path(); }

fs::path LibraryFile() { return FromBuildPath(OVPB_LIBRARY_FILE); }
fs::path HelperProgram() { return FromBuildPath(OVPB_HELPER_FILE); }

LoadedLibrary::LoadedLibrary(const fs::path& file) {
#ifdef _WIN32
  handle_ = reinterpret_cast<void*>(::LoadLibraryW(file.wstring().c_str()));
#else
  handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
}

LoadedLibrary::~LoadedLibrary() {
  if (handle_ == nullptr) return;
#ifdef _WIN32
  ::FreeLibrary(reinterpret_cast<HMODULE>(handle_));
#else
  dlclose(handle_);
#endif
}

void* LoadedLibrary::Symbol(const char* name) const {
  if (handle_ == nullptr) return nullptr;
#ifdef _WIN32
  return reinterpret_cast<void*>(::GetProcAddress(reinterpret_cast<HMODULE>(handle_), name));
#else
  return dlsym(handle_, name);
#endif
}

#ifdef _WIN32
static DWORD WINAPI RunThreadBody(void* body) {
  std::unique_ptr<std::function<void()>> owned(static_cast<std::function<void()>*>(body));
  (*owned)();
  return 0;
}

TestThread::TestThread(std::function<void()> body) {
  auto owned = std::make_unique<std::function<void()>>(std::move(body));
  handle_ = ::CreateThread(nullptr, 0, RunThreadBody, owned.get(), 0, nullptr);
  if (handle_ == nullptr) throw std::runtime_error("CreateThread failed, error " + std::to_string(::GetLastError()));
  owned.release();  // the thread frees it
}

TestThread::TestThread(TestThread&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

void TestThread::join() {
  if (handle_ == nullptr) return;
  ::WaitForSingleObject(handle_, INFINITE);
  ::CloseHandle(std::exchange(handle_, nullptr));
}
#else
TestThread::TestThread(std::function<void()> body) : thread_(std::move(body)) {}

TestThread::TestThread(TestThread&& other) noexcept = default;

void TestThread::join() {
  if (thread_.joinable()) thread_.join();
}
#endif

void SetEnvironment(const char* name, const char* value) {
#ifdef _WIN32
  _putenv_s(name, value);
#else
  setenv(name, value, 1);
#endif
}

std::string ToUtf8(const WideString& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t code = text[i];
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size()) code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
    const int trails = code < 0x80 ? 0 : code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;
    out.push_back(static_cast<char>(trails == 0 ? code : ((0xF0u << (3 - trails)) & 0xFF) | (code >> (6 * trails))));
    for (int k = trails - 1; k >= 0; --k) out.push_back(static_cast<char>(0x80 | ((code >> (6 * k)) & 0x3F)));
  }
  return out;
}

}  // namespace testing_support
