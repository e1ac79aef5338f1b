// A small reader of minidump files, for checking what a dump holds.
#pragma once

#include <stdint.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace testing_support {

class MiniDumpReader {
 public:
  explicit MiniDumpReader(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    complete_ = bytes_.size() >= 32 && bytes_.compare(0, 4, "MDMP") == 0;
    for (uint64_t i = 0, at = Word(12); complete_ && i < Word(8); ++i, at += 12) {
      complete_ = at + 12 <= bytes_.size() && Word(at + 8) + Word(at + 4) <= bytes_.size();
    }
  }

  // "MDMP", and every stream inside the file.
  bool complete() const { return complete_; }

  // The contents of every stream of `type`, in directory order.
  std::vector<std::string> Streams(uint32_t type) const {
    std::vector<std::string> streams;
    for (uint64_t i = 0, at = Word(12); complete_ && i < Word(8); ++i, at += 12) {
      if (Word(at) == type) streams.push_back(At(Word(at + 8), Word(at + 4)));
    }
    return streams;
  }

  struct Thread {
    uint32_t id;
    uint64_t stackStart, stackPointer;  // the pointer 0 without a context
    std::string stack;
  };
  std::vector<Thread> Threads() const {
    std::vector<Thread> threads;
    for (uint32_t list : StreamOffsets(3)) {
      for (uint64_t t = 0, record = list + 4; t < Word(list); ++t, record += 48) {
        const uint64_t context = Word(record + 44);  // Rsp lies at 152 in the AMD64 context
        threads.push_back({static_cast<uint32_t>(Word(record)), Word(record + 24, 8), context ? Word(context + 152, 8) : 0,
                           At(Word(record + 36), Word(record + 32))});
      }
    }
    return threads;
  }

  // `size` bytes at `address` from the memory lists; empty unless all are there.
  std::string Memory(uint64_t address, size_t size) const {
    for (uint32_t list : StreamOffsets(5)) {
      for (uint64_t m = 0, at = list + 4; m < Word(list); ++m, at += 16) {
        const uint64_t start = Word(at, 8);
        if (address >= start && address + size <= start + Word(at + 8)) return At(Word(at + 12) + address - start, size);
      }
    }
    for (uint32_t list : StreamOffsets(9)) {
      uint64_t data = Word(list + 8, 8);
      for (uint64_t m = 0, at = list + 16; m < Word(list, 8); ++m, at += 16) {
        const uint64_t start = Word(at, 8), length = Word(at + 8, 8);
        if (address >= start && address + size <= start + length) return At(data + address - start, size);
        data += length;
      }
    }
    return std::string();
  }

  // The object names of the handle data, as ASCII.
  std::vector<std::string> HandleNames() const {
    std::vector<std::string> names;
    for (uint32_t stream : StreamOffsets(12)) {
      for (uint64_t h = 0, at = stream + Word(stream); h < Word(stream + 8); ++h, at += Word(stream + 4)) {
        const uint64_t name = Word(at + 12);
        std::string wide = name ? At(name + 4, Word(name)) : "", narrow;
        for (size_t i = 0; i < wide.size(); i += 2) narrow += wide[i];
        names.push_back(narrow);
      }
    }
    return names;
  }

 private:
  std::vector<uint32_t> StreamOffsets(uint32_t type) const {
    std::vector<uint32_t> offsets;
    for (uint64_t i = 0, at = Word(12); complete_ && i < Word(8); ++i, at += 12) {
      if (Word(at) == type) offsets.push_back(static_cast<uint32_t>(Word(at + 8)));
    }
    return offsets;
  }
  std::string At(uint64_t offset, uint64_t size) const {
    if (offset > bytes_.size() || size > bytes_.size() - offset) return std::string();
    return bytes_.substr(offset, size);
  }
  uint64_t Word(uint64_t offset, size_t size = 4) const {
    uint64_t value = 0;
    std::string bytes = At(offset, size);
    std::memcpy(&value, bytes.data(), bytes.size());
    return value;
  }

  std::string bytes_;
  bool complete_ = false;
};

}  // namespace testing_support
