// The character services' answers as runs of equal answers: a section of
// tests/text/runtime_characters.txt, which the Windows build run under Wine
// writes with the runtime's answers (scripts/runtime-characters.sh).
#pragma once

#include <string>

namespace testing_support {

// "[code page]", the lead bytes, then the runs: every byte but 0, and every
// lead byte with every trail byte but 0.
std::string MultiByteServicesSection();
// "[wide]": the wide classification of every UTF-16 unit.
std::string WideClassificationSection();

}  // namespace testing_support
