// The profile reader on a configuration file of any content (any encoding
// mark, broken lines, huge values): values come back cut to the buffer and
// terminated inside it, integers read without a fault.

#include <unistd.h>

#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/ovpb-fuzz-profile-" + std::to_string(getpid()) + ".ini";
  if (size < 1) return 0;
  DWORD room = 1 + data[0] % 64;
  FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(data + 1, 1, size - 1, file);
  std::fclose(file);
  for (const char* key : {"GeneralLogging", "LoggingPath", "a"}) {
    auto value = fuzzing::Exactly<char>(room);
    DWORD length = platform::GetPrivateProfileStringA("VERSION", key, "default", value.data(), room, path.c_str());
    FUZZ_CHECK(length < room && value[length] == 0);
    (void)platform::GetPrivateProfileIntA("version", key, -7, path.c_str());
  }
  // Without a key: every key of the section, each terminated, and one more
  // terminator, all inside the buffer.
  auto keys = fuzzing::Exactly<char>(room + 1);
  DWORD length = platform::GetPrivateProfileStringA("VERSION", nullptr, "", keys.data(), room + 1, path.c_str());
  FUZZ_CHECK(length <= room);
  return 0;
}
