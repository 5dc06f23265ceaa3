#!/usr/bin/env bash
# Configures (once) and builds the DLL, the simulator, the tests and the benchmarks.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
[ -f build/release/CMakeCache.txt ] || cmake --preset release >/dev/null
cmake --build --preset release
