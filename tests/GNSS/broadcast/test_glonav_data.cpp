// GLONASS broadcast orbits of a real day (2009-04-01) against the IGS final
// GLONASS orbit of the same day: the navigation file read whole, and every
// tabulated position of every satellite reproduced within 40 m.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "GNSS/broadcast/GLNbEph.h"
#include "GNSS/time/TimeConverse.h"
#include "tests/TestUtil.h"

namespace {

// One tabulated position of a precise orbit file: epoch (GPS time), slot,
// position in metres.
struct Tabulated {
  mjd epoch;
  short slot;
  long double x, y, z;
};

// The GLONASS positions of an SP3 file: epoch lines "*  yyyy mm dd hh mi ss"
// and position lines "PRnn x y z clock" in km.
std::vector<Tabulated> ReadSp3Glonass(const std::string& path) {
  std::vector<Tabulated> out;
  std::ifstream in(path);
  std::string line;
  mjd epoch;
  while (std::getline(in, line)) {
    if (line.compare(0, 3, "*  ") == 0) {
      std::istringstream s(line.substr(3));
      unsigned short y, mo, d, h, mi;
      long double sec;
      s >> y >> mo >> d >> h >> mi >> sec;
      epoch = ymdhms2mjd(ymdhms(y, mo, d, h, mi, sec));
    } else if (line.compare(0, 2, "PR") == 0) {
      Tabulated t;
      t.epoch = epoch;
      t.slot = static_cast<short>(std::stoi(line.substr(2, 2)));
      std::istringstream s(line.substr(4));
      double x, y, z;
      s >> x >> y >> z;
      t.x = static_cast<long double>(x) * 1000;
      t.y = static_cast<long double>(y) * 1000;
      t.z = static_cast<long double>(z) * 1000;
      out.push_back(t);
    }
  }
  return out;
}

class GLONASSRealDay : public ::testing::Test {
 protected:
  void SetUp() override {
    if (orbtest::DataDir().empty()) GTEST_SKIP() << "real data folder ../shared/data is absent";
    nav.SetFile(orbtest::DataFile("brdc0910.09g").c_str());
    nav.ReadFile();
  }
  GLNbEph nav;
};

TEST_F(GLONASSRealDay, FileReadWhole) {
  ORBIKA_REQUIRE_DATA();
  // 19 satellites, 48 records each (every 30 min from 00:15 UTC).
  EXPECT_EQ(nav.GetNSat(), 912);
  const matrix<short> list = nav.GetSatList();
  ASSERT_EQ(list.NRow(), 19);
  EXPECT_EQ(list(0), 2);
  EXPECT_EQ(list(18), 23);
  EXPECT_DOUBLE_EQ(static_cast<double>(nav.GetHeader().GetTauC()), 0.158790498972e-6);
  EXPECT_EQ(nav.GetHeader().GetLeapS(), 15);
  // 2009-04-01 00:15:00 UTC = 00:15:15 GPS.
  EXPECT_EQ(nav.GetMJD(0).GetMJDay(), 54922u);
  EXPECT_EQ(nav.GetMJD(0).GetSecond(), 915.0L);
  EXPECT_EQ(nav.GetData().GetSat(0), 2);
  EXPECT_DOUBLE_EQ(static_cast<double>(nav.GetData().GetData(0, 3)), 0.936473925781e+04);
  EXPECT_DOUBLE_EQ(static_cast<double>(nav.GetData().GetData(0, 13)), 0.186264514923e-08);
}

TEST_F(GLONASSRealDay, EveryTabulatedPositionWithin40Metres) {
  ORBIKA_REQUIRE_DATA();
  const std::vector<Tabulated> sp3 = ReadSp3Glonass(orbtest::DataFile("igl15253.sp3"));
  ASSERT_EQ(sp3.size(), 96u * 18u);
  std::map<short, long double> worst;
  long double sum2 = 0;
  for (const Tabulated& t : sp3) {
    xyzt pos, vel;
    nav.CalcPosition(t.slot, t.epoch, t.epoch, pos, vel, 0);
    const long double dx = pos.GetX() - t.x, dy = pos.GetY() - t.y, dz = pos.GetZ() - t.z;
    const long double d = std::sqrt(dx * dx + dy * dy + dz * dz);
    sum2 += d * d;
    worst[t.slot] = std::max(worst[t.slot], d);
    EXPECT_LT(d, 40.0L) << "R" << t.slot << " at second " << static_cast<double>(t.epoch.GetSecond());
  }
  EXPECT_EQ(worst.size(), 18u);
  const double rms = static_cast<double>(std::sqrt(sum2 / sp3.size()));
  std::printf("broadcast - precise, 3D: RMS %.2f m over %zu positions\n", rms, sp3.size());
  EXPECT_LT(rms, 15.0);
}

TEST_F(GLONASSRealDay, KeptWholeStepsAreBitIdenticalOverADay) {
  ORBIKA_REQUIRE_DATA();
  // A store reused over the day at 450 s steps against a store that has
  // computed nothing yet, for every satellite and epoch.
  const GLNbEph pristine = nav;
  const matrix<short> list = nav.GetSatList();
  for (int k = 0; k < list.NRow(); ++k) {
    for (long double s = 0; s < 86400; s += 450) {
      mjd t0;
      t0.Set(54922, s);
      xyzt p, v, fp, fv;
      nav.CalcPosition(list(k), t0, t0, p, v, 0);
      GLNbEph fresh = pristine;
      fresh.CalcPosition(list(k), t0, t0, fp, fv, 0);
      ASSERT_TRUE(p.GetX() == fp.GetX() && p.GetY() == fp.GetY() && p.GetZ() == fp.GetZ() &&
                  p.GetT() == fp.GetT() && v.GetX() == fv.GetX() && v.GetY() == fv.GetY() &&
                  v.GetZ() == fv.GetZ())
          << "R" << list(k) << " at second " << static_cast<double>(s);
    }
  }
}

}  // namespace
