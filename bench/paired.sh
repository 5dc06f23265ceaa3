#!/usr/bin/env bash
# Compares two builds of the plugin walking the same table in the same process, one after
# the other, so that both meet the same state of a machine whose memory speed drifts.
# Which build walks second alternates from process to process (the second walk of a table
# does not run at the speed of the first: in the game-shaped world some 10 to 15% faster at
# 2^18 slots, a few percent at 2^21); the estimate is the geometric mean of the median B/A
# ratio of each order, which cancels that.
#   bench/paired.sh DLL_A DLL_B [processes per order=7] [log2 sizes="18 19 20 21"] [shares="25"]
# Environment: BENCH_BUILD, the build whose pass_bench.exe runs (build/release);
# BENCH_OPTIONS, more pass_bench options (say "--world small").
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BENCH_BUILD:-$root/build/release}
options=${BENCH_OPTIONS:-}
reps=${3:-7}
sizes=${4:-"18 19 20 21"}
shares=${5:-"25"}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/bin/pass_bench.exe" "$work/"
cp "$1" "$work/A.dll"
cp "$2" "$work/B.dll"
source "$root/cmake/wine-env.sh"
start_wine_server
run() { (cd "$work" && "$root/cmake/wine-run.sh" ./pass_bench.exe --log2-slots "$1" --runtime-percent "$2" $options --pair "$3" "$4" | tr -d '\r'); }
median() { sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
field() { sed -n "s/.* $1=\([^ ]*\).*/\1/p"; }

echo "A: $1"
echo "B: $2"
echo "pass_bench options: ${options:-(none)}"
echo "lock held by B over lock held by A, same process and table; $reps processes per order"
printf '%-14s %9s %9s %9s %9s %9s %9s %10s %10s\n' table "1st A>B" "1st B>A" "1st B/A" \
  "2nd A>B" "2nd B>A" "2nd B/A" "A 1st ms" "B 1st ms"
for size in $sizes; do
  for share in $shares; do
    : >"$work/ab.txt"
    : >"$work/ba.txt"
    for _ in $(seq "$reps"); do
      run "$size" "$share" A.dll B.dll >>"$work/ab.txt"
      run "$size" "$share" B.dll A.dll >>"$work/ba.txt"
    done
    # In ba.txt "a" is B: invert its ratios so that both say B over A.
    ab1=$(field first_b_over_a <"$work/ab.txt" | median)
    ba1=$(field first_b_over_a <"$work/ba.txt" | awk '{print 1 / $1}' | median)
    ab2=$(field second_b_over_a <"$work/ab.txt" | median)
    ba2=$(field second_b_over_a <"$work/ba.txt" | awk '{print 1 / $1}' | median)
    a1=$( (field first_a_ms <"$work/ab.txt"; field first_b_ms <"$work/ba.txt") | median)
    b1=$( (field first_b_ms <"$work/ab.txt"; field first_a_ms <"$work/ba.txt") | median)
    both() { awk -v x="$1" -v y="$2" 'BEGIN {printf "%+.1f%%", (sqrt(x * y) - 1) * 100}'; }
    printf '%-14s %9.4f %9.4f %9s %9.4f %9.4f %9s %10s %10s\n' "2^$size, $share%" "$ab1" "$ba1" \
      "$(both "$ab1" "$ba1")" "$ab2" "$ba2" "$(both "$ab2" "$ba2")" "$a1" "$b1"
  done
done
