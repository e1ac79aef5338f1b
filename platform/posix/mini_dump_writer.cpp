#include "platform/posix/mini_dump_writer.h"

#include <errno.h>
#include <sys/uio.h>
#include <unistd.h>
#if defined(__x86_64__)
#include <cpuid.h>
#endif

#include <algorithm>
#include <cstring>
#include <ctime>

namespace platform {
namespace posix {
namespace {

using namespace minidump;

constexpr size_t kCopyBufferSize = 1 << 20;
constexpr uint64_t kRedZone = 128;           // below the stack pointer, still the thread's
constexpr uint64_t kMaxStackSize = 1 << 20;  // of a stack, from its pointer up
constexpr uint64_t kRegionHalf = 256;        // around a value that points into memory
constexpr size_t kMaxRegions = 4096;
constexpr size_t kFixedStreams = 6;  // threads, modules, memory, system, misc, handles

std::u16string Utf16(const std::string& text) {
  std::u16string wide;
  for (size_t at = 0; at < text.size();) {
    unsigned char lead = static_cast<unsigned char>(text[at]);
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    uint32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int i = 1; i <= extra && at + i < text.size(); ++i) code = (code << 6) | (text[at + i] & 0x3F);
    at += 1 + extra;
    if (code >= 0x10000) {
      code -= 0x10000;
      wide += static_cast<char16_t>(0xD800 + (code >> 10));
      wide += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    } else {
      wide += static_cast<char16_t>(code);
    }
  }
  return wide;
}

const char* HandleTypeOf(const std::string& target) {
  if (target.compare(0, 7, "socket:") == 0) return "Socket";
  if (target.compare(0, 5, "pipe:") == 0) return "Pipe";
  if (target.compare(0, 11, "anon_inode:") == 0) return "AnonInode";
  return "File";
}

// The file, appended to with pwrite; the first failure sticks.
class DumpFile {
 public:
  explicit DumpFile(int fd) : fd_(fd) {}

  bool failed() const { return failed_; }
  uint64_t end() const { return end_; }

  void WriteAt(uint64_t offset, const void* data, size_t size) {
    auto bytes = static_cast<const uint8_t*>(data);
    while (size > 0 && !failed_) {
      ssize_t wrote = pwrite(fd_, bytes, size, static_cast<off_t>(offset));
      if (wrote < 0 && errno == EINTR) continue;
      if (wrote <= 0) {
        if (wrote == 0) errno = ENOSPC;
        failed_ = true;
        return;
      }
      bytes += wrote;
      size -= static_cast<size_t>(wrote);
      offset += static_cast<uint64_t>(wrote);
    }
  }
  uint32_t Append(const void* data, size_t size) {
    uint64_t at = Reserve(size);
    WriteAt(at, data, size);
    return static_cast<uint32_t>(at);
  }
  // The file's length made its end: pieces of zeros were left as holes.
  void Finish() {
    while (!failed_ && ftruncate(fd_, static_cast<off_t>(end_)) != 0) failed_ = errno != EINTR;
  }
  uint64_t Reserve(size_t size) {
    uint64_t at = end_;
    end_ += size;
    return at;
  }
  // A counted UTF-16 text with its terminator.
  uint32_t AppendString(const std::u16string& text) {
    const uint32_t length = static_cast<uint32_t>(text.size() * sizeof(char16_t));
    uint32_t at = Append(&length, sizeof length);
    Append(text.c_str(), length + sizeof(char16_t));
    return at;
  }

 private:
  int fd_;
  uint64_t end_ = 0;
  bool failed_ = false;
};

class Writer {
 public:
  Writer(const ProcessSnapshot& snapshot, DumpScratch& scratch, const DumpRequest& request)
      : snapshot_(snapshot), scratch_(scratch), request_(request), file_(request.fd) {}

  bool Write() {
    file_.Reserve(sizeof(Header) + scratch_.directory.size() * sizeof(Directory));
    FindStacks();
    WriteThreads();
    WriteModules();
    if (request_.type & kMiniDumpWithFullMemory) {
      WriteFullMemory();  // after every other stream: its offsets may pass 4 GiB
    } else {
      WriteMemoryList();
    }
    WriteSystemInfo();
    WriteMiscInfo();
    WriteHandles();
    for (const ProcFileCopy& file : snapshot_.procFiles) {
      AddStream(file.streamType, file_.Append(file.contents.data(), file.contents.size()), file.contents.size());
    }
    WriteUserStreams();
    if (request_.type & kMiniDumpWithFullMemory) WriteFullMemoryData();
    WriteHeader();
    file_.Finish();
    return !file_.failed();
  }

