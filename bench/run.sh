#!/usr/bin/env bash
# Times the whole program on a day of real data (set A of ../shared/data):
#   W1: every satellite of the SP3 file at 30 s steps, output to /dev/null;
#   W2: the same at 1 s steps, output written to a file;
#   W3: set E, today's multi-GNSS day: every satellite of GFZ's SP3 file
#       with the broadcast orbits of the IGS merged RINEX 3.04 file (-en and
#       -eg) and igs14_sats_only.atx at 30 s steps, output to /dev/null;
#   W4: set D, every satellite of the SP3 file (Galileo, GLONASS, GPS) with
#       the broadcast orbits of the mixed RINEX 3 file of the same day (-en
#       and -eg; both files gzip-compressed) at 30 s steps, output to
#       /dev/null.
# W2 and W3 run again on two threads (-th2), the same output.
# Prints medians of several runs: wall time, records per second, MB/s of
# output and peak memory against the size of the input files, each with its
# target; the peak memory of a GLONASS integration with the finest step.  Then
# the per-call costs (CPU time, median of the same number of repetitions)
# and the whole set of micro-benchmarks.
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

# time_run NAME DT TARGET GOAL [OPTION...]: runs the workload $runs times.
time_run() {
  local name=$1 dt=$2 target=$3 goal=$4 walls=() mems=()
  shift 4
  for ((i = 0; i < runs; i++)); do
    /usr/bin/time -f "%e %M" -o "$out.t" "$exe" "${args[@]}" -dt"$dt" "$@" >"$target" 2>/dev/null
    read -r w m <"$out.t"
    walls+=("$w"); mems+=("$m")
  done
  "$exe" "${args[@]}" -dt"$dt" >"$out" 2>/dev/null
  local records bytes wall mem
  records=$(grep -c '^ [0-9]' "$out" || true)
  bytes=$(wc -c <"$out")
  wall=$(printf '%s\n' "${walls[@]}" | median)
  mem=$(printf '%s\n' "${mems[@]}" | median)
  awk -v n="$name" -v w="$wall" -v r="$records" -v b="$bytes" -v m="$mem" -v s="$insize" -v g="$goal" 'BEGIN {
    printf "%s: %d records, %.1f MB output, median wall %.3f s, %.0f records/s, %.1f MB/s, peak memory %.1f MB (%.2f x input %.1f MB)\n",
      n, r, b / 1e6, w, r / w, b / 1e6 / w, m / 1024, m * 1024 / s, s / 1e6
    printf "    targets: %s, peak memory at most 3 x input\n", g }'
}

time_run "W1 (-dt30, output to /dev/null)" 30 /dev/null "wall at most 0.3 s"
time_run "W2 (-dt1, output to a file)" 1 "$out" "at least 150 MB/s"
time_run "W2 on two threads (-th2)" 1 "$out" "at least 1.5 times the MB/s of W2 before -th" -th2

# GLONASS integration with the finest step allowed (0.1 s): one epoch a
# day before the first record of R07, 864,000 steps, run once.
/usr/bin/time -f "%e %M" -o "$out.t" "$exe" -eg"${inputs[2]}" -prR07 -ts2009-03-31,00:15:15 \
  -te2009-03-31,00:15:15 -ni0.1 >/dev/null
read -r w m <"$out.t"
awk -v w="$w" -v m="$m" 'BEGIN {
  printf "GLONASS -ni0.1, one epoch a day from its record: wall %.2f s, peak memory %.1f MB\n", w, m / 1024
  printf "    target: peak memory at most 50 MB\n" }'

# W3: set E's files, gzip-compressed as distributed.
inputs=("$data/setE/GFZ0MGXRAP_20220010000_01D_05M_ORB.SP3.gz"
  "$data/setE/BRDC00IGS_R_20220010000_01D_MN.rnx.gz" "$data/igs14_sats_only.atx")
args=(-ep"${inputs[0]}" -en"${inputs[1]}" -eg"${inputs[1]}" -pv"${inputs[2]}")
insize=$(cat "${inputs[@]}" | wc -c)
time_run "W3 (set E, SP3, mixed RINEX 3 and ANTEX, -dt30, output to /dev/null)" 30 /dev/null \
  "reported (no target)"
time_run "W3 on two threads (-th2)" 30 /dev/null \
  "wall at most 0.45 times W3 before -th, peak memory under 50 MB" -th2

# W4: set D's files, gzip-compressed as distributed.
inputs=("$data/setD/GRG0MGXFIN_20201770000_01D_15M_ORB.SP3.gz"
  "$data/setD/ESBC00DNK_R_20201770000_01D_MN.rnx.gz")
args=(-ep"${inputs[0]}" -en"${inputs[1]}" -eg"${inputs[1]}")
insize=$(cat "${inputs[@]}" | wc -c)
time_run "W4 (set D, SP3 and mixed RINEX 3, -dt30, output to /dev/null)" 30 /dev/null \
  "reported (no target)"

# Per-call costs: CPU time of one call, median of the repetitions.
echo "Per call (CPU time, median of $runs repetitions):"
ORBIKA_DATA_DIR="$data" build-release/orbika_bench \
  --benchmark_filter='PositionPerCall|Sp3Interpolation|LibrarySin|Reduced' --benchmark_min_time=0.2 \
  --benchmark_repetitions="$runs" --benchmark_report_aggregates_only=true \
  --benchmark_format=csv 2>/dev/null |
  awk -F, '$1 ~ /_median"$/ {
    name = $1; gsub(/"|_median/, "", name)
    goal = ""
    if (name ~ /Broadcast/) goal = "GPS, target at most 1000 ns"
    else if (name ~ /Glonass/) goal = "GLONASS, target at most 2000 ns"
    else if (name ~ /Sp3/) goal = "SP3, target at most 300 ns"
    else if (name ~ /Reduced/) goal = "reduced here, at orbit-sized arguments"
    else goal = "library function at orbit-sized arguments"
    printf "    %-32s %8.1f %s  (%s)\n", name, $4, $5, goal }'

echo "All micro-benchmarks:"
ORBIKA_DATA_DIR="$data" build-release/orbika_bench --benchmark_min_time=0.2
