// The keys of the configuration file cv.ver: names, sections, kinds and
// defaults, as data alone, so that the ovpb tool reads the file by the same
// table as the library.
#pragma once

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

namespace config_table {
inline constexpr int kUnread = -1;
inline constexpr int kUnreadLogFileDeletes = 0x7FFFFFFF;

inline const ConfigKeyInfo kConfigKeys[] = {
    {ConfigKey::GeneralLogging, "GeneralLogging", "VERSION", ConfigValueKind::Integer, true, 0, kUnread, nullptr, false},
    {ConfigKey::LoggingCategory, "LoggingCategory", "VERSION", ConfigValueKind::Text, true, 0, 0, "*", false},
    {ConfigKey::LoggingPath, "LoggingPath", "VERSION", ConfigValueKind::Text, true, 0, 0, "GeneralLog.log", true},
    {ConfigKey::LoggingSize, "LoggingSize", "VERSION", ConfigValueKind::Integer, true, 10000000, kUnread, nullptr, false},
    {ConfigKey::OVAssert, "OVAssert", "VERSION", ConfigValueKind::Integer, true, 0, kUnread, nullptr, false},
    {ConfigKey::LogFileDeletes, "LogFileDeletes", "VERSION", ConfigValueKind::Integer, true, 0, kUnreadLogFileDeletes, nullptr, false},
    {ConfigKey::GenerateMiniDump, "GenerateMiniDump", "VERSION", ConfigValueKind::Text, false, 0, 0, "", false},
    {ConfigKey::Applocale, "Applocale", "VERSION", ConfigValueKind::Integer, true, 0, kUnread, nullptr, false},
    {ConfigKey::GetFileAttributesOld, "GetFileAttributesOld", "VERSION", ConfigValueKind::WideInteger, true, 0, kUnread, nullptr, false},
    {ConfigKey::RegionalDigits, "RegionalDigits", "Version", ConfigValueKind::Integer, true, 0, kUnread, nullptr, false},
};

}  // namespace config_table

}  // namespace frame
