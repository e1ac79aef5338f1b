// The entries the helper program's log writer writes, for the tests to check.
#pragma once

#include <functional>
#include <string>

namespace testing_support {

inline std::string LogWriterEntryId(const std::string& tag, int thread, int index) {
  return tag + "-" + std::to_string(thread) + "-" + std::to_string(index);
}

// Lengths vary with the id so that entries straddle each other's places.
inline std::string LogWriterEntry(const std::string& id) {
  size_t payload = 10 + (std::hash<std::string>()(id) % 190);
  return id + " " + std::string(payload, 'p') + "\r\n";
}

}  // namespace testing_support