 private:
  void AddStream(uint32_t type, uint32_t rva, size_t size) {
    scratch_.directory[streams_++] = {type, {static_cast<uint32_t>(size), rva}};
  }

  template <typename Record>
  uint32_t AppendCounted(const Record* records, uint32_t count) {
    uint32_t at = file_.Append(&count, sizeof count);
    file_.Append(records, count * sizeof(Record));
    return at;
  }

  // Copies memory into the file; `scan` sees each piece as it was read.
  template <typename Scan>
  uint32_t AppendMemory(uint64_t start, uint64_t size, Scan scan) {
    const uint64_t at = file_.Reserve(0);
    uint8_t* buffer = scratch_.copyBuffer.data();
    for (uint64_t done = 0; done < size && !file_.failed();) {
      const size_t piece = static_cast<size_t>(std::min<uint64_t>(size - done, scratch_.copyBuffer.size()));
      ReadProcessMemory(snapshot_.pid, start + done, buffer, piece);
      scan(buffer, piece);
      // Reserved memory never touched reads as zeros: a hole costs no write.
      if (buffer[0] == 0 && std::memcmp(buffer, buffer + 1, piece - 1) == 0) {
        file_.Reserve(piece);
      } else {
        file_.Append(buffer, piece);
      }
      done += piece;
    }
    return static_cast<uint32_t>(at);
  }
  uint32_t AppendMemory(uint64_t start, uint64_t size) {
    return AppendMemory(start, size, [](const uint8_t*, size_t) {});
  }

  void FindStacks() {
    for (size_t i = 0; i < scratch_.threads.size(); ++i) {
      MemoryRange& stack = scratch_.stacks[i];
      stack = {};
      if (!scratch_.threads[i].hasContext) continue;
      const uint64_t pointer = scratch_.threads[i].context.rsp;
      const Mapping* mapping = MappingHolding(snapshot_.mappings, pointer);
      if (mapping == nullptr) continue;
      stack.start = std::max(mapping->start, pointer > kRedZone ? pointer - kRedZone : 0);
      stack.end = std::min(mapping->end, stack.start + kMaxStackSize);
    }
  }

  bool InAStack(const Mapping* mapping) const {
    for (const MemoryRange& stack : scratch_.stacks) {
      if (stack.start >= mapping->start && stack.start < mapping->end) return true;
    }
    return false;
  }

  // A value on a stack that points into readable memory brings a little of it.
  void NoteReferences(const uint8_t* bytes, size_t size) {
    if (!(request_.type & kMiniDumpWithIndirectlyReferencedMemory)) return;
    for (size_t at = 0; at + sizeof(uint64_t) <= size; at += sizeof(uint64_t)) {
      uint64_t value;
      std::memcpy(&value, bytes + at, sizeof value);
      const Mapping* mapping = MappingHolding(snapshot_.mappings, value);
      if (mapping == nullptr || !mapping->readable || mapping->notDumped || InAStack(mapping)) continue;
      if (scratch_.regionCount == scratch_.regions.size()) return;
      scratch_.regions[scratch_.regionCount++] = {std::max(mapping->start, value > kRegionHalf ? value - kRegionHalf : 0),
                                                  std::min(mapping->end, value + kRegionHalf)};
    }
  }

  void WriteThreads() {
    for (size_t i = 0; i < scratch_.threads.size(); ++i) {
      const ThreadCapture& thread = scratch_.threads[i];
      Thread& record = scratch_.threadRecords[i];
      record = {};
      record.threadId = static_cast<uint32_t>(thread.thread);
      if (thread.hasContext) {
        record.threadContext = {sizeof thread.context, file_.Append(&thread.context, sizeof thread.context)};
      }
      const MemoryRange& stack = scratch_.stacks[i];
      if (stack.end > stack.start) {
        const uint32_t rva = AppendMemory(stack.start, stack.end - stack.start,
                                          [this](const uint8_t* bytes, size_t size) { NoteReferences(bytes, size); });
        record.stack = {stack.start, {static_cast<uint32_t>(stack.end - stack.start), rva}};
      }
    }
    const uint32_t count = static_cast<uint32_t>(scratch_.threadRecords.size());
    AddStream(kThreadList, AppendCounted(scratch_.threadRecords.data(), count), 4 + count * sizeof(Thread));
  }

