#!/usr/bin/env bash
# Writes tests/datetime/wine_dates.txt: dates in several locales as
# GetDateFormatA writes them under Wine (long, short and explicit
# pictures). The Linux tests compare the POSIX layer with it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-child.sh
out=tests/datetime/wine_dates.txt
{
  echo "# GetDateFormatA under Wine ($(wine --version)), written by scripts/record-dates.sh:"
  echo "# locale, date, form (LONG, SHORT or the picture), text in UTF-8."
  ask C.UTF-8 date-formats
} > "$out"
wc -l "$out"
