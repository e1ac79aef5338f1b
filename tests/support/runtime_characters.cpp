#include "support/runtime_characters.h"

#include <cstdio>
#include <sstream>

#include "platform/mbcs.h"

namespace testing_support {
namespace {

std::string Classes(bool space, bool alphanumeric, bool digit) {
  std::string classes;
  if (space) classes += 's';
  if (alphanumeric) classes += 'a';
  if (digit) classes += 'd';
  return classes.empty() ? "-" : classes;
}

CharacterAnswer Ask(unsigned code) {
  unsigned char bytes[3] = {0, 0, 0};
  if (code < 0x100) {
    bytes[0] = static_cast<unsigned char>(code);
  } else {
    bytes[0] = static_cast<unsigned char>(code >> 8);
    bytes[1] = static_cast<unsigned char>(code & 0xFF);
  }
  platform::_mbslwr(bytes);
  const unsigned lower = bytes[1] != 0 ? (static_cast<unsigned>(bytes[0]) << 8 | bytes[1]) : bytes[0];
  return {code,
          Classes(platform::_ismbcspace(code) != 0, platform::_ismbcalnum(code) != 0,
                  platform::_ismbcdigit(code) != 0),
          platform::_mbctoupper(code), lower};
}

std::string Hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*x", digits, value);
  return text;
}

long Offset(unsigned to, unsigned from) { return static_cast<long>(to) - static_cast<long>(from); }

bool Continues(const CharacterAnswer& run, const CharacterAnswer& last, const CharacterAnswer& next) {
  return next.code == last.code + 1 && next.classes == run.classes &&
         Offset(next.upper, next.code) == Offset(run.upper, run.code) &&
         Offset(next.lower, next.code) == Offset(run.lower, run.code);
}

}  // namespace

CharacterTable AskMultiByteServices() {
  CharacterTable table;
  table.lead.resize(256);
  for (unsigned byte = 0; byte < 256; ++byte) table.lead[byte] = platform::_ismbblead(byte) != 0;
  for (unsigned code = 1; code < 0x100; ++code) table.characters.push_back(Ask(code));
  for (unsigned lead = 1; lead < 0x100; ++lead) {
    if (!table.lead[lead]) continue;
    for (unsigned trail = 1; trail < 0x100; ++trail) table.characters.push_back(Ask(lead << 8 | trail));
  }
  return table;
}

CharacterTable AskWideClassification() {
  CharacterTable table;
  table.lead.resize(256);
  for (unsigned unit = 0; unit < 0x10000; ++unit) {
    const WCHAR c = static_cast<WCHAR>(unit);
    table.characters.push_back({unit, Classes(platform::iswspace(c) != 0, platform::iswalnum(c) != 0, false), unit, unit});
  }
  return table;
}

std::string FormatSection(const std::string& name, const CharacterTable& table) {
  std::ostringstream out;
  out << "[" << name << "]\nlead";
  bool any = false;
  for (unsigned byte = 0; byte < 256; ++byte) {
    if (!table.lead[byte] || (byte > 0 && table.lead[byte - 1])) continue;
    unsigned last = byte;
    while (last + 1 < 256 && table.lead[last + 1]) ++last;
    out << " " << Hex(byte, 2) << "-" << Hex(last, 2);
    any = true;
  }
  out << (any ? "\n" : " -\n");
  const std::vector<CharacterAnswer>& answers = table.characters;
  for (size_t first = 0; first < answers.size();) {
    size_t last = first;
    while (last + 1 < answers.size() && Continues(answers[first], answers[last], answers[last + 1])) ++last;
    const CharacterAnswer& run = answers[first];
    out << Hex(run.code, 4) << "-" << Hex(answers[last].code, 4) << " " << run.classes << " "
        << Offset(run.upper, run.code) << " " << Offset(run.lower, run.code) << "\n";
    first = last + 1;
  }
  return out.str();
}

std::map<std::string, CharacterTable> ParseSections(const std::string& text) {
  std::map<std::string, CharacterTable> sections;
  CharacterTable* table = nullptr;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      table = &sections[line.substr(1, line.find(']') - 1)];
      table->lead.assign(256, false);
      continue;
    }
    if (table == nullptr) continue;
    std::istringstream fields(line);
    std::string range;
    fields >> range;
    if (range == "lead") {
      while (fields >> range) {
        if (range == "-") break;
        unsigned first = std::stoul(range.substr(0, 2), nullptr, 16);
        unsigned last = std::stoul(range.substr(3, 2), nullptr, 16);
        for (unsigned byte = first; byte <= last && byte < 256; ++byte) table->lead[byte] = true;
      }
      continue;
    }
    std::string classes;
    long upper = 0, lower = 0;
    fields >> classes >> upper >> lower;
    const unsigned first = std::stoul(range.substr(0, range.find('-')), nullptr, 16);
    const unsigned last = std::stoul(range.substr(range.find('-') + 1), nullptr, 16);
    for (unsigned code = first; code <= last; ++code) {
      table->characters.push_back({code, classes, static_cast<unsigned>(static_cast<long>(code) + upper),
                                   static_cast<unsigned>(static_cast<long>(code) + lower)});
    }
  }
  return sections;
}

std::string Describe(const CharacterAnswer& answer) {
  return Hex(answer.code, 4) + " classes " + answer.classes + " upper " + Hex(answer.upper, 4) + " lower " +
         Hex(answer.lower, 4);
}

}  // namespace testing_support
