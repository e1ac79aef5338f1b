// A second process for tests: loads the library from a given file, as a
// host program does, and answers one question.
//
//   ovpb_test_child assert-on LIBRARY   prints OVAssertOn() of that library

#include <cstdio>
#include <cstring>
#include <string>

#include "support/test_support.h"

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "assert-on") == 0) {
    testing_support::LoadedLibrary library{testing_support::fs::path(argv[2])};
    auto assertOn = library.Get<int (*)()>("OVAssertOn");
    if (assertOn == nullptr) return 2;
    std::printf("%d\n", assertOn());
    return 0;
  }
  std::fprintf(stderr, "usage: %s assert-on LIBRARY\n", argv[0]);
  return 2;
}
