// A stream over bytes in memory with the Windows stream interface that notes
// every seek, for the sorted-record search's tests and fuzz target. Header
// only: the fuzz targets do not link the test support.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "ovpb32.h"

namespace testing_support {

class MemoryStream : public IStream {
 public:
  explicit MemoryStream(std::string bytes) : bytes_(std::move(bytes)) {}
  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override {
    size_t take = std::min<size_t>(count, position_ < bytes_.size() ? bytes_.size() - position_ : 0);
    if (take > 0) std::memcpy(buffer, bytes_.data() + position_, take);
    position_ += take;
    if (read != nullptr) *read = static_cast<ULONG>(take);
    return take == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER*) override {
    seeks.push_back(move.QuadPart);
    if (origin != STREAM_SEEK_SET || move.QuadPart < 0) return STG_E_INVALIDFUNCTION;
    position_ = static_cast<size_t>(move.QuadPart);
    return S_OK;
  }
  // What the searches never ask for.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

  size_t position() const { return position_; }
  std::vector<LONGLONG> seeks;

 private:
  std::string bytes_;
  size_t position_ = 0;
};

}  // namespace testing_support
