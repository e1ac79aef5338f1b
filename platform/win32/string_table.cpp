#include "platform/string_table.h"

namespace platform {

int LoadStringA(HINSTANCE module, UINT id, char* buffer, int size) { return ::LoadStringA(module, id, buffer, size); }

}  // namespace platform
