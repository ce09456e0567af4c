#include "GNSS/base/mGNSSc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/TestUtil.h"

namespace {

// The published values are given to double precision; the constants are
// extended precision, so they agree to a few units of the last double digit.
#define EXPECT_CONST(name, value) EXPECT_DOUBLE_EQ(static_cast<double>(name), value)

TEST(GnssConstants, Gps) {
  EXPECT_EQ(GPSc::c, 299792458.0L);
  EXPECT_EQ(GPSc::freq1, 154 * GPSc::freq0);
  EXPECT_EQ(GPSc::freq2, 120 * GPSc::freq0);
  EXPECT_EQ(GPSc::freq5, 115 * GPSc::freq0);
  EXPECT_CONST(GPSc::lamb0, 29.30522561094819);
  EXPECT_CONST(GPSc::lamb1, 0.19029367279836487);
  EXPECT_CONST(GPSc::lamb2, 0.24421021342456825);
  EXPECT_CONST(GPSc::lamb5, 0.25482804879085386);
  EXPECT_CONST(GPSc::lamWL, 0.8619184003220056);
  EXPECT_CONST(GPSc::lamNL, 0.10695337814214669);
  EXPECT_CONST(GPSc::LCion1, 2.54572778016316);
  EXPECT_CONST(GPSc::LCion2, 1.5457277801631601);
  EXPECT_CONST(GPSc::LCwl1, 4.529411764705882);
  EXPECT_CONST(GPSc::LCwl2, 3.5294117647058822);
  EXPECT_CONST(GPSc::LCnl1, 0.5620437956204379);
  EXPECT_CONST(GPSc::LCnl2, 0.43795620437956206);
  EXPECT_CONST(GPSc::alpha, 1.6469444444444448);
  EXPECT_CONST(GPSc::f1_f2, 1.2833333333333334);
}

TEST(GnssConstants, GpsClockRelativityAgreesWithItsGravitationalConstant) {
  // IS-GPS-200 publishes F = -2 sqrt(mu) / c^2 to ten digits.
  EXPECT_NEAR(static_cast<double>(GPSc::F),
              static_cast<double>(-2 * std::sqrt(GPSc::GM) / (GPSc::c * GPSc::c)), 1e-19);
}

TEST(GnssConstants, Glonass) {
  EXPECT_EQ(GLONASSc::c, 299792458.0L);
  EXPECT_EQ(GLONASSc::freq10, 9 * GLONASSc::freq0);
  EXPECT_EQ(GLONASSc::freq20, 7 * GLONASSc::freq0);
  EXPECT_EQ(GLONASSc::freq3, 1202.025e6L);
  EXPECT_EQ(GLONASSc::dfreq10, 562500.0L);
  EXPECT_EQ(GLONASSc::dfreq20, 437500.0L);
  EXPECT_CONST(GLONASSc::lamb10, 0.18713636579275905);
  EXPECT_CONST(GLONASSc::lamb20, 0.2406038988764045);
  EXPECT_CONST(GLONASSc::lamb3, 0.24940617541232504);
  EXPECT_CONST(GLONASSc::LCion1, 81.0 / 32);
  EXPECT_CONST(GLONASSc::LCion2, 49.0 / 32);
  EXPECT_CONST(GLONASSc::LCwl1, 4.5);
  EXPECT_CONST(GLONASSc::LCwl2, 3.5);
  EXPECT_CONST(GLONASSc::LCnl1, 0.5625);
  EXPECT_CONST(GLONASSc::LCnl2, 0.4375);
  EXPECT_CONST(GLONASSc::alpha, 81.0 / 49);
  EXPECT_CONST(GLONASSc::f1_f2, 9.0 / 7);
}

TEST(GnssConstants, Galileo) {
  EXPECT_EQ(GALILEOc::c, 299792458.0L);
  EXPECT_EQ(GALILEOc::freq0, 10.23e6L);
  EXPECT_EQ(GALILEOc::freq1, 1575.42e6L);
  EXPECT_EQ(GALILEOc::freq2, 1207.14e6L);
  EXPECT_EQ(GALILEOc::freq5, 1176.45e6L);
  EXPECT_EQ(GALILEOc::freq8, 1191.795e6L);
  EXPECT_CONST(GALILEOc::lamb0, 29.30522561094819);
  EXPECT_CONST(GALILEOc::lamb1, 0.19029367279836487);
  EXPECT_CONST(GALILEOc::lamb2, 0.2483493695843067);
  EXPECT_CONST(GALILEOc::lamb5, 0.25482804879085386);
  EXPECT_CONST(GALILEOc::lamb8, 0.251547000952345);
  EXPECT_CONST(GALILEOc::lamWL, 0.8140340447485609);
  EXPECT_CONST(GALILEOc::lamNL, 0.1077398000402507);
  EXPECT_CONST(GALILEOc::LCion1, 2.421977124183006);
  EXPECT_CONST(GALILEOc::LCion2, 1.4219771241830066);
  EXPECT_CONST(GALILEOc::LCwl1, 4.277777777777778);
  EXPECT_CONST(GALILEOc::LCwl2, 3.2777777777777777);
  EXPECT_CONST(GALILEOc::LCnl1, 0.5661764705882353);
  EXPECT_CONST(GALILEOc::LCnl2, 0.4338235294117647);
  EXPECT_CONST(GALILEOc::alpha, 1.7032461936225225);
  EXPECT_CONST(GALILEOc::f1_f2, 1.305084745762712);
}

// The SetFrequency tests below write rows 0 ... 7 only.
TEST(GlonassTables, ShapesAndZeroStart) {
  EXPECT_EQ(GLONASSc::freq.NRow(), 32);
  EXPECT_EQ(GLONASSc::freq.NCol(), 2);
  EXPECT_EQ(GLONASSc::lamb.NCol(), 2);
  EXPECT_EQ(GLONASSc::lambWL.NCol(), 1);
  EXPECT_EQ(GLONASSc::lambNL.NRow(), 32);
  EXPECT_EQ(GLONASSc::alphaG.Length(), 64);
  for (int k = 8; k < 32; ++k) {
    EXPECT_EQ(GLONASSc::freq(k, 0), 0.0L);
    EXPECT_EQ(GLONASSc::freq(k, 1), 0.0L);
    EXPECT_EQ(GLONASSc::lambWL(k), 0.0L);
    EXPECT_EQ(GLONASSc::alphaG(k, 1), 0.0L);
  }
}

TEST(GlonassTables, ChannelZeroIsNominal) {
  GLONASSc::SetFrequency(0, 3);
  EXPECT_EQ(GLONASSc::freq(3, 0), 1602.0e6L);
  EXPECT_EQ(GLONASSc::freq(3, 1), 1246.0e6L);
  EXPECT_EQ(GLONASSc::lamb(3, 0), GLONASSc::lamb10);
  EXPECT_EQ(GLONASSc::lamb(3, 1), GLONASSc::lamb20);
  EXPECT_CONST(GLONASSc::lambWL(3, 0), 299792458.0 / 356e6);
  EXPECT_CONST(GLONASSc::lambNL(3, 0), 299792458.0 / 2848e6);
  EXPECT_CONST(GLONASSc::alphaG(3, 0), 0.9670917659105894);
  EXPECT_CONST(GLONASSc::alphaG(3, 1), 1.5986618987501582);
  // Neighbouring rows are untouched.
  EXPECT_EQ(GLONASSc::freq(2, 0), 0.0L);
  EXPECT_EQ(GLONASSc::freq(4, 1), 0.0L);
}

TEST(GlonassTables, NegativeChannel) {
  GLONASSc::SetFrequency(-7, 7);
  EXPECT_EQ(GLONASSc::freq(7, 0), 1598.0625e6L);
  EXPECT_EQ(GLONASSc::freq(7, 1), 1242.9375e6L);
  EXPECT_CONST(GLONASSc::lamb(7, 0), 299792458.0 / 1598.0625e6);
  EXPECT_CONST(GLONASSc::lambWL(7), 0.8441885476944738);
  EXPECT_CONST(GLONASSc::alphaG(7, 0), 0.9718633127559856);
}

TEST(GlonassTables, RowOutsideTableEndsRun) {
  const std::string stars(60, '*');
  for (short prn : {32, -1}) {
    const orbtest::RunResult r = orbtest::RunCaptured([prn] { GLONASSc::SetFrequency(1, prn); });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\n" + stars + "\nMATRIX::ERROR:\n\n\tOperator:   ()\nRow index not in range: " +
                         (prn == 32 ? "   32" : "   -1") + " -> [    0,   31]\n\n" + stars +
                         "\nExiting program...\n\n");
    EXPECT_EQ(r.err, "");
  }
}

}  // namespace
