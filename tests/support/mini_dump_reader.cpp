#include "support/mini_dump_reader.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace testing_support {
namespace {

constexpr uint32_t kThreadList = 3, kMemoryList = 5, kMemory64List = 9, kHandleData = 12;
constexpr uint32_t kContextStackPointer = 152;  // Rsp in the AMD64 context

}  // namespace

MiniDumpReader::MiniDumpReader(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (bytes_.size() < 32 || bytes_.compare(0, 4, "MDMP") != 0) return;
  const uint32_t count = Word(8), directory = Word(12);
  if (directory + uint64_t{count} * 12 > bytes_.size()) return;
  complete_ = true;
  for (uint32_t i = 0; i < count; ++i) {
    if (uint64_t{Word(directory + i * 12 + 8)} + Word(directory + i * 12 + 4) > bytes_.size()) complete_ = false;
  }
}

std::string MiniDumpReader::At(uint64_t offset, uint64_t size) const {
  if (offset > bytes_.size() || size > bytes_.size() - offset) return std::string();
  return bytes_.substr(offset, size);
}

uint32_t MiniDumpReader::Word(uint64_t offset) const {
  uint32_t value = 0;
  std::string bytes = At(offset, 4);
  if (bytes.size() == 4) std::memcpy(&value, bytes.data(), 4);
  return value;
}

uint64_t MiniDumpReader::Quad(uint64_t offset) const { return Word(offset) | uint64_t{Word(offset + 4)} << 32; }

// A counted UTF-16 text, taken as ASCII.
std::string MiniDumpReader::Text(uint32_t rva) const {
  std::string wide = At(rva + 4, Word(rva)), narrow;
  for (size_t i = 0; i + 1 < wide.size(); i += 2) narrow += wide[i];
  return narrow;
}

std::vector<uint32_t> MiniDumpReader::StreamsAt(uint32_t type) const {
  std::vector<uint32_t> streams;
  for (uint32_t i = 0, at = Word(12); complete_ && i < Word(8); ++i, at += 12) {
    if (Word(at) == type) streams.push_back(at);
  }
  return streams;
}

std::vector<std::string> MiniDumpReader::Streams(uint32_t type) const {
  std::vector<std::string> streams;
  for (uint32_t at : StreamsAt(type)) streams.push_back(At(Word(at + 8), Word(at + 4)));
  return streams;
}

std::vector<MiniDumpReader::Thread> MiniDumpReader::Threads() const {
  std::vector<Thread> threads;
  for (uint32_t at : StreamsAt(kThreadList)) {
    const uint32_t list = Word(at + 8);
    for (uint32_t t = 0; t < Word(list); ++t) {
      const uint64_t record = list + 4 + t * 48;
      Thread thread;
      thread.id = Word(record);
      thread.stackStart = Quad(record + 24);
      thread.stack = At(Word(record + 36), Word(record + 32));
      if (Word(record + 40) > kContextStackPointer) thread.stackPointer = Quad(Word(record + 44) + kContextStackPointer);
      threads.push_back(thread);
    }
  }
  return threads;
}

std::string MiniDumpReader::Memory(uint64_t address, size_t size) const {
  for (uint32_t i = 0, at = Word(12); complete_ && i < Word(8); ++i, at += 12) {
    const uint32_t list = Word(at + 8);
    if (Word(at) == kMemoryList) {
      for (uint32_t m = 0; m < Word(list); ++m) {
        const uint64_t descriptor = list + 4 + m * 16, start = Quad(descriptor);
        if (address >= start && address + size <= start + Word(descriptor + 8)) {
          return At(Word(descriptor + 12) + (address - start), size);
        }
      }
    } else if (Word(at) == kMemory64List) {
      uint64_t data = Quad(list + 8);
      for (uint64_t m = 0; m < Quad(list); ++m) {
        const uint64_t start = Quad(list + 16 + m * 16), length = Quad(list + 24 + m * 16);
        if (address >= start && address + size <= start + length) return At(data + (address - start), size);
        data += length;
      }
    }
  }
  return std::string();
}

std::vector<std::string> MiniDumpReader::HandleNames() const {
  std::vector<std::string> names;
  for (uint32_t at : StreamsAt(kHandleData)) {
    const uint32_t base = Word(at + 8);
    for (uint32_t h = 0; h < Word(base + 8); ++h) {
      const uint32_t nameRva = Word(base + Word(base) + h * Word(base + 4) + 12);
      if (nameRva != 0) names.push_back(Text(nameRva));
    }
  }
  return names;
}

}  // namespace testing_support
