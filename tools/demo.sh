#!/usr/bin/env bash
# The demonstration: installs what it needs, builds the plugin and the host simulator, and
# plays a full two-load cleaning run of a synthetic world with the shipped settings file.
# It leaves the run's report, its list of erased forms and the settings file as the run left
# them in build/demo/.
# Options are passed on to the simulator (--show-boxes also shows the real boxes; it needs
# a display).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
demo=$root/build/demo
logs=$demo/logs
mkdir -p "$logs"

# Runs one stage with its output in a log; on failure shows the log's end and stops.
stage() {
  local title=$1 log=$logs/$2
  shift 2
  echo "$title"
  if ! "$@" >"$log" 2>&1; then
    echo "Failed: $title. The last 30 lines of $log:" >&2
    tail -n 30 "$log" >&2
    echo "The whole log: $log" >&2
    exit 1
  fi
}

missing=$("$root/tools/install-deps.sh" --demo --missing)
if [ -n "$missing" ]; then
  stage "Installing packages (first run only, a few minutes): $missing" packages.log \
    "$root/tools/install-deps.sh" --demo
fi
cd "$root"
if [ ! -f build/release/CMakeCache.txt ]; then
  stage "Configuring the release build (first run only)" configure.log cmake --preset release
fi
stage "Building the plugin and the simulator" build.log \
  cmake --build --preset release --target KelvarionSaveCleaner kelvarion_sim
source cmake/wine-env.sh
if [ ! -d "$WINEPREFIX" ]; then
  stage "Preparing Wine (first run only, about a minute)" wine.log \
    cmake/wine-run.sh cmd /c exit
fi

echo "Playing a two-load run in the simulator"
echo
rm -f "$demo/KelvarionSaveCleaner.log" "$demo/KelvarionSaveCleaner.erased.txt" \
  "$demo/KelvarionSaveCleaner.kept.txt" "$demo/KelvarionSaveCleaner.ini"
if ! (cd "$demo" && "$root/cmake/wine-run.sh" "$root/build/release/bin/kelvarion_sim.exe" \
        --results . "$@" 2>"$logs/run.log"); then
  echo "Failed: the run in the simulator. The last 30 lines of $logs/run.log:" >&2
  tail -n 30 "$logs/run.log" >&2
  exit 1
fi
echo
echo "The run's report, its lists of erased and of kept forms and its settings file, as the"
echo "run left them (disarmed):"
echo "$demo"
