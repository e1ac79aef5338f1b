// The sorted-record search over a stream of any content, with any key,
// record size and region: it answers -1 or the index of a record in the
// region whose leading bytes equal the key (as byte strings, at most 25),
// and reads nothing outside the stream.

#include <algorithm>
#include <string>

#include "fuzz/fuzz_support.h"
#include "ovpb32.h"
#include "tests/support/memory_stream.h"


extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5) return 0;
  int keyLength = static_cast<int8_t>(data[0]);
  int recordSize = static_cast<int8_t>(data[1]);
  DWORD start = data[2];
  int end = static_cast<int8_t>(data[3]) * 4;
  size_t keySize = std::min<size_t>(data[4] % 32, size - 5);
  std::string key(reinterpret_cast<const char*>(data) + 5, keySize);
  std::string bytes(reinterpret_cast<const char*>(data) + 5 + keySize, size - 5 - keySize);
  testing_support::MemoryStream stream(bytes);
  int found = bsearchstream(&stream, key.c_str(), keyLength, recordSize, start, end);
  if (found == -1) return 0;
  FUZZ_CHECK(recordSize > 0 && found >= 0 && found < (end - static_cast<int>(start)) / recordSize);
  // A key length of 0 or less compares nothing: the middle record matches.
  size_t compared = static_cast<size_t>(std::max(0, std::min(keyLength, 25)));
  size_t offset = start + static_cast<size_t>(found) * recordSize;
  std::string record = offset < bytes.size() ? bytes.substr(offset, compared) : std::string();
  FUZZ_CHECK(std::strncmp(record.c_str(), key.c_str(), compared) == 0);
  return 0;
}
