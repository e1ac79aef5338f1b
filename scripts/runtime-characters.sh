#!/usr/bin/env bash
# Writes tests/text/runtime_characters.txt: what the Windows runtime's
# multi-byte character services answer in the code pages 1252, 932, 936,
# 949 and 950, and what its wide classification answers, asked by the
# Windows build under Wine. The Linux tests compare the POSIX layer with it.
# Wine takes its ANSI code page from the locale, which glibc must know:
# the locales are made in the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-child.sh
export LOCPATH="$PWD/$build/locales"
locales="$LOCPATH"
mkdir -p "$locales"

out=tests/text/runtime_characters.txt
{
  echo "# The Windows runtime's answers under Wine ($(wine --version)), written by"
  echo "# scripts/runtime-characters.sh. Per code page: the lead bytes, then runs of"
  echo "# codes (bytes, lead byte * 256 + trail byte) with equal answers:"
  echo "#   first-last classes upper lower"
  echo "# classes: s _ismbcspace, a _ismbcalnum, d _ismbcdigit, - none; upper and"
  echo "# lower: _mbctoupper and _mbslwr as offsets from the code. [wide]: iswspace"
  echo "# and iswalnum of every UTF-16 unit."
  ask C.UTF-8 runtime-characters
  for locale in ja_JP zh_CN ko_KR zh_TW; do
    [ -f "$locales/$locale.UTF-8/LC_CTYPE" ] || localedef -c -i "$locale" -f UTF-8 "$locales/$locale.UTF-8"
    ask "$locale.UTF-8" runtime-characters
  done
  ask C.UTF-8 wide-characters
} > "$out"
grep '^\[' "$out"
