#!/usr/bin/env bash
# Compares two builds of the plugin on the pass benchmark, their processes interleaved (same
# table seed, one process each run), and prints medians per table size and run-time share.
#   bench/ab.sh DLL_A DLL_B [repetitions=7] [log2 sizes="18 19 20 21"] [shares="10 25 50"]
# Both DLLs run under this tree's pass_bench.exe, so the harness is the same for both. The
# ratios divide the time the lock was held by the naive floor walk of the same process; the
# last two columns, the first pass's by the same-lines floor.
# Environment: BENCH_BUILD, the build whose pass_bench.exe runs (build/release);
# BENCH_OPTIONS, more pass_bench options for both (say "--world small").
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BENCH_BUILD:-$root/build/release}
options=${BENCH_OPTIONS:-}
dll_a=$(realpath "$1")
dll_b=$(realpath "$2")
reps=${3:-7}
sizes=${4:-"18 19 20 21"}
shares=${5:-"10 25 50"}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for side in a b; do
  mkdir "$work/$side"
  cp "$build/bin/pass_bench.exe" "$work/$side/"
done
cp "$dll_a" "$work/a/KelvarionSaveCleaner.dll"
cp "$dll_b" "$work/b/KelvarionSaveCleaner.dll"

source "$root/cmake/wine-env.sh"
start_wine_server
run() { "$root/cmake/wine-run.sh" "$work/$1/pass_bench.exe" --log2-slots "$2" --runtime-percent "$3" $options | tr -d '\r'; }
median() { sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
field() { sed -n "s/.* $1=\([^ ]*\).*/\1/p"; }

echo "A: $dll_a"
echo "B: $dll_b"
echo "pass_bench options: ${options:-(none)}"
echo "medians of $reps processes each, interleaved; ratio = lock held / naive floor walk"
printf '%-14s %8s %8s %7s %8s %8s %7s %9s %9s %9s %9s %8s %8s\n' table "A first" "B first" \
  change "A second" "B second" change "A lock ms" "B lock ms" "A out us" "B out us" "A 1st/sl" \
  "B 1st/sl"
for size in $sizes; do
  for share in $shares; do
    : >"$work/a.txt"
    : >"$work/b.txt"
    for _ in $(seq "$reps"); do
      run a "$size" "$share" >>"$work/a.txt"
      run b "$size" "$share" >>"$work/b.txt"
    done
    m() { field "$2" <"$work/$1.txt" | median; }
    change() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%+.1f%%", (b / a - 1) * 100}'; }
    a1=$(m a lock1_ratio) b1=$(m b lock1_ratio) a2=$(m a lock2_ratio) b2=$(m b lock2_ratio)
    printf '%-14s %8s %8s %7s %8s %8s %7s %9s %9s %9s %9s %8s %8s\n' "2^$size, $share%" "$a1" \
      "$b1" "$(change "$a1" "$b1")" "$a2" "$b2" "$(change "$a2" "$b2")" "$(m a lock1_ms)" \
      "$(m b lock1_ms)" "$(m a outside1_us)" "$(m b outside1_us)" "$(m a lock1_same_ratio)" \
      "$(m b lock1_same_ratio)"
  done
done
