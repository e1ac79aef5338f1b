// ovpb config, and where the library's files are.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/command_line.h"
#include "tools/library_config.h"

namespace tool {
namespace {

// %NAME% replaced by the variable, as the library expands "LoggingPath"; an
// unknown name stays as it is.
std::string ExpandVariables(const std::string& text) {
  std::string expanded;
  size_t at = 0;
  while (at < text.size()) {
    size_t open = text.find('%', at);
    size_t close = open == std::string::npos ? open : text.find('%', open + 1);
    if (close == std::string::npos) break;
    const char* value = std::getenv(text.substr(open + 1, close - open - 1).c_str());
    expanded += text.substr(at, open - at);
    if (value != nullptr) {
      expanded += value;
      at = close + 1;
    } else {
      expanded += text.substr(open, close - open);
      at = close;
    }
  }
  return expanded + text.substr(at < text.size() ? at : text.size());
}

}  // namespace

std::string ConfigFilePath() { return LibraryDirectory() + "cv.ver"; }

std::string GeneralLogPath() {
  for (const ConfigSetting& setting : ReadSettings(ConfigFilePath(), LibraryDirectory())) {
    if (setting.info->key == frame::ConfigKey::LoggingPath) return ExpandVariables(setting.value);
  }
  return std::string();
}

int RunConfig(Arguments& arguments) {
  if (!arguments.Done()) return Usage("config", "no arguments are taken");
  std::string directory = LibraryDirectory();
  if (directory.empty()) return Fail("config", "the library's file cannot be found");
  std::printf("module directory:   %s\n", directory.c_str());
  std::printf("configuration file: %s\n", ConfigFilePath().c_str());
  for (const ConfigSetting& setting : ReadSettings(ConfigFilePath(), directory)) {
    bool text = setting.info->kind == frame::ConfigValueKind::Text;
    std::string shown = text ? "\"" + setting.value + "\"" : setting.value;
    std::printf("  %-22s %-30s (%s)\n", setting.info->name, shown.c_str(), setting.fromFile ? "cv.ver" : "default");
  }
  return kSuccess;
}

}  // namespace tool
