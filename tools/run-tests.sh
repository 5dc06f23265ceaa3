#!/usr/bin/env bash
# Builds what changed, then runs under Wine only the tests whose names match PATTERN (a ctest
# regular expression), with the same Wine setup as tools/test.sh. Exits with ctest's code.
#   tools/run-tests.sh 'PassRuleTest'                 every row of the pass rules
#   tools/run-tests.sh 'PassRuleTest.*/NoBase$'       one row
# Parameterised rows are named <instantiation>/<suite>.<test>/<row>: Rules/PassRuleTest...,
# not after their file; `ctest --preset release -N` lists every name.
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: tools/run-tests.sh PATTERN" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/build.sh
unset WINEPREFIX  # the build tree's own prefix, whatever the shell names
source cmake/wine-env.sh
start_wine_server
trap stop_wine_server EXIT
cmake/wine-run.sh cmd /c exit >/dev/null 2>&1 || true  # makes the prefix, settings and all, first
# A pattern that names no test fails, as a typo should.
ctest --preset release --no-tests=error -R "$1"
