#include "platform/guid.h"

#include <objbase.h>

namespace platform {

HRESULT CoCreateGuid(GUID* guid) { return ::CoCreateGuid(guid); }

}  // namespace platform
