// Sine and cosine: the C library's long double functions at arguments of
// the size the orbit formulas meet (0.5 to 20 rad, all past the range that
// needs no reduction), the same through the cheap reduction of SinCos.h, and
// the largest difference between the two in units in the last place of the
// library's result over a million random arguments in each range the orbit
// formulas use (counters ulp_sin, ulp_cos).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "GNSS/geometry/SinCos.h"

namespace {

// Arguments stepped over 0.5 to 20 rad, one per iteration.
struct Sweep {
  long double x = 0.5L;
  long double Next() {
    x += 0.0123L;
    if (x > 20) x = 0.5L;
    return x;
  }
};

void BM_LibrarySinl(benchmark::State& state) {
  Sweep a;
  for (auto _ : state) benchmark::DoNotOptimize(sinl(a.Next()));
}
BENCHMARK(BM_LibrarySinl);

void BM_LibrarySincosl(benchmark::State& state) {
  Sweep a;
  long double s, c;
  for (auto _ : state) {
    sincosl(a.Next(), &s, &c);
    benchmark::DoNotOptimize(s);
    benchmark::DoNotOptimize(c);
  }
}
BENCHMARK(BM_LibrarySincosl);

void BM_ReducedSin(benchmark::State& state) {
  Sweep a;
  for (auto _ : state) benchmark::DoNotOptimize(ReducedSin(a.Next()));
}
BENCHMARK(BM_ReducedSin);

void BM_ReducedSinCos(benchmark::State& state) {
  Sweep a;
  long double s, c;
  for (auto _ : state) {
    SinCos(a.Next(), s, c);
    benchmark::DoNotOptimize(s);
    benchmark::DoNotOptimize(c);
  }
}
BENCHMARK(BM_ReducedSinCos);

// |a - b| in units in the last place of b.
long double Ulps(long double a, long double b) {
  if (b == 0) return a == 0 ? 0 : INFINITY;
  return std::fabs(a - b) / std::ldexp(1.0L, std::ilogb(b) - 63);
}

// A million uniform arguments in [-range, range] rad: Kepler's equation and
// the argument of latitude stay within 8 rad, the node longitude (which
// holds Earth rotation over a week) within 64.
void BM_SinCosUlps(benchmark::State& state) {
  const long double range = state.range(0);
  long double worstSin = 0, worstCos = 0;
  for (auto _ : state) {
    std::mt19937_64 gen(20090401);
    std::uniform_real_distribution<long double> arg(-range, range);
    for (int k = 0; k < 1000000; ++k) {
      const long double x = arg(gen);
      long double s, c;
      SinCos(x, s, c);
      worstSin = std::max({worstSin, Ulps(s, sinl(x)), Ulps(ReducedSin(x), sinl(x))});
      worstCos = std::max(worstCos, Ulps(c, cosl(x)));
    }
  }
  state.counters["ulp_sin"] = static_cast<double>(worstSin);
  state.counters["ulp_cos"] = static_cast<double>(worstCos);
}
BENCHMARK(BM_SinCosUlps)->Arg(8)->Arg(64)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
