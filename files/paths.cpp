// Path composition: joining and splitting path text, the trailing
// backslash, and thin wrappers over the current drive and directory.

#include "files/paths.h"

#include <cstring>
#include <string>

#include "ovpb32.h"
#include "text/toolkit.h"
#include "platform/files.h"

namespace files {
namespace {

template <typename Char>
size_t Length(const Char* text) {
  return std::char_traits<Char>::length(text);
}

template <typename Char>
void CopyText(Char* out, const Char* text) {
  std::char_traits<Char>::copy(out, text, Length(text) + 1);
}

// Hands the components to the caller's outputs: a lone dot, or an extension
// the caller does not want apart, stays with the name.
template <typename Char>
void DeliverParts(const Char* drive, const Char* dir, const Char* name, const Char* ext, Char* dirOut,
                  Char* nameOut, Char* extOut) {
  if (dirOut != nullptr) {
    CopyText(dirOut, drive);
    CopyText(dirOut + Length(drive), dir);
  }
  if (nameOut != nullptr) {
    CopyText(nameOut, name);
    if (ext[0] == 0) return;
    if (extOut != nullptr && ext[1] != 0) {
      CopyText(extOut, ext + 1);
    } else {
      CopyText(nameOut + Length(nameOut), ext);
    }
  } else if (extOut != nullptr && ext[0] != 0) {
    CopyText(extOut, ext + 1);
  }
}

template <typename Parts, typename Char>
void SplitIntoOutputs(const Char* path, Char* dirOut, Char* nameOut, Char* extOut) {
  for (Char* out : {dirOut, nameOut, extOut}) {
    if (out != nullptr) out[0] = 0;
  }
  if (path == nullptr) return;
  Parts parts;
  SplitPath(path, &parts);
  DeliverParts(parts.drive, parts.dir, parts.name, parts.ext, dirOut, nameOut, extOut);
}

template <typename Char>
int AppendBackslash(Char* path, bool evenAfterDrive) {
  if (path == nullptr || path[0] == 0) return 0;
  size_t n = Length(path);
  if (path[n - 1] == Char('\\')) return 0;
  if (!evenAfterDrive && IsDriveOnly(path)) return 0;
  path[n] = Char('\\');
  path[n + 1] = 0;
  return 1;
}

}  // namespace

}  // namespace files

// ---- Exported ----------------------------------------------------------------

extern "C" int OVPB_API chng_dir(const char* path) {
  if (path == nullptr) return 0;
  return platform::SetCurrentDirectoryA(path) ? 1 : 0;
}

extern "C" int OVPB_API curr_path(int drive, char* out) {
  if (out == nullptr) return 0;
  auto readCurrent = [](char* buffer) {
    DWORD length = platform::GetCurrentDirectoryA(MAX_PATH, buffer);
    if (length == 0 || length >= MAX_PATH) buffer[0] = 0;
    return buffer[0] != 0;
  };
  if (drive == 0) {
    readCurrent(out);
    return 0;
  }
  char saved[MAX_PATH];
  bool haveSaved = readCurrent(saved);
  // "X:." is the drive's own remembered directory; an unusable drive leaves
  // the current directory where it was.
  const char driveHere[4] = {static_cast<char>(static_cast<unsigned char>(drive + 64)), ':', '.', 0};
  platform::SetCurrentDirectoryA(driveHere);
  readCurrent(out);
  if (haveSaved) platform::SetCurrentDirectoryA(saved);
  return 0;
}

extern "C" int OVPB_API default_drive(void) { return platform::_getdrive(); }

extern "C" int OVPB_API select_drive(int drive) { return platform::_chdrive(drive) == 0 ? 0 : -1; }

extern "C" int OVPB_API make_dir(const char* path) {
  if (path == nullptr) return -1;
  return platform::CreateDirectoryA(path, nullptr) ? 0 : -1;
}

extern "C" int OVPB_API remove_dir(const char* path) {
  if (path == nullptr) return -1;
  return platform::RemoveDirectoryA(path) ? 0 : -1;
}

extern "C" void OVPB_API MakePathA(char* out, const char* dir, const char* name, const char* ext) {
  if (out != nullptr) files::JoinPath(out, MAX_PATH, dir, name, ext);
}

extern "C" void OVPB_API MakePathW(WCHAR* out, const WCHAR* dir, const WCHAR* name, const WCHAR* ext) {
  if (out != nullptr) files::JoinPath(out, MAX_PATH, dir, name, ext);
}

extern "C" void OVPB_API SplitPathA(const char* path, char* dir_out, char* name_out, char* ext_out) {
  files::SplitIntoOutputs<files::NarrowPathParts>(path, dir_out, name_out, ext_out);
}

extern "C" void OVPB_API SplitPathW(const WCHAR* path, WCHAR* dir_out, WCHAR* name_out, WCHAR* ext_out) {
  files::SplitIntoOutputs<files::WidePathParts>(path, dir_out, name_out, ext_out);
}

extern "C" int OVPB_API removeslsh(char* path) {
  if (path == nullptr) return 0;
  char* last = const_cast<char*>(files::LastChar(path, path + std::strlen(path)));
  if (last == nullptr || *last != '\\') return 0;
  *last = 0;
  return 1;
}

// Blanks are cut in the caller's buffer and a backslash added there; the
// test itself runs on a copy, since a root needs its backslash and another
// directory is named without one.
extern "C" int OVPB_API chk_path(char* path) {
  if (path == nullptr) return -1;
  if (path[0] == 0) return 0;
  text::str_trimA(path);
  needslsh(path);
  char directory[MAX_PATH];
  size_t length = std::strlen(path);
  if (length == 0 || length >= MAX_PATH) return -1;
  std::memcpy(directory, path, length + 1);
  if (directory[length - 1] == '\\') directory[length - 1] = 0;
  if (files::IsDriveOnly(directory)) forceslsh(directory);
  DWORD attributes = platform::GetFileAttributesA(directory);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? 0 : -1;
}

// The narrow forms look at the last byte: a trail byte 0x5C counts as a
// backslash already there.
extern "C" int OVPB_API needslsh(char* path) { return files::AppendBackslash(path, false); }
extern "C" int OVPB_API needslshW(WCHAR* path) { return files::AppendBackslash(path, false); }
extern "C" int OVPB_API forceslsh(char* path) { return files::AppendBackslash(path, true); }
