// A second process for tests: loads the library from a given file, as a
// host program does, and answers one question.
//
//   ovpb_test_child assert-on LIBRARY   prints OVAssertOn() of that library
//   ovpb_test_child runtime-characters  prints the multi-byte services' answers
//                                       in the ANSI code page, as a section
//                                       of tests/text/runtime_characters.txt
//   ovpb_test_child wide-characters     the same for the wide classification

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/codepage.h"
#include "support/runtime_characters.h"
#include "support/test_support.h"

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "assert-on") == 0) {
    testing_support::LoadedLibrary library{testing_support::fs::path(argv[2])};
    auto assertOn = library.Get<int (*)()>("OVAssertOn");
    if (assertOn == nullptr) return 2;
    std::printf("%d\n", assertOn());
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "runtime-characters") == 0) {
    std::string section = testing_support::FormatSection(std::to_string(platform::GetACP()),
                                                         testing_support::AskMultiByteServices());
    std::fwrite(section.data(), 1, section.size(), stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "wide-characters") == 0) {
    std::string section = testing_support::FormatSection("wide", testing_support::AskWideClassification());
    std::fwrite(section.data(), 1, section.size(), stdout);
    return 0;
  }
  std::fprintf(stderr, "usage: %s assert-on LIBRARY | runtime-characters | wide-characters\n", argv[0]);
  return 2;
}