  void WriteModules() {
    for (size_t i = 0; i < snapshot_.objects.size(); ++i) {
      const LoadedObject& object = snapshot_.objects[i];
      Module& module = scratch_.modules[i];
      module = {};
      module.baseOfImage = object.base;
      module.sizeOfImage = static_cast<uint32_t>(object.size);
      module.moduleNameRva = file_.AppendString(scratch_.objectNames[i]);
      if (!object.buildId.empty()) {
        const uint32_t at = file_.Append(&kCodeViewElf, sizeof kCodeViewElf);
        file_.Append(object.buildId.data(), object.buildId.size());
        module.cvRecord = {static_cast<uint32_t>(sizeof kCodeViewElf + object.buildId.size()), at};
      }
    }
    const uint32_t count = static_cast<uint32_t>(scratch_.modules.size());
    AddStream(kModuleList, AppendCounted(scratch_.modules.data(), count), 4 + count * sizeof(Module));
  }

  void MergeRegions() {
    MemoryRange* regions = scratch_.regions.data();
    std::sort(regions, regions + scratch_.regionCount,
              [](const MemoryRange& a, const MemoryRange& b) { return a.start < b.start; });
    size_t merged = 0;
    for (size_t i = 0; i < scratch_.regionCount; ++i) {
      if (merged > 0 && regions[i].start <= regions[merged - 1].end) {
        regions[merged - 1].end = std::max(regions[merged - 1].end, regions[i].end);
      } else {
        regions[merged++] = regions[i];
      }
    }
    scratch_.regionCount = merged;
  }

  void WriteMemoryList() {
    uint32_t count = 0;
    for (const Thread& thread : scratch_.threadRecords) {
      if (thread.stack.memory.dataSize != 0) scratch_.memory[count++] = thread.stack;
    }
    MergeRegions();
    for (size_t i = 0; i < scratch_.regionCount && count < scratch_.memory.size(); ++i) {
      const MemoryRange& region = scratch_.regions[i];
      const uint32_t rva = AppendMemory(region.start, region.end - region.start);
      scratch_.memory[count++] = {region.start, {static_cast<uint32_t>(region.end - region.start), rva}};
    }
    AddStream(kMemoryList, AppendCounted(scratch_.memory.data(), count), 4 + count * sizeof(MemoryDescriptor));
  }

  void WriteFullMemory() {
    uint64_t count = 0;
    for (const Mapping& mapping : snapshot_.mappings) {
      if (mapping.readable && !mapping.notDumped) {
        scratch_.memory64[count++] = {mapping.start, mapping.end - mapping.start};
      }
    }
    const uint64_t listSize = 2 * sizeof(uint64_t) + count * sizeof(MemoryDescriptor64);
    memory64Count_ = count;
    memory64At_ = file_.Reserve(listSize);
    AddStream(kMemory64List, static_cast<uint32_t>(memory64At_), listSize);
  }

  void WriteFullMemoryData() {
    const uint64_t base = file_.end();
    const uint64_t head[2] = {memory64Count_, base};
    file_.WriteAt(memory64At_, head, sizeof head);
    file_.WriteAt(memory64At_ + sizeof head, scratch_.memory64.data(), memory64Count_ * sizeof(MemoryDescriptor64));
    for (uint64_t i = 0; i < memory64Count_; ++i) {
      AppendMemory(scratch_.memory64[i].startOfMemoryRange, scratch_.memory64[i].dataSize);
    }
  }

  void WriteSystemInfo() {
    SystemInfo info = {};
    info.processorArchitecture = kArchitectureAmd64;
    info.numberOfProcessors = static_cast<uint8_t>(std::min(snapshot_.processors, 255u));
    info.majorVersion = snapshot_.kernelVersion[0];
    info.minorVersion = snapshot_.kernelVersion[1];
    info.buildNumber = snapshot_.kernelVersion[2];
    info.platformId = kPlatformLinux;
    info.csdVersionRva = file_.AppendString(scratch_.systemText);
#if defined(__x86_64__)
    unsigned eax, ebx, ecx, edx;
    if (__get_cpuid(0, &eax, &ebx, &ecx, &edx)) {
      info.vendorId[0] = ebx, info.vendorId[1] = edx, info.vendorId[2] = ecx;
    }
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
      info.versionInformation = eax;
      info.featureInformation = edx;
      info.processorLevel = static_cast<uint16_t>(((eax >> 8) & 0xF) + ((eax >> 20) & 0xFF));
      info.processorRevision = static_cast<uint16_t>((((eax >> 4) & 0xF) | ((eax >> 12) & 0xF0)) << 8 | (eax & 0xF));
    }
    if (__get_cpuid(0x80000001, &eax, &ebx, &ecx, &edx)) info.amdExtendedCpuFeatures = ecx;
#endif
    AddStream(kSystemInfo, file_.Append(&info, sizeof info), sizeof info);
  }

