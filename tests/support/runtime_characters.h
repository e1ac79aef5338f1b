// What the multi-byte character services answer for every character of the
// ANSI code page, and for every UTF-16 unit what the wide classification
// answers, written as runs of equal answers. The Windows build run under
// Wine writes the runtime's answers into tests/text/runtime_characters.txt
// (scripts/runtime-characters.sh); the tests compare the platform layer's
// answers with that file.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace testing_support {

struct CharacterAnswer {
  unsigned code;        // a byte, or lead byte * 256 + trail byte
  std::string classes;  // "s" space, "a" letter or digit, "d" digit; "-" none
  unsigned upper;       // _mbctoupper
  unsigned lower;       // what _mbslwr makes of the character alone
  bool operator==(const CharacterAnswer& other) const {
    return code == other.code && classes == other.classes && upper == other.upper && lower == other.lower;
  }
};

struct CharacterTable {
  std::vector<bool> lead;  // 256 flags
  std::vector<CharacterAnswer> characters;
};

// The platform layer's answers in the current ANSI code page: every byte
// but 0, and every lead byte with every trail byte but 0.
CharacterTable AskMultiByteServices();
// The wide classification of every UTF-16 unit (upper and lower are the
// unit itself).
CharacterTable AskWideClassification();

// A section of the file: "[name]", the lead bytes, then the runs.
std::string FormatSection(const std::string& name, const CharacterTable& table);
// The sections of a file by name ("932", "wide", ...).
std::map<std::string, CharacterTable> ParseSections(const std::string& text);

std::string Describe(const CharacterAnswer& answer);

}  // namespace testing_support
