// Windows file-name wildcards, matched without regard to case and with the
// rules Windows keeps from DOS: "*" and "*.*" match every name, also one
// without a dot; "?" matches one character, or none at the end of the name
// or before its dot ("a??" matches "ab"); a dot before "*" or "?" also
// matches the end of a name ("abc.*" matches "abc"); a pattern ending in
// "*." matches the names without a dot.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/wide.h"

namespace platform {
namespace posix {

bool HasWildcards(std::string_view name);

class WildcardPattern {
 public:
  explicit WildcardPattern(const WideString& pattern);
  bool Matches(const WideString& name) const;

 private:
  enum class Kind { kLiteral, kAny, kAnyBeforeLastDot, kOneOrEnd, kDotOrEnd };
  struct Token {
    Kind kind;
    WCHAR folded;
  };
  class Matching;

  std::vector<Token> tokens_;
};

}  // namespace posix
}  // namespace platform
