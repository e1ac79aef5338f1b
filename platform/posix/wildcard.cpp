#include "platform/posix/wildcard.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <cstring>

namespace platform {
namespace posix {
namespace {

WCHAR Folded(WCHAR c) { return static_cast<WCHAR>(u_foldCase(c, U_FOLD_CASE_DEFAULT)); }

WideString FoldedText(const WideString& text) {
  WideString out(text);
  for (WCHAR& c : out) c = Folded(c);
  return out;
}

}  // namespace

bool HasWildcards(std::string_view name) {
  return std::memchr(name.data(), '*', name.size()) != nullptr || std::memchr(name.data(), '?', name.size()) != nullptr;
}

// Memoised: each (token, position) pair is decided once, so a pattern of
// many stars costs no more than the product of the two lengths.
class WildcardPattern::Matching {
 public:
  Matching(const std::vector<Token>& tokens, const WideString& name)
      : tokens_(tokens),
        name_(FoldedText(name)),
        lastDot_(name_.rfind(u'.')),
        known_((tokens.size() + 1) * (name_.size() + 1), kUnknown) {}

  bool From(size_t token, size_t at) {
    signed char& known = known_[token * (name_.size() + 1) + at];
    if (known == kUnknown) known = Decide(token, at) ? kYes : kNo;
    return known == kYes;
  }

 private:
  static constexpr signed char kUnknown = -1, kNo = 0, kYes = 1;

  bool Decide(size_t token, size_t at) {
    if (token == tokens_.size()) return at == name_.size();
    bool more = at < name_.size();
    switch (tokens_[token].kind) {
      case Kind::kAny: return From(token + 1, at) || (more && From(token, at + 1));
      case Kind::kAnyBeforeLastDot: return From(token + 1, at) || (more && at != lastDot_ && From(token, at + 1));
      case Kind::kOneOrEnd:
        if (more && name_[at] != u'.') return From(token + 1, at + 1);
        return From(PastQuestionMarks(token), at);
      case Kind::kDotOrEnd: return more ? name_[at] == u'.' && From(token + 1, at + 1) : From(token + 1, at);
      case Kind::kLiteral: return more && name_[at] == tokens_[token].folded && From(token + 1, at + 1);
    }
    return false;
  }

  size_t PastQuestionMarks(size_t token) const {
    while (token < tokens_.size() && tokens_[token].kind == Kind::kOneOrEnd) ++token;
    return token;
  }

  const std::vector<Token>& tokens_;
  WideString name_;
  size_t lastDot_;
  std::vector<signed char> known_;
};

WildcardPattern::WildcardPattern(const WideString& pattern) {
  if (pattern == WidenAscii("*") || pattern == WidenAscii("*.*")) {
    tokens_.push_back({Kind::kAny, 0});
    return;
  }
  for (size_t i = 0; i < pattern.size(); ++i) {
    WCHAR c = pattern[i];
    WCHAR next = i + 1 < pattern.size() ? pattern[i + 1] : 0;
    if (c == u'.' && next == 0 && i > 0 && pattern[i - 1] == u'*') {
      tokens_.back().kind = Kind::kAnyBeforeLastDot;
    } else if (c == u'.' && (next == u'*' || next == u'?')) {
      tokens_.push_back({Kind::kDotOrEnd, 0});
    } else if (c == u'?') {
      tokens_.push_back({Kind::kOneOrEnd, 0});
    } else if (c == u'*') {
      tokens_.push_back({Kind::kAny, 0});
    } else {
      tokens_.push_back({Kind::kLiteral, Folded(c)});
    }
  }
}

bool WildcardPattern::Matches(const WideString& name) const { return Matching(tokens_, name).From(0, 0); }

}  // namespace posix
}  // namespace platform
