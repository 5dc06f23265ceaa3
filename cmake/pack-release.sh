#!/usr/bin/env bash
# Packs the release archive from what the build installs, so that every build of a commit
# gives the same bytes whatever its folder, user, umask, time zone and file system: entries
# in byte order of their names as the archive stores them (a folder's with its trailing
# slash), folders 755 and files 644, all dated SOURCE_DATE_EPOCH or else the date of the
# last commit of the source folder's own repository, in UTC, with no owner and no other
# times (zip -X). CPack and `cmake -E tar` would take each entry's owner, mode, access time
# and change time from the staged file, and no one can set a change time. The package
# target runs it.
#   cmake/pack-release.sh BUILD_DIR ARCHIVE
set -euo pipefail
build=$1
archive=$2
source_dir=$(cd "$(dirname "$0")/.." && pwd -P)
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  # git would climb from a source tree without its own .git (an unpacked archive, a copy) to
  # any repository around it, and date the archive by that repository's last commit.
  unfit=
  if ! top=$(git -C "$source_dir" rev-parse --show-toplevel 2>&1); then
    unfit="is in no git repository that git will read (${top%%$'\n'*})"
  elif [ "$top" != "$source_dir" ]; then
    unfit="has no repository of its own: it lies inside the repository $top"
  fi
  if [ -n "$unfit" ]; then
    echo "pack-release: refusing to date the archive: SOURCE_DATE_EPOCH is not set, and the" \
         "source folder $source_dir $unfit. Set SOURCE_DATE_EPOCH to the release commit's" \
         "date (git log -1 --format=%ct in its checkout)." >&2
    exit 1
  fi
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
find . -mindepth 1 \( -type d -printf '%P/\n' -o -printf '%P\n' \) | LC_ALL=C sort |
  TZ=UTC env -u ZIPOPT -u ZIP zip -X -q "$archive" -@
