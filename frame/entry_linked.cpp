// Load and unload where no loader calls an entry point: the library on
// POSIX, and the library's code linked into a program (the test programs on
// Windows). A static object runs the attach step when the library is
// loaded, or before main, and the detach step at unload or after main; the
// platform names the module that holds this code.

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
