// The POSIX layer's network: drive letters connected to network file
// systems, host look-ups through the C library, and the process list of
// /proc.
//
// A drive is a network drive when
// - the drive table remembers it for a \\server\share (Z:=\\srv\data): it is
//   connected when the share has a folder in the table or is mounted;
// - its folder lies on a mounted cifs, smb3, nfs, nfs4 or fuse.sshfs file
//   system (/proc/self/mountinfo): connected to the mount's source, "//srv/data"
//   as \\srv\data, "srv:/export" as \\srv\export;
// - an unmounted network line of /etc/fstab mounts on its folder: remembered.
#pragma once

#include <string>
#include <vector>

#include "platform/common/network_provided.h"
#include "platform/network.h"

namespace platform {
namespace posix {

struct NetworkMount {
  std::string mount_point;  // native, without a trailing slash
  std::string type;
  std::string remote;       // \\server\share, empty for a local file system
};

// The mounts of a mountinfo file (fstab: false) or of an fstab file.
std::vector<NetworkMount> ReadMounts(const std::string& file, bool fstab);
// "\\server\share" for the source of a network file system; empty for
// another type or a source of no such form.
std::string RemoteNameOf(const std::string& type, const std::string& source);

// Look-ups through the C library: 0 or a Winsock error code.
int ResolveWithLibrary(const std::string& host, std::vector<ResolvedAddress>* addresses);
int NameWithLibrary(uint32_t address, std::string* host);

// The system's answers.
NetworkProvider& SystemNetwork();
// The test's provider while one is set, else the system's.
inline NetworkProvider& CurrentNetwork() {
  NetworkProvider* test = provided::TestProvider();
  return test != nullptr ? *test : SystemNetwork();
}
// Test seam: reads these files in place of /proc/self/mountinfo and
// /etc/fstab; empty texts put the system's back.
void SetMountFilesForTesting(const std::string& mountinfo, const std::string& fstab);

}  // namespace posix
}  // namespace platform
