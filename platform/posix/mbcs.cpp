// The runtime's multi-byte character services for the ANSI code page.
//
// The Windows runtime classifies a character by the Windows character type
// of the Unicode character it stands for, and maps case by converting to
// Unicode, mapping there and converting back, so that a duplicate code of
// the code page comes back as the code page's preferred one. The tables here
// are made the same way, once per code page, from ICU's converter for it and
// ICU's character properties; the tests compare them with the runtime's
// answers.

#include "platform/mbcs.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <array>
#include <atomic>
#include <cctype>
#include <cstring>
#include <map>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/posix/posix_codepage.h"

namespace platform {
namespace {

enum CharClass : uint8_t { kSpace = 1, kAlpha = 2, kDigit = 4 };

// Windows' character types (space, alpha, digit) of a Unicode character.
uint8_t WindowsClasses(UChar32 c) {
  // Windows' tables part from Unicode's for six Latin-1 characters: the
  // superscript digits are digits, the ordinal indicators and the micro sign
  // are not letters.
  switch (c) {
    case 0xB2: case 0xB3: case 0xB9: return kDigit;
    case 0xAA: case 0xB5: case 0xBA: return 0;
    default: break;
  }
  const int8_t type = u_charType(c);
  uint8_t classes = 0;
  if ((c >= 0x09 && c <= 0x0D) || type == U_SPACE_SEPARATOR || type == U_LINE_SEPARATOR ||
      type == U_PARAGRAPH_SEPARATOR) {
    classes |= kSpace;
  }
  if (u_isalpha(c) || type == U_LETTER_NUMBER) classes |= kAlpha;
  if (type == U_DECIMAL_DIGIT_NUMBER) classes |= kDigit;
  return classes;
}

// Windows' case mapping leaves the Turkish dotted and dotless i alone, and
// the letter-like ohm, kelvin and angstrom signs.
UChar32 WindowsUpper(UChar32 c) { return c == 0x131 ? c : u_toupper(c); }
UChar32 WindowsLower(UChar32 c) { return c == 0x130 || (c >= 0x2126 && c <= 0x212B) ? c : u_tolower(c); }

// One code page's lead bytes, character types and case mappings.
class CodePageCharacters {
 public:
  explicit CodePageCharacters(UINT codePage)
      : codePage_(codePage), classes_(IsDoubleByteCodePage(codePage) ? 0x10000 : 0x100, 0) {
    ConverterPtr converter = OpenCodePageConverter(codePage);
    if (!converter) return;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &status);
    ucnv_setSubstChars(converter.get(), "?", 1, &status);
    ucnv_setFallback(converter.get(), TRUE);  // the runtime converts back with best fit
    if (IsDoubleByteCodePage(codePage)) {
      UBool starters[256];
      status = U_ZERO_ERROR;
      ucnv_getStarters(converter.get(), starters, &status);
      for (unsigned byte = 0; byte < 256 && U_SUCCESS(status); ++byte) lead_[byte] = starters[byte] != 0;
    }
    for (unsigned code = 1; code < classes_.size(); ++code) {
      if (IsCode(code)) Learn(converter.get(), code);
    }
  }

  UINT codePage() const { return codePage_; }
  bool doubleByte() const { return classes_.size() > 0x100; }
  bool IsLead(unsigned byte) const { return lead_[byte & 0xFF]; }

  // A byte that is no lead byte, or a lead byte and a trail byte.
  bool IsCode(unsigned code) const {
    if (code < 0x100) return !lead_[code];
    return code < classes_.size() && lead_[code >> 8] && (code & 0xFF) != 0;
  }

  uint8_t Classes(unsigned code) const { return IsCode(code) ? classes_[code] : 0; }
  unsigned Upper(unsigned code) const { return Lookup(upper_, code); }
  unsigned Lower(unsigned code) const { return Lookup(lower_, code); }

 private:
  static unsigned Lookup(const std::unordered_map<unsigned, unsigned>& map, unsigned code) {
    auto found = map.find(code);
    return found == map.end() ? code : found->second;
  }