  void WriteMiscInfo() {
    MiscInfo info = {sizeof(MiscInfo), kMiscProcessId | kMiscProcessTimes, static_cast<uint32_t>(snapshot_.pid),
                     snapshot_.startTime, snapshot_.userSeconds, snapshot_.kernelSeconds};
    AddStream(kMiscInfo, file_.Append(&info, sizeof info), sizeof info);
  }

  void WriteHandles() {
    for (size_t i = 0; i < snapshot_.descriptors.size(); ++i) {
      HandleDescriptor& handle = scratch_.handles[i];
      handle = {};
      handle.handle = static_cast<uint64_t>(snapshot_.descriptors[i].fd);
      handle.typeNameRva = file_.AppendString(scratch_.handleTypes[i]);
      handle.objectNameRva = file_.AppendString(scratch_.handleTargets[i]);
      handle.handleCount = 1;
    }
    const uint32_t count = static_cast<uint32_t>(scratch_.handles.size());
    HandleDataHeader header = {sizeof(HandleDataHeader), sizeof(HandleDescriptor), count, 0};
    const uint32_t at = file_.Append(&header, sizeof header);
    file_.Append(scratch_.handles.data(), count * sizeof(HandleDescriptor));
    AddStream(kHandleData, at, sizeof header + count * sizeof(HandleDescriptor));
  }

  void WriteUserStreams() {
    const MINIDUMP_USER_STREAM_INFORMATION* user = request_.userStreams;
    for (ULONG i = 0; user != nullptr && i < user->UserStreamCount; ++i) {
      const MINIDUMP_USER_STREAM& stream = user->UserStreamArray[i];
      AddStream(stream.Type, file_.Append(stream.Buffer, stream.BufferSize), stream.BufferSize);
    }
  }

  void WriteHeader() {
    Header header = {kSignature, kVersion, static_cast<uint32_t>(streams_), sizeof(Header), 0,
                     static_cast<uint32_t>(time(nullptr)), request_.type};
    file_.WriteAt(0, &header, sizeof header);
    file_.WriteAt(sizeof header, scratch_.directory.data(), streams_ * sizeof(Directory));
  }

  const ProcessSnapshot& snapshot_;
  DumpScratch& scratch_;
  const DumpRequest& request_;
  DumpFile file_;
  size_t streams_ = 0;
  uint64_t memory64At_ = 0;
  uint64_t memory64Count_ = 0;
};

}  // namespace

DumpScratch::DumpScratch(const ProcessSnapshot& snapshot, const MINIDUMP_USER_STREAM_INFORMATION* userStreams)
    : threads(snapshot.threads.size()),
      stacks(snapshot.threads.size()),
      threadRecords(snapshot.threads.size()),
      memory(snapshot.threads.size() + kMaxRegions),
      regions(kMaxRegions),
      modules(snapshot.objects.size()),
      handles(snapshot.descriptors.size()),
      systemText(Utf16(snapshot.systemText)),
      memory64(snapshot.mappings.size()),
      directory(kFixedStreams + snapshot.procFiles.size() + (userStreams ? userStreams->UserStreamCount : 0)),
      copyBuffer(kCopyBufferSize) {
  for (size_t i = 0; i < threads.size(); ++i) threads[i].thread = snapshot.threads[i];
  for (const LoadedObject& object : snapshot.objects) objectNames.push_back(Utf16(object.path));
  for (const OpenDescriptor& descriptor : snapshot.descriptors) {
    handleTypes.push_back(Utf16(HandleTypeOf(descriptor.target)));
    handleTargets.push_back(Utf16(descriptor.target));
  }
}

bool WriteMiniDump(const ProcessSnapshot& snapshot, DumpScratch& scratch, const DumpRequest& request) {
  return Writer(snapshot, scratch, request).Write();
}

size_t ReadProcessMemory(pid_t pid, uint64_t address, void* buffer, size_t size) {
  auto bytes = static_cast<uint8_t*>(buffer);
  const uint64_t page = static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
  size_t done = 0, read = 0;
  while (done < size) {
    iovec local = {bytes + done, size - done};
    iovec remote = {reinterpret_cast<void*>(address + done), size - done};
    ssize_t got = process_vm_readv(pid, &local, 1, &remote, 1, 0);
    if (got > 0) {
      done += static_cast<size_t>(got);
      read += static_cast<size_t>(got);
      continue;
    }
    // Unmapped or unreadable (perhaps since the snapshot): zeros to the next page.
    const uint64_t next = ((address + done) / page + 1) * page;
    const size_t skip = static_cast<size_t>(std::min<uint64_t>(next - (address + done), size - done));
    std::memset(bytes + done, 0, skip);
    done += skip;
  }
  return read;
}

}  // namespace posix
}  // namespace platform
