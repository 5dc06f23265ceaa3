# The Wine settings every Windows program of this project runs with, in one place. Sourced
# (bash) by cmake/wine-run.sh, which starts each program, by tools/test.sh and by the
# benchmark scripts:
#   WINEPREFIX        the build tree's own prefix unless set, so that a run depends neither
#                     on $HOME nor on what another project left there (created on first use)
#   WINEDEBUG         Wine's diagnostics off but for modules that cannot be loaded, unless set
#   WINEDLLOVERRIDES  no Mono or Gecko installer at the prefix's creation, unless set
# start_wine_server: a persistent wineserver for the prefix, so that each program starts in
# some 40 ms instead of 2.5 s (one already running for the prefix is fine);
# stop_wine_server ends it.
: "${WINEPREFIX:=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wine}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all,err+module}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

# Its output goes nowhere: the server daemonises but keeps inherited handles open, and a
# caller waiting for the pipe would hang.
start_wine_server() {
  mkdir -p "$WINEPREFIX"
  wineserver -p >/dev/null 2>&1 || true
}

stop_wine_server() {
  wineserver -k >/dev/null 2>&1 || true
}
