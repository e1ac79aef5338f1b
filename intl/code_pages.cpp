// Locale names, character-set names and code pages.

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "intl/intl.h"
#include "ovpb32.h"
#include "platform/codepage.h"
#include "platform/library.h"
#include "platform/locale.h"
#include "platform/mbcs.h"
#include "platform/module.h"

namespace intl {
namespace {

const CharsetRow kCharsets[] = {
    {0, "latin1"}, {37, "ebcdic-cp-us"}, {437, "IBM437"}, {708, "ASMO-708"}, {720, "DOS-720"}, {737, "ibm737"},
    {775, "ibm775"}, {850, "ibm850"}, {852, "ibm852"}, {857, "ibm857"}, {861, "ibm861"}, {862, "DOS-862"},
    {866, "cp866"}, {869, "ibm869"}, {870, "CP870"}, {874, "windows-874"}, {875, "x-EBCDIC-GreekModern"},
    {932, "shift_jis"}, {936, "chinese"}, {949, "korean"}, {950, "big5"}, {1026, "CP1026"},
    {1140, "x-ebcdic-cp-us-euro"}, {1141, "x-ebcdic-germany-euro"}, {1142, "x-ebcdic-denmarknorway-euro"},
    {1143, "x-ebcdic-finlandsweden-euro"}, {1143, "x-ebcdic-finlandsweden-euro"},
    {1144, "x-ebcdic-italy-euro"}, {1145, "x-ebcdic-spain-euro"}, {1146, "x-ebcdic-uk-euro"},
    {1147, "x-ebcdic-france-euro"}, {1148, "x-ebcdic-international-euro"}, {1149, "x-ebcdic-icelandic-euro"},
    {1200, "unicode"}, {1201, "unicodeFFFE"}, {1361, "Johab"}, {10000, "macintosh"}, {10001, "x-mac-japanese"},
    {10002, "x-mac-chinesetrad"}, {10003, "x-mac-korean"}, {10004, "x-mac-arabic"}, {10005, "x-mac-hebrew"},
    {10006, "x-mac-greek"}, {10007, "x-mac-cyrillic"}, {10008, "x-mac-chinesesimp"}, {10029, "x-mac-ce"},
    {10079, "x-mac-icelandic"}, {10081, "x-mac-turkish"}, {20000, "x-Chinese-CNS"}, {20002, "x-Chinese-Eten"},
    {20105, "x-IA5"}, {20106, "x-IA5-German"}, {20107, "x-IA5-Swedish"}, {20108, "x-IA5-Norwegian"},
    {20127, "us-ascii"}, {20273, "x-EBCDIC-Germany"}, {20277, "x-EBCDIC-DenmarkNorway"},
    {20278, "x-EBCDIC-FinlandSweden"}, {20280, "x-EBCDIC-Italy"}, {20284, "X-EBCDIC-Spain"},
    {20285, "x-EBCDIC-UK"}, {20290, "x-EBCDIC-JapaneseKatakana"}, {20420, "x-EBCDIC-Arabic"},
    {20423, "x-EBCDIC-Greek"}, {20424, "x-EBCDIC-Hebrew"}, {20833, "x-EBCDIC-KoreanExtended"},
    {20838, "x-EBCDIC-Thai"}, {20866, "koi8-r"}, {20871, "x-EBCDIC-Icelandic"},
    {20880, "x-EBCDIC-CyrillicRussian"}, {20905, "x-EBCDIC-Turkish"},
    {21025, "x-EBCDIC-CyrillicSerbianBulgarian"}, {21866, "koi8-u"}, {28591, "iso-8859-1"}, {28592, "latin2"},
    {28593, "iso-8859-3"}, {28594, "iso-8859-4"}, {28595, "iso-8859-5"}, {28596, "iso-8859-6"},
    {28597, "iso-8859-7"}, {28598, "iso-8859-8"}, {28599, "iso-8859-9"}, {28605, "iso-8859-15"},
    {29001, "x-Europa"}, {38598, "iso-8859-8-i"}, {50220, "iso-2022-jp"}, {50221, "csISO2022JP"},
    {50222, "iso-2022-jp"}, {50225, "iso-2022-kr"}, {50930, "x-EBCDIC-JapaneseAndKana"},
    {50931, "x-EBCDIC-JapaneseAndUSCanada"}, {50933, "x-EBCDIC-KoreanAndKoreanExtended"},
    {50935, "x-EBCDIC-SimplifiedChinese"}, {50937, "x-EBCDIC-TraditionalChinese"},
    {50939, "x-EBCDIC-JapaneseAndJapaneseLatin"}, {51932, "euc-jp"}, {51936, "EUC-CN"}, {51949, "euc-kr"},
    {52936, "hz-gb-2312"}, {57002, "x-iscii-de"}, {57003, "x-iscii-be"}, {57004, "x-iscii-ta"},
    {57005, "x-iscii-te"}, {57006, "x-iscii-as"}, {57007, "x-iscii-or"}, {57008, "x-iscii-ka"},
    {57009, "x-iscii-ma"}, {57010, "x-iscii-gu"}, {57011, "x-iscii-pa"}, {65000, "utf-7"}, {65001, "utf-8"},
};

// Room of the name buffer of GetCodePageFromCharSetString, terminator included.
constexpr size_t kNameRoom = 68;

// Lower-cased names to code pages; made empty when first touched (at
// attach), filled there and only read afterwards, destroyed at unload.
std::map<std::string, int>& CharsetNameIndex() {
  static std::map<std::string, int> index;
  return index;
}

typedef int(WINAPI* LocaleNameFunction)(LCID, WCHAR*, int, DWORD);

std::atomic<LocaleNameFunction> keptLocaleNameFunction{nullptr};

// "nlsdl.dll" by name, else from the host program's folder.
HMODULE LoadDownlevelLibrary() {
  HMODULE library = platform::LoadLibraryA("nlsdl.dll");
  if (library != nullptr) return library;
  char host[MAX_PATH] = {};
  char folder[MAX_PATH] = {};
  if (platform::GetModuleFileNameA(nullptr, host, MAX_PATH) == 0) return nullptr;
  SplitPathA(host, folder, nullptr, nullptr);
  std::string path = std::string(folder) + "nlsdl.dll";
  return platform::LoadLibraryA(path.c_str());
}

LocaleNameFunction FindLocaleNameFunction() {
  if (HMODULE kernel = platform::LoadLibraryA("KERNEL32.dll")) {
    auto function = platform::GetProcAddressAs<LocaleNameFunction>(kernel, "LCIDToLocaleName");
    if (function != nullptr) return function;
    platform::FreeLibrary(kernel);
  }
  HMODULE downlevel = LoadDownlevelLibrary();
  if (downlevel == nullptr) return nullptr;
  return platform::GetProcAddressAs<LocaleNameFunction>(downlevel, "DownlevelLCIDToLocaleName");
}

// Found once and kept; while nothing is found every call looks again.
LocaleNameFunction LocaleNameFunctionOnce() {
  LocaleNameFunction function = keptLocaleNameFunction.load(std::memory_order_acquire);
  if (function != nullptr) return function;
  function = FindLocaleNameFunction();
  if (function != nullptr) keptLocaleNameFunction.store(function, std::memory_order_release);
  return function;
}

// The process's code page: the multi-byte one, else the interface locale's.
int ProcessCodePage() {
  int codePage = platform::_getmbcp();
  if (codePage != 0) return codePage;
  char text[10] = {};
  if (platform::GetLocaleInfoA(GetAppropriateLCID(), LOCALE_IDEFAULTANSICODEPAGE, text, sizeof text) == 0) return 0;
  return static_cast<int>(std::atol(text));
}

}  // namespace

const CharsetRow* CharsetTable(size_t* count) {
  *count = sizeof kCharsets / sizeof kCharsets[0];
  return kCharsets;
}

void FillCharsetNameIndex() {
  std::map<std::string, int>& index = CharsetNameIndex();
  for (const CharsetRow& row : kCharsets) {
    char name[kNameRoom] = {};
    std::strncpy(name, row.name, kNameRoom - 1);
    platform::_mbslwr(reinterpret_cast<unsigned char*>(name));
    index[name] = row.codePage;  // a later row wins
  }
}

}  // namespace intl

