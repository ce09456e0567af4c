#!/usr/bin/env bash
# Builds the libFuzzer targets (clang++, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time on its seed
# corpus: the files of fuzz/corpus/<target>, the fixtures of tests/data that
# are of its kind, and the kept crash inputs of tests/data/crash.
#
#   fuzz/run-fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
#
# SECONDS_PER_TARGET defaults to 60 (or $ORBIKA_FUZZ_SECONDS); the targets
# default to all of them.  The build goes to build-fuzz (or $ORBIKA_FUZZ_BUILD).
# New corpus entries are kept in the build folder, never in the source tree.
# A finding stops that target; its input is kept in
# build-fuzz/findings/<target>/ and the script exits with status 1 after the
# remaining targets have run.  Needs clang++ and the compiler-rt runtimes
# (Debian: clang, libclang-rt-14-dev).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

seconds=${1:-${ORBIKA_FUZZ_SECONDS:-60}}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(gpsnav glonav sp3 antex cli stats inflate number)
build=${ORBIKA_FUZZ_BUILD:-build-fuzz}
jobs=$(nproc 2>/dev/null || echo 2)

if ! command -v clang++ >/dev/null; then
  echo "run-fuzz: clang++ not found (Debian packages: clang libclang-rt-14-dev)" >&2
  exit 1
fi

cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORBIKA_SANITIZE=ON -DORBIKA_FUZZ=ON -DORBIKA_TESTS=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target "${targets[@]/#/fuzz_}"

# Fixtures of each kind (besides fuzz/corpus/<target> and the crash inputs).
seeds_of() {
  case $1 in
    gpsnav) echo tests/data/gps_three.n tests/data/cli_gps.09n tests/data/nav_mixed*.rnx ;;
    glonav) echo tests/data/glo_leap2012.g tests/data/cli_glonass.09g tests/data/nav_mixed*.rnx ;;
    sp3) echo tests/data/sp3_four_sats.sp3 tests/data/cli_sp3c.sp3 tests/data/sp3d_mixed.sp3 ;;
    antex) echo tests/data/antex_mixed.atx tests/data/antex_systems.atx tests/data/cli_antex.atx ;;
    stats) echo tests/data/stats_*.csv tests/data/stats_*.txt ;;
    cli | inflate | number) ;;
  esac
}

failed=()
for t in "${targets[@]}"; do
  work="$build/corpus/$t"
  found="$build/findings/$t"
  mkdir -p "$work" "$found"
  for f in fuzz/corpus/"$t"/* $(seeds_of "$t") tests/data/crash/"$t"-*; do
    [ -f "$f" ] && cp "$f" "$work/"
  done
  echo "== fuzz_$t: $seconds s"
  if ! "$build/fuzz_$t" -max_total_time="$seconds" -timeout=30 -print_final_stats=1 \
        -dict="fuzz/dict/$t.dict" -artifact_prefix="$root/$found/" "$work" \
        >"$build/fuzz_$t.log" 2>&1; then
    echo "fuzz_$t: FINDING, input kept in $found/ (log: $build/fuzz_$t.log)"
    grep -a -E 'FINDING|ERROR|runtime error' "$build/fuzz_$t.log" | head -20 || true
    failed+=("$t")
  else
    grep -a -E 'stat::number_of_executed_units|stat::average_exec_per_sec' "$build/fuzz_$t.log" || true
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "run-fuzz: findings in: ${failed[*]}"
  exit 1
fi
echo "run-fuzz: no findings in ${targets[*]}"
