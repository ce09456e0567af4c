// Precise ephemeris: interpolations per second (the position loop asks for
// every satellite at every output epoch) and the cost of reading a file.
// Uses the real ESA file when the data folder is present, otherwise a
// synthetic table of the same shape (48 satellites, 96 epochs of 900 s).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "GNSS/precise/GNSSpEph.h"
#include "bench/BenchData.h"

namespace {

// 48 satellites on smooth orbits, 96 epochs of 900 s.
void WriteSyntheticSp3(std::ostream& out) {
  out << "#cP2009  4  1  0  0  0.00000000      96 ORBIT IGS05 FIT BENCH\n"
      << "## 1525 259200.00000000   900.00000000 54922 0.0000000000000\n";
  const int nsat = 48;
  for (int q = 0; q < 5; ++q) {
    char b[16];
    std::snprintf(b, sizeof b, q == 0 ? "+   %2d   " : "+        ", nsat);
    out << b;
    for (int k = 17 * q; k < 17 * (q + 1); ++k) {
      std::snprintf(b, sizeof b, k < nsat ? "%c%02d" : "  0", k < 30 ? 'G' : 'R',
                    k < 30 ? k + 1 : k - 29);
      out << b;
    }
    out << "\n";
  }
  for (int q = 0; q < 5; ++q) out << "++         5  5  5  5  5  5  5  5  5  5  5  5  5  5  5  5  5\n";
  out << "%c M  cc GPS ccc cccc cccc cccc cccc ccccc ccccc ccccc ccccc\n"
      << "%c cc cc ccc ccc cccc cccc cccc cccc ccccc ccccc ccccc ccccc\n"
      << "%f  1.2500000  1.025000000  0.00000000000  0.000000000000000\n"
      << "%f  0.0000000  0.000000000  0.00000000000  0.000000000000000\n"
      << "%i    0    0    0    0      0      0      0      0         0\n"
      << "%i    0    0    0    0      0      0      0      0         0\n";
  for (int i = 0; i < 96; ++i) {
    out << "*  2009  4  1  0  0  0.00000000\n";
    for (int k = 0; k < nsat; ++k) {
      const double u = 0.7 * k + 1.458e-4 * 900 * i;
      char b[128];
      std::snprintf(b, sizeof b, "P%c%02d%14.6f%14.6f%14.6f%14.6f\n", k < 30 ? 'G' : 'R',
                    k < 30 ? k + 1 : k - 29, 26560 * std::cos(u), 15000 * std::sin(u),
                    21000 * std::sin(u + 0.3 * k), 100.0 + 0.1 * i);
      out << b;
    }
  }
  out << "EOF\n";
}

const std::string& Sp3Path() {
  static const std::string path = benchdata::File("esa15253.sp3", WriteSyntheticSp3);
  return path;
}

GNSSpEph& Store() {
  static GNSSpEph store = [] {
    GNSSpEph e;
    e.SetFile(Sp3Path().c_str());
    e.ReadFile();
    return e;
  }();
  return store;
}

// Every listed satellite at epochs 30 s apart across the table.
void BM_Sp3Interpolation(benchmark::State& state) {
  GNSSpEph& e = Store();
  const matrix<short> sats = e.GetSatList();
  const long double span = e.GetMJD(e.GetNEpoch() - 1) - e.GetMJD(0);
  long double t = 0;
  int k = 0;
  xyzt p, v;
  for (auto _ : state) {
    mjd tc = e.GetMJD(0);
    tc += t;
    e.CalcPosition(sats(k), tc, p, v);
    benchmark::DoNotOptimize(p);
    benchmark::DoNotOptimize(v);
    if (++k == sats.NRow()) {
      k = 0;
      t += 30;
      if (t > span) t = 0;
    }
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Sp3Interpolation);

// Reading the whole file (counting pass, header, data, denominators).
void BM_Sp3Read(benchmark::State& state) {
  for (auto _ : state) {
    GNSSpEph e;
    e.SetFile(Sp3Path().c_str());
    e.ReadFile();
    benchmark::DoNotOptimize(e.GetNEpoch());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Sp3Read)->Unit(benchmark::kMillisecond);

}  // namespace
