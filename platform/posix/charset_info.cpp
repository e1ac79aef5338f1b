// Font character sets and the code pages that go with them, and the
// runtime's multi-byte code page.

#include <cstdint>

#include "platform/codepage.h"
#include "platform/locale.h"
#include "platform/posix/posix_codepage.h"
#include "platform/system.h"

namespace platform {
namespace {

struct CharsetPair {
  UINT charset;
  UINT codePage;
  DWORD codePageBit;  // its bit in FONTSIGNATURE::fsCsb[0]
};

// Windows' fixed pairs, in its order.
const CharsetPair kCharsets[] = {
    {ANSI_CHARSET, 1252, 1u << 0},         {EASTEUROPE_CHARSET, 1250, 1u << 1},
    {RUSSIAN_CHARSET, 1251, 1u << 2},      {GREEK_CHARSET, 1253, 1u << 3},
    {TURKISH_CHARSET, 1254, 1u << 4},      {HEBREW_CHARSET, 1255, 1u << 5},
    {ARABIC_CHARSET, 1256, 1u << 6},       {BALTIC_CHARSET, 1257, 1u << 7},
    {VIETNAMESE_CHARSET, 1258, 1u << 8},   {THAI_CHARSET, 874, 1u << 16},
    {SHIFTJIS_CHARSET, 932, 1u << 17},     {GB2312_CHARSET, 936, 1u << 18},
    {HANGEUL_CHARSET, 949, 1u << 19},      {CHINESEBIG5_CHARSET, 950, 1u << 20},
    {JOHAB_CHARSET, 1361, 1u << 21},       {SYMBOL_CHARSET, 42, 1u << 31},
};

const CharsetPair* FindPair(DWORD* source, DWORD flags) {
  // With the character set or the code page, `source` is the value itself.
  auto value = static_cast<UINT>(reinterpret_cast<uintptr_t>(source));
  for (const CharsetPair& pair : kCharsets) {
    if ((flags == TCI_SRCCHARSET && pair.charset == value) || (flags == TCI_SRCCODEPAGE && pair.codePage == value) ||
        (flags == TCI_SRCFONTSIG && source != nullptr && (source[0] & pair.codePageBit) != 0)) {
      return &pair;
    }
  }
  return nullptr;
}

}  // namespace

BOOL TranslateCharsetInfo(DWORD* source, CHARSETINFO* info, DWORD flags) {
  const CharsetPair* pair = info != nullptr ? FindPair(source, flags) : nullptr;
  if (pair == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *info = CHARSETINFO{};
  info->ciCharset = pair->charset;
  info->ciACP = pair->codePage;
  info->fs.fsCsb[0] = pair->codePageBit;
  return TRUE;
}

int _getmbcp() {
  UINT codePage = GetACP();
  return IsDoubleByteCodePage(codePage) || codePage == CP_UTF8 ? static_cast<int>(codePage) : 0;
}

}  // namespace platform
