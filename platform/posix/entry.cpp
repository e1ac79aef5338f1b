// Load and unload on POSIX: the frame's attach step runs when the library is
// loaded (or, linked into a program, before main) and its detach step at
// unload, as the Windows loader calls the entry point.

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
