#!/usr/bin/env bash
# Fails when a second build of this source does not give the release's DLL and archive byte
# for byte: anyone must be able to rebuild a release and get the hashes it publishes. The
# second build differs from build/release on purpose in its folder, its time zone (14 hours
# off, no tzdata needed) and its umask, and packs at least 2 s after the first (ZIP times
# step by 2 s). It builds only what the release holds, afresh in build/second-release.
# On a difference it names the file and the offset of its first differing byte.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
first=build/release
second=build/second-release

cmake --build "$first" --target package >/dev/null
first_packed=$(date +%s)

echo "A second build of the release in $second, with TZ=XYZ-14 and umask 077"
rm -rf "$second"
(
  umask 077
  export TZ=XYZ-14
  cmake --preset release -B "$second" -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$second" --target KelvarionSaveCleaner players_guide
  # The first pack ended before first_packed + 1.
  while [ "$(date +%s)" -lt $((first_packed + 3)) ]; do sleep 0.5; done
  cmake --build "$second" --target package >/dev/null
)

different=0
while IFS= read -r file; do
  if ! difference=$(cmp "$first/$file" "$second/$file" 2>&1); then
    if [[ $difference =~ differ:\ byte\ ([0-9]+) ]]; then
      byte=${BASH_REMATCH[1]}
      printf 'not reproducible: %s differs between %s and %s from byte %d on (offset 0x%x)\n' \
        "$file" "$first" "$second" "$byte" $((byte - 1)) >&2
    else
      echo "not reproducible: $difference" >&2
    fi
    different=1
  fi
done <"$first/release-files.txt"
[ "$different" -eq 0 ] && echo "The second build's DLL and archive are the first's, byte for byte."
exit "$different"
