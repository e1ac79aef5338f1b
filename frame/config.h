// The keys of the configuration file cv.ver, section "VERSION". The library
// only reads it. Integer keys are read at their first use and kept for the
// life of the process; the subsystems that read text keys keep what they
// make of them.
#pragma once

#include "frame/config_keys.h"
#include "platform/types.h"

namespace frame {

// Every key, in the order of the configuration file's documentation.
const ConfigKeyInfo* ConfigKeys(size_t* count);
const ConfigKeyInfo& DescribeConfigKey(ConfigKey key);

// An integer key's value, read at first use and kept.
int ConfigInteger(ConfigKey key);

// A text key as the file has it now, or its default; cut to size-1 units.
DWORD ReadConfigTextA(ConfigKey key, char* buffer, DWORD size);
DWORD ReadConfigTextW(ConfigKey key, WCHAR* buffer, DWORD size);

// Test seam: forgets every kept value, as a new process would start.
void ForgetConfigForTesting();

}  // namespace frame
