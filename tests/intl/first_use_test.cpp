// The locale services' first calls made by many threads at once, in a fresh
// process (see tests/CMakeLists.txt): every thread gets the same answers.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "ovpb32.h"
#include "support/locale_values.h"

namespace {

std::string Answers() {
  std::string answers;
  char text[80];
  for (LCID locale : {0x0409u, 0x0411u, 0x0C0Cu, 0x0419u}) {
    answers += LocaleIDToLocaleName(locale, text, sizeof text) ? text : "-";
    for (LCTYPE type : {LOCALE_SLONGDATE, LOCALE_SCURRENCY, LOCALE_INEGCURR, LOCALE_ICOUNTRY}) {
      answers += "|" + testing_support::LocaleValueLine(locale, type);
    }
  }
  GetCharSetFromCodePage(text, -1);
  return answers + "|" + text + "|" + std::to_string(GetUserFontCharset());
}

TEST(FirstUse, ThreadsRacingToTheFirstCallsGetTheSameAnswers) {
  if (std::getenv("OVPB_TEST_FIRST_USE") == nullptr) GTEST_SKIP() << "runs in a fresh process of its own";
  constexpr int kThreads = 8;
  std::atomic<int> waiting{kThreads};
  std::vector<std::string> answers(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] {
      waiting.fetch_sub(1);
      while (waiting.load() > 0) std::this_thread::yield();
      answers[i] = Answers();
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const std::string& answer : answers) EXPECT_EQ(answer, answers[0]);
  EXPECT_EQ(Answers(), answers[0]);
}

}  // namespace
