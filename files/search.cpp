// Directory search that hides what an ordinary user does not see, a line
// reader over old-style file handles, and binary search over fixed-size
// records sorted by a leading text key.

#include <algorithm>
#include <cstring>

#include "ovpb32.h"
#include "platform/files.h"

namespace files {
namespace {

// ---- Directory search ----------------------------------------------------------

constexpr unsigned kHiddenOrSystem = _A_HIDDEN | _A_SYSTEM;

bool IsVisible(const _finddata64i32_t& entry, bool withDirectories) {
  unsigned hiding = withDirectories ? kHiddenOrSystem : kHiddenOrSystem | _A_SUBDIR;
  return (entry.attrib & hiding) == 0;
}

// Steps on from the current entry until a visible one is stored.
bool StepToVisible(INT_PTR search, _finddata64i32_t* found, bool withDirectories) {
  while (platform::_findnext64i32(search, found) == 0) {
    if (IsVisible(*found, withDirectories)) return true;
  }
  return false;
}

INT_PTR FindFirstVisible(const char* pattern, _finddata64i32_t* found, bool withDirectories) {
  if (pattern == nullptr || found == nullptr) return -1;
  INT_PTR search = platform::_findfirst64i32(pattern, found);
  if (search == -1) return -1;
  if (IsVisible(*found, withDirectories) || StepToVisible(search, found, withDirectories)) return search;
  return -1;
}

int FindNextVisible(INT_PTR search, _finddata64i32_t* found, bool withDirectories) {
  if (search == -1 || found == nullptr) return -1;
  return StepToVisible(search, found, withDirectories) ? 0 : -1;
}

// ---- Line reading --------------------------------------------------------------

constexpr UINT kLineBlock = 128;

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// A second line-end byte of the other kind makes CR LF or LF CR one line end.
size_t LineEndWidth(const char* lineEnd, const char* blockEnd) {
  return lineEnd + 1 < blockEnd && IsLineEnd(lineEnd[1]) && lineEnd[1] != lineEnd[0] ? 2 : 1;
}

// Appends what fits of [begin, end) to the line; the rest is passed over.
class LineOutput {
 public:
  LineOutput(char* out, int size) : out_(out), room_(static_cast<size_t>(size) - 1) {}
  void Append(const char* begin, const char* end) {
    size_t take = std::min(static_cast<size_t>(end - begin), room_ - stored_);
    std::memcpy(out_ + stored_, begin, take);
    stored_ += take;
  }
  int Finish() {
    out_[stored_] = 0;
    return static_cast<int>(stored_);
  }

 private:
  char* out_;
  size_t room_;
  size_t stored_ = 0;
};

// ---- Sorted records ------------------------------------------------------------

constexpr int kMaxKeyLength = 25;

// Reads the key bytes of the record at `offset` into a zeroed buffer; a
// failed read leaves zeros to compare.
template <typename Source>
int CompareRecordKey(Source& source, DWORD offset, const char* key, int length) {
  char recordKey[kMaxKeyLength + 1] = {};
  source.ReadAt(offset, recordKey, length);
  return std::strncmp(recordKey, key, static_cast<size_t>(length));
}

template <typename Source>
int SearchSortedRecords(Source& source, const char* key, int keyLength, int recordSize, DWORD start, int end) {
  if (key == nullptr || recordSize <= 0) return -1;
  const int count = static_cast<int>(static_cast<DWORD>(end) - start) / recordSize;
  const int length = std::max(0, std::min(keyLength, kMaxKeyLength));
  int low = 0;
  int high = count - 1;
  while (low <= high) {
    int mid = (low + high) / 2;
    DWORD offset = static_cast<DWORD>(mid) * static_cast<DWORD>(recordSize) + start;
    int order = CompareRecordKey(source, offset, key, length);
    if (order == 0) return mid;
    if (order < 0) {
      low = mid + 1;
    } else {
      high = mid - 1;
    }
  }
  return -1;
}

struct FileRecords {
  HFILE file;
  void ReadAt(DWORD offset, char* buffer, int length) {
    platform::_llseek(file, static_cast<LONG>(offset), FILE_BEGIN);
    platform::_lread(file, buffer, static_cast<UINT>(length));
  }
};

struct StreamRecords {
  IStream* stream;
  void ReadAt(DWORD offset, char* buffer, int length) {
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONG>(offset);  // sign-extended, as the 32-bit offset always was
    ULONG read = 0;
    stream->Seek(position, STREAM_SEEK_SET, nullptr);
    stream->Read(buffer, static_cast<ULONG>(length), &read);
  }
};

}  // namespace
}  // namespace files

