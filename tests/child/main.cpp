// A second process for tests: loads the library from a given file, as a
// host program does, and answers one question; or holds a file open.
//
//   ovpb_test_child assert-on LIBRARY   prints OVAssertOn() of that library
//   ovpb_test_child hold-unshared FILE  opens FILE for reading and writing
//       without sharing, creates FILE.held, and keeps the file open until
//       FILE.release appears (at most 60 s)

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "platform/files.h"
#include "support/test_support.h"

namespace {

int HoldUnshared(const std::string& file) {
  HANDLE held = platform::CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (held == INVALID_HANDLE_VALUE) return 3;
  testing_support::WriteTextFile(file + ".held", "");
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!testing_support::fs::exists(file + ".release") && std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  platform::CloseHandle(held);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "assert-on") == 0) {
    testing_support::LoadedLibrary library{testing_support::fs::path(argv[2])};
    auto assertOn = library.Get<int (*)()>("OVAssertOn");
    if (assertOn == nullptr) return 2;
    std::printf("%d\n", assertOn());
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "hold-unshared") == 0) return HoldUnshared(argv[2]);
  std::fprintf(stderr, "usage: %s assert-on LIBRARY | hold-unshared FILE\n", argv[0]);
  return 2;
}
