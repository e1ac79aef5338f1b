#include "services/resource_writer.h"

#include <cstring>
#include <map>

#include "services/resource_keys.h"

namespace services {
namespace {

// Keys are compared byte by byte up to their first zero, so keys padded
// with zeros order as std::string does.
std::string Key(const char* text, size_t width) {
  std::string key(text, strnlen(text, width));
  key.resize(width, '\0');
  return key;
}

void Append32(std::string& out, size_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

struct Placed {
  size_t start;
  size_t end;
};

}  // namespace

std::string BuildResourceFile(const std::vector<ResourceSource>& resources) {
  std::string file;
  std::map<std::string, std::map<std::string, Placed>> types;
  for (const ResourceSource& resource : resources) {
    char typeKey[kMaxResourceText];
    char nameKey[kMaxResourceText];
    MakeTypeKey(resource.type.c_str(), typeKey);
    MakeNameKey(resource.name.c_str(), nameKey);
    auto& names = types[Key(typeKey, 4)];
    const std::string name = Key(nameKey, 8);
    if (names.count(name) != 0) continue;
    names[name] = Placed{file.size(), file.size() + resource.bytes.size()};
    file += resource.bytes;
  }
  std::map<std::string, size_t> nameTables;
  for (const auto& [type, names] : types) {
    nameTables[type] = file.size();
    for (const auto& [name, placed] : names) {
      file += name;
      Append32(file, 0);
      Append32(file, placed.start);
      Append32(file, placed.end);
    }
  }
  const size_t typeTable = file.size();
  for (const auto& [type, start] : nameTables) {
    file += type;
    Append32(file, start);
  }
  file += std::string(4, '\xFF');  // the closing entry sorts after every type
  Append32(file, typeTable);      // its offset ends the last name table
  Append32(file, typeTable);
  return file;
}

}  // namespace services
