// The records of the minidump format as the platform's readers expect them:
// little-endian, packed to 4, offsets into the file ("RVA") of 32 bits
// except in the 64-bit memory list. Linux content uses the platform id and
// stream types the Linux writers of the field use, so standard readers
// take it.
#pragma once

#include <stdint.h>

namespace platform {
namespace posix {
namespace minidump {

constexpr uint32_t kSignature = 0x504D444D;  // "MDMP"
constexpr uint32_t kVersion = 0xA793;
constexpr uint16_t kArchitectureAmd64 = 9;
constexpr uint32_t kPlatformLinux = 0x8201;
constexpr uint32_t kCodeViewElf = 0x4270454C;  // "BpEL" and the ELF build id after it
constexpr uint32_t kContextAmd64 = 0x00100000;
constexpr uint32_t kContextAmd64Full = kContextAmd64 | 0xF;  // control, integer, segments, floating point
constexpr uint32_t kMiscProcessId = 1;
constexpr uint32_t kMiscProcessTimes = 2;

enum StreamType : uint32_t {
  kThreadList = 3,
  kModuleList = 4,
  kMemoryList = 5,
  kSystemInfo = 7,
  kMemory64List = 9,
  kHandleData = 12,
  kMiscInfo = 15,
  kLinuxCpuInfo = 0x47670003,
  kLinuxProcStatus = 0x47670004,
  kLinuxCommandLine = 0x47670006,
  kLinuxEnvironment = 0x47670007,
  kLinuxAuxv = 0x47670008,
  kLinuxMaps = 0x47670009,
};

#pragma pack(push, 4)

struct Location {
  uint32_t dataSize;
  uint32_t rva;
};

struct Header {
  uint32_t signature;
  uint32_t version;
  uint32_t numberOfStreams;
  uint32_t streamDirectoryRva;
  uint32_t checkSum;
  uint32_t timeDateStamp;
  uint64_t flags;
};

struct Directory {
  uint32_t streamType;
  Location location;
};

struct MemoryDescriptor {
  uint64_t startOfMemoryRange;
  Location memory;
};

struct MemoryDescriptor64 {
  uint64_t startOfMemoryRange;
  uint64_t dataSize;
};

struct Thread {
  uint32_t threadId;
  uint32_t suspendCount;
  uint32_t priorityClass;
  uint32_t priority;
  uint64_t teb;
  MemoryDescriptor stack;
  Location threadContext;
};

struct FixedFileInfo {
  uint32_t fields[13];
};

struct Module {
  uint64_t baseOfImage;
  uint32_t sizeOfImage;
  uint32_t checkSum;
  uint32_t timeDateStamp;
  uint32_t moduleNameRva;
  FixedFileInfo versionInfo;
  Location cvRecord;
  Location miscRecord;
  uint64_t reserved0;
  uint64_t reserved1;
};

struct SystemInfo {
  uint16_t processorArchitecture;
  uint16_t processorLevel;
  uint16_t processorRevision;
  uint8_t numberOfProcessors;
  uint8_t productType;
  uint32_t majorVersion;
  uint32_t minorVersion;
  uint32_t buildNumber;
  uint32_t platformId;
  uint32_t csdVersionRva;
  uint16_t suiteMask;
  uint16_t reserved2;
  uint32_t vendorId[3];
  uint32_t versionInformation;
  uint32_t featureInformation;
  uint32_t amdExtendedCpuFeatures;
};

struct MiscInfo {
  uint32_t sizeOfInfo;
  uint32_t flags1;
  uint32_t processId;
  uint32_t processCreateTime;
  uint32_t processUserTime;
  uint32_t processKernelTime;
};

struct HandleDataHeader {
  uint32_t sizeOfHeader;
  uint32_t sizeOfDescriptor;
  uint32_t numberOfDescriptors;
  uint32_t reserved;
};

struct HandleDescriptor {
  uint64_t handle;
  uint32_t typeNameRva;
  uint32_t objectNameRva;
  uint32_t attributes;
  uint32_t grantedAccess;
  uint32_t handleCount;
  uint32_t pointerCount;
};

// The processor context of an AMD64 thread; the floating-point area is the
// FXSAVE layout the kernel also uses.
struct ContextAmd64 {
  uint64_t homes[6];
  uint32_t contextFlags;
  uint32_t mxCsr;
  uint16_t segCs, segDs, segEs, segFs, segGs, segSs;
  uint32_t eFlags;
  uint64_t debugRegisters[6];
  uint64_t rax, rcx, rdx, rbx, rsp, rbp, rsi, rdi;
  uint64_t r8, r9, r10, r11, r12, r13, r14, r15;
  uint64_t rip;
  uint8_t floatSave[512];
  uint8_t vectorRegisters[26 * 16];
  uint64_t vectorControl;
  uint64_t debugControl;
  uint64_t lastBranchToRip, lastBranchFromRip, lastExceptionToRip, lastExceptionFromRip;
};

#pragma pack(pop)

static_assert(sizeof(Header) == 32, "header");
static_assert(sizeof(Thread) == 48, "thread");
static_assert(sizeof(Module) == 108, "module");
static_assert(sizeof(SystemInfo) == 56, "system information");
static_assert(sizeof(HandleDescriptor) == 32, "handle descriptor");
static_assert(sizeof(ContextAmd64) == 1232, "context");

}  // namespace minidump
}  // namespace posix
}  // namespace platform
