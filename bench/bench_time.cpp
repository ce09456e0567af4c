// Per-epoch time work of the position loop: stepping the epoch, converting
// it to a calendar date and writing both forms.
#include <benchmark/benchmark.h>

#include <ostream>
#include <streambuf>

#include "GNSS/time/TimeConverse.h"

namespace {

// A stream buffer that discards everything, so only formatting is timed.
class NullBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

void BM_MjdStep(benchmark::State& state) {
  mjd t(58552, 0);
  const long double dt = 30;
  for (auto _ : state) {
    t += dt;
    if (t.GetMJDay() > 58600) t.Set(58552, 0);
    benchmark::DoNotOptimize(t);
  }
}
BENCHMARK(BM_MjdStep);

void BM_Mjd2Ymdhms(benchmark::State& state) {
  mjd t(58552, 0);
  for (auto _ : state) {
    t += 30.0L;
    if (t.GetMJDay() > 58600) t.Set(58552, 0);
    ymdhms d = mjd2ymdhms(t);
    benchmark::DoNotOptimize(d);
  }
}
BENCHMARK(BM_Mjd2Ymdhms);

void BM_WriteEpoch(benchmark::State& state) {
  NullBuffer buf;
  std::ostream os(&buf);
  mjd t(58552, 0);
  for (auto _ : state) {
    t += 30.0L;
    if (t.GetMJDay() > 58600) t.Set(58552, 0);
    os << mjd2ymdhms(t) << t;
  }
}
BENCHMARK(BM_WriteEpoch);

}  // namespace
