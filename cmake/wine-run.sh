#!/usr/bin/env bash
# Runs a Windows program under Wine with a prefix of the build tree's own, so that
# a run depends neither on $HOME nor on what an earlier run left behind. A program that
# fails says so with its exit code: with Wine's diagnostics off, one that cannot even load
# its libraries ends in some 30 ms without a word (exit code 53, 66 or 123).
: "${WINEPREFIX:=$(cd "$(dirname "$0")/.." && pwd)/build/wine}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all,err+module}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wine "$@"
status=$?
[ "$status" -eq 0 ] || echo "wine-run: $(basename "$1") exited with $status" >&2
exit "$status"
