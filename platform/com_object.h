// The reference counting and interface query of the library's own COM
// objects: an object answers for IUnknown and for the interfaces it names,
// and deletes itself with its last reference.
#pragma once

#include <algorithm>
#include <atomic>

#include "platform/types.h"

namespace platform {

inline bool SameGuid(const GUID& a, const GUID& b) {
  return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
         std::equal(a.Data4, a.Data4 + 8, b.Data4);
}

template <typename Interface>
class ComObject : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    static const IID kUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    if (!SameGuid(iid, kUnknown) && !Answers(iid)) return E_NOINTERFACE;
    AddRef();
    *object = static_cast<Interface*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  ComObject() = default;
  virtual ~ComObject() = default;
  // Whether the object answers for `iid` besides IUnknown.
  virtual bool Answers(const IID& iid) const = 0;

 private:
  std::atomic<ULONG> references_{1};
};

}  // namespace platform