  static size_t Bytes(unsigned code, char* bytes) {
    if (code < 0x100) {
      bytes[0] = static_cast<char>(code);
      return 1;
    }
    bytes[0] = static_cast<char>(code >> 8);
    bytes[1] = static_cast<char>(code & 0xFF);
    return 2;
  }

  // The one Unicode character `bytes` stand for, or -1.
  static UChar32 ToUnicode(UConverter* converter, const char* bytes, size_t length) {
    UChar units[4];
    UErrorCode status = U_ZERO_ERROR;
    ucnv_reset(converter);
    int32_t count = ucnv_toUChars(converter, units, 4, bytes, static_cast<int32_t>(length), &status);
    if (U_FAILURE(status) || count == 0) return -1;
    int32_t index = 0;
    UChar32 c;
    U16_NEXT(units, index, count, c);
    return index == count ? c : -1;
  }

  // The code a Unicode character converts back to, or 0 when it takes more
  // than two bytes.
  static unsigned FromUnicode(UConverter* converter, UChar32 c) {
    UChar units[2];
    int32_t length = 0;
    U16_APPEND_UNSAFE(units, length, c);
    char bytes[8];
    UErrorCode status = U_ZERO_ERROR;
    ucnv_reset(converter);
    int32_t count = ucnv_fromUChars(converter, bytes, sizeof bytes, units, length, &status);
    if (U_FAILURE(status) || count < 1 || count > 2) return 0;
    const unsigned first = static_cast<unsigned char>(bytes[0]);
    return count == 1 ? first : (first << 8 | static_cast<unsigned char>(bytes[1]));
  }

  void Learn(UConverter* converter, unsigned code) {
    char bytes[2];
    const UChar32 c = ToUnicode(converter, bytes, Bytes(code, bytes));
    if (c < 0) return;
    classes_[code] = WindowsClasses(c);
    Map(converter, code, c, WindowsUpper(c), upper_);
    if (code >= 0x100) Map(converter, code, c, WindowsLower(c), lower_);  // single bytes follow the locale
  }

  // A single byte maps only to a single byte that stands for the mapped
  // character itself; a double-byte character maps to whatever the mapped
  // character converts back to.
  void Map(UConverter* converter, unsigned code, UChar32 c, UChar32 mapped,
           std::unordered_map<unsigned, unsigned>& map) {
    if (code < 0x100 && mapped == c) return;
    const unsigned result = FromUnicode(converter, mapped);
    if (result == 0 || result == code) return;
    if (code < 0x100) {
      char bytes[2];
      if (result >= 0x100 || lead_[result] || ToUnicode(converter, bytes, Bytes(result, bytes)) != mapped) return;
    }
    map[code] = result;
  }

  UINT codePage_;
  std::array<bool, 256> lead_{};
  std::vector<uint8_t> classes_;
  std::unordered_map<unsigned, unsigned> upper_;
  std::unordered_map<unsigned, unsigned> lower_;
};

std::atomic<const CodePageCharacters*> latestCharacters{nullptr};

// Tables are made at first use of a code page and kept while the library is
// loaded; they go with it, so a library unloaded from a process leaves
// nothing behind.
struct CharacterTables {
  ~CharacterTables() { latestCharacters.store(nullptr, std::memory_order_release); }
  std::mutex mutex;
  std::map<UINT, std::unique_ptr<const CodePageCharacters>> byCodePage;
};

const CodePageCharacters& CharactersOf(UINT codePage) {
  const CodePageCharacters* table = latestCharacters.load(std::memory_order_acquire);
  if (table != nullptr && table->codePage() == codePage) return *table;
  static CharacterTables tables;
  std::lock_guard<std::mutex> lock(tables.mutex);
  std::unique_ptr<const CodePageCharacters>& entry = tables.byCodePage[codePage];
  if (!entry) entry.reset(new CodePageCharacters(codePage));
  latestCharacters.store(entry.get(), std::memory_order_release);
  return *entry;
}

const CodePageCharacters& Characters() { return CharactersOf(GetACP()); }

unsigned CodeAt(const CodePageCharacters& characters, const unsigned char* p) {
  return characters.IsLead(*p) ? (static_cast<unsigned>(p[0]) << 8 | p[1]) : *p;
}

size_t LengthAt(const CodePageCharacters& characters, const unsigned char* p) {
  return characters.IsLead(*p) && p[1] != 0 ? 2 : 1;
}

}  // namespace

