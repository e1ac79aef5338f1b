// The suite's file streams: IStream objects over a file opened for reading,
// which the resource files are read through. Clones share the open file,
// each with its own position; the file closes with the last stream.
#pragma once

#include "ovpb32.h"

namespace services {

// The one mode the streams open with: read, others may read and write.
constexpr DWORD kReadSharingAll = 0x40;  // STGM_READ | STGM_SHARE_DENY_NONE

// 0 and `*stream` positioned at offset 0, or an error (HRESULT_FROM_WIN32 of
// the open's error) and null.
HRESULT CreateFileStream(const WCHAR* path, DWORD mode, IStream** stream);

// Limits a stream of this library to `length` bytes from file offset
// `start`: position 0 is `start`, the end is `start + length`. E_INVALIDARG
// for a stream of another kind.
HRESULT SetSubFileRange(IStream* stream, DWORD start, DWORD length);

}  // namespace services
