#!/usr/bin/env bash
# Lines of the tests (tests/, .cpp and .h, support and helper included; not
# data files) against lines of the library's code, and their ratio.
cd "$(dirname "$0")/.."
count() { find "$@" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 2>/dev/null | xargs -0 cat | wc -l; }
tests=$(count tests)
code=$(count frame log services files net datetime intl numbers encoding text platform include tools)
echo "test lines $tests, library code lines $code, ratio $(awk "BEGIN { printf \"%.2f\", $tests / $code }")"
