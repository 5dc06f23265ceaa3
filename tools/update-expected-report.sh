#!/usr/bin/env bash
# Writes the expected reports in tests/e2e/expected anew from the plugin as built: for each
# scenario there (full-run: the demonstration's full run; failed-run: a first load whose
# pass fails), the report it leaves with the shipped settings file, each timestamp replaced
# by a token of its width. Run it only when the report is meant to change; read the diff.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cmake --build "$root/build/release" --target kelvarion_sim >/dev/null
game=$(mktemp -d)
trap 'rm -rf "$game"' EXIT
for run in full-run failed-run; do
  rm -rf "$game/Data"
  mkdir -p "$game/Data/VKRX/Plugins"
  cp "$root/dist/KelvarionSaveCleaner.ini" "$game/Data/VKRX/Plugins/"
  (cd "$game" && "$root/cmake/wine-run.sh" "$root/build/release/bin/kelvarion_sim.exe" \
     --script - <"$root/tests/e2e/expected/$run.scenario" >"$game/trace.txt" 2>&1) ||
    { cat "$game/trace.txt" >&2; exit 1; }
  sed -E 's/^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}/YYYY-MM-DD hh:mm:ss/' \
    "$game/Data/VKRX/Plugins/KelvarionSaveCleaner.log" \
    >"$root/tests/e2e/expected/$run-report.log"
done
git -C "$root" diff --stat -- tests/e2e/expected
