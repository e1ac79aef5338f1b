// The drive table: the native folder that each drive letter and each
// \\server\share stands for, the current drive, and the directory each
// drive was last current in (what a drive-relative name such as "D:x" starts
// from).
//
// The table comes from the environment variable OVPB_DRIVES when it is set,
// entries separated by ';', each a drive letter with its colon or a
// \\server\share, '=', and an absolute native folder:
//   OVPB_DRIVES='C:=/;D:=/srv/data;\\files\public=/mnt/public'
// A drive letter may stand for a \\server\share instead (Z:=\\srv\data), a
// remembered network connection: its folder is the share's, when it has one.
// Without it C: and Z: both stand for /.
#pragma once

#include <array>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace platform {
namespace posix {

class DriveTable {
 public:
  static DriveTable& Instance();

  // Replaces the table with the one `definition` gives (OVPB_DRIVES' form)
  // and takes the current drive from the process's current directory.
  void Load(const std::string& definition);
  // Loads OVPB_DRIVES, or the default table when it is not set.
  void LoadFromEnvironment();

  // The native folder of drive 1 (A) to 26 (Z); empty when it has none.
  std::string Root(int drive) const;
  // The \\server\share drive 1 (A) to 26 (Z) is remembered as connected to;
  // empty when it is not.
  std::string RememberedShare(int drive) const;
  // The native folder of \\server\share (names without regard to case);
  // empty when it has none.
  std::string ShareRoot(const std::string& server, const std::string& share) const;
  // Where a drive-relative name of `drive` starts: empty for the current
  // drive (the process's current directory), else the drive's last
  // current directory, else its root.
  std::string CurrentDirectoryOf(int drive) const;

  int CurrentDrive() const;
  // Notes that the absolute native `directory` became the process's current
  // directory, named on `drive`, or for 0 on the drive whose folder holds it.
  void Entered(const std::string& directory, int drive);

 private:
  DriveTable();
  std::string ShareRootLocked(const std::string& key) const;
  int DriveHolding(const std::string& directory) const;

  mutable std::mutex mutex_;
  std::array<std::string, 27> roots_;        // by drive number, [0] unused
  std::array<std::string, 27> directories_;  // each drive's last current directory
  std::array<std::string, 27> remembered_;   // "\\server\share" of a remembered drive
  std::vector<std::pair<std::string, std::string>> shares_;  // "server/share" in lower case, folder
  int current_ = 0;
};

}  // namespace posix
}  // namespace platform
