#!/usr/bin/env bash
# Installs what is missing, builds the plugin and plays a full two-load cleaning run of a
# synthetic world in the host simulator. Options are passed on (--show-boxes needs a display).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-deps.sh"
"$root/tools/build.sh" >/dev/null
echo "Built $root/build/release/bin/KelvarionSaveCleaner.dll"
echo
exec "$root/cmake/wine-run.sh" "$root/build/release/bin/kelvarion_sim.exe" "$@" 2>/dev/null
