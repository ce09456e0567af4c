// Text forms of the time values: every output layout, the stream state
// left behind, and calendar input with two-digit years.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iomanip>
#include <locale>
#include <random>
#include <sstream>
#include <string>

#include "GNSS/time/TimeConverse.h"
#include "tests/TestUtil.h"

namespace {

// Restores the process-wide print settings after each test.
class timeFormat : public ::testing::Test {
 protected:
  void SetUp() override { Save(); }
  void TearDown() override {
    mjdns::NDecSecond = saved[0];
    mjdns::PrintFormat = saved[1];
    ymdhmsns::NDecSecond = saved[2];
    ymdhmsns::PrintFormat = saved[3];
    ymdhmsns::PrintType = saved[4];
    gpswsns::NDecSecond = saved[5];
    gpswsns::PrintFormat = saved[6];
  }
  void Save() {
    saved[0] = mjdns::NDecSecond;
    saved[1] = mjdns::PrintFormat;
    saved[2] = ymdhmsns::NDecSecond;
    saved[3] = ymdhmsns::PrintFormat;
    saved[4] = ymdhmsns::PrintType;
    saved[5] = gpswsns::NDecSecond;
    saved[6] = gpswsns::PrintFormat;
  }
  unsigned short saved[7];
};

template <class T>
std::string Text(const T& v) {
  std::ostringstream os;
  os << v;
  return os.str();
}

// The epoch 2019-03-10 12:00:30.
const ymdhms kDate(2019, 3, 10, 12, 0, 30);

TEST_F(timeFormat, DefaultSettings) {
  EXPECT_EQ(mjdns::NDecSecond, 1);
  EXPECT_EQ(mjdns::PrintFormat, 0);
  EXPECT_EQ(ymdhmsns::NDecSecond, 1);
  EXPECT_EQ(ymdhmsns::PrintFormat, 0);
  EXPECT_EQ(ymdhmsns::PrintType, 2);
  EXPECT_EQ(gpswsns::NDecSecond, 1);
  EXPECT_EQ(gpswsns::PrintFormat, 0);
}

TEST_F(timeFormat, MjdDayAndSecond) {
  EXPECT_EQ(Text(mjd(58552, 43200)), " 58552 43200.0");
  EXPECT_EQ(Text(mjd(5, 0)), "     5     0.0");
  EXPECT_EQ(Text(mjd(58552, 0.04L)), " 58552     0.0");
  EXPECT_EQ(Text(mjd(58552, 86399.96L)), " 58552 86400.0");  // rounded by the stream only
  mjdns::NDecSecond = 3;
  EXPECT_EQ(Text(mjd(58552, 43200)), " 58552 43200.000");
  EXPECT_EQ(Text(mjd(58552, 1.2346L)), " 58552     1.235");
  mjdns::NDecSecond = 0;
  EXPECT_EQ(Text(mjd(58552, 43200.4L)), " 58552  43200");
}

TEST_F(timeFormat, MjdOtherLayouts) {
  const mjd t(58552, 45296.5L);
  mjdns::PrintFormat = 1;
  {
    // Fractional MJD in the stream's own notation: general notation rounds
    // to n significant digits, fixed notation gives n decimals.
    std::ostringstream os;
    os << t;
    EXPECT_EQ(os.str(), "   6e+04");
    std::ostringstream fx;
    fx << std::fixed << t;
    EXPECT_EQ(fx.str(), " 58552.5");
  }
  mjdns::PrintFormat = 2;
  EXPECT_EQ(Text(t), " 58552  12:34:56.5");
  mjdns::NDecSecond = 3;
  EXPECT_EQ(Text(t), " 58552  12:34:56.500");
  mjdns::NDecSecond = 1;
  mjdns::PrintFormat = 3;
  EXPECT_EQ(Text(t), " 58552");
  mjdns::PrintFormat = 4;
  EXPECT_EQ(Text(mjd(58552, 43200)), " 58552 0.5000000000000");
  mjdns::PrintFormat = 5;
  EXPECT_EQ(Text(t), "");
}

TEST_F(timeFormat, CalendarDefaultLayout) {
  EXPECT_EQ(Text(kDate), " 2019-03-10 12:00:30.0");
  EXPECT_EQ(Text(ymdhms(2019, 3, 10, 12, 0, 9.96L)), " 2019-03-10 12:00:10.0");
  EXPECT_EQ(Text(ymdhms(2019, 3, 10, 1, 2, 5)), " 2019-03-10 01:02:05.0");
  // Seconds are rounded by the stream alone: no carry into the minute.
  EXPECT_EQ(Text(ymdhms(2019, 3, 10, 12, 0, 59.96L)), " 2019-03-10 12:00:60.0");
  // Hour 24 from a second of day just below midnight.
  EXPECT_EQ(Text(mjd2ymdhms(mjd(58552, 86399.99999999995L))), " 2019-03-10 24:00:00.0");

  ymdhmsns::NDecSecond = 3;
  EXPECT_EQ(Text(kDate), " 2019-03-10 12:00:30.000");
  EXPECT_EQ(Text(ymdhms(2019, 3, 10, 12, 0, 0.5L)), " 2019-03-10 12:00:00.500");
  EXPECT_EQ(Text(ymdhms(2019, 3, 10, 12, 0, 5)), " 2019-03-10 12:00:05.000");

  ymdhmsns::NDecSecond = 0;
  EXPECT_EQ(Text(ymdhms(2019, 3, 10, 12, 0, 7.4L)), " 2019-03-10 12:00:07");
}

TEST_F(timeFormat, ResultLineLayoutOfAnEpoch) {
  // Calendar date followed by the MJD form, as the result lines write it.
  const mjd t(58552, 43230);
  std::ostringstream os;
  os << mjd2ymdhms(t) << t;
  EXPECT_EQ(os.str(), " 2019-03-10 12:00:30.0 58552 43230.0");
  ymdhmsns::NDecSecond = 3;
  mjdns::NDecSecond = 3;
  std::ostringstream os3;
  os3 << mjd2ymdhms(t) << t;
  EXPECT_EQ(os3.str(), " 2019-03-10 12:00:30.000 58552 43230.000");
}

TEST_F(timeFormat, StreamStateLeftBehind) {
  {
    std::ostringstream os;
    os << kDate;
    // Fixed notation and the precision of the seconds stay; the fill is a
    // blank again.
    os << '|' << std::setw(3) << 7 << '|' << 2.25 << '|' << 1e20;
    EXPECT_EQ(os.str(), " 2019-03-10 12:00:30.0|  7|2.2|100000000000000000000.0");
  }
  {
    mjdns::NDecSecond = 3;
    std::ostringstream os;
    os << mjd(5, 0) << '|' << 2.0;
    EXPECT_EQ(os.str(), "     5     0.000|2.000");
    mjdns::NDecSecond = 1;
  }
  {
    // The year takes the caller's fill; the fill is a blank afterwards.
    std::ostringstream os;
    os << std::setfill('*') << kDate << std::setw(3) << 1;
    EXPECT_EQ(os.str(), "*2019-03-10 12:00:30.0  1");
  }
  {
    // A stream left in scientific notation still gets fixed seconds.
    std::ostringstream os;
    os << std::scientific << mjd(58552, 43200) << kDate;
    EXPECT_EQ(os.str(), " 58552 43200.0 2019-03-10 12:00:30.0");
  }
}

TEST_F(timeFormat, CalendarFamilies) {
  const ymdhms t(2019, 3, 10, 12, 0, 30.25L);
  ymdhmsns::PrintType = 0;
  EXPECT_EQ(Text(t), "  2019     3    10    12     0   30.2500000");
  ymdhmsns::PrintType = 1;
  EXPECT_EQ(Text(t), " 19  3 10 12  0 30.2500000");
  EXPECT_EQ(Text(ymdhms(1999, 12, 31, 23, 59, 1)), " 99 12 31 23 59  1.0000000");
  ymdhmsns::PrintType = 3;
  EXPECT_EQ(Text(t), "2019  3 10 12  0 30.25000000");
  ymdhmsns::PrintType = 4;
  EXPECT_EQ(Text(kDate), "19:069:43230");
  EXPECT_EQ(Text(ymdhms(2001, 1, 2, 0, 0, 5)), "01:002:00005");
  ymdhmsns::PrintType = 5;
  EXPECT_EQ(Text(t), "");
}

TEST_F(timeFormat, CalendarFamily2Layouts) {
  ymdhmsns::PrintFormat = 1;
  EXPECT_EQ(Text(kDate), " 2019-069 12:00:30.0");
  ymdhmsns::PrintFormat = 2;
  EXPECT_EQ(Text(kDate), " 2019-069  43230.0");
  ymdhmsns::PrintFormat = 3;
  EXPECT_EQ(Text(kDate), " 2019-03-10");
  ymdhmsns::PrintFormat = 4;
  EXPECT_EQ(Text(kDate), " 2019.1876722");
  ymdhmsns::PrintFormat = 5;
  EXPECT_EQ(Text(kDate), " 2019-069");
  ymdhmsns::PrintFormat = 6;
  EXPECT_EQ(Text(kDate), "");
  // Zero fill ends with each value.
  ymdhmsns::PrintFormat = 3;
  std::ostringstream os;
  os << kDate << std::setw(3) << 4;
  EXPECT_EQ(os.str(), " 2019-03-10  4");
}

TEST_F(timeFormat, GPSWeekLayouts) {
  const GPSws g(2044, 302400.5L);
  EXPECT_EQ(Text(g), " 2044 302400.5");
  EXPECT_EQ(Text(GPSws(2044, 43230)), " 2044  43230.0");
  gpswsns::PrintFormat = 1;
  EXPECT_EQ(Text(g), " 2044 3 43200.5");
  gpswsns::PrintFormat = 2;
  EXPECT_EQ(Text(g), " 2044 3  12:00:00.5");
  gpswsns::PrintFormat = 3;
  EXPECT_EQ(Text(g), " 2044 3");
  EXPECT_EQ(Text(GPSws(5, 0)), " 0005 0");
  gpswsns::PrintFormat = 4;
  EXPECT_EQ(Text(g), " 2044 302400.50000000");
  gpswsns::PrintFormat = 7;
  EXPECT_EQ(Text(g), "");
}

TEST_F(timeFormat, BufferedLayoutsMatchTheStreamPath) {
  // A locale that formats like the classic one but is not it makes the
  // operators take the plain stream path; both must give the same bytes.
  const std::locale lookalike(std::locale::classic(), new std::numpunct<char>);
  std::mt19937_64 rng(58552);
  std::uniform_int_distribution<std::uint32_t> days(15385, 88433);
  std::uniform_real_distribution<long double> secs(0, 86400);
  for (int i = 0; i < 5000; ++i) {
    long double s = secs(rng);
    if (i % 5 == 0) s = std::round(s * 20) / 20;  // ties at one decimal
    if (i % 11 == 0) s = 86400 - 1e-11L * (1 + i % 3);
    const mjd t(days(rng), s);
    const ymdhms d = mjd2ymdhms(t);
    mjdns::NDecSecond = ymdhmsns::NDecSecond = static_cast<unsigned short>(i % 10);
    std::ostringstream fast, plain;
    plain.imbue(lookalike);
    if (i % 3 == 0) {
      fast << std::setfill('#');
      plain << std::setfill('#');
    }
    fast << d << t << 1.25 << '|' << std::setw(4) << 7;
    plain << d << t << 1.25 << '|' << std::setw(4) << 7;
    ASSERT_EQ(fast.str(), plain.str()) << i;
  }
}

ymdhms Read(const std::string& text) {
  std::istringstream is(text);
  ymdhms t;
  is >> t;
  return t;
}

TEST_F(timeFormat, CalendarInputTwoDigitYears) {
  EXPECT_EQ(Text(Read("99 12 31 23 59 59.5")), " 1999-12-31 23:59:59.5");
  EXPECT_EQ(Text(Read("0 1 1 0 0 0")), " 2000-01-01 00:00:00.0");
  EXPECT_EQ(Text(Read("79 1 1 0 0 0")), " 2079-01-01 00:00:00.0");
  EXPECT_EQ(Text(Read("80 1 1 0 0 0")), " 1980-01-01 00:00:00.0");
  EXPECT_EQ(Text(Read("2019 3 10 12 0 30")), " 2019-03-10 12:00:30.0");
}

TEST_F(timeFormat, CalendarInputFromNavigationRecords) {
  // Epochs as RINEX navigation records give them, read one after another.
  std::istringstream is(" 19  3 10 12  0 30.0\n 19  3 10 14  0  0.0\r\n");
  ymdhms a, b;
  is >> a >> b;
  EXPECT_EQ(Text(a), " 2019-03-10 12:00:30.0");
  EXPECT_EQ(Text(b), " 2019-03-10 14:00:00.0");
  EXPECT_EQ(ymdhms2mjd(b).GetSecond(), 50400);
}

TEST_F(timeFormat, CalendarInputIsValidated) {
  const auto expect_fatal = [](const std::string& text, const std::string& msg) {
    const orbtest::RunResult r = orbtest::RunCaptured([&] { Read(text); });
    EXPECT_EQ(r.status, 1) << text;
    EXPECT_EQ(r.out,
              "\n**** ymdhms: Error -> " + msg + " ****\n     Exiting class ymdhms ... \n")
        << text;
    EXPECT_EQ(r.err, "") << text;
  };
  expect_fatal("2019 2 29 0 0 0", "DAY not valid");
  expect_fatal("100 1 1 0 0 0", "YEAR not valid");
  expect_fatal("19 3 10 12 0 60", "SECOND not valid");
  // A record cut short does not keep fields of an earlier epoch.
  expect_fatal("19 3", "DAY not valid");
  expect_fatal("", "MONTH not valid");
  const orbtest::RunResult r = orbtest::RunCaptured([] {
    std::istringstream is("19 3 10 12 0 30\n19 3");
    ymdhms t;
    is >> t >> t;
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "\n**** ymdhms: Error -> DAY not valid ****\n     Exiting class ymdhms ... \n");
}

TEST_F(timeFormat, MjdAndWeekInput) {
  std::istringstream is("58552 43200.5  2044 302400.5");
  mjd t;
  GPSws g;
  is >> t >> g;
  EXPECT_EQ(t.GetMJDay(), 58552u);
  EXPECT_EQ(t.GetSecond(), 43200.5L);
  EXPECT_EQ(g.GetWeek(), 2044);
  EXPECT_EQ(g.GetSecond(), 302400.5L);

  const orbtest::RunResult r = orbtest::RunCaptured([] {
    std::istringstream bad("58552 86400");
    mjd u;
    bad >> u;
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "\n**** mjd: Error -> SECOND not valid ****\n     Exiting class mjd ... \n");
}

}  // namespace
