#!/usr/bin/env bash
# Packs the release archive from what the build installs, so that every build of a commit
# gives the same bytes whatever its folder, user, umask and time zone: entries sorted by
# name, folders 755 and files 644, all dated the last commit's date (or SOURCE_DATE_EPOCH
# when set) in UTC, with no owner and no other times (zip -X). CPack and `cmake -E tar`
# would take each entry's owner, mode, access time and change time from the staged file,
# and no one can set a change time. The package target runs it.
#   cmake/pack-release.sh BUILD_DIR ARCHIVE
set -euo pipefail
build=$1
archive=$2
source_dir=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$source_dir" log -1 --format=%ct) || {
    echo "pack-release: no commit in $source_dir to date the archive; set SOURCE_DATE_EPOCH" >&2
    exit 1
  }
fi
if ! command -v zip >/dev/null; then
  echo "pack-release: zip is missing (tools/install-deps.sh installs it)" >&2
  exit 1
fi

staging=$build/release-staging
rm -rf "$staging"
cmake --install "$build" --prefix "$staging" >/dev/null
cd "$staging"
find . -type d -exec chmod 755 {} +
find . -type f -exec chmod 644 {} +
find . -exec touch -d "@$SOURCE_DATE_EPOCH" {} +
rm -f "$archive"
# ZIPOPT and ZIP would add options from the caller's environment.
find . -mindepth 1 -printf '%P\n' | LC_ALL=C sort |
  TZ=UTC env -u ZIPOPT -u ZIP zip -X -q "$archive" -@
