// Writes a minidump of a process from its snapshot, the contexts of its
// threads and its memory, read with process_vm_readv. The writing itself
// takes no lock and allocates nothing: every buffer is made beforehand in
// DumpScratch, so it may run while the process's threads are stopped, or
// in a helper process forked from it.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/debug_help.h"
#include "platform/posix/mini_dump_format.h"
#include "platform/posix/process_snapshot.h"

namespace platform {
namespace posix {

struct ThreadCapture {
  pid_t thread = 0;
  bool seized = false;  // attached by the helper, to be let go
  bool hasContext = false;
  minidump::ContextAmd64 context = {};
};

struct MemoryRange {
  uint64_t start = 0;
  uint64_t end = 0;
};

// Everything the writer needs room for, made before the threads stop.
struct DumpScratch {
  DumpScratch(const ProcessSnapshot& snapshot, const MINIDUMP_USER_STREAM_INFORMATION* userStreams);

  std::vector<ThreadCapture> threads;  // in the snapshot's order
  std::vector<MemoryRange> stacks;
  std::vector<minidump::Thread> threadRecords;
  std::vector<minidump::MemoryDescriptor> memory;  // the stacks, then the regions they point to
  std::vector<MemoryRange> regions;
  size_t regionCount = 0;
  std::vector<minidump::Module> modules;
  std::vector<std::u16string> objectNames;
  std::vector<minidump::HandleDescriptor> handles;
  std::vector<std::u16string> handleTypes;
  std::vector<std::u16string> handleTargets;
  std::u16string systemText;
  std::vector<minidump::MemoryDescriptor64> memory64;
  std::vector<minidump::Directory> directory;
  std::vector<uint8_t> copyBuffer;
};

struct DumpRequest {
  int fd = -1;
  DWORD type = 0;
  const MINIDUMP_USER_STREAM_INFORMATION* userStreams = nullptr;
};

// False when the file could not be written (errno tells why).
bool WriteMiniDump(const ProcessSnapshot& snapshot, DumpScratch& scratch, const DumpRequest& request);

// Reads another process's (or this one's) memory without faulting: bytes
// that cannot be read are zero. The number of bytes read.
size_t ReadProcessMemory(pid_t pid, uint64_t address, void* buffer, size_t size);

}  // namespace posix
}  // namespace platform
