#include "tools/library_config.h"

#include <cstdio>
#include <cstdlib>
#include <strings.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace tool {
namespace {

std::string Trim(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return std::string();
  return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

bool SameName(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

void AppendUtf8(std::string* out, unsigned code) {
  if (code < 0x80) {
    *out += static_cast<char>(code);
  } else if (code < 0x800) {
    *out += static_cast<char>(0xC0 | (code >> 6));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    *out += static_cast<char>(0xE0 | (code >> 12));
    *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (code >> 18));
    *out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The file's text: UTF-16 with a byte order mark as UTF-8, a UTF-8 mark
// dropped, anything else as it is.
std::string ReadText(const std::string& path) {
  std::string bytes;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    char block[4096];
    size_t count;
    while ((count = std::fread(block, 1, sizeof block, file)) > 0) bytes.append(block, count);
    std::fclose(file);
  }
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return bytes.substr(3);
  if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0xFF || static_cast<unsigned char>(bytes[1]) != 0xFE) {
    return bytes;
  }
  std::string text;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    unsigned unit = static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
      unsigned low = static_cast<unsigned char>(bytes[i + 2]) | static_cast<unsigned char>(bytes[i + 3]) << 8;
      unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    AppendUtf8(&text, unit);
  }
  return text;
}

// The first value of `key` in `section`; false when the file has none.
bool FindValue(const std::string& text, const char* section, const char* key, std::string* value) {
  bool inSection = false;
  size_t begin = 0;
  while (begin < text.size()) {
    size_t end = text.find_first_of("\r\n", begin);
    if (end == std::string::npos) end = text.size();
    std::string line = Trim(text.substr(begin, end - begin));
    begin = end + 1;
    if (!line.empty() && line[0] == '[') {
      size_t close = line.find(']');
      inSection = close != std::string::npos && SameName(Trim(line.substr(1, close - 1)), section);
      continue;
    }
    size_t equals = line.find('=');
    if (!inSection || equals == std::string::npos || !SameName(Trim(line.substr(0, equals)), key)) continue;
    *value = Trim(line.substr(equals + 1));
    if (value->size() >= 2 && (value->front() == '"' || value->front() == '\'') && value->back() == value->front()) {
      *value = value->substr(1, value->size() - 2);
    }
    return true;
  }
  return false;
}

}  // namespace

std::string LibraryDirectory() {
  std::string file;
#ifdef _WIN32
  char path[MAX_PATH];
  HMODULE library = GetModuleHandleA("Ovpb32.dll");
  if (library != nullptr && GetModuleFileNameA(library, path, MAX_PATH) > 0) file = path;
#else
  Dl_info info;
  void* symbol = dlsym(RTLD_DEFAULT, "OVActiveLog");
  if (symbol != nullptr && dladdr(symbol, &info) != 0 && info.dli_fname != nullptr) file = info.dli_fname;
#endif
  size_t separator = file.find_last_of("/\\");
  return separator == std::string::npos ? std::string() : file.substr(0, separator + 1);
}

std::vector<ConfigSetting> ReadSettings(const std::string& configFile, const std::string& moduleDirectory) {
  std::string text = ReadText(configFile);
  std::vector<ConfigSetting> settings;
  for (const frame::ConfigKeyInfo& info : frame::config_table::kConfigKeys) {
    ConfigSetting setting{&info, std::string(), false};
    std::string found;
    setting.fromFile = FindValue(text, info.section, info.name, &found);
    if (info.kind == frame::ConfigValueKind::Text) {
      setting.value = setting.fromFile ? found
                                       : (info.defaultInModuleDirectory ? moduleDirectory : std::string()) + info.defaultText;
    } else {
      setting.value = std::to_string(setting.fromFile ? static_cast<int>(std::strtol(found.c_str(), nullptr, 10))
                                                      : info.defaultInteger);
    }
    settings.push_back(setting);
  }
  return settings;
}

}  // namespace tool
