// Counts the allocations through operator new of the calling thread, so
// that a test can see what a call costs. The test program replaces the
// global operator new to do so.
#pragma once

#include <stddef.h>

namespace testing_support {

size_t AllocationsOnThisThread();

}  // namespace testing_support
