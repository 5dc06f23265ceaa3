#!/usr/bin/env bash
# Installs what is missing, checks formatting and the stack of folders, builds everything,
# runs static analysis over the product and every test under Wine with one persistent
# wineserver for the whole run, then checks that a second build gives the release's bytes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/install-deps.sh
tools/check-format.sh
tools/check-layers.sh
tools/build.sh
tools/check-tidy.sh
unset WINEPREFIX  # the build tree's own prefix, whatever the shell names
source cmake/wine-env.sh
start_wine_server
trap stop_wine_server EXIT
cmake/wine-run.sh cmd /c exit >/dev/null 2>&1 || true  # makes the prefix, settings and all, first
ctest --preset release
tools/check-reproducible.sh
