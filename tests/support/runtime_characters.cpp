#include "support/runtime_characters.h"

#include <cstdio>
#include <vector>

#include "platform/codepage.h"
#include "platform/mbcs.h"

namespace testing_support {
namespace {

// A code (a byte, or lead byte * 256 + trail byte) and its answers: the
// classes ("s" space, "a" letter or digit, "d" digit; "-" none), then the
// upper and the lower case as offsets from the code.
struct Answer {
  unsigned code;
  std::string text;
};

std::string Describe(unsigned code, bool space, bool alphanumeric, bool digit, unsigned upper, unsigned lower) {
  const std::string classes = std::string(space ? "s" : "") + (alphanumeric ? "a" : "") + (digit ? "d" : "");
  return (classes.empty() ? "-" : classes) + " " + std::to_string(static_cast<long>(upper) - static_cast<long>(code)) +
         " " + std::to_string(static_cast<long>(lower) - static_cast<long>(code));
}

Answer Ask(unsigned code) {
  unsigned char bytes[3] = {static_cast<unsigned char>(code < 0x100 ? code : code >> 8),
                            static_cast<unsigned char>(code < 0x100 ? 0 : code & 0xFF), 0};
  platform::_mbslwr(bytes);  // what it makes of the character alone
  const unsigned lower = bytes[1] != 0 ? (static_cast<unsigned>(bytes[0]) << 8 | bytes[1]) : bytes[0];
  return {code, Describe(code, platform::_ismbcspace(code) != 0, platform::_ismbcalnum(code) != 0,
                         platform::_ismbcdigit(code) != 0, platform::_mbctoupper(code), lower)};
}

std::string Hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*x", digits, value);
  return text;
}

// "[name]", the ranges of lead bytes, then runs of consecutive codes with
// equal answers.
std::string FormatSection(const std::string& name, const std::vector<bool>& lead, const std::vector<Answer>& answers) {
  std::string ranges;
  for (unsigned byte = 0; byte < 256; ++byte) {
    if (!lead[byte] || (byte > 0 && lead[byte - 1])) continue;
    unsigned last = byte;
    while (last + 1 < 256 && lead[last + 1]) ++last;
    ranges += " " + Hex(byte, 2) + "-" + Hex(last, 2);
  }
  std::string out = "[" + name + "]\nlead" + (ranges.empty() ? " -" : ranges) + "\n";
  for (size_t first = 0, last; first < answers.size(); first = last + 1) {
    for (last = first; last + 1 < answers.size() && answers[last + 1].code == answers[last].code + 1 &&
                       answers[last + 1].text == answers[first].text;) {
      ++last;
    }
    out += Hex(answers[first].code, 4) + "-" + Hex(answers[last].code, 4) + " " + answers[first].text + "\n";
  }
  return out;
}

}  // namespace

std::string MultiByteServicesSection() {
  std::vector<bool> lead(256);
  for (unsigned byte = 0; byte < 256; ++byte) lead[byte] = platform::_ismbblead(byte) != 0;
  std::vector<Answer> answers;
  for (unsigned code = 1; code < 0x10000; ++code) {
    if (code < 0x100 || (lead[code >> 8] && (code & 0xFF) != 0)) answers.push_back(Ask(code));
  }
  return FormatSection(std::to_string(platform::GetACP()), lead, answers);
}

std::string WideClassificationSection() {
  std::vector<Answer> answers;
  for (unsigned unit = 0; unit < 0x10000; ++unit) {
    const WCHAR c = static_cast<WCHAR>(unit);
    answers.push_back({unit, Describe(unit, platform::iswspace(c) != 0, platform::iswalnum(c) != 0, false, unit, unit)});
  }
  return FormatSection("wide", std::vector<bool>(256), answers);
}

}  // namespace testing_support
