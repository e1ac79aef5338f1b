#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "numbers/number_text.h"
#include "platform/number_format.h"

namespace {

// Every path formats into the caller's buffer alone: eight threads get the
// answers one thread gets.
std::string AllForms(const std::string& text) {
  char plain[96] = {}, database[96], display[96], currency[96] = {};
  const int length = numbers::FormatPlainNumber(plain, text.c_str(), 3, ",", ".", true);
  numbers::ConvertNumberText(database, text.c_str(), {'.', '.', 2, true});
  numbers::ConvertNumberText(display, database, {'.', ',', 4, false});
  CURRENCYFMTA format{2, 1, 32, const_cast<char*>("."), const_cast<char*>(","), 1, 0, const_cast<char*>("")};
  platform::GetCurrencyFormatA(0x0409, 0, text.c_str(), &format, currency, sizeof currency);
  return std::string(plain, static_cast<size_t>(length)) + "|" + database + "|" + display + "|" + currency;
}

TEST(Threads, GiveTheSingleThreadAnswers) {
  std::vector<std::string> texts, expected;
  for (int i = 0; i < 200; ++i) {
    texts.push_back((i % 3 ? "" : "-") + std::to_string(i * 7919LL * i) + "." + std::to_string(i * 37 % 1000) + "5");
    expected.push_back(AllForms(texts.back()));
  }
  std::vector<std::thread> threads;
  std::vector<int> mismatches(8);
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&, t] {
      for (int round = 0; round < 50; ++round)
        for (size_t i = 0; i < texts.size(); ++i) mismatches[t] += AllForms(texts[i]) != expected[i];
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(mismatches, std::vector<int>(8));
}

}  // namespace
