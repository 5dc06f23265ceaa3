#!/usr/bin/env bash
# Runs clang-tidy-14 (.clang-tidy) over the product with the cross build's compile commands,
# as clang's x86_64-w64-mingw32 target with MinGW's include folders, but not GCC's own
# include and include-fixed folders (clang cannot read GCC's intrinsics headers). Findings
# in product headers count too. Fails on any finding.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=build/release
[ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json: build first" >&2; exit 1; }
product=$(grep -v '^#' tools/product-folders.txt | cut -d' ' -f1 | tr '\n' ' ')
product=${product% }
args=(-p "$build" --quiet --extra-arg=--target=x86_64-w64-mingw32
      "-header-filter=^$root/(${product// /|})/")
while read -r folder; do
  case $folder in */include|*/include-fixed) continue ;; esac  # GCC's own
  args+=("--extra-arg=-isystem$folder")
done < <(echo | x86_64-w64-mingw32-g++-posix -xc++ -E -v - 2>&1 |
         sed -n '/#include <...> search starts here/,/End of search list/{/^ /s/^ //p}')
# shellcheck disable=SC2086
git ls-files $product | grep '\.cpp$' |
  xargs -P "$(nproc)" -n 4 clang-tidy-14 "${args[@]}" 2> >(grep -v -E "warnings? (and [0-9]+ errors? )?generated|^Suppressed [0-9]+ warnings|^Use -header-filter|-system-headers to display" >&2)
