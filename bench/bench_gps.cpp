// GPS broadcast ephemeris: positions per second for one satellite over a
// day at 1 s steps (the position loop's heaviest broadcast workload), the
// cost of one call at 30 s steps, the record choice alone, and the cost of
// reading a navigation file.  Uses the real daily file brdc0910.09n when the
// data folder is present, otherwise a synthetic file with records of the same spacing (every 2 h, 32 PRNs).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "GNSS/broadcast/GPSbEph.h"
#include "bench/BenchData.h"

namespace {

// A GPS orbit (PRN 2 of 2009-04-01), repeated for 32 PRNs every 2 h.
void WriteSyntheticNav(std::ostream& out) {
  out << "     2              NAVIGATION DATA                         RINEX VERSION / TYPE\n"
      << "                                                            END OF HEADER\n";
  const double p[28] = {1.5394994989e-4, -4.54747350886e-13, 0, 69, 29.59375, 4.75376937814e-9,
                        -1.72729451478, 1.50687992573e-6, 9.04141401406e-3, 1.03265047073e-5,
                        5153.63668251, 259200, -1.56462192535e-7, 0.593659833961,
                        -7.264316082e-8, 0.941899917981, 173.34375, 2.76376221774,
                        -8.04747823935e-9, -1.32148361698e-10, 1, 1525, 0, 2, 0,
                        -1.72294676304e-8, 69, 253968};
  for (int h = 0; h < 24; h += 2)
    for (int prn = 1; prn <= 32; ++prn) {
      char first[32];
      std::snprintf(first, sizeof first, "%2d 09  4  1 %2d  0  0.0", prn, h);
      benchdata::NavRecord(out, first, p, 28);
    }
}

const std::string& NavPath() {
  static const std::string path = benchdata::File("brdc0910.09n", WriteSyntheticNav);
  return path;
}

GPSbEph& Store() {
  static GPSbEph* g = [] {
    auto* s = new GPSbEph;
    s->SetFile(NavPath().c_str());
    s->ReadFile();
    return s;
  }();
  return *g;
}

constexpr int kDaySeconds = 86400;
const mjd kDayStart(54922, 0);  // 2009-04-01 0 h GPS time

// Positions and clocks of PRN 2 for a whole day at 1 s steps.
void BM_BroadcastPositionsOneSatelliteDay(benchmark::State& state) {
  GPSbEph& g = Store();
  xyzt pos;
  long double tgd = 0;
  for (auto _ : state) {
    mjd t = kDayStart;
    for (int k = 0; k < kDaySeconds; ++k) {
      g.CalcPosition(2, t, t, pos, &tgd, 0, 0);
      benchmark::DoNotOptimize(pos);
      t += 1.0L;
    }
  }
  state.SetItemsProcessed(state.iterations() * kDaySeconds);
  state.counters["positions/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kDaySeconds, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BroadcastPositionsOneSatelliteDay)->Unit(benchmark::kMillisecond);

// One call as the position loop makes it for W1: PRN 2 at 30 s steps over
// the day, one position per iteration.
void BM_BroadcastPositionPerCall(benchmark::State& state) {
  GPSbEph& g = Store();
  xyzt pos;
  long double tgd = 0;
  mjd t = kDayStart;
  int k = 0;
  for (auto _ : state) {
    g.CalcPosition(2, t, t, pos, &tgd, 0, 0);
    benchmark::DoNotOptimize(pos);
    t += 30.0L;
    if (++k == kDaySeconds / 30) {
      k = 0;
      t = kDayStart;
    }
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BroadcastPositionPerCall);

// The record choice alone, over the same day.
void BM_BroadcastRecordChoice(benchmark::State& state) {
  GPSbEph& g = Store();
  for (auto _ : state) {
    mjd t = kDayStart;
    for (int k = 0; k < kDaySeconds; k += 10) {
      benchmark::DoNotOptimize(g.GetDataIndex(2, t));
      t += 10.0L;
    }
  }
  state.SetItemsProcessed(state.iterations() * (kDaySeconds / 10));
}
BENCHMARK(BM_BroadcastRecordChoice)->Unit(benchmark::kMillisecond);

// Reading the whole navigation file (both passes).
void BM_BroadcastReadFile(benchmark::State& state) {
  for (auto _ : state) {
    GPSbEph g;
    g.SetFile(NavPath().c_str());
    g.ReadFile();
    benchmark::DoNotOptimize(g.GetNSat());
  }
}
BENCHMARK(BM_BroadcastReadFile)->Unit(benchmark::kMillisecond);

}  // namespace
