// A process opened by OpenProcess: what its handle names.
#pragma once

#include "platform/posix/handles.h"

namespace platform {
namespace posix {

class ProcessObject : public HandleObject {
 public:
  explicit ProcessObject(DWORD id) : id(id) {}
  const DWORD id;
};

}  // namespace posix
}  // namespace platform
