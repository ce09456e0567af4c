// Per-record vector work: writing the three vectors of a result line, and
// the Sun position that the antenna offset correction computes per record.
#include <benchmark/benchmark.h>

#include <ostream>
#include <streambuf>

#include "GNSS/geometry/LuniSolarPosition.h"
#include "GNSS/geometry/xyzt.h"

namespace {

// A stream buffer that discards everything, so only formatting is timed.
class NullBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// Position, velocity and position difference under the position loop's
// settings: one GPS result line without its epoch.
void BM_WriteResultVectors(benchmark::State& state) {
  NullBuffer buf;
  std::ostream os(&buf);
  xyztns::NDec = 3;
  xyztns::WidthT = 14;
  xyztns::NDecT = 6;
  xyztns::UnitT = 1000;
  xyzt pos(-12345678.1234L, 20123456.789L, 15432109.876L, 1.234567891e-4L);
  const xyzt vel(-2345.6789L, 1234.5L, 3012.25L, 0);
  const xyzt diff(0.8123L, -1.25L, 0.3456L, 2.5e-9L);
  for (auto _ : state) {
    pos.SetX(pos.GetX() + 0.001L);
    xyztns::PrintTime = 1;
    xyztns::Width = 16;
    os << pos;
    xyztns::PrintTime = 0;
    xyztns::Width = 12;
    os << ' ' << vel;
    xyztns::PrintTime = 1;
    xyztns::Width = 16;
    os << diff;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WriteResultVectors);

void BM_SunPosition(benchmark::State& state) {
  const LuniSolarPosition lsp;
  mjd t(56297, 0);
  xyz u;
  long double r = 0;
  for (auto _ : state) {
    t += 900.0L;
    if (t.GetMJDay() > 56300) t.Set(56297, 0);
    lsp.SunPosition(t, u, r);
    benchmark::DoNotOptimize(u);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_SunPosition);

}  // namespace
