// The keys of the configuration file cv.ver, section "VERSION". The library
// only reads it. Integer keys are read at their first use and kept for the
// life of the process; the subsystems that read text keys keep what they
// make of them.
#pragma once

#include "platform/types.h"

namespace frame {

enum class ConfigKey {
  GeneralLogging,
  LoggingCategory,
  LoggingPath,
  LoggingSize,
  OVAssert,
  LogFileDeletes,
  GenerateMiniDump,
  Applocale,
  GetFileAttributesOld,
  RegionalDigits,
};

enum class ConfigValueKind {
  Integer,      // read through the narrow configuration path
  WideInteger,  // read through the wide configuration path
  Text,
};

struct ConfigKeyInfo {
  ConfigKey key;
  const char* name;
  const char* section;  // sections compare without regard to case
  ConfigValueKind kind;
  bool keptOncePerProcess;
  int defaultInteger;
  int sentinel;             // an integer equal to it is read again at every use
  const char* defaultText;  // with defaultInModuleDirectory, a file name there
  bool defaultInModuleDirectory;
};

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
