// The library's setting as the loaded library sees it: the folder of its
// file and the keys of the cv.ver there, each with where its value came from.
#pragma once

#include <string>
#include <vector>

#include "frame/config_keys.h"

namespace tool {

// The folder of the loaded library's file, with its final separator.
std::string LibraryDirectory();

struct ConfigSetting {
  const frame::ConfigKeyInfo* info;
  std::string value;  // integers in decimal
  bool fromFile;      // false: the default
};

// Every key of the table, read from `configFile` by the profile rules
// (names without regard to case, blanks and matching quotes around values
// dropped, integers read up to the first non-digit).
std::vector<ConfigSetting> ReadSettings(const std::string& configFile, const std::string& moduleDirectory);

}  // namespace tool
