#!/usr/bin/env bash
# What writing the lists of erased and of kept forms costs the load event: pass_bench with the
# lists written against pass_bench where the plugin may not create them (the simulator refuses),
# processes interleaved, at 2^21 slots; the difference of the time the event spends outside
# the lock, held against the first pass's lock time.
#   bench/list_cost.sh [build-dir] [processes per side=9] [shares="25 50"]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
reps=${2:-9}
shares=${3:-"25 50"}
source "$root/cmake/wine-env.sh"
start_wine_server
run() { "$root/cmake/wine-run.sh" "$build/bin/pass_bench.exe" --runtime-percent "$1" --lists-blocked "$2" | tr -d '\r'; }
median() { sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
field() { sed -n "s/.* $1=\([^ ]*\).*/\1/p"; }
ms() { awk -v ns="$1" 'BEGIN {printf "%.1f", ns * 2097152 / 1e6}'; }

echo "2^21 slots, medians of $reps processes a side, interleaved"
printf '%-6s %8s %11s %11s %12s %12s %10s %9s\n' share erased "event ms" "no list ms" \
  "outside ms" "no list ms" "writing ms" "/ lock1"
for share in $shares; do
  with=$(for _ in $(seq "$reps"); do run "$share" 0; run "$share" 1 >&3; done 3>"$build/lists-blocked.txt")
  without=$(cat "$build/lists-blocked.txt")
  rm -f "$build/lists-blocked.txt"
  w() { echo "$with" | field "$1" | median; }
  b() { echo "$without" | field "$1" | median; }
  out_w=$(w outside1_us) out_b=$(b outside1_us) lock=$(w lock1_ms)
  printf '%-6s %8s %11s %11s %12.1f %12.1f %10.1f %9.3f\n' "$share%" "$(w erased)" \
    "$(ms "$(w pass_ns)")" "$(ms "$(b pass_ns)")" "$(awk -v u="$out_w" 'BEGIN {print u / 1000}')" \
    "$(awk -v u="$out_b" 'BEGIN {print u / 1000}')" \
    "$(awk -v a="$out_w" -v b="$out_b" 'BEGIN {print (a - b) / 1000}')" \
    "$(awk -v a="$out_w" -v b="$out_b" -v l="$lock" 'BEGIN {print (a - b) / 1000 / l}')"
done
