// Splitting and joining paths: any path under 260 bytes splits into parts
// that fit their 260-byte buffers, and splitting what the parts join to is
// stable (a join adds a separator or a dot at most once).

#include <array>
#include <string>

#include "fuzz/fuzz_support.h"
#include "ovpb32.h"

namespace {

struct Parts {
  std::array<char, 260> dir, name, ext;
  bool operator==(const Parts& other) const {
    return std::strcmp(dir.data(), other.dir.data()) == 0 && std::strcmp(name.data(), other.name.data()) == 0 &&
           std::strcmp(ext.data(), other.ext.data()) == 0;
  }
};

Parts Split(const char* path) {
  Parts parts;
  SplitPathA(path, parts.dir.data(), parts.name.data(), parts.ext.data());
  return parts;
}

std::string Join(const Parts& parts) {
  char out[3 * 260 + 2];
  MakePathA(out, parts.dir.data(), parts.name.data(), parts.ext.data());
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= 260) return 0;
  auto path = fuzzing::Terminated<char>(data, size);
  Parts first = Split(path.data());
  std::string joined = Join(first);
  if (joined.size() >= 260) return 0;
  Parts second = Split(joined.c_str());
  std::string rejoined = Join(second);
  FUZZ_CHECK(rejoined.size() < 260);
  FUZZ_CHECK(Split(rejoined.c_str()) == second);

  auto wide = fuzzing::Terminated<WCHAR>(data, size);
  std::array<WCHAR, 2049> dir;
  std::array<WCHAR, 257> name, ext;
  SplitPathW(wide.data(), dir.data(), name.data(), ext.data());
  return 0;
}
