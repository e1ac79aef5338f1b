// Writes resource files in the layout openRes reads, keyed as it keys them:
// for tools that build resource files and for the tests.
#pragma once

#include <string>
#include <vector>

namespace services {

struct ResourceSource {
  std::string type;
  std::string name;
  std::string bytes;
};

// The whole file: the resources' bytes, one name table per type, the type
// table with its closing entry, and the type table's offset. Of resources
// with the same keys the first is kept.
std::string BuildResourceFile(const std::vector<ResourceSource>& resources);

}  // namespace services
