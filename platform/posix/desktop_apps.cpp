#include "platform/posix/desktop_apps.h"

#include <dirent.h>
#include <strings.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace platform {
namespace posix {
namespace {

std::vector<std::string> SplitList(const std::string& text, char separator) {
  std::vector<std::string> items;
  std::stringstream stream(text);
  for (std::string item; std::getline(stream, item, separator);) {
    if (!item.empty()) items.push_back(item);
  }
  return items;
}

std::string HomeFolder(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value != nullptr && value[0] == '/') return value;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + fallback;
}

std::vector<std::string> Folders(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  return SplitList(value != nullptr && value[0] != 0 ? value : fallback, ':');
}

// $XDG_DATA_HOME and then $XDG_DATA_DIRS, most important first.
std::vector<std::string> DataFolders() {
  std::vector<std::string> folders{HomeFolder("XDG_DATA_HOME", "/.local/share")};
  for (const std::string& folder : Folders("XDG_DATA_DIRS", "/usr/local/share:/usr/share")) folders.push_back(folder);
  return folders;
}

bool EqualNoCase(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

// A desktop entry's groups of keys (locale variants of keys are ignored).
using Groups = std::map<std::string, std::map<std::string, std::string>>;

Groups ReadKeyFile(const std::string& path) {
  Groups groups;
  std::ifstream file(path);
  std::string group;
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[' && line.back() == ']') {
      group = line.substr(1, line.size() - 2);
      continue;
    }
    size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    std::string key = line.substr(0, equals), value = line.substr(equals + 1);
    while (!key.empty() && key.back() == ' ') key.pop_back();
    while (!value.empty() && value.front() == ' ') value.erase(0, 1);
    groups[group].emplace(key, value);
  }
  return groups;
}

std::string Value(const Groups& groups, const std::string& group, const std::string& key) {
  auto found = groups.find(group);
  if (found == groups.end()) return std::string();
  auto value = found->second.find(key);
  return value == found->second.end() ? std::string() : value->second;
}

// The desktop entry of an id such as "editor.desktop", from the first data
// folder that has it; empty groups when none does or it is hidden.
Groups DesktopEntry(const std::string& id) {
  for (const std::string& folder : DataFolders()) {
    Groups entry = ReadKeyFile(folder + "/applications/" + id);
    if (entry.count("Desktop Entry") == 0) continue;
    if (Value(entry, "Desktop Entry", "Hidden") == "true") return Groups();
    return entry;
  }
  return Groups();
}

std::string ExecForVerb(const Groups& entry, const std::string& verb) {
  if (verb.empty() || EqualNoCase(verb, "open")) return Value(entry, "Desktop Entry", "Exec");
  for (const std::string& action : SplitList(Value(entry, "Desktop Entry", "Actions"), ';')) {
    if (EqualNoCase(action, verb)) return Value(entry, "Desktop Action " + action, "Exec");
  }
  return std::string();
}

bool NamesType(const Groups& entry, const std::string& mimeType) {
  for (const std::string& type : SplitList(Value(entry, "Desktop Entry", "MimeType"), ';')) {
    if (type == mimeType) return true;
  }
  return false;
}

// The mimeapps.list files, most important first.
std::vector<std::string> MimeAppsLists() {
  std::vector<std::string> lists{HomeFolder("XDG_CONFIG_HOME", "/.config") + "/mimeapps.list"};
  for (const std::string& folder : Folders("XDG_CONFIG_DIRS", "/etc/xdg")) lists.push_back(folder + "/mimeapps.list");
  for (const std::string& folder : DataFolders()) lists.push_back(folder + "/applications/mimeapps.list");
  return lists;
}

// The application ids for the type: defaults, then added associations, then
// every desktop entry that names the type.
std::vector<std::string> Candidates(const std::string& mimeType) {
  std::vector<std::string> ids;
  std::vector<Groups> lists;
  for (const std::string& path : MimeAppsLists()) lists.push_back(ReadKeyFile(path));
  for (const char* group : {"Default Applications", "Added Associations"}) {
    for (const Groups& list : lists) {
      for (const std::string& id : SplitList(Value(list, group, mimeType), ';')) ids.push_back(id);
    }
  }
  return ids;
}

// The simplest glob form, "*.ext", is the one extensions are given by.
bool GlobMatchesExtension(const std::string& glob, const std::string& extension) {
  return glob.size() > 2 && glob.compare(0, 2, "*.") == 0 && EqualNoCase(glob.substr(2), extension);
}

}  // namespace

std::string MimeTypeOfExtension(const std::string& extension) {
  if (extension.empty()) return std::string();
  std::string best;
  int bestWeight = -1;
  for (const std::string& folder : DataFolders()) {
    std::ifstream globs(folder + "/mime/globs2");
    for (std::string line; std::getline(globs, line);) {
      if (line.empty() || line[0] == '#') continue;
      std::vector<std::string> fields = SplitList(line, ':');  // weight:type:glob[:flags]
      if (fields.size() < 3 || !GlobMatchesExtension(fields[2], extension)) continue;
      const int weight = std::atoi(fields[0].c_str());
      if (weight > bestWeight) {
        best = fields[1];
        bestWeight = weight;
      }
    }
    if (!best.empty()) return best;  // a more important folder decides
  }
  return best;
}

std::string CommandForType(const std::string& mimeType, const std::string& verb) {
  if (mimeType.empty()) return std::string();
  for (const std::string& id : Candidates(mimeType)) {
    Groups entry = DesktopEntry(id);
    if (!entry.empty()) return ExecForVerb(entry, verb);
  }
  for (const std::string& folder : DataFolders()) {
    std::vector<std::string> names;
    if (DIR* applications = opendir((folder + "/applications").c_str())) {
      while (const dirent* item = readdir(applications)) {
        const std::string name(item->d_name);
        if (name.size() > 8 && name.compare(name.size() - 8, 8, ".desktop") == 0) names.push_back(name);
      }
      closedir(applications);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
      Groups entry = DesktopEntry(name);
      if (NamesType(entry, mimeType)) return ExecForVerb(entry, verb);
    }
  }
  return std::string();
}

std::vector<std::string> ExpandCommand(const std::string& exec, const std::string& file) {
  std::vector<std::string> arguments;
  std::string current;
  bool inArgument = false, quoted = false;
  for (size_t i = 0; i < exec.size(); ++i) {
    const char c = exec[i];
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else if (c == '\\' && i + 1 < exec.size()) {
        current += exec[++i];
      } else {
        current += c;
      }
    } else if (c == '"') {
      quoted = inArgument = true;
    } else if (c == ' ' || c == '\t') {
      if (inArgument) arguments.push_back(current);
      current.clear();
      inArgument = false;
    } else if (c == '%' && i + 1 < exec.size()) {
      const char code = exec[++i];
      inArgument = true;
      if (code == '%') current += '%';
      if (code == 'f' || code == 'F' || code == 'u' || code == 'U') current += file;
    } else {
      current += c;
      inArgument = true;
    }
  }
  if (inArgument && !current.empty()) arguments.push_back(current);
  return arguments;
}

}  // namespace posix
}  // namespace platform
