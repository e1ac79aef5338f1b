// The POSIX layer's case-blind compare across the blocks of its vector path.

#include <gtest/gtest.h>

#include <string>

#include "platform/network.h"

#ifndef _WIN32
#include "platform/posix/posix_codepage.h"

namespace {

int Sign(const std::string& a, const std::string& b, size_t bytes) {
  auto* x = reinterpret_cast<const unsigned char*>(a.c_str());
  auto* y = reinterpret_cast<const unsigned char*>(b.c_str());
  int result = bytes == 0 ? platform::_mbsicmp(x, y) : platform::_mbsnbicmp(x, y, bytes);
  return (result > 0) - (result < 0);
}

TEST(CaseCompare, LongTextsCompareByCharacterWherever) {
  platform::AnsiCodePageStore::Pin(1252);
  const std::string base = "\\\\server\\share\\reports\\2026\\ledger-of-accounts.txt";
  const struct { std::string other; size_t bytes; int sign; } cases[] = {  // bytes 0: no limit
      {"\\\\SERVER\\SHARE\\REPORTS\\2026\\LEDGER-OF-ACCOUNTS.TXT", 0, 0},
      {"\\\\server\\share\\reports\\2026\\ledger-of-accounts.txu", 0, -1},  // the last byte
      {"\\\\server\\sharE\\reports\\2026\\ledger-of-accountr.TXT", 0, 1},   // in the overlap
      {"\\\\server\\share\\repoRTs\\2026\\LEDGER", 0, 1},
      {"\\\\server\\share\\reports\\2026\\LEDGER-of-x", 38, 0},
      {"\\\\server\\share\\reports\\2026\\LEDGER-of-x", 39, -1},
      {"\\\\server\\shar[\\reports", 0, -1},  // '[' lies between the cases
      {"\\\\server\\shar\xc9\\reports\\2026\\ledger-of-accounts.txt", 0, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Sign(base, c.other, c.bytes), c.sign) << c.other << " " << c.bytes;
    EXPECT_EQ(Sign(c.other, base, c.bytes), -c.sign) << c.other << " " << c.bytes;
  }
  EXPECT_EQ(Sign("\\\\srv\\caf\xe9-reports-of-2026\\a", "\\\\SRV\\CAF\xc9-REPORTS-OF-2026\\A", 0), 0);
  platform::AnsiCodePageStore::Pin(0);
}

}  // namespace
#endif
