// What a dump of the running process describes besides its memory: its
// threads, mappings, loaded objects, open descriptors and the /proc files
// that tell about it. Taken before any thread is stopped (it allocates and
// takes the loader's lock), then only read.
#pragma once

#include <stdint.h>
#include <sys/types.h>

#include <string>
#include <vector>

namespace platform {
namespace posix {

struct Mapping {
  uint64_t start = 0;
  uint64_t end = 0;
  bool readable = false;
  // A device's memory, the kernel's ([vvar], [vsyscall]), or memory marked
  // not to be dumped (MADV_DONTDUMP, as the sanitizers' shadow memory is).
  bool notDumped = false;
  std::string path;
};

struct LoadedObject {
  uint64_t base = 0;
  uint64_t size = 0;
  std::string path;
  std::vector<uint8_t> buildId;
};

struct OpenDescriptor {
  int fd = -1;
  std::string target;  // what /proc/self/fd says it refers to
};

struct ProcFileCopy {
  uint32_t streamType = 0;
  std::string contents;
};

struct ProcessSnapshot {
  pid_t pid = 0;
  pid_t callerThread = 0;
  std::vector<pid_t> threads;
  std::vector<Mapping> mappings;  // in address order
  std::vector<LoadedObject> objects;
  std::vector<OpenDescriptor> descriptors;
  std::vector<ProcFileCopy> procFiles;
  std::string systemText;  // "Linux <release> <version> <machine>"
  unsigned kernelVersion[3] = {};  // major, minor, patch of the release
  unsigned processors = 0;
  uint32_t startTime = 0;  // seconds since 1970
  uint32_t userSeconds = 0;
  uint32_t kernelSeconds = 0;
};

// `dumpFlags` reads /proc/self/smaps too, for the mappings marked not to be
// dumped: a full dump needs them, and it costs a walk of every mapping.
ProcessSnapshot TakeProcessSnapshot(bool dumpFlags);

// The mapping holding `address`, or null.
const Mapping* MappingHolding(const std::vector<Mapping>& mappings, uint64_t address);

}  // namespace posix
}  // namespace platform
