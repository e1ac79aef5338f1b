// Resource files of any content, and files written from resources the input
// lists. Invariants: a resource found in any file reads the same bytes twice
// and from any position, never more than asked for (buffers of exactly that
// size); in a written file every resource is found by its name and type (the
// first of those with the same keys) and reads back its own bytes.
//
// Input: byte 0 chooses the mode. Even: type (4 bytes), name (8 bytes), then
// the file. Odd: resources as "type\tname\tbytes" lines.

#include <unistd.h>

#include <string>

#include "fuzz/fuzz_support.h"
#include "ovpb32.h"
#include "services/resource_keys.h"
#include "services/resource_writer.h"

namespace {

constexpr int kSeekSet = 0, kSeekEnd = 2;
constexpr size_t kMostRead = 1 << 16;

const std::string& FilePath() {
  static const std::string path = "/tmp/ovpb-fuzz-resources-" + std::to_string(getpid()) + ".dat";
  return path;
}

bool OpenFile(const std::string& bytes) {
  FILE* file = std::fopen(FilePath().c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  CloseResMan();
  return InitResMan(FilePath().c_str()) == 0;
}

// The resource's bytes read in one go from `from`, at most kMostRead.
std::string ReadFrom(IStream* resource, LONG from, size_t count) {
  FUZZ_CHECK(lseekRes(resource, from, kSeekSet) == from);
  auto buffer = fuzzing::Exactly<char>(count);
  UINT got = _lreadRes(resource, buffer.data(), static_cast<UINT>(count));
  FUZZ_CHECK(got <= count);
  return std::string(buffer.data(), got);
}

std::string ReadConsistently(IStream* resource, size_t fileSize, uint8_t split) {
  LONG end = lseekRes(resource, 0, kSeekEnd);
  size_t length = end < 0 ? kMostRead : std::min<size_t>(static_cast<size_t>(end), kMostRead);
  std::string whole = ReadFrom(resource, 0, length);
  FUZZ_CHECK(whole.size() <= fileSize && whole.size() <= length);
  FUZZ_CHECK(ReadFrom(resource, 0, length) == whole);
  size_t middle = whole.empty() ? 0 : split % whole.size();
  FUZZ_CHECK(ReadFrom(resource, static_cast<LONG>(middle), length) == whole.substr(middle));
  return whole;
}

void CheckAnyFile(const uint8_t* data, size_t size) {
  if (size < 13) return;
  std::string type(reinterpret_cast<const char*>(data + 1), 4), name(reinterpret_cast<const char*>(data + 5), 8);
  std::string file(reinterpret_cast<const char*>(data + 13), size - 13);
  if (!OpenFile(file)) return;
  IStream* resource = openRes(name.c_str(), type.c_str());
  if (resource != nullptr) {
    ReadConsistently(resource, file.size(), data[0]);
    closeRes(resource);
  }
}

std::vector<services::ResourceSource> Parse(const std::string& text) {
  std::vector<services::ResourceSource> resources;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    size_t tab1 = line.find('\t'), tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 != std::string::npos) {
      std::string type = line.substr(0, tab1), name = line.substr(tab1 + 1, tab2 - tab1 - 1);
      if (type.find('\0') == std::string::npos && name.find('\0') == std::string::npos)
        resources.push_back({type, name, line.substr(tab2 + 1)});
    }
    start = end + 1;
  }
  return resources;
}

// Resources are told apart by the first 4 bytes of the upper-cased type and
// the first 8 of the upper-cased, right-trimmed name.
std::string Keys(const services::ResourceSource& resource) {
  char type[services::kMaxResourceText], name[services::kMaxResourceText];
  services::MakeTypeKey(resource.type.c_str(), type);
  services::MakeNameKey(resource.name.c_str(), name);
  return std::string(type, strnlen(type, 4)) + '\0' + std::string(name, strnlen(name, 8));
}

void CheckWrittenFile(const uint8_t* data, size_t size) {
  auto resources = Parse(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  std::string file = services::BuildResourceFile(resources);
  if (!OpenFile(file)) return;
  for (size_t i = 0; i < resources.size(); ++i) {
    const auto* first = &resources[i];
    for (size_t k = 0; k < i; ++k)
      if (Keys(resources[k]) == Keys(resources[i])) first = &resources[k], k = i;
    IStream* resource = openRes(resources[i].name.c_str(), resources[i].type.c_str());
    FUZZ_CHECK(resource != nullptr);
    FUZZ_CHECK(ReadConsistently(resource, file.size(), data[0]) == first->bytes.substr(0, kMostRead));
    closeRes(resource);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  if (data[0] % 2 == 0) {
    CheckAnyFile(data, size);
  } else {
    CheckWrittenFile(data, size);
  }
  CloseResMan();
  return 0;
}
