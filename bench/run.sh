#!/usr/bin/env bash
# Runs the benchmarks under Wine, several processes each, and prints medians.
#   bench/run.sh [build-dir] [repetitions]
# Environment: BENCH_OPTIONS, more pass_bench options (say "--world small").
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
reps=${2:-5}
options=${BENCH_OPTIONS:-}
bin=$build/bin
run() { "$root/cmake/wine-run.sh" "$@" | tr -d '\r'; }
median() { sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
field() { sed -n "s/.* $1=\([^ ]*\).*/\1/p"; }

source "$root/cmake/wine-env.sh"
start_wine_server

echo "Cleaning pass, pass_bench options: ${options:-(none)} (median of $reps processes; each"
echo "builds its table once): ns per slot for the naive and the same-lines floor walks and the"
echo "whole load event, the time the table lock was held, and that time over each floor"
printf '%-22s %7s %7s %7s %7s %9s %9s %8s %8s %8s %8s\n' table naive same first second \
  "lock1 ms" "lock2 ms" lock1/fl lock1/sl lock2/fl lock2/sl
for config in "18 0" "19 0" "20 0" "21 0" "21 300000"; do
  set -- $config
  results=$(for _ in $(seq "$reps"); do run "$bin/pass_bench.exe" --log2-slots "$1" --prior-erased "$2" $options; done)
  m() { echo "$results" | field "$1" | median; }
  label="2^$1 slots"
  [ "$2" != 0 ] && label="$label, $2 erased"
  printf '%-22s %7s %7s %7s %7s %9s %9s %8s %8s %8s %8s\n' "$label" "$(m floor_ns)" \
    "$(m same_ns)" "$(m pass_ns)" "$(m second_ns)" "$(m lock1_ms)" "$(m lock2_ms)" \
    "$(m lock1_ratio)" "$(m lock1_same_ratio)" "$(m lock2_ratio)" "$(m lock2_same_ratio)"
done
echo "(with erased forms before, 'first' is a pass over a fresh table after another table's"
echo " pass erased that many; no second pass follows in that process)"
echo
echo "Linear erased-list search, for comparison (not what the plugin does):"
run "$bin/linear_search_bench.exe" --log2-slots 16
echo
echo "Phase monitor, ns per player update (median of 7 rounds of 2,000,000 calls):"
run "$bin/monitor_bench.exe"
