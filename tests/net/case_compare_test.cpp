// The POSIX layer's case-blind comparison of texts longer than a block of
// its vector path: where they differ, the sign, the limit, and letters
// outside ASCII (code page 1252).

#include <gtest/gtest.h>

#include <string>

#include "platform/network.h"

#ifndef _WIN32
#include "platform/posix/posix_codepage.h"

namespace {

int Compare(const std::string& a, const std::string& b, size_t bytes = static_cast<size_t>(-1)) {
  auto* x = reinterpret_cast<const unsigned char*>(a.c_str());
  auto* y = reinterpret_cast<const unsigned char*>(b.c_str());
  return bytes == static_cast<size_t>(-1) ? platform::_mbsicmp(x, y) : platform::_mbsnbicmp(x, y, bytes);
}

TEST(CaseCompare, LongTextsCompareByCharacterWherever) {
  platform::AnsiCodePageStore::Pin(1252);
  const std::string base = "\\\\server\\share\\reports\\2026\\ledger-of-accounts.txt";
  const struct {
    std::string other;
    size_t bytes;
    int sign;
  } cases[] = {
      {"\\\\SERVER\\SHARE\\REPORTS\\2026\\LEDGER-OF-ACCOUNTS.TXT", static_cast<size_t>(-1), 0},
      {"\\\\server\\share\\reports\\2026\\ledger-of-accounts.txu", static_cast<size_t>(-1), -1},  // last byte
      {"\\\\server\\sharE\\reports\\2026\\ledger-of-accountr.TXT", static_cast<size_t>(-1), 1},   // in the overlap
      {"\\\\server\\share\\repoRTs\\2026\\LEDGER", static_cast<size_t>(-1), 1},                   // b shorter
      {"\\\\server\\share\\reports\\2026\\ledger-of-accounts.txt\\x", static_cast<size_t>(-1), -1},
      {"\\\\server\\share\\reports\\2026\\LEDGER-of-x", 38, 0},  // limit before the difference
      {"\\\\server\\share\\reports\\2026\\LEDGER-of-x", 39, -1},
      {"\\\\server\\shar[\\reports", static_cast<size_t>(-1), -1},  // '[' lies between the cases
      {"\\\\server\\shar\xc9\\reports\\2026\\ledger-of-accounts.txt", static_cast<size_t>(-1), -1},
  };
  for (const auto& c : cases) {
    int result = Compare(base, c.other, c.bytes);
    EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.other << " " << c.bytes;
    result = Compare(c.other, base, c.bytes);
    EXPECT_EQ((result > 0) - (result < 0), -c.sign) << c.other << " " << c.bytes;
  }
  // a letter outside ASCII in either case, inside a block (code page 1252)
  EXPECT_EQ(Compare("\\\\srv\\caf\xe9-reports-of-2026\\a", "\\\\SRV\\CAF\xc9-REPORTS-OF-2026\\A"), 0);
  platform::AnsiCodePageStore::Pin(0);
}

}  // namespace
#endif
