// The broadcast clock on an ionosphere-free signal pair: hand-worked records
// of each system, records without the delays a pair needs, and the names
// the option accepts.
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "GNSS/broadcast/SignalPairs.h"

namespace {

GroupDelays Delays(long double gd1, long double gd2, bool fnav = false) {
  GroupDelays g;
  g.gd1 = gd1;
  g.gd2 = gd2;
  g.galileoFNAV = fnav;
  return g;
}

TEST(SignalPairs, HandWorkedClocksOnEachPair) {
  const long double none = std::nanl(""), b = 1e-4L, ns = 1e-9L;
  const struct {
    char system;
    const char* pair;
    GroupDelays delays;
    long double want;     // s; NaN: none
    const char* signal;   // what the clock then refers to
  } rows[] = {
      {'G', "L1/L2", Delays(5 * ns, none), b, "L1/L2"},  // LNAV: already on the pair
      {'J', "L1/L2", Delays(none, none), b, "L1/L2"},
      // I/NAV: + BGD(E1,E5a) - BGD(E1,E5b); F/NAV already on E1/E5a.
      {'E', "E1/E5a", Delays(2 * ns, 3 * ns), b - 1 * ns, "E1/E5a"},
      {'E', "E1/E5a", Delays(2 * ns, none, true), b, "E1/E5a"},
      {'E', "E1/E5a", Delays(2 * ns, none), none, "E1/E5a"},
      // TGD1 10 ns: 2.9437 x 10 ns; with TGD2 4 ns on B1I/B2I, worked with
      // f1 = 1561.098, f2 = 1207.14 MHz: (f1^2 10 - f2^2 4) / (f1^2 - f2^2).
      {'C', "B1I/B3I", Delays(10 * ns, 4 * ns), b - 29.4368177L * ns, "B1I/B3I"},
      {'C', "B1I/B2I", Delays(10 * ns, 4 * ns), b - 18.9230099L * ns, "B1I/B2I"},
      {'C', "B1I/B3I", Delays(none, 4 * ns), none, "B1I/B3I"},
      // dTau_n 3.2 ns: + 49/32 of it; without it the clock stays on L1.
      {'R', "L1/L2", Delays(3.2L * ns, none), b + 4.9L * ns, "L1/L2"},
      {'R', "L1/L2", Delays(none, none), b, "L1"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(1, row.system) + ":" + row.pair);
    const signalpair::Pair* pair = signalpair::Find(row.system, row.pair);
    ASSERT_NE(pair, nullptr);
    const long double got = signalpair::ClockOnPair(*pair, b, row.delays);
    if (std::isnan(row.want))
      EXPECT_TRUE(std::isnan(got)) << static_cast<double>(got);
    else
      EXPECT_NEAR(got, row.want, 1e-16L);  // 0.1 ps
    EXPECT_STREQ(signalpair::ClockSignal(*pair, row.delays), row.signal);
  }
}

TEST(SignalPairs, NamesAndDefaults) {
  EXPECT_STREQ(signalpair::Find('c', "b1i/b2i")->name, "B1I/B2I");
  EXPECT_EQ(signalpair::Find('C', "B2I"), nullptr);
  EXPECT_EQ(signalpair::Find('G', "E1/E5a"), nullptr);
  EXPECT_EQ(signalpair::Find('S', "L1/L2"), nullptr);
  const struct {
    char system;
    const char* pair;  // nullptr: none
  } defaults[] = {{'G', "L1/L2"}, {'J', "L1/L2"}, {'E', "E1/E5a"}, {'C', "B1I/B3I"},
                  {'R', "L1/L2"}, {'S', nullptr},  {'I', nullptr}};
  for (const auto& d : defaults) {
    const signalpair::Pair* p = signalpair::Default(d.system);
    if (d.pair == nullptr) {
      EXPECT_EQ(p, nullptr) << d.system;
      continue;
    }
    ASSERT_NE(p, nullptr) << d.system;
    EXPECT_STREQ(p->name, d.pair);
    EXPECT_EQ(p->system, d.system);
  }
}

}  // namespace
