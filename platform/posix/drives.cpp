#include "platform/posix/drives.h"

#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <sstream>

namespace platform {
namespace posix {
namespace {

const char kDefaultDrives[] = "C:=/;Z:=/";

std::string LowerAscii(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::string WithoutTrailingSlashes(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

// "\\server\share" (either separator) as "server/share" in lower case;
// empty when the text is not of that form.
std::string ShareKey(const std::string& text) {
  if (text.size() < 5 || !IsSeparator(text[0]) || !IsSeparator(text[1])) return std::string();
  std::string rest = text.substr(2);
  size_t split = rest.find_first_of("/\\");
  if (split == 0 || split == std::string::npos || split + 1 == rest.size()) return std::string();
  std::string share = rest.substr(split + 1);
  if (share.find_first_of("/\\") != std::string::npos) return std::string();
  return LowerAscii(rest.substr(0, split) + "/" + share);
}

// "\\server\share" with backslashes, as written otherwise.
std::string BackslashShare(std::string share) {
  for (char& c : share) {
    if (c == '/') c = '\\';
  }
  return share;
}

std::string CurrentDirectory() {
  char buffer[PATH_MAX];
  return getcwd(buffer, sizeof buffer) != nullptr ? std::string(buffer) : std::string();
}

bool Holds(const std::string& root, const std::string& directory) {
  if (root == "/") return !directory.empty() && directory[0] == '/';
  return directory.compare(0, root.size(), root) == 0 &&
         (directory.size() == root.size() || directory[root.size()] == '/');
}

}  // namespace

DriveTable& DriveTable::Instance() {
  static DriveTable table;
  return table;
}

DriveTable::DriveTable() { LoadFromEnvironment(); }

void DriveTable::LoadFromEnvironment() {
  const char* definition = std::getenv("OVPB_DRIVES");
  Load(definition != nullptr ? definition : kDefaultDrives);
}

void DriveTable::Load(const std::string& definition) {
  std::lock_guard<std::mutex> lock(mutex_);
  roots_.fill(std::string());
  directories_.fill(std::string());
  remembered_.fill(std::string());
  shares_.clear();
  std::istringstream entries(definition);
  for (std::string entry; std::getline(entries, entry, ';');) {
    size_t equals = entry.find('=');
    if (equals == std::string::npos || equals + 1 >= entry.size()) continue;
    std::string name = entry.substr(0, equals);
    std::string value = entry.substr(equals + 1);
    bool letter = ((name.size() == 2 && name[1] == ':') || name.size() == 1) &&
                  std::isalpha(static_cast<unsigned char>(name[0]));
    int drive = letter ? std::toupper(static_cast<unsigned char>(name[0])) - 'A' + 1 : 0;
    if (letter && !ShareKey(value).empty()) {
      remembered_[drive] = BackslashShare(value);
      continue;
    }
    if (value[0] != '/') continue;
    std::string folder = WithoutTrailingSlashes(value);
    if (letter) {
      roots_[drive] = folder;
    } else if (!ShareKey(name).empty()) {
      shares_.emplace_back(ShareKey(name), folder);
    }
  }
  current_ = 0;
  current_ = DriveHolding(CurrentDirectory());
}

std::string DriveTable::Root(int drive) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (drive < 1 || drive > 26) return std::string();
  return remembered_[drive].empty() ? roots_[drive] : ShareRootLocked(ShareKey(remembered_[drive]));
}

std::string DriveTable::RememberedShare(int drive) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return drive >= 1 && drive <= 26 ? remembered_[drive] : std::string();
}

std::string DriveTable::ShareRoot(const std::string& server, const std::string& share) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return ShareRootLocked(LowerAscii(server + "/" + share));
}

std::string DriveTable::ShareRootLocked(const std::string& key) const {
  for (const auto& entry : shares_) {
    if (entry.first == key) return entry.second;
  }
  return std::string();
}

std::string DriveTable::CurrentDirectoryOf(int drive) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (drive < 1 || drive > 26 || drive == current_) return std::string();
  return directories_[drive].empty() ? roots_[drive] : directories_[drive];
}

int DriveTable::CurrentDrive() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return current_;
}

void DriveTable::Entered(const std::string& directory, int drive) {
  std::lock_guard<std::mutex> lock(mutex_);
  current_ = drive != 0 ? drive : DriveHolding(directory);
  if (current_ != 0) directories_[current_] = directory;
}

// The drive whose folder holds `directory`: the longest such folder, the
// current drive among equals, else the first letter. 0 when none does.
int DriveTable::DriveHolding(const std::string& directory) const {
  int best = 0;
  for (int drive = 1; drive <= 26; ++drive) {
    const std::string& root = roots_[drive];
    if (root.empty() || !Holds(root, directory)) continue;
    bool longer = best == 0 || root.size() > roots_[best].size();
    bool preferred = root.size() == roots_[best].size() && drive == current_;
    if (longer || preferred) best = drive;
  }
  return best;
}

}  // namespace posix
}  // namespace platform
