#!/usr/bin/env bash
# Times the whole program on a day of real data (set A of ../shared/data):
#   W1: every satellite of the SP3 file at 30 s steps, output to /dev/null;
#   W2: the same at 1 s steps, output written to a file.
# Prints medians of several runs: wall time, records per second, MB/s of
# output and peak memory against the size of the input files.  Then runs the
# per-call micro-benchmarks.
# Usage: bench/run.sh [runs]   (needs GNU time: package "time")
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
data=${ORBIKA_DATA_DIR:-../shared/data}
if [ ! -d "$data" ]; then
  echo "bench: real data folder $data is absent; nothing to time" >&2
  exit 0
fi

cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DORBIKA_TESTS=OFF >/dev/null
cmake --build build-release -j "$(nproc)" --target Orbika orbika_bench >/dev/null
exe=build-release/Orbika

inputs=("$data/esa15253.sp3" "$data/brdc0910.09n" "$data/brdc0910.09g" "$data/igs05.atx")
args=(-ep"${inputs[0]}" -en"${inputs[1]}" -eg"${inputs[2]}" -pv"${inputs[3]}")
insize=$(cat "${inputs[@]}" | wc -c)
out=$(mktemp /tmp/orbika_bench_XXXXXX)
trap 'rm -f "$out" "$out.t"' EXIT

median() { sort -g | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

# time_run NAME DT TARGET: runs the workload $runs times.
time_run() {
  local name=$1 dt=$2 target=$3 walls=() mems=()
  for ((i = 0; i < runs; i++)); do
    /usr/bin/time -f "%e %M" -o "$out.t" "$exe" "${args[@]}" -dt"$dt" >"$target"
    read -r w m <"$out.t"
    walls+=("$w"); mems+=("$m")
  done
  "$exe" "${args[@]}" -dt"$dt" >"$out"
  local records bytes wall mem
  records=$(grep -c '^ [0-9]' "$out" || true)
  bytes=$(wc -c <"$out")
  wall=$(printf '%s\n' "${walls[@]}" | median)
  mem=$(printf '%s\n' "${mems[@]}" | median)
  awk -v n="$name" -v w="$wall" -v r="$records" -v b="$bytes" -v m="$mem" -v s="$insize" 'BEGIN {
    printf "%s: %d records, %.1f MB output, median wall %.3f s, %.0f records/s, %.1f MB/s, peak memory %.1f MB (%.2f x input %.1f MB)\n",
      n, r, b / 1e6, w, r / w, b / 1e6 / w, m / 1024, m * 1024 / s, s / 1e6 }'
}

time_run "W1 (-dt30, output to /dev/null)" 30 /dev/null
time_run "W2 (-dt1, output to a file)" 1 "$out"

ORBIKA_DATA_DIR="$data" build-release/orbika_bench --benchmark_min_time=0.2
