#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's Wine settings (cmake/wine-env.sh). A
# program that fails says so with its exit code: with Wine's diagnostics off, one that cannot
# even load its libraries ends in some 30 ms without a word (exit code 53, 66 or 123).
source "$(dirname "$0")/wine-env.sh"
# Debian's wine64 has no preloader to hold Wine's fixed addresses while a process starts, and
# the kernel puts the heap anywhere in the 1 GiB above the loader (0x7d000000): about one start
# in 5,000 the heap covers 0x7ffe0000, where Wine maps the shared user data, and the process
# ends with code 1 before the program runs. Without randomisation the heap begins right after
# the loader, 48 MiB below that page; the processes Wine starts inherit the setting.
fixed_layout=(setarch "$(uname -m)" --addr-no-randomize)
if ! "${fixed_layout[@]}" true 2>/dev/null; then
  echo "wine-run: the kernel refuses a fixed address layout here; about one start of Wine" \
       "in 5,000 may end with code 1 and no output" >&2
  fixed_layout=()
fi
prepare_wine_prefix "${fixed_layout[@]}"

# A test program's run passes only if it also reached its own end: status 0 alone does not
# prove it, and a crash must never pass because Wine's exit status said 0. The test programs,
# and the line each prints on stdout only there (nothing its child processes print matches):
#   *_tests.exe      GoogleTest's summary "[  PASSED  ] N tests.", printed however many
#                    failed; a listing (--gtest_list_tests, CTest's test discovery) ends with
#                    tests/support/test_main.cpp's line instead, GoogleTest printing none
#   pass_runner.exe  its summary, "tables=..." or, split over processes, "all: tables=..."
#   msvc_host.exe    "N passed, M failed"; one scenario (--scenario) "end of <name>: ..."
# Any other program (the simulator, the benchmarks, cmd) runs unwatched.
program=$(basename "$1")
case "$program" in
  *_tests.exe)
    closing='^\[  PASSED  \] [0-9]+ tests?\.$'
    for argument in "${@:2}"; do
      [ "$argument" = --gtest_list_tests ] && closing='^End of the list of tests\.$'
    done
    ;;
  pass_runner.exe) closing='^(all: )?tables=' ;;
  msvc_host.exe)
    closing='^[0-9]+ passed, [0-9]+ failed$'
    [ "${2:-}" = --scenario ] && closing='^end of .*: [0-9]+ passed, [0-9]+ failed$'
    ;;
  *) closing= ;;
esac

if [ -z "$closing" ]; then
  "${fixed_layout[@]}" wine "$@"
  status=$?
else
  # Stdout streams on through tee while a copy is kept to look for the closing line; stderr
  # goes its own way as before (test discovery parses stdout alone).
  copy=$(mktemp)
  trap 'rm -f "$copy"' EXIT
  "${fixed_layout[@]}" wine "$@" | tee "$copy"
  status=${PIPESTATUS[0]}
  if [ "$status" -eq 0 ] && ! tr -d '\r' <"$copy" | grep -Eq "$closing"; then
    echo "wine-run: $program exited with 0 without its closing line: it never reached its" \
         "own end (a crash?), so the run fails" >&2
    exit 1
  fi
fi
[ "$status" -eq 0 ] || echo "wine-run: $program exited with $status" >&2
exit "$status"
