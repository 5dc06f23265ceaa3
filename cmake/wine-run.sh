#!/usr/bin/env bash
# Runs a Windows program under Wine with a prefix of the build tree's own, so that
# a run depends neither on $HOME nor on what an earlier run left behind.
: "${WINEPREFIX:=$(cd "$(dirname "$0")/.." && pwd)/build/wine}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec wine "$@"
