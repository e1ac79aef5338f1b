// Linked into a program instead of the DLL (the test programs), the library
// has no loader notifications; a static object attaches it before main and
// detaches it after main returns.

#include "frame/module.h"
#include "platform/module.h"

namespace {

struct ProcessAttachment {
  ProcessAttachment() {
    frame::ProcessAttach(platform::ModuleFromAddress(reinterpret_cast<const void*>(&frame::ProcessAttach)));
  }
  ~ProcessAttachment() { frame::ProcessDetach(); }
};

ProcessAttachment attachment;

}  // namespace
