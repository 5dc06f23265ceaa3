#!/usr/bin/env bash
# Fails when an include runs upward or sideways in the product's stack of folders, or when
# the simulator includes a product header (its offsets must stay independent of the
# product's). tests/ and bench/ may include anything.
#   level 0: text/ host/    level 1: settings/ notices/ report/    level 2: cleaner/
#   level 3: events/        level 4: plugin/
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A level=([text]=0 [host]=0 [settings]=1 [notices]=1 [report]=1 [cleaner]=2
                  [events]=3 [plugin]=4)
failures=0
while IFS= read -r file; do
  from=${file%%/*}
  while IFS=: read -r line include; do
    to=${include%%/*}
    [ "$to" = "$include" ] && continue        # no folder: a system or generated header
    [ "$to" = "$from" ] && continue           # within a folder
    if [ "$from" = sim ]; then
      if [ -n "${level[$to]+set}" ]; then
        echo "$file:$line: the simulator includes the product header $include" >&2
        failures=$((failures + 1))
      fi
      continue
    fi
    [ -z "${level[$from]+set}" ] && continue  # tests/, bench/: anything goes
    if [ -z "${level[$to]+set}" ]; then
      echo "$file:$line: product code includes $include from outside the product" >&2
      failures=$((failures + 1))
    elif [ "${level[$to]}" -ge "${level[$from]}" ]; then
      direction=upward
      [ "${level[$to]}" -eq "${level[$from]}" ] && direction=sideways
      echo "$file:$line: $from/ (level ${level[$from]}) includes $include $direction" \
           "(level ${level[$to]})" >&2
      failures=$((failures + 1))
    fi
  done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' "$file" |
           sed -E 's/^([0-9]+):[^"<]*["<]([^">]+)[">].*/\1:\2/')
done < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h' '*.rc' '*.h.in')

if [ "$failures" -gt 0 ]; then
  echo "$failures include(s) break the stack of folders (README.md, 'Folders')." >&2
  exit 1
fi
