// GLONASS broadcast ephemeris: positions per second for one satellite over a
// day at 1 s and at 30 s output steps (each day starts from a store that has
// computed nothing, as in one run of the program), the cost of one call at
// 30 s steps, and the cost of reading a navigation file.  Uses the real
// daily file brdc0910.09g when the data folder is present, otherwise a
// synthetic file with records of the same spacing (every 30 min, 24 slots).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "GNSS/broadcast/GLNbEph.h"
#include "bench/BenchData.h"

namespace {

// A GLONASS state (slot 2 of 2009-04-01 00:15 UTC), repeated for 24 slots
// every 30 min.
void WriteSyntheticNav(std::ostream& out) {
  out << "     2.01           GLONASS NAV DATA                        RINEX VERSION / TYPE\n"
      << "  2009     4     1    0.158790498972D-06                    CORR TO SYSTEM TIME \n"
      << "                                                            END OF HEADER       \n";
  const double p[15] = {2.06762924790e-5, -2.72848410532e-12, 900, 9364.73925781, -0.267867088318,
                        0, 0, -15908.7973633, 2.39853191376, 1.86264514923e-9, 1,
                        -17614.3896484, -2.30765628815, 1.86264514923e-9, 0};
  for (int m = 15; m < 24 * 60; m += 30)
    for (int slot = 1; slot <= 24; ++slot) {
      char first[32];
      std::snprintf(first, sizeof first, "%2d 09  4  1 %2d %2d  0.0", slot, m / 60, m % 60);
      benchdata::NavRecord(out, first, p, 15);
    }
}

const std::string& NavPath() {
  static const std::string path = benchdata::File("brdc0910.09g", WriteSyntheticNav);
  return path;
}

const GLNbEph& Store() {
  static const GLNbEph store = [] {
    GLNbEph g;
    g.SetFile(NavPath().c_str());
    g.ReadFile();
    return g;
  }();
  return store;
}

// One satellite over a whole day at the output step given by the argument
// (s); items are positions.
void BM_GlonassDay(benchmark::State& state) {
  const long double step = static_cast<long double>(state.range(0));
  const short slot = Store().GetSatList()(0);
  const mjd day = Store().GetMJD(0);
  std::int64_t calls = 0;
  for (auto _ : state) {
    state.PauseTiming();
    GLNbEph g = Store();
    state.ResumeTiming();
    xyzt pos, vel;
    for (long double s = 0; s < 86400; s += step) {
      mjd t0;
      t0.Set(day.GetMJDay(), s);
      g.CalcPosition(slot, t0, t0, pos, vel, 0);
      benchmark::DoNotOptimize(pos);
      ++calls;
    }
  }
  state.SetItemsProcessed(calls);
}
BENCHMARK(BM_GlonassDay)->Arg(1)->Arg(30)->Unit(benchmark::kMillisecond);

// One call as the position loop makes it for W1: the first slot at 30 s
// steps over the day, one position and velocity per iteration; every day
// starts from a store that has computed nothing, as in one run of the
// program.
void BM_GlonassPositionPerCall(benchmark::State& state) {
  GLNbEph g = Store();
  const short slot = g.GetSatList()(0);
  const mjd day = g.GetMJD(0);
  xyzt pos, vel;
  long double s = 0;
  for (auto _ : state) {
    mjd t0;
    t0.Set(day.GetMJDay(), s);
    g.CalcPosition(slot, t0, t0, pos, vel, 0);
    benchmark::DoNotOptimize(pos);
    benchmark::DoNotOptimize(vel);
    s += 30;
    if (s >= 86400) {
      s = 0;
      state.PauseTiming();
      g = Store();
      state.ResumeTiming();
    }
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GlonassPositionPerCall);

// Reading the whole navigation file (counting and reading passes).
void BM_GlonassRead(benchmark::State& state) {
  for (auto _ : state) {
    GLNbEph g;
    g.SetFile(NavPath().c_str());
    g.ReadFile();
    benchmark::DoNotOptimize(g.GetNSat());
  }
}
BENCHMARK(BM_GlonassRead)->Unit(benchmark::kMillisecond);

}  // namespace
