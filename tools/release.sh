#!/usr/bin/env bash
# Builds the release of the current commit from scratch and leaves what a release page
# publishes: the archive, unpacked beside it, and SHA256SUMS, the SHA-256 of the archive and
# of the DLL in sha256sum's format (`sha256sum -c SHA256SUMS` checks them there). It prints
# the date the archive's entries carry and the versions of the tools that made the bytes,
# and of the packages behind them: anyone who checks out a release's commit and runs this
# gets the SHA256SUMS its release page publishes, or sees what differs.
#   tools/release.sh [FOLDER]
# FOLDER, which must not exist, receives the commit's files, the build and the release; by
# default a new folder under $TMPDIR (or /tmp). It refuses uncommitted changes and untracked
# files, which would not be in the release.
#
# A verifier whose hash differs from the published one compares what this printed with what
# the release page published, in this order:
# - The date. The archive's entries carry the commit's date; this prints the
#   SOURCE_DATE_EPOCH it used and warns when one set in the environment is not the commit's.
#   The date changes the archive's hash only, never the DLL's.
# - The tools. It prints each tool that ran (cmake, zip, the compiler, binutils' ld and
#   windres) with its file and first version line, and the Debian packages' versions. A cmake
#   or zip that comes first on PATH (one installed by pip, say) or another compiler or
#   binutils can give other bytes: zip touches only the archive; the compiler, binutils,
#   mingw-w64-x86-64-dev and cmake (which writes the compile commands) the DLL too.
# - The source path. Nothing of the folder a build runs in may reach the DLL. If the same
#   tools give different DLLs in two folders (FOLDER chooses it), look for the path in the
#   DLL (strings KelvarionSaveCleaner.dll | grep <folder>): a __FILE__, say.
#   tools/check-reproducible.sh builds from another folder to catch that first.
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
# The commit's files come without their history: the archive's date is taken here. A date
# the caller sets is kept (to rebuild a release dated otherwise), and said.
commit_date=$(git log -1 --format=%ct "$commit")
if [ -n "${SOURCE_DATE_EPOCH:-}" ] && [ "$SOURCE_DATE_EPOCH" != "$commit_date" ]; then
  echo "release: warning: SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH, from the environment, is not" \
       "the commit's date ($commit_date): the archive's entries carry it, and the archive's" \
       "hash differs from that of a release dated by its commit." >&2
fi
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$commit_date}

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

{ read -r _; read -r archive; } <"$folder/build/release-files.txt"
# The release as a downloader has it: the archive, unpacked beside it, and SHA256SUMS.
release=$folder/release
tools/lay-out-release.sh "$folder/build" "$release"

echo
echo "The release in $release: $archive, unpacked, and SHA256SUMS" \
     "(sha256sum -c SHA256SUMS passes there):"
cat "$release/SHA256SUMS"
echo
date_source="the commit's date"
[ "$SOURCE_DATE_EPOCH" = "$commit_date" ] || date_source="NOT the commit's date, $commit_date"
echo "The archive's entries are dated SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH" \
     "($(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S UTC'), $date_source)."

# The first line a tool gives about its version, after the file that ran.
version_of() {  # LABEL PROGRAM [COMMAND THAT PRINTS THE VERSION...]
  local label=$1 program=$2
  shift 2
  [ $# -gt 0 ] || set -- "$program" --version
  printf '  %-9s %s: %s\n' "$label" "$(command -v "$program")" "$("$@" | sed -n 1p)"
}
# The compiler CMake found when it configured the build (the toolchain file names it; CMake
# records its full path here, not in CMakeCache.txt), and the linker that compiler runs.
compiler=$(sed -n 's/^set(CMAKE_CXX_COMPILER "\(.*\)")$/\1/p' \
  "$folder"/build/CMakeFiles/*/CMakeCXXCompiler.cmake)
# The DLL itself is compiled and linked by the Win32 threading model's compiler of the same
# GCC (cmake/win32-threads.sh).
compiler=${compiler%-posix}-win32
linker=$("$compiler" -print-prog-name=ld)
resource_compiler=$(sed -n 's/^set(CMAKE_RC_COMPILER "\(.*\)")$/\1/p' \
  "$folder"/build/CMakeFiles/*/CMakeRCCompiler.cmake)
echo
echo "The tools that ran:"
version_of cmake cmake
version_of zip zip sh -c 'zip -v | grep "^This is Zip"'
version_of compiler "$compiler"
version_of ld "$linker"
version_of windres "$resource_compiler"
version_of pandoc pandoc  # the players' guide as plain text
echo
echo "The packages these bytes depend on (compiler, binutils, linked libraries, packers):"
packages=(
  g++-mingw-w64-x86-64-win32
  gcc-mingw-w64-x86-64-win32
  binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev
  gcc-mingw-w64-x86-64-win32-runtime
  cmake
  zip
  pandoc
)
dpkg-query -W -f='  ${Package} ${Version}\n' "${packages[@]}"