extern "C" int OVPB_API LocaleIDToLocaleName(LCID locale, char* name, int size) {
  intl::LocaleNameFunction function = intl::LocaleNameFunctionOnce();
  if (function == nullptr) return 0;
  WCHAR wideName[64];
  if (function(locale, wideName, 64, 0) == 0) return 0;
  platform::WideCharToMultiByte(CP_ACP, 0, wideName, -1, name, size, nullptr, nullptr);
  return 1;
}

extern "C" int OVPB_API LanguageCodeToLocaleName(WORD language, char* name, int size) {
  return LocaleIDToLocaleName(static_cast<LCID>(language), name, size);  // the default sort order is 0
}

extern "C" int OVPB_API GetCharSetFromCodePage(char* name, int codePage) {
  if (codePage == -1) codePage = intl::ProcessCodePage();
  std::snprintf(name, 67, "windows-%d", codePage);
  for (const intl::CharsetRow& row : intl::kCharsets) {
    if (row.codePage > codePage) break;
    if (row.codePage == codePage) {
      std::snprintf(name, 67, "%s", row.name);
      break;
    }
  }
  return 1;
}

extern "C" UINT OVPB_API GetCodePageFromCharSet(BYTE charset) {
  CHARSETINFO info = {};
  DWORD* source = reinterpret_cast<DWORD*>(static_cast<uintptr_t>(charset));
  return platform::TranslateCharsetInfo(source, &info, TCI_SRCCHARSET) ? info.ciACP : 0;
}

extern "C" int OVPB_API GetCodePageFromCharSetString(const char* name) {
  if (name == nullptr) return 0;
  // Longer names than the buffer holds are not names of the table.
  size_t length = strnlen(name, intl::kNameRoom);
  if (length >= intl::kNameRoom) return 0;
  char lowered[intl::kNameRoom] = {};
  std::memcpy(lowered, name, length);
  platform::_mbslwr(reinterpret_cast<unsigned char*>(lowered));
  if (std::strncmp(lowered, "windows-", 8) == 0) return static_cast<int>(std::strtoll(lowered + 8, nullptr, 10));
  const std::map<std::string, int>& index = intl::CharsetNameIndex();
  auto found = index.find(lowered);
  return found == index.end() ? 0 : found->second;
}
