#!/usr/bin/env bash
# Fails when a second build of this source does not give the release's DLL and archive byte
# for byte: anyone must be able to rebuild a release and get the hashes it publishes. The
# second build differs from build/release on purpose in what a verifier's may: its source
# folder (a copy of the working tree's files, uncommitted changes included, outside the
# checkout and without .git, so that an absolute source path in the DLL shows), its build
# folder, its time zone (14 hours off, no tzdata needed) and its umask, and it packs at
# least 2 s after the first (ZIP times step by 2 s). It takes the first build's date
# (SOURCE_DATE_EPOCH) and builds as a verifier does: the package target alone, in a fresh
# folder, so that a dependency the target lacks fails here. The archive's entries must also
# be in byte order: otherwise they follow the order of a folder, which differs from one file
# system to another. On a difference it names the file and the offset of its first
# differing byte, and keeps the second build for a look. It then lays out the second build's
# release as tools/release.sh does (tools/lay-out-release.sh) and holds its SHA256SUMS to the
# form a verifier checks after download.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
first=build/release
if ! command -v zipinfo >/dev/null; then
  echo "check-reproducible: zipinfo is missing (tools/install-deps.sh installs unzip)" >&2
  exit 1
fi

# The date cmake/pack-release.sh gives the first archive; the copy has no commit to take it
# from.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
cmake --build "$first" --target package >/dev/null
first_packed=$(date +%s)
{ read -r _; read -r archive; } <"$first/release-files.txt"
if ! disorder=$(zipinfo -1 "$first/$archive" | LC_ALL=C sort -c 2>&1); then
  [[ $disorder =~ -:([0-9]+):\ disorder:\ (.*) ]] &&
    disorder="entry ${BASH_REMATCH[1]}, ${BASH_REMATCH[2]}, comes after a greater name"
  echo "not reproducible: the entries of $first/$archive are not in byte order, so they" \
       "follow the order of the staged folder on this file system ($disorder)" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/KelvarionSaveCleaner-second-build.XXXXXX")
trap 'rm -rf "$work"' EXIT
second=$work/build
echo "A second build of the release from a copy of the working tree in $work/source," \
     "with TZ=XYZ-14 and umask 077"
(
  umask 077
  export TZ=XYZ-14
  mkdir "$work/source"
  git ls-files -z --cached --others --exclude-standard --deduplicate |
    while IFS= read -r -d '' file; do
      if [ -e "$file" ]; then printf '%s\0' "$file"; fi  # not a file deleted but in the index
    done | tar -c --null -T - | tar -x -C "$work/source"
  cmake --preset release -S "$work/source" -B "$second" -DBUILD_TESTING=OFF >/dev/null
)
# The first pack ended before first_packed + 1.
while [ "$(date +%s)" -lt $((first_packed + 3)) ]; do sleep 0.5; done
if ! (umask 077 && TZ=XYZ-14 exec cmake --build "$second" --target package) \
  >"$work/build.log" 2>&1; then
  trap - EXIT
  tail -n 15 "$work/build.log" >&2
  echo "not reproducible: the package target alone failed in a fresh build folder, as a" \
       "verifier builds it (the whole log: $work/build.log)" >&2
  exit 1
fi

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
if [ "$different" -ne 0 ]; then
  trap - EXIT
  echo "The second build stays in $work." >&2
  exit 1
fi

# Two lines, the archive's and the DLL's, each named as it lies in the release folder (an
# absolute path would pass `sha256sum -c` on this machine only); then a check in a moved copy.
tools/lay-out-release.sh "$second" "$work/release"
sums=$(<"$work/release/SHA256SUMS")
hash='[0-9a-f]{64}  '
if ! [[ $sums =~ ^$hash"$archive"$'\n'$hash"VKRX/Plugins/KelvarionSaveCleaner.dll"$ ]]; then
  echo "SHA256SUMS is not two lines, a hash and two blanks before $archive, then before" \
       "VKRX/Plugins/KelvarionSaveCleaner.dll. It holds:"$'\n'"$sums" >&2
  exit 1
fi
mv "$work/release" "$work/downloaded"
(cd "$work/downloaded" && sha256sum -c --quiet SHA256SUMS)
echo "The second build's DLL and archive are the first's, byte for byte, and its SHA256SUMS" \
     "checks after download."
