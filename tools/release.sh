#!/usr/bin/env bash
# Builds the release of the current commit from scratch and prints the SHA-256 of its archive
# and of its DLL, with the versions of the packages those bytes depend on: anyone who checks
# out a release's commit and runs this gets the hashes its release page publishes.
#   tools/release.sh [FOLDER]
# FOLDER, which must not exist, receives the commit's files and the build; by default a new
# folder under $TMPDIR (or /tmp). It refuses uncommitted changes and untracked files, which
# would not be in the release.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

changes=$(git status --porcelain)
if [ -n "$changes" ]; then
  echo "release: refusing to build: uncommitted changes or untracked files, not in the commit:" >&2
  echo "$changes" >&2
  exit 1
fi
commit=$(git rev-parse HEAD)
# The commit's files come without their history: the archive's date is taken here.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct "$commit")}

if [ $# -gt 0 ]; then
  folder=$1
  mkdir -- "$folder"
else
  folder=$(mktemp -d "${TMPDIR:-/tmp}/KelvarionSaveCleaner-release.XXXXXX")
fi
folder=$(cd "$folder" && pwd)
mkdir "$folder/source"
git archive "$commit" | tar -x -C "$folder/source"

echo "Building commit $commit in $folder"
cmake --preset release -S "$folder/source" -B "$folder/build" -DBUILD_TESTING=OFF \
  >"$folder/configure.log"
cmake --build "$folder/build" --target package >"$folder/build.log" ||
  { tail -n 30 "$folder/build.log" >&2; exit 1; }

{ read -r dll; read -r archive; } <"$folder/build/release-files.txt"
echo
echo "Archive: $folder/build/$archive"
echo "SHA-256 of $archive: $(sha256sum <"$folder/build/$archive" | cut -d' ' -f1)"
echo "SHA-256 of $(basename "$dll"): $(sha256sum <"$folder/build/$dll" | cut -d' ' -f1)"
echo
echo "The packages these bytes depend on (compiler, binutils, linked libraries, packers):"
dpkg-query -W -f='  ${Package} ${Version}\n' g++-mingw-w64-x86-64-win32 gcc-mingw-w64-x86-64-win32 \
  binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev gcc-mingw-w64-x86-64-win32-runtime cmake zip
