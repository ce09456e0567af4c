// Text output and input of xyz, xyzt and neu: layouts to the byte, the
// stream state left behind, and agreement with the stream's own text.
#include <cmath>
#include <iomanip>
#include <limits>
#include <locale>
#include <random>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "GNSS/geometry/neu.h"
#include "GNSS/geometry/xyz.h"
#include "GNSS/geometry/xyzt.h"

namespace {

// Saves every print setting and puts it back after the test.
class geomOutput : public ::testing::Test {
 protected:
  void TearDown() override {
    xyztns::NDec = t_.NDec;
    xyztns::NDecT = t_.NDecT;
    xyztns::Width = t_.Width;
    xyztns::WidthT = t_.WidthT;
    xyztns::PrintTime = t_.PrintTime;
    xyztns::Unit = t_.Unit;
    xyztns::UnitT = t_.UnitT;
    xyzns::NDec = s_.NDec;
    xyzns::Width = s_.Width;
    xyzns::Unit = s_.Unit;
    neuns::NDecNE = n_.NDecNE;
    neuns::NDecU = n_.NDecU;
    neuns::WidthNE = n_.WidthNE;
    neuns::WidthU = n_.WidthU;
    neuns::Unit = n_.Unit;
    neuns::PrintType = n_.PrintType;
  }

  // The settings of the position loop for a position (or a difference of
  // positions) and for a velocity.
  static void LoopSettings() {
    xyztns::NDec = 3;
    xyztns::WidthT = 14;
    xyztns::NDecT = 6;
    xyztns::UnitT = 1000;
  }
  static void AsPosition() {
    xyztns::PrintTime = 1;
    xyztns::Width = 16;
  }
  static void AsVelocity() {
    xyztns::PrintTime = 0;
    xyztns::Width = 12;
  }

  template <class T>
  static std::string Text(const T& v) {
    std::ostringstream os;
    os << v;
    return os.str();
  }

