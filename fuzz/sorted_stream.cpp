// The sorted-record search over a stream of any content, with any key,
// record size and region: it answers -1 or the index of a record in the
// region whose leading bytes equal the key (as byte strings, at most 25),
// and reads nothing outside the stream.

#include <algorithm>
#include <string>

#include "fuzz/fuzz_support.h"
#include "ovpb32.h"

namespace {

class MemoryStream : public IStream {
 public:
  explicit MemoryStream(std::string bytes) : bytes_(std::move(bytes)) {}
  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override {
    size_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
    size_t take = std::min<size_t>(count, available);
    if (take > 0) std::memcpy(buffer, bytes_.data() + position_, take);
    position_ += take;
    if (read != nullptr) *read = static_cast<ULONG>(take);
    return take == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override {
    if (origin != STREAM_SEEK_SET || move.QuadPart < 0) return STG_E_INVALIDFUNCTION;
    position_ = static_cast<size_t>(move.QuadPart);
    if (position != nullptr) position->QuadPart = position_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

 private:
  std::string bytes_;
  size_t position_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5) return 0;
  int keyLength = static_cast<int8_t>(data[0]);
  int recordSize = static_cast<int8_t>(data[1]);
  DWORD start = data[2];
  int end = static_cast<int8_t>(data[3]) * 4;
  size_t keySize = std::min<size_t>(data[4] % 32, size - 5);
  std::string key(reinterpret_cast<const char*>(data) + 5, keySize);
  std::string bytes(reinterpret_cast<const char*>(data) + 5 + keySize, size - 5 - keySize);
  MemoryStream stream(bytes);
  int found = bsearchstream(&stream, key.c_str(), keyLength, recordSize, start, end);
  if (found == -1) return 0;
  FUZZ_CHECK(recordSize > 0 && found >= 0 && found < (end - static_cast<int>(start)) / recordSize);
  // A key length of 0 or less compares nothing: the middle record matches.
  size_t compared = static_cast<size_t>(std::max(0, std::min(keyLength, 25)));
  size_t offset = start + static_cast<size_t>(found) * recordSize;
  std::string record = offset < bytes.size() ? bytes.substr(offset, compared) : std::string();
  FUZZ_CHECK(std::strncmp(record.c_str(), key.c_str(), compared) == 0);
  return 0;
}
