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
"${fixed_layout[@]}" wine "$@"
status=$?
[ "$status" -eq 0 ] || echo "wine-run: $(basename "$1") exited with $status" >&2
exit "$status"