bool IsLeadByteOf(UINT codePage, BYTE byte) { return CharactersOf(codePage).IsLead(byte); }

int _ismbblead(unsigned int c) { return Characters().IsLead(c) ? 1 : 0; }

unsigned char* _mbsinc(const unsigned char* current) {
  return const_cast<unsigned char*>(current + LengthAt(Characters(), current));
}

size_t _mbclen(const unsigned char* c) { return LengthAt(Characters(), c); }

void _mbccpy(unsigned char* dest, const unsigned char* src) {
  if (!Characters().IsLead(*src)) {
    *dest = *src;
  } else if (src[1] == 0) {
    *dest = 0;  // a lead byte without its trail byte is no character
  } else {
    dest[0] = src[0];
    dest[1] = src[1];
  }
}

unsigned int _mbsnextc(const unsigned char* text) { return CodeAt(Characters(), text); }

unsigned char* _mbschr(const unsigned char* text, unsigned int c) {
  const CodePageCharacters& characters = Characters();
  if (!characters.doubleByte()) {
    return reinterpret_cast<unsigned char*>(
        const_cast<char*>(std::strchr(reinterpret_cast<const char*>(text), static_cast<int>(c & 0xFF))));
  }
  for (const unsigned char* p = text;; p += LengthAt(characters, p)) {
    if (CodeAt(characters, p) == c) return const_cast<unsigned char*>(p);
    if (*p == 0) return nullptr;
  }
}

unsigned char* _mbsrchr(const unsigned char* text, unsigned int c) {
  const CodePageCharacters& characters = Characters();
  if (!characters.doubleByte()) {
    return reinterpret_cast<unsigned char*>(
        const_cast<char*>(std::strrchr(reinterpret_cast<const char*>(text), static_cast<int>(c & 0xFF))));
  }
  const unsigned char* last = nullptr;
  for (const unsigned char* p = text;; p += LengthAt(characters, p)) {
    if (CodeAt(characters, p) == c) last = p;
    if (*p == 0) return const_cast<unsigned char*>(last);
  }
}

// Single bytes are lowered by the runtime's current locale, double-byte
// characters through Unicode. As the runtime does it, a lower case that
// converts back to one byte (the default character, when the code page
// lacks it) replaces the lead byte alone.
unsigned char* _mbslwr(unsigned char* text) {
  const CodePageCharacters& characters = Characters();
  for (unsigned char* p = text; *p != 0;) {
    if (LengthAt(characters, p) == 1) {
      if (!characters.IsLead(*p)) *p = static_cast<unsigned char>(std::tolower(*p));
      p += 1;
      continue;
    }
    const unsigned lower = characters.Lower(CodeAt(characters, p));
    if (lower < 0x100) {
      p[0] = static_cast<unsigned char>(lower);
    } else {
      p[0] = static_cast<unsigned char>(lower >> 8);
      p[1] = static_cast<unsigned char>(lower & 0xFF);
    }
    p += 2;
  }
  return text;
}

unsigned int _mbctoupper(unsigned int c) { return Characters().Upper(c); }

int _ismbcspace(unsigned int c) { return Characters().Classes(c) & kSpace; }
int _ismbcalnum(unsigned int c) { return Characters().Classes(c) & (kAlpha | kDigit); }
int _ismbcdigit(unsigned int c) { return Characters().Classes(c) & kDigit; }

int iswspace(WCHAR c) { return WindowsClasses(c) & kSpace; }
int iswalnum(WCHAR c) { return WindowsClasses(c) & (kAlpha | kDigit); }

}  // namespace platform
