// The resource file manager: named resources of several types in one file,
// found through a sorted type table and one sorted name table per type, each
// opened as a stream of its own limited to the resource's bytes.

#include <atomic>
#include <cstring>

#include "ovpb32.h"
#include "platform/codepage.h"
#include "platform/user.h"
#include "services/file_stream.h"
#include "services/resource_keys.h"
#include "text/toolkit.h"

namespace services {
namespace {

constexpr int kTypeEntrySize = 8;
constexpr int kNameEntrySize = 20;

// The open resource file; none until InitResMan and after CloseResMan.
std::atomic<IStream*> resourceStream{nullptr};

bool SeekTo(IStream* stream, LONGLONG offset, DWORD origin) {
  LARGE_INTEGER move;
  move.QuadPart = offset;
  return stream->Seek(move, origin, nullptr) == S_OK;
}

bool ReadExactly(IStream* stream, void* buffer, ULONG count) {
  ULONG read = 0;
  return stream->Read(buffer, count, &read) == S_OK && read == count;
}

DWORD LittleEndian32(const unsigned char* bytes) {
  return static_cast<DWORD>(bytes[0]) | static_cast<DWORD>(bytes[1]) << 8 | static_cast<DWORD>(bytes[2]) << 16 |
         static_cast<DWORD>(bytes[3]) << 24;
}

// Searches the sorted table [start, end) for `key` and leaves `stream` at the
// found entry's start; false when the key is not there.
bool FindEntry(IStream* stream, const char* key, int keyWidth, int entrySize, DWORD start, DWORD end) {
  if (bsearchstream(stream, key, keyWidth, entrySize, start, static_cast<int>(end)) < 0) return false;
  return SeekTo(stream, -keyWidth, STREAM_SEEK_CUR);  // the search stops just after the key bytes
}

// Narrows `clone` to the resource `name` of `type`; false when not found.
bool SelectResource(IStream* clone, const char* name, const char* type) {
  char typeKey[kMaxResourceText];
  char nameKey[kMaxResourceText];
  MakeTypeKey(type, typeKey);
  MakeNameKey(name, nameKey);

  unsigned char word[4];
  ULARGE_INTEGER tail;
  LARGE_INTEGER back;
  back.QuadPart = -4;
  if (clone->Seek(back, STREAM_SEEK_END, &tail) != S_OK || !ReadExactly(clone, word, 4)) return false;
  const DWORD typeTable = LittleEndian32(word);
  const DWORD typeTableEnd = static_cast<DWORD>(tail.QuadPart);

  unsigned char typeEntries[2 * kTypeEntrySize];
  if (!FindEntry(clone, typeKey, 4, kTypeEntrySize, typeTable, typeTableEnd) ||
      !ReadExactly(clone, typeEntries, sizeof typeEntries)) {
    return false;
  }
  const DWORD names = LittleEndian32(typeEntries + 4);
  const DWORD namesEnd = LittleEndian32(typeEntries + kTypeEntrySize + 4);

  unsigned char nameEntry[kNameEntrySize];
  if (!FindEntry(clone, nameKey, 8, kNameEntrySize, names, namesEnd) ||
      !ReadExactly(clone, nameEntry, sizeof nameEntry)) {
    return false;
  }
  const DWORD start = LittleEndian32(nameEntry + 12);
  const DWORD end = LittleEndian32(nameEntry + 16);
  SetSubFileRange(clone, start, end - start);
  return SeekTo(clone, 0, STREAM_SEEK_SET);
}

}  // namespace

void MakeTypeKey(const char* type, char* key) {
  CopyUpper(type, key);
}

void MakeNameKey(const char* name, char* key) {
  CopyUpper(name, key);
  text::str_trimA(key);
}

void CopyUpper(const char* text, char* out) {
  std::strncpy(out, text, kMaxResourceText - 1);
  out[kMaxResourceText - 1] = 0;
  platform::CharUpperA(out);
}

}  // namespace services

extern "C" int OVPB_API InitResMan(const char* path) {
  if (services::resourceStream.load() != nullptr) return 0;
  if (path == nullptr) return -1;
  char narrow[MAX_PATH];
  std::strncpy(narrow, path, MAX_PATH - 1);
  narrow[MAX_PATH - 1] = 0;
  WCHAR wide[MAX_PATH + 1] = {};
  platform::MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, narrow, -1, wide, MAX_PATH);
  IStream* stream = nullptr;
  if (services::CreateFileStream(wide, services::kReadSharingAll, &stream) != S_OK) {
    if (stream != nullptr) stream->Release();
    return -1;
  }
  IStream* none = nullptr;
  if (!services::resourceStream.compare_exchange_strong(none, stream)) {
    stream->Release();  // a racing open won and fills the settings
    return 0;
  }
  InternationalSettings scratch;
  InitInternational(&scratch);  // also sets the module-wide record and formats
  return 0;
}

extern "C" IStream* OVPB_API openRes(const char* name, const char* type) {
  IStream* file = services::resourceStream.load();
  if (file == nullptr || name == nullptr || type == nullptr) return nullptr;
  IStream* clone = nullptr;
  if (file->Clone(&clone) != S_OK || clone == nullptr) return nullptr;
  if (!services::SelectResource(clone, name, type)) {
    clone->Release();
    return nullptr;
  }
  return clone;
}

extern "C" UINT OVPB_API _lreadRes(IStream* resource, void* buffer, UINT count) {
  if (resource == nullptr) return 0;
  ULONG read = 0;
  return resource->Read(buffer, count, &read) == S_OK ? read : 0;
}

extern "C" LONG OVPB_API lseekRes(IStream* resource, LONG offset, int origin) {
  if (resource == nullptr) return -1;
  LARGE_INTEGER move;
  move.QuadPart = offset;
  ULARGE_INTEGER position;
  if (resource->Seek(move, static_cast<DWORD>(origin), &position) != S_OK) return -1;
  return static_cast<LONG>(static_cast<DWORD>(position.QuadPart));
}

extern "C" int OVPB_API closeRes(IStream* resource) {
  if (resource != nullptr) resource->Release();
  return 0;
}

extern "C" void OVPB_API CloseResMan() {
  IStream* stream = services::resourceStream.exchange(nullptr);
  if (stream != nullptr) stream->Release();
}

extern "C" char* OVPB_API GetPatchInformation(char* buffer) {
  if (buffer != nullptr) buffer[0] = 0;
  return buffer;
}

extern "C" DWORD OVPB_API AddPointerEntry(DWORD value) { return value; }
