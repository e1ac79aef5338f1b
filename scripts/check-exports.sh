#!/usr/bin/env bash
# Compares a built library's export table with the list of exported names.
# usage: check-exports.sh nm|<mingw objdump> LIBRARY NAMES_FILE
set -euo pipefail
tool=$1 library=$2 names=$3

if [ "$tool" = nm ]; then
  actual=$(nm -D --defined-only "$library" | awk '$2 ~ /^[TWiDBRV]$/ {print $3}' | sed 's/@.*//')
else
  # The export table lists "[Ordinal/Name Pointer] Table" rows: "[ n] name".
  actual=$("$tool" -p "$library" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
           sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p')
fi

# Decoration: a stdcall "@N" suffix, or a leading underscore the list lacks.
decorated=$(printf '%s\n' "$actual" | grep -v '^$' | while read -r name; do
  if [[ $name == *@* ]] || { [[ $name == _* ]] && grep -qx "${name#_}" "$names" && ! grep -qx "$name" "$names"; }; then
    echo "$name"
  fi
done)
if [ -n "$decorated" ]; then
  echo "decorated names in the export table of $library:" $decorated
  exit 1
fi

expected_sorted=$(sort -u "$names")
actual_sorted=$(printf '%s\n' "$actual" | grep -v '^$' | sort -u)
if [ "$expected_sorted" != "$actual_sorted" ]; then
  echo "export table of $library differs from $names:"
  diff <(printf '%s\n' "$expected_sorted") <(printf '%s\n' "$actual_sorted") | sed 's/^</missing:/; s/^>/unexpected:/' | grep -v '^[0-9]'
  exit 1
fi
echo "exports: $(printf '%s\n' "$expected_sorted" | wc -l) names match"
