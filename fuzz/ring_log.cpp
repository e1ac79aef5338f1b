// A ring log written onto a file of any content (a corrupt header, a marker
// in the wrong place, a file larger than the limit): the entry is written at
// the header's position and the file grows no further than that entry and
// the marker after it; a header of digits is always left.

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "fuzz/fuzz_support.h"
#include "ovpb32.h"

namespace {

long long FileSize(const char* path) {
  struct stat facts;
  return stat(path, &facts) == 0 ? static_cast<long long>(facts.st_size) : -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/ovpb-fuzz-ring-" + std::to_string(getpid()) + ".log";
  if (size < 2) return 0;
  int limit = 140 + data[0] * 8;  // room for the entry and the marker at the least
  FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(data + 1, 1, size - 1, file);
  std::fclose(file);
  long long before = FileSize(path.c_str());
  // Where the entry goes, as the file's own header says: far-off positions
  // are taken as they stand, so the bound follows them.
  char header[11] = {};
  std::memcpy(header, data + 1, size - 1 < 10 ? size - 1 : 10);
  long long position = std::atol(header);
  if (position < 10) position = 10;
  if (position > (1LL << 30)) return 0;  // a gigabyte hole proves nothing more

  const char entry[] = "(Sun Dec 06 04:32:01 2026) PC7:alice prog:4711 [Fuzz        ]: entry\r\n";
  FUZZ_CHECK(DoWriteLog(path.c_str(), entry, limit) == 1);
  long long after = FileSize(path.c_str());
  long long bound = position + static_cast<long long>(sizeof entry - 1) + 62;
  FUZZ_CHECK(after <= (before > bound ? before : bound));
  file = std::fopen(path.c_str(), "rb");
  char written[11] = {};
  FUZZ_CHECK(std::fread(written, 1, 10, file) == 10);
  std::fclose(file);
  FUZZ_CHECK(std::atol(written) >= 10 && std::atol(written) <= bound);
  return 0;
}
