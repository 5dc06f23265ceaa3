#!/usr/bin/env bash
# Fails unless cmake/pack-release.sh, without SOURCE_DATE_EPOCH and in a source folder with no
# .git of its own inside another repository (release files unpacked into a checkout), refuses
# and names SOURCE_DATE_EPOCH: that repository's last commit is not the release's date. Only
# the packer is copied; the stand-in build folder's install writes one file, so that a packer
# that took the enclosing repository's date would pack and exit 0.
set -euo pipefail
work=$(mktemp -d "${TMPDIR:-/tmp}/KelvarionSaveCleaner-pack-refusal.XXXXXX")
trap 'rm -rf "$work"' EXIT
git -c init.defaultBranch=main init -q "$work/outer"
git -C "$work/outer" -c user.name=rig -c user.email=rig@example.invalid -c commit.gpgsign=false \
  commit -q --allow-empty -m "the enclosing repository's commit"
mkdir -p "$work/outer/source/cmake" "$work/build"
cp "$(dirname "$0")/pack-release.sh" "$work/outer/source/cmake/"
echo 'file(WRITE ${CMAKE_INSTALL_PREFIX}/VKRX/stand-in.txt "")' >"$work/build/cmake_install.cmake"
if env -u SOURCE_DATE_EPOCH -u GIT_DIR -u GIT_WORK_TREE "$work/outer/source/cmake/pack-release.sh" \
  "$work/build" "$work/release.zip" >"$work/output" 2>&1 ||
  ! grep -q SOURCE_DATE_EPOCH "$work/output"; then
  echo "pack-release, without SOURCE_DATE_EPOCH inside another repository, packed or failed" \
       "without naming SOURCE_DATE_EPOCH:" >&2
  cat "$work/output" >&2
  exit 1
fi
cat "$work/output"
