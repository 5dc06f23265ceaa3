#!/usr/bin/env bash
# Fails unless cmake/wine-run.sh fails a test program that exits 0 having printed a line with
# PASSED that is not GoogleTest's closing line, and passes it printing that line (so that the
# first cannot fail merely because the stand-in does not run). The stand-in is the simulator
# named as a test program, as wine-run.sh picks the closing line by name; `say` prints a line.
#   cmake/check-closing-line-guard.sh SIMULATOR
set -euo pipefail
runner=$(cd "$(dirname "$0")" && pwd)/wine-run.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/KelvarionSaveCleaner-closing-line.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$1" "$work/standin_tests.exe"
cd "$work"  # the simulator plays a scenario in the current folder
plays() {  # LINE: the stand-in plays a one-line scenario through wine-run.sh, output kept
  printf '%s\n' "$1" | "$runner" "$work/standin_tests.exe" --script - >"$work/output" 2>&1
}
if plays 'say [  PASSED  ] counterfeit' || ! grep -q 'without its closing line' "$work/output" ||
  ! plays 'say [  PASSED  ] 1 test.'; then
  echo "wine-run.sh passed a stand-in that said '[  PASSED  ] counterfeit', or failed it for" \
       "another reason, or failed it saying '[  PASSED  ] 1 test.':" >&2
  cat "$work/output" >&2
  exit 1
fi