extern "C" INT_PTR OVPB_API file_find_first(const char* pattern, _finddata64i32_t* found) {
  return files::FindFirstVisible(pattern, found, false);
}

extern "C" int OVPB_API file_find_next(INT_PTR search, _finddata64i32_t* found) {
  return files::FindNextVisible(search, found, false);
}

extern "C" INT_PTR OVPB_API file_find_first_ex(const char* pattern, _finddata64i32_t* found, int with_directories) {
  return files::FindFirstVisible(pattern, found, with_directories != 0);
}

extern "C" int OVPB_API file_find_next_ex(INT_PTR search, _finddata64i32_t* found, int with_directories) {
  return files::FindNextVisible(search, found, with_directories != 0);
}

#ifndef _WIN32
// A Windows caller ends a search with the runtime's _findclose; the POSIX
// library gives the same function, so that the caller's code builds as is.
extern "C" int OVPB_API _findclose(INT_PTR search) { return platform::_findclose(search); }
#endif

// Reads blocks of 128 bytes up to the first CR or LF and then sets the file
// position just after the line end, so that the next call starts at the next
// line. A line end that is the last byte of a block is read again as the
// first byte of the next, so that its partner is seen.
extern "C" int OVPB_API ReadLine1(HFILE file, char* out, int size) {
  if (size <= 0 || out == nullptr) return -1;
  files::LineOutput line(out, size);
  const LONG start = platform::_llseek(file, 0, FILE_CURRENT);
  LONG consumed = 0;
  for (;;) {
    char block[files::kLineBlock];
    UINT got = platform::_lread(file, block, files::kLineBlock);
    if (got > files::kLineBlock) got = 0;  // HFILE_ERROR: the end of what can be read
    const char* blockEnd = block + got;
    const char* lineEnd = std::find_if(static_cast<const char*>(block), blockEnd, files::IsLineEnd);
    const bool fullBlock = got == files::kLineBlock;
    if (lineEnd != blockEnd) {
      line.Append(block, lineEnd);
      if (fullBlock && lineEnd + 1 == blockEnd) {
        platform::_llseek(file, -1, FILE_CURRENT);
        consumed += static_cast<LONG>(lineEnd - block);
        continue;
      }
      consumed += static_cast<LONG>(lineEnd - block + files::LineEndWidth(lineEnd, blockEnd));
      break;
    }
    if (fullBlock) {
      line.Append(block, blockEnd);
      consumed += static_cast<LONG>(got);
      continue;
    }
    // The end of the file: a control character there (the end-of-file mark
    // 0x1A) is no part of the line. Bytes from 0x80 up belong to it.
    if (got > 0 && static_cast<unsigned char>(blockEnd[-1]) < 0x20) --blockEnd;
    line.Append(block, blockEnd);
    consumed += static_cast<LONG>(blockEnd - block);
    break;
  }
  platform::_llseek(file, start + consumed, FILE_BEGIN);
  int length = line.Finish();
  return consumed == 0 ? -1 : length;
}

extern "C" int OVPB_API bsearchfile(HFILE file, const char* key, int key_length, int record_size, DWORD start,
                                    int end) {
  files::FileRecords records{file};
  return files::SearchSortedRecords(records, key, key_length, record_size, start, end);
}

extern "C" int OVPB_API bsearchstream(IStream* stream, const char* key, int key_length, int record_size,
                                      DWORD start, int end) {
  if (stream == nullptr) return -1;
  files::StreamRecords records{stream};
  return files::SearchSortedRecords(records, key, key_length, record_size, start, end);
}
