# The Wine settings every Windows program of this project runs with, in one place. Sourced
# (bash) by cmake/wine-run.sh, which starts each program, by tools/test.sh and by the
# benchmark scripts:
#   WINEPREFIX        the build tree's own prefix unless set, so that a run depends neither
#                     on $HOME nor on what another project left there (created on first use)
#   WINEDEBUG         Wine's diagnostics off but for modules that cannot be loaded, unless set
#   WINEDLLOVERRIDES  no Mono or Gecko installer at the prefix's creation, unless set
# prepare_wine_prefix: the prefix's own settings, once per prefix (cmake/wine-run.sh calls it
# before each program, so that they hold in a prefix made on first use);
# start_wine_server: a persistent wineserver for the prefix, so that each program starts in
# some 40 ms instead of 2.5 s (one already running for the prefix is fine);
# stop_wine_server ends it.
: "${WINEPREFIX:=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wine}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all,err+module}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

# No debugger on an unhandled exception (AeDebug's Debugger empty: it cannot start), so that
# a crashed program ends itself with its exception's code (0xC0000005: status 5). Wine's
# default, winedbg --auto, kills it from outside instead, and then the Unix status is not the
# Windows exit code but whatever the process's last thread to end leaves with: 0 in about one
# crash in 30 here, each time the thread winedbg injects to attach had ended first. The crash
# still shows as Wine's "Unhandled page fault ..." line. Arguments: a command to run wine with.
prepare_wine_prefix() {
  local ready=$WINEPREFIX/.no-crash-debugger
  [ -f "$ready" ] && return 0
  mkdir -p "$WINEPREFIX"
  "$@" wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger \
    /t REG_SZ /d '' /f >/dev/null 2>&1 && touch "$ready"
}

# Its output goes nowhere: the server daemonises but keeps inherited handles open, and a
# caller waiting for the pipe would hang.
start_wine_server() {
  mkdir -p "$WINEPREFIX"
  wineserver -p >/dev/null 2>&1 || true
}

stop_wine_server() {
  wineserver -k >/dev/null 2>&1 || true
}
