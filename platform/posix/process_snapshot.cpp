#include "platform/posix/process_snapshot.h"

#include <dirent.h>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/posix/mini_dump_format.h"

namespace platform {
namespace posix {
namespace {

std::string ReadWholeFile(const char* path) {
  std::string contents;
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return contents;
  char chunk[4096];
  ssize_t got;
  while ((got = read(fd, chunk, sizeof chunk)) > 0) contents.append(chunk, static_cast<size_t>(got));
  close(fd);
  return contents;
}

// Directory entries that are numbers: thread ids, descriptors.
std::vector<int> NumberedEntries(const char* folder) {
  std::vector<int> numbers;
  DIR* directory = opendir(folder);
  if (directory == nullptr) return numbers;
  while (dirent* entry = readdir(directory)) {
    char* end = nullptr;
    long number = std::strtol(entry->d_name, &end, 10);
    if (end != entry->d_name && *end == '\0') numbers.push_back(static_cast<int>(number));
  }
  closedir(directory);
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

// One line of /proc/self/maps: "start-end perms offset major:minor inode path".
bool ParseMapping(const char* line, Mapping* mapping) {
  unsigned long long start, end, offset, inode;
  char permissions[5];
  unsigned major, minor;
  int pathAt = 0;
  if (std::sscanf(line, "%llx-%llx %4s %llx %x:%x %llu %n", &start, &end, permissions, &offset, &major, &minor,
                  &inode, &pathAt) < 7) {
    return false;
  }
  mapping->start = start;
  mapping->end = end;
  mapping->readable = permissions[0] == 'r';
  mapping->path = line + pathAt;
  mapping->notDumped = mapping->path.compare(0, 5, "/dev/") == 0 || mapping->path == "[vvar]" ||
                    mapping->path == "[vvar_vclock]" || mapping->path == "[vsyscall]";
  return true;
}

std::vector<Mapping> ParseMappings(const std::string& maps) {
  std::vector<Mapping> mappings;
  size_t at = 0;
  while (at < maps.size()) {
    size_t end = maps.find('\n', at);
    if (end == std::string::npos) end = maps.size();
    Mapping mapping;
    if (ParseMapping(maps.substr(at, end - at).c_str(), &mapping)) mappings.push_back(std::move(mapping));
    at = end + 1;
  }
  return mappings;
}

// Marks the mappings whose block in /proc/self/smaps has "dd" in its VmFlags.
void MarkNotDumped(const std::string& smaps, std::vector<Mapping>* mappings) {
  uint64_t blockStart = 0;
  for (size_t at = 0, end; at < smaps.size(); at = end + 1) {
    end = std::min(smaps.find('\n', at), smaps.size());
    const std::string line = smaps.substr(at, end - at);
    Mapping header;
    if (ParseMapping(line.c_str(), &header)) {
      blockStart = header.start;
    } else if (line.compare(0, 8, "VmFlags:") == 0 && line.find(" dd") != std::string::npos) {
      for (Mapping& mapping : *mappings) mapping.notDumped |= mapping.start == blockStart;
    }
  }
}

std::vector<uint8_t> BuildIdOf(const dl_phdr_info* info) {
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& header = info->dlpi_phdr[i];
    if (header.p_type != PT_NOTE) continue;
    auto note = reinterpret_cast<const uint8_t*>(info->dlpi_addr + header.p_vaddr);
    const uint8_t* end = note + header.p_memsz;
    while (note + sizeof(ElfW(Nhdr)) <= end) {
      auto noteHeader = reinterpret_cast<const ElfW(Nhdr)*>(note);
      const uint8_t* name = note + sizeof(ElfW(Nhdr));
      const uint8_t* description = name + ((noteHeader->n_namesz + 3) & ~3u);
      if (description + noteHeader->n_descsz > end) break;
      if (noteHeader->n_type == NT_GNU_BUILD_ID && noteHeader->n_namesz == 4 && std::memcmp(name, "GNU", 4) == 0) {
        return std::vector<uint8_t>(description, description + noteHeader->n_descsz);
      }
      note = description + ((noteHeader->n_descsz + 3) & ~3u);
    }
  }
  return {};
}

int AddLoadedObject(dl_phdr_info* info, size_t, void* data) {
  uint64_t low = UINT64_MAX, high = 0;
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& header = info->dlpi_phdr[i];
    if (header.p_type != PT_LOAD) continue;
    low = std::min<uint64_t>(low, header.p_vaddr & ~static_cast<uint64_t>(header.p_align - 1));
    high = std::max<uint64_t>(high, header.p_vaddr + header.p_memsz);
  }
  if (high <= low) return 0;
  LoadedObject object;
  object.base = info->dlpi_addr + low;
  object.size = high - low;
  object.path = info->dlpi_name != nullptr ? info->dlpi_name : "";
  object.buildId = BuildIdOf(info);
  static_cast<std::vector<LoadedObject>*>(data)->push_back(std::move(object));
  return 0;
}

// The program itself has no name in the loader's list.
std::vector<LoadedObject> LoadedObjects() {
  std::vector<LoadedObject> objects;
  dl_iterate_phdr(&AddLoadedObject, &objects);
  char program[4096];
  ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
  for (LoadedObject& object : objects) {
    if (object.path.empty() && length > 0) object.path.assign(program, static_cast<size_t>(length));
  }
  return objects;
}

std::vector<OpenDescriptor> OpenDescriptors() {
  std::vector<OpenDescriptor> descriptors;
  for (int fd : NumberedEntries("/proc/self/fd")) {
    char link[64], target[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t length = readlink(link, target, sizeof target - 1);
    if (length < 0) continue;  // the listing's own descriptor, closed by now
    descriptors.push_back({fd, std::string(target, static_cast<size_t>(length))});
  }
  return descriptors;
}

// Start time from the boot time and the process's start in clock ticks
// (field 22 of /proc/self/stat, after the parenthesised name).
uint32_t ProcessStartTime() {
  std::string stat = ReadWholeFile("/proc/self/stat");
  size_t nameEnd = stat.rfind(')');
  std::string boot = ReadWholeFile("/proc/stat");
  size_t bootAt = boot.find("btime ");
  if (nameEnd == std::string::npos || bootAt == std::string::npos) return 0;
  unsigned long long startTicks = 0;
  if (std::sscanf(stat.c_str() + nameEnd + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d %*d %*d %*d %llu",
                  &startTicks) != 1) {
    return 0;
  }
  unsigned long long bootTime = std::strtoull(boot.c_str() + bootAt + 6, nullptr, 10);
  return static_cast<uint32_t>(bootTime + startTicks / static_cast<unsigned long long>(sysconf(_SC_CLK_TCK)));
}

void AddSystemFacts(ProcessSnapshot* snapshot) {
  utsname names;
  if (uname(&names) == 0) {
    std::sscanf(names.release, "%u.%u.%u", &snapshot->kernelVersion[0], &snapshot->kernelVersion[1],
                &snapshot->kernelVersion[2]);
    snapshot->systemText = std::string("Linux ") + names.release + " " + names.version + " " + names.machine;
  }
  snapshot->processors = static_cast<unsigned>(std::max(1L, sysconf(_SC_NPROCESSORS_CONF)));
  snapshot->startTime = ProcessStartTime();
  rusage usage;
  if (getrusage(RUSAGE_SELF, &usage) == 0) {
    snapshot->userSeconds = static_cast<uint32_t>(usage.ru_utime.tv_sec);
    snapshot->kernelSeconds = static_cast<uint32_t>(usage.ru_stime.tv_sec);
  }
}

}  // namespace

ProcessSnapshot TakeProcessSnapshot(bool dumpFlags) {
  ProcessSnapshot snapshot;
  snapshot.pid = getpid();
  snapshot.callerThread = static_cast<pid_t>(syscall(SYS_gettid));
  for (int thread : NumberedEntries("/proc/self/task")) snapshot.threads.push_back(thread);
  snapshot.objects = LoadedObjects();
  snapshot.descriptors = OpenDescriptors();
  const struct {
    uint32_t type;
    const char* path;
  } kProcFiles[] = {
      {minidump::kLinuxCpuInfo, "/proc/cpuinfo"},       {minidump::kLinuxProcStatus, "/proc/self/status"},
      {minidump::kLinuxCommandLine, "/proc/self/cmdline"}, {minidump::kLinuxEnvironment, "/proc/self/environ"},
      {minidump::kLinuxAuxv, "/proc/self/auxv"},         {minidump::kLinuxMaps, "/proc/self/maps"},
  };
  for (const auto& file : kProcFiles) snapshot.procFiles.push_back({file.type, ReadWholeFile(file.path)});
  // The mappings last, so that what the snapshot itself allocated is in them.
  snapshot.mappings = ParseMappings(snapshot.procFiles.back().contents);
  if (dumpFlags) MarkNotDumped(ReadWholeFile("/proc/self/smaps"), &snapshot.mappings);
  AddSystemFacts(&snapshot);
  return snapshot;
}

const Mapping* MappingHolding(const std::vector<Mapping>& mappings, uint64_t address) {
  auto after = std::upper_bound(mappings.begin(), mappings.end(), address,
                                [](uint64_t value, const Mapping& mapping) { return value < mapping.start; });
  if (after == mappings.begin()) return nullptr;
  const Mapping& candidate = *(after - 1);
  return address < candidate.end ? &candidate : nullptr;
}

}  // namespace posix
}  // namespace platform
