// ovpb: shows what the library sees of its setting: its module directory,
// its configuration file and the value of every configuration key.

#include <cstdio>
#include <cstring>

#include "frame/config.h"
#include "frame/module.h"

namespace {

void PrintConfiguration() {
  std::printf("module directory:   %s\n", frame::GetModuleDirectoryA());
  std::printf("configuration file: %s\n", frame::GetConfigFilePathA());
  size_t count = 0;
  const frame::ConfigKeyInfo* keys = frame::ConfigKeys(&count);
  for (size_t i = 0; i < count; ++i) {
    const frame::ConfigKeyInfo& info = keys[i];
    if (info.kind == frame::ConfigValueKind::Text) {
      char value[MAX_PATH];
      frame::ReadConfigTextA(info.key, value, sizeof value);
      std::printf("  %-22s \"%s\"\n", info.name, value);
    } else {
      std::printf("  %-22s %d\n", info.name, frame::ConfigInteger(info.key));
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 1 || (argc == 2 && std::strcmp(argv[1], "config") == 0)) {
    PrintConfiguration();
    return 0;
  }
  std::fprintf(stderr, "usage: %s [config]\n", argv[0]);
  return 2;
}
