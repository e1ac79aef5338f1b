// Lines and sorted records read from a file of any content through a
// descriptor: every line fits the room given and is terminated inside it,
// reading moves on until the end is reported, and a record search answers
// -1 or a record in its region whose leading bytes equal the key.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "fuzz/fuzz_support.h"
#include "ovpb32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/ovpb-fuzz-lines-" + std::to_string(getpid()) + ".dat";
  if (size < 5) return 0;
  int room = 1 + data[0] % 40;
  int keyLength = static_cast<int8_t>(data[1]);
  int recordSize = 1 + data[2] % 16;
  size_t keySize = std::min<size_t>(data[3] % 8, size - 4);
  std::string key(reinterpret_cast<const char*>(data) + 4, keySize);
  std::string bytes(reinterpret_cast<const char*>(data) + 4 + keySize, size - 4 - keySize);
  FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);

  int descriptor = open(path.c_str(), O_RDONLY);
  FUZZ_CHECK(descriptor >= 0);
  auto line = fuzzing::Exactly<char>(static_cast<size_t>(room));
  off_t previous = 0;
  for (int length; (length = ReadLine1(descriptor, line.data(), room)) != -1;) {
    FUZZ_CHECK(length >= 0 && length < room && line[static_cast<size_t>(length)] == 0);
    off_t offset = lseek(descriptor, 0, SEEK_CUR);
    FUZZ_CHECK(offset > previous && offset <= static_cast<off_t>(bytes.size()));
    previous = offset;
  }
  int end = static_cast<int>(bytes.size());
  int found = bsearchfile(descriptor, key.c_str(), keyLength, recordSize, 0, end);
  close(descriptor);
  if (found == -1) return 0;
  FUZZ_CHECK(found >= 0 && found < end / recordSize);
  size_t compared = static_cast<size_t>(std::max(0, std::min(keyLength, 25)));
  std::string record = bytes.substr(static_cast<size_t>(found) * recordSize, compared);
  FUZZ_CHECK(std::strncmp(record.c_str(), key.c_str(), compared) == 0);
  return 0;
}
