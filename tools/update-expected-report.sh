#!/usr/bin/env bash
# Writes tests/e2e/expected/full-run-report.log anew from the plugin as built: the report the
# demonstration's full run leaves with the shipped settings file, each timestamp replaced by
# a token of its width. Run it only when the report is meant to change, and read the diff.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cmake --build "$root/build/release" --target kelvarion_sim >/dev/null
game=$(mktemp -d)
trap 'rm -rf "$game"' EXIT
mkdir -p "$game/Data/VKRX/Plugins"
cp "$root/dist/KelvarionSaveCleaner.ini" "$game/Data/VKRX/Plugins/"
(cd "$game" && "$root/cmake/wine-run.sh" "$root/build/release/bin/kelvarion_sim.exe" \
   --script - <"$root/tests/e2e/expected/full-run.scenario" >"$game/trace.txt" 2>&1) ||
  { cat "$game/trace.txt" >&2; exit 1; }
sed -E 's/^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}/YYYY-MM-DD hh:mm:ss/' \
  "$game/Data/VKRX/Plugins/KelvarionSaveCleaner.log" \
  >"$root/tests/e2e/expected/full-run-report.log"
git -C "$root" diff --stat -- tests/e2e/expected/full-run-report.log
