#!/usr/bin/env bash
# Fails when an include runs upward or sideways in the product's stack of folders, when
# product code includes a header of its own by a name with no folder (whose level could not
# be checked: a generated header lies in the folder of its template), or when the simulator
# includes a product header (its offsets must stay independent of the product's). tests/ and
# bench/ may include anything. The folders and their levels are those of
# tools/product-folders.txt. It runs before the build and sees includes only: a low folder's
# header may declare what a higher folder defines; cmake/check-link-layers.sh, a test, reads
# the objects' symbols for that.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A level=()
while read -r folder folder_level; do
  level[$folder]=$folder_level
done < <(grep -v '^#' tools/product-folders.txt)
failures=0
while IFS= read -r file; do
  from=${file%%/*}
  while IFS=: read -r line delimiter include; do
    to=${include%%/*}
    if [ "$to" = "$include" ]; then           # no folder: a system header, or a level unknown
      if [ "$delimiter" = '"' ] && [ -n "${level[$from]+set}" ]; then
        echo "$file:$line: product code includes \"$include\", which names no folder" >&2
        failures=$((failures + 1))
      fi
      continue
    fi
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
           sed -E 's/^([0-9]+):[^"<]*(["<])([^">]+)[">].*/\1:\2:\3/')
done < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h' '*.rc' '*.h.in')

if [ "$failures" -gt 0 ]; then
  echo "$failures include(s) break the stack of folders (README.md, 'Folders')." >&2
  exit 1
fi
