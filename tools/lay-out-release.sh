#!/usr/bin/env bash
# Lays out a built release as a downloader has it, in RELEASE (which must not exist): the
# archive, unpacked beside it, and SHA256SUMS, the SHA-256 of the archive and of the DLL in
# sha256sum's format, each file named as it lies in RELEASE. An absolute path there would pass
# `sha256sum -c` on the build machine and fail for every verifier after download.
# tools/release.sh publishes what it leaves; tools/check-reproducible.sh lays out its second
# build with it and holds SHA256SUMS to its form.
#   tools/lay-out-release.sh BUILD_DIR RELEASE
set -euo pipefail
build=$1
release=$2
{ read -r dll; read -r archive; } <"$build/release-files.txt"
mkdir "$release"
cp "$build/$archive" "$release/"
cd "$release"
cmake -E tar xf "$archive"
dll_entry=$(find . -type f -name "$(basename "$dll")" -printf '%P\n')
sha256sum "$archive" "$dll_entry" >SHA256SUMS
sha256sum -c --quiet SHA256SUMS
