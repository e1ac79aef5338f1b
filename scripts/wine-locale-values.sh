#!/usr/bin/env bash
# Writes tests/intl/wine_locale_values.txt: what GetLocaleInfoW answers for
# the locale values the library reads, in the locales the tests compare,
# asked by the Windows build under Wine. The user and system locales (0x0400,
# 0x0800) are those of C.UTF-8: en-US with code page 1252. The Linux tests
# compare the POSIX layer with it; the differences they accept are listed in
# tests/intl/locale_value_differences.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-child.sh

out=tests/intl/wine_locale_values.txt
{
  echo "# GetLocaleInfoW under Wine ($(wine --version)), written by"
  echo "# scripts/wine-locale-values.sh: locale id, value type (hex), the value in"
  echo "# UTF-8 or ! and the error. User and system locale: C.UTF-8."
  ask C.UTF-8 locale-values
} > "$out"
wc -l "$out"
