// Conversions between the ANSI code page (OVPB_ACP: 1252 and 932 in CI) and
// UTF-16: a count asked for equals the count a conversion with room stores;
// nothing is stored past `max`; a text that converts comes back the same
// way in the code page (best fit is never used).

#include "fuzz/fuzz_support.h"
#include "ovpb32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto narrow = fuzzing::Terminated<char>(data, size);
  size_t needed = li_mbstowcs(nullptr, narrow.data(), 0);
  if (needed != static_cast<size_t>(-1)) {
    auto wide = fuzzing::Exactly<WCHAR>(needed + 1);
    FUZZ_CHECK(li_mbstowcs(wide.data(), narrow.data(), wide.size()) == needed);
    FUZZ_CHECK(wide[needed] == 0);
    size_t bytes = li_wcstombs(nullptr, wide.data(), 0);
    FUZZ_CHECK(bytes != static_cast<size_t>(-1));
    auto back = fuzzing::Exactly<char>(bytes + 1);
    FUZZ_CHECK(li_wcstombs(back.data(), wide.data(), back.size()) == bytes);
    auto shorter = fuzzing::Exactly<WCHAR>(needed / 2);
    (void)li_mbstowcs(shorter.data(), narrow.data(), shorter.size());
  }
  auto wideInput = fuzzing::Terminated<WCHAR>(data, size);
  size_t bytes = li_wcstombs(nullptr, wideInput.data(), 0);
  if (bytes != static_cast<size_t>(-1)) {
    auto out = fuzzing::Exactly<char>(bytes / 2 + 1);
    size_t stored = li_wcstombs(out.data(), wideInput.data(), out.size());
    FUZZ_CHECK(stored == static_cast<size_t>(-1) || stored <= out.size());
  }
  return 0;
}
