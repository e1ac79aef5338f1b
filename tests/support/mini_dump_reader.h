// A small reader of minidump files, for checking what a dump holds.
#pragma once

#include <stdint.h>

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

class MiniDumpReader {
 public:
  explicit MiniDumpReader(const std::filesystem::path& file);

  // "MDMP", and every stream inside the file.
  bool complete() const { return complete_; }
  // The contents of every stream of `type`, in directory order.
  std::vector<std::string> Streams(uint32_t type) const;
  struct Thread {
    uint32_t id;
    uint64_t stackStart, stackPointer;  // the pointer 0 without a context
    std::string stack;
  };
  std::vector<Thread> Threads() const;
  // `size` bytes at `address` from the memory lists; empty unless all are there.
  std::string Memory(uint64_t address, size_t size) const;
  // The object names of the handle data, as ASCII.
  std::vector<std::string> HandleNames() const;

 private:
  std::vector<uint32_t> StreamOffsets(uint32_t type) const;
  std::string At(uint64_t offset, uint64_t size) const;
  uint64_t Word(uint64_t offset, size_t size = 4) const;

  std::string bytes_;
  bool complete_ = false;
};

}  // namespace testing_support
