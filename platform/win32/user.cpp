#include "platform/user.h"

namespace platform {

char* CharUpperA(char* text) { return text == nullptr ? nullptr : ::CharUpperA(text); }

}  // namespace platform
