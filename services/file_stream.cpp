#include "services/file_stream.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <new>

#include "platform/com_object.h"
#include "platform/files.h"
#include "platform/system.h"

namespace services {
namespace {

constexpr HRESULT kSeekFailed = static_cast<HRESULT>(0x80030019L);  // STG_E_SEEKERROR-like: bad position
constexpr HRESULT kReadFault = static_cast<HRESULT>(0x8003001EL);   // STG_E_READFAULT

// Identifies this library's streams through QueryInterface, so that
// SetSubFileRange never mistakes a foreign stream for one of its own.
const IID kFileStreamIid = {0x6f767062, 0x7374, 0x726d, {0x8a, 0x31, 0x46, 0x69, 0x6c, 0x65, 0x53, 0x74}};
const IID kSequentialStreamIid = {0x0c733a30, 0x2a1c, 0x11ce, {0xad, 0xe5, 0x00, 0xaa, 0x00, 0x44, 0x77, 0x3d}};
const IID kStreamIid = {0x0000000c, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// The open file, shared by a stream and its clones. Moving the file pointer
// and reading are one step under the lock, so threads with clones of their
// own never see each other's positions.
class SharedFile {
 public:
  SharedFile(HANDLE file, ULONGLONG size) : file_(file), size_(size) {}
  ~SharedFile() { platform::CloseHandle(file_); }
  ULONGLONG Size() const { return size_; }

  bool ReadAt(ULONGLONG offset, void* buffer, DWORD count, DWORD* read) {
    std::lock_guard<std::mutex> hold(lock_);
    LONG high = static_cast<LONG>(offset >> 32);
    platform::SetLastError(ERROR_SUCCESS);
    DWORD low = platform::SetFilePointer(file_, static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
    if (low == INVALID_SET_FILE_POINTER && platform::GetLastError() != ERROR_SUCCESS) return false;
    return platform::ReadFile(file_, buffer, count, read, nullptr) != 0;
  }

 private:
  HANDLE file_;
  ULONGLONG size_;
  std::mutex lock_;
};

class FileStream final : public platform::ComObject<IStream> {
 public:
  FileStream(std::shared_ptr<SharedFile> file, ULONGLONG start, ULONGLONG length, ULONGLONG position)
      : file_(std::move(file)), start_(start), length_(length), position_(position) {}

  // Stops at the end of the range with S_OK and what there was, as _lread.
  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override {
    if (read != nullptr) *read = 0;
    if (buffer == nullptr && count != 0) return E_POINTER;
    ULONGLONG position = position_.load();
    ULONGLONG left = position < length_ ? length_ - position : 0;
    DWORD wanted = static_cast<DWORD>(left < count ? left : count);
    DWORD got = 0;
    if (wanted > 0 && !file_->ReadAt(start_ + position, buffer, wanted, &got)) return kReadFault;
    position_.store(position + got);
    if (read != nullptr) *read = got;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG* written) override {
    if (written != nullptr) *written = 0;
    return STG_E_INVALIDFUNCTION;  // read-only
  }

  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override {
    LONGLONG base;
    switch (origin) {
      case STREAM_SEEK_SET: base = 0; break;
      case STREAM_SEEK_CUR: base = static_cast<LONGLONG>(position_.load()); break;
      case STREAM_SEEK_END: base = static_cast<LONGLONG>(length_); break;
      default: return STG_E_INVALIDFUNCTION;
    }
    LONGLONG target = base + move.QuadPart;
    if (target < 0) return kSeekFailed;
    position_.store(static_cast<ULONGLONG>(target));
    if (position != nullptr) position->QuadPart = static_cast<ULONGLONG>(target);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return STG_E_INVALIDFUNCTION; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE Clone(IStream** copy) override {
    if (copy == nullptr) return E_POINTER;
    *copy = new (std::nothrow) FileStream(file_, start_, length_, position_.load());
    return *copy == nullptr ? E_OUTOFMEMORY : S_OK;
  }

  void LimitTo(ULONGLONG start, ULONGLONG length) {
    start_ = start;
    length_ = length;
  }

 private:
  ~FileStream() override = default;
  bool Answers(const IID& iid) const override {
    using platform::SameGuid;
    return SameGuid(iid, kSequentialStreamIid) || SameGuid(iid, kStreamIid) || SameGuid(iid, kFileStreamIid);
  }

  std::shared_ptr<SharedFile> file_;
  ULONGLONG start_;
  ULONGLONG length_;
  std::atomic<ULONGLONG> position_;
};

}  // namespace

HRESULT CreateFileStream(const WCHAR* path, DWORD mode, IStream** stream) {
  if (stream == nullptr) return E_POINTER;
  *stream = nullptr;
  if (path == nullptr) return E_POINTER;
  if (mode != kReadSharingAll) return STG_E_INVALIDFUNCTION;
  HANDLE file = platform::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return HRESULT_FROM_WIN32(platform::GetLastError());
  LARGE_INTEGER size;
  if (!platform::GetFileSizeEx(file, &size)) {
    DWORD error = platform::GetLastError();
    platform::CloseHandle(file);
    return HRESULT_FROM_WIN32(error);
  }
  auto* owner = new (std::nothrow) SharedFile(file, static_cast<ULONGLONG>(size.QuadPart));
  if (owner == nullptr) {
    platform::CloseHandle(file);
    return E_OUTOFMEMORY;
  }
  try {
    std::shared_ptr<SharedFile> shared(owner);  // deletes the owner (and closes) if it throws
    *stream = new FileStream(shared, 0, shared->Size(), 0);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

HRESULT SetSubFileRange(IStream* stream, DWORD start, DWORD length) {
  if (stream == nullptr) return E_POINTER;
  void* own = nullptr;
  if (stream->QueryInterface(kFileStreamIid, &own) != S_OK) return E_INVALIDARG;
  auto* fileStream = static_cast<FileStream*>(static_cast<IStream*>(own));
  fileStream->LimitTo(start, length);
  fileStream->Release();
  return S_OK;
}

}  // namespace services
