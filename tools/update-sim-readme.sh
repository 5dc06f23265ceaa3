#!/usr/bin/env bash
# Rewrites the vocabulary in sim/README.md from the simulator's own tables.
#   tools/update-sim-readme.sh [build-dir=build/release]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
vocabulary=$("$root/cmake/wine-run.sh" "$build/bin/kelvarion_sim.exe" --vocabulary)
readme=$root/sim/README.md
{
  sed '/<!-- vocabulary: begin -->/q' "$readme"
  printf '%s\n' "$vocabulary"
  sed -n '/<!-- vocabulary: end -->/,$p' "$readme"
} >"$readme.new"
mv "$readme.new" "$readme"
