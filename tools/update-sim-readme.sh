#!/usr/bin/env bash
# Rewrites the vocabulary in sim/README.md from the simulator's own tables.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
vocabulary=$("$root/cmake/wine-run.sh" "$root/build/release/bin/kelvarion_sim.exe" --vocabulary)
readme=$root/sim/README.md
{
  sed '/<!-- vocabulary: begin -->/q' "$readme"
  printf '%s\n' "$vocabulary"
  sed -n '/<!-- vocabulary: end -->/,$p' "$readme"
} >"$readme.new"
mv "$readme.new" "$readme"
