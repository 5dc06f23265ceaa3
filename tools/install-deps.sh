#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, skipping what is already there.
#   tools/install-deps.sh [--demo] [--missing]
# --demo: only what the demonstration needs (the plugin and the simulator, configured with
# its tests as tools/test.sh expects). --missing: print what is missing, install nothing.
set -euo pipefail
# The DLL is built by the Win32 threading model's compiler (cmake/win32-threads.sh), everything
# else by the posix one.
demo_packages=(cmake ninja-build g++-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-win32
               binutils-mingw-w64-x86-64 wine wine64 googletest)
# The test command's checks beside the build: formatting, static analysis, and the second
# compiler that builds the game's side of the MSVC-ABI host.
test_packages=(clang-format clang-tidy-14 clang-14)
# The release archive's packer (cmake/pack-release.sh); zipinfo, with which
# tools/check-reproducible.sh reads the order of its entries; pandoc, which writes the players'
# guide in it as plain text (cmake/players-guide.cmake).
release_packages=(zip unzip pandoc)
packages=("${demo_packages[@]}" "${test_packages[@]}" "${release_packages[@]}")
list_only=false
for option in "$@"; do
  case $option in
    --demo) packages=("${demo_packages[@]}") ;;
    --missing) list_only=true ;;
    *) echo "usage: tools/install-deps.sh [--demo] [--missing]" >&2; exit 2 ;;
  esac
done
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if $list_only; then
  echo "${missing[*]}"
  exit 0
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Run as root (or install these packages yourself)." >&2
    exit 1
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" \
    >/dev/null
fi