 private:
  struct {
    unsigned short NDec = xyztns::NDec, NDecT = xyztns::NDecT, Width = xyztns::Width,
                   WidthT = xyztns::WidthT, PrintTime = xyztns::PrintTime;
    long double Unit = xyztns::Unit, UnitT = xyztns::UnitT;
  } t_;
  struct {
    unsigned short NDec = xyzns::NDec, Width = xyzns::Width;
    long double Unit = xyzns::Unit;
  } s_;
  struct {
    unsigned short NDecNE = neuns::NDecNE, NDecU = neuns::NDecU, WidthNE = neuns::WidthNE,
                   WidthU = neuns::WidthU, Unit = neuns::Unit, PrintType = neuns::PrintType;
  } n_;
};

// What the stream itself writes for the same fields.
std::string StreamFields(std::ostream& os, std::ostringstream& text,
                         std::initializer_list<long double> v, int width, int decimals,
                         int lastWidth = -1, int lastDecimals = -1) {
  os.setf(std::ios::fixed, std::ios::floatfield);
  int i = 0;
  const int n = static_cast<int>(v.size());
  for (long double x : v) {
    const bool last = ++i == n && lastWidth >= 0;
    os << std::setw(last ? lastWidth : width) << std::setprecision(last ? lastDecimals : decimals)
       << x;
  }
  return text.str();
}

// ------------------------------------------------------------------ xyzt

TEST_F(geomOutput, InitialSettingsPrintFiftyFourCharacters) {
  EXPECT_EQ(Text(xyzt()), "        0.0000        0.0000        0.0000    0.000000");
  EXPECT_EQ(Text(xyzt(1.25L, -2.5L, 3, 0.001L)),
            "        1.2500       -2.5000        3.0000    0.001000");
}

TEST_F(geomOutput, PositionAndVelocityLayoutsOfThePositionLoop) {
  LoopSettings();
  AsPosition();
  const xyzt pos(-12345678.1234L, 20000000.5L, 987.0004L, 1.234567891e-4L);
  const std::string p = Text(pos);
  EXPECT_EQ(p, "   -12345678.123    20000000.500         987.000      0.123457");
  EXPECT_EQ(p.size(), 62u);

  AsVelocity();
  const std::string v = Text(xyzt(-2345.6789L, 1234.5L, 0.0001L, 99));
  EXPECT_EQ(v, "   -2345.679    1234.500       0.000");  // dt absent altogether
  EXPECT_EQ(v.size(), 36u);

  // Position, velocity and difference on one line, as the loop writes them.
  std::ostringstream line;
  AsPosition();
  line << pos;
  AsVelocity();
  line << " " << xyzt(1, 2, 3, 0);
  AsPosition();
  line << pos - xyzt(-12345678.0L, 20000000.25L, 987, 1.2e-4L);
  EXPECT_EQ(line.str(),
            "   -12345678.123    20000000.500         987.000      0.123457"
            "        1.000       2.000       3.000"
            "          -0.123           0.250           0.000      0.003457");
}

TEST_F(geomOutput, UnitsDivideExceptCentimetresAndClockUnitMultiplies) {
  xyztns::Unit = 1000;  // kilometres
  EXPECT_EQ(Text(xyzt(12345.6L, -500, 0, 0.5L)),
            "       12.3456       -0.5000        0.0000    0.500000");
  xyztns::Unit = 100;  // centimetres
  EXPECT_EQ(Text(xyzt(1.23456L, 0, 0, 0)),
            "      123.4560        0.0000        0.0000    0.000000");
  xyztns::Unit = 2;
  xyztns::UnitT = 1e6L;  // microseconds
  EXPECT_EQ(Text(xyzt(3, 0, 0, 1.5e-6L)),
            "        1.5000        0.0000        0.0000    1.500000");
}

TEST_F(geomOutput, WideNumbersAreWrittenWholeAndShiftTheRest) {
  EXPECT_EQ(Text(xyzt(123456789012.5L, 1, 2, 3)),
            "123456789012.5000        1.0000        2.0000    3.000000");
  // Beyond 2^63 as well.
  EXPECT_EQ(Text(xyzt(1e20L, 0, 0, 0)),
            "100000000000000000000.0000        0.0000        0.0000    0.000000");
}

TEST_F(geomOutput, StreamIsLeftFixedWithThePrecisionOfTheLastField) {
  std::ostringstream os;
  os << xyzt(1, 2, 3, 4);
  EXPECT_EQ(os.flags() & std::ios::floatfield, std::ios::fixed);
  EXPECT_EQ(os.precision(), 6);
  EXPECT_EQ(os.width(), 0);
  EXPECT_EQ(os.fill(), ' ');
  os << 1.5L;  // a later number without its own settings uses them
  EXPECT_EQ(os.str(), "        1.0000        2.0000        3.0000    4.0000001.500000");

  xyztns::PrintTime = 0;
  std::ostringstream os2;
  os2 << xyzt(1, 2, 3, 4) << 2.25;
  EXPECT_EQ(os2.precision(), 4);
  EXPECT_EQ(os2.str(), "        1.0000        2.0000        3.00002.2500");
}

TEST_F(geomOutput, FieldsArePaddedWithTheStreamsFillCharacter) {
  std::ostringstream os;
  os.fill('*');
  os << xyzt(1, -2, 3, 0);
  EXPECT_EQ(os.str(), "********1.0000*******-2.0000********3.0000****0.000000");
  EXPECT_EQ(os.fill(), '*');
}

TEST_F(geomOutput, ScientificFlagIsReplacedByFixed) {
  // OR-ing fixed into scientific would select hexadecimal floating point.
  std::ostringstream os;
  os << std::scientific << xyzt(1, 2, 3, 4);
  EXPECT_EQ(os.str(), "        1.0000        2.0000        3.0000    4.000000");
  EXPECT_EQ(os.flags() & std::ios::floatfield, std::ios::fixed);
}

TEST_F(geomOutput, NonFiniteValuesPrintAsTheStreamPrintsThem) {
  const long double inf = std::numeric_limits<long double>::infinity();
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  EXPECT_EQ(Text(xyzt(inf, -inf, nan, 0)),
            "           inf          -inf           nan    0.000000");
}

TEST_F(geomOutput, DecoratedStreamsGetTheStreamsOwnText) {
  // Left alignment, forced sign and a decimal comma: the text must still be
  // what the stream writes field by field.
  struct Comma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
  };
  const xyzt p(1.5L, -2.25L, 1e20L, 0.125L);
  {
    std::ostringstream os, ref;
    os << std::left << p;
    ref << std::left;
    EXPECT_EQ(os.str(), StreamFields(ref, ref, {1.5L, -2.25L, 1e20L, 0.125L}, 14, 4, 12, 6));
    EXPECT_EQ(os.str().substr(0, 14), "1.5000        ");
  }
  {
    std::ostringstream os, ref;
    os << std::showpos << p;
    ref << std::showpos;
    EXPECT_EQ(os.str(), StreamFields(ref, ref, {1.5L, -2.25L, 1e20L, 0.125L}, 14, 4, 12, 6));
    EXPECT_EQ(os.str().substr(0, 14), "       +1.5000");
  }
  {
    std::ostringstream os, ref;
    os.imbue(std::locale(std::locale::classic(), new Comma));
    ref.imbue(std::locale(std::locale::classic(), new Comma));
    os << p;
    EXPECT_EQ(os.str(), StreamFields(ref, ref, {1.5L, -2.25L, 1e20L, 0.125L}, 14, 4, 12, 6));
    EXPECT_EQ(os.str().substr(0, 14), "        1,5000");
  }
}

