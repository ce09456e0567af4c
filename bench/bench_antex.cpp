// Antenna calibrations: reading a whole ANTEX file (igs05.atx, 2.7 MB, must
// take well under a second), one satellite lookup, and the phase-centre
// correction of a day of precise orbits (48 satellites, 96 epochs).  Needs
// the real data folder; each benchmark reports an error without it.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "GNSS/precise/GNSSpEph.h"
#include "GNSS/antenna/antexNew.h"
#include "GNSS/antenna/PhaseCentreShift.h"

namespace {

std::string DataPath(const char* name) { return std::string(ORBIKA_DATA_DIR) + "/" + name; }

bool HaveData(benchmark::State& state) {
  if (std::ifstream(DataPath("igs05.atx")) && std::ifstream(DataPath("esa15253.sp3"))) return true;
  state.SkipWithError("real data folder is absent");
  return false;
}

void BM_AntexReadIgs05(benchmark::State& state) {
  if (!HaveData(state)) return;
  const std::string path = DataPath("igs05.atx");
  for (auto _ : state) {
    antex atx;
    atx.SetFile(path.c_str());
    atx.ReadFile();
    benchmark::DoNotOptimize(atx.GetNAntenna());
  }
}
BENCHMARK(BM_AntexReadIgs05)->Unit(benchmark::kMillisecond);

void BM_AntexSetSatellite(benchmark::State& state) {
  if (!HaveData(state)) return;
  antex atx;
  atx.SetFile(DataPath("igs05.atx").c_str());
  atx.ReadFile();
  mjd t;
  t.Set(54922, 43200.0L);
  short prn = 1;
  for (auto _ : state) {
    atx.SetSatellite(prn, t);
    benchmark::DoNotOptimize(atx.GetAtxIndex());
    prn = static_cast<short>(prn % 32 + 1);
  }
}
BENCHMARK(BM_AntexSetSatellite);

void BM_AntexApplyOffsetEsa15253(benchmark::State& state) {
  if (!HaveData(state)) return;
  antex atx;
  atx.SetFile(DataPath("igs05.atx").c_str());
  atx.ReadFile();
  GNSSpEph eph;
  eph.SetFile(DataPath("esa15253.sp3").c_str());
  eph.ReadFile();
  for (auto _ : state) {
    // Repeated corrections add up; only the time matters here.
    ApplyAntennaOffset(eph, atx, false);
  }
}
BENCHMARK(BM_AntexApplyOffsetEsa15253)->Unit(benchmark::kMillisecond);

}  // namespace