TEST_F(geomOutput, DigitsAgreeWithTheStreamForManyValues) {
  // Random coordinates, clocks and velocities, rounding ties and near-ties
  // included, under the loop's settings and others.
  std::mt19937_64 rng(2013);
  std::uniform_real_distribution<double> mag(-9, 12), frac(0, 1);
  std::uniform_int_distribution<int> dec(0, 12), wid(0, 24);
  for (int i = 0; i < 20000; ++i) {
    long double v[4];
    for (long double& x : v) {
      x = std::pow(10.0L, static_cast<long double>(mag(rng))) * (frac(rng) < 0.5 ? -1 : 1);
      if (i % 5 == 0) x = std::round(x * 1000) / 1000 + 0.0005L;  // a tie at 3 decimals
    }
    xyztns::NDec = static_cast<unsigned short>(i % 3 == 0 ? 3 : dec(rng));
    xyztns::NDecT = static_cast<unsigned short>(dec(rng));
    xyztns::Width = static_cast<unsigned short>(wid(rng));
    xyztns::WidthT = static_cast<unsigned short>(wid(rng));
    std::ostringstream ref;
    const std::string expected = StreamFields(ref, ref, {v[0], v[1], v[2], v[3]}, xyztns::Width,
                                              xyztns::NDec, xyztns::WidthT, xyztns::NDecT);
    ASSERT_EQ(Text(xyzt(v[0], v[1], v[2], v[3])), expected) << "case " << i;
  }
}

// ------------------------------------------------------------------- xyz

TEST_F(geomOutput, XyzLayoutAndItsUnits) {
  EXPECT_EQ(Text(xyz(1, -2, 3.14159L)), "        1.0000       -2.0000        3.1416");
  xyzns::Unit = 1000;  // xyz multiplies by 100 and 1000
  EXPECT_EQ(Text(xyz(1.5L, 0, 0)), "     1500.0000        0.0000        0.0000");
  xyzns::Unit = 100;
  EXPECT_EQ(Text(xyz(1.5L, 0, 0)), "      150.0000        0.0000        0.0000");
  xyzns::Unit = 4;
  xyzns::Width = 8;
  xyzns::NDec = 2;
  EXPECT_EQ(Text(xyz(1, 2, 3)), "    0.25    0.50    0.75");
}

// ------------------------------------------------------------------- neu

TEST_F(geomOutput, NeuLayouts) {
  const neu p(1.5L, -2.25L, 0.125L);
  EXPECT_EQ(Text(p), "      1.5000     -2.2500    0.1250");
  neuns::Unit = 1000;
  EXPECT_EQ(Text(p), "   1500.0000  -2250.0000  125.0000");
  neuns::Unit = 10;
  neuns::NDecNE = 3;
  neuns::WidthU = 6;
  neuns::NDecU = 1;
  EXPECT_EQ(Text(p), "       0.150      -0.225   0.0");
  neuns::PrintType = 0;  // u, e, n in fields of 14 with 4 decimals, no unit
  EXPECT_EQ(Text(p), "        0.1250       -2.2500        1.5000");
}

// ----------------------------------------------------------------- input

TEST_F(geomOutput, InputUndoesTheOutputUnits) {
  xyztns::Unit = 1000;
  xyztns::UnitT = 1000;
  xyzt t;
  std::istringstream("1.5 -2 0.25 0.5") >> t;
  EXPECT_EQ(t, xyzt(1500, -2000, 250, 0.0005L));
  xyztns::Unit = 100;
  std::istringstream("150 0 0 0") >> t;
  EXPECT_EQ(t, xyzt(1.5L, 0, 0, 0));

  xyzns::Unit = 1000;
  xyz p;
  std::istringstream("1500 0 -3000") >> p;
  EXPECT_EQ(p, xyz(1.5L, 0, -3));

  neu n;
  std::istringstream("1 2 3") >> n;
  EXPECT_EQ(n, neu(1, 2, 3));
  neuns::PrintType = 0;
  std::istringstream("3 2 1") >> n;  // read back in the written order u, e, n
  EXPECT_EQ(n, neu(1, 2, 3));
}

TEST_F(geomOutput, OutputReadsBackAndFailedInputLeavesTheValue) {
  const xyzt t(-12345678.125L, 20000000.5L, 987.25L, 0.015625L);
  xyzt back;
  std::istringstream(Text(t)) >> back;
  EXPECT_EQ(back, t);

  xyzt kept(1, 2, 3, 4);
  std::istringstream bad("1 2 x 4");
  bad >> kept;
  EXPECT_TRUE(bad.fail());
  EXPECT_EQ(kept, xyzt(1, 2, 3, 4));
  xyz keptp(1, 2, 3);
  std::istringstream("7 8") >> keptp;
  EXPECT_EQ(keptp, xyz(1, 2, 3));
}

}  // namespace
