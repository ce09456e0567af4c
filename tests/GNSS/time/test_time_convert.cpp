// Conversions between calendar dates, MJD and GPS week, the split of
// seconds, leap years and the GPS - UTC leap-second table.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "GNSS/time/TimeConverse.h"
#include "tests/TestUtil.h"

namespace {

void ExpectFatal(const std::function<void()>& fn, const std::string& cls,
                 const std::string& msg) {
  const orbtest::RunResult r = orbtest::RunCaptured(fn);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "\n**** " + cls + ": Error -> " + msg + " ****\n     Exiting class " +
                       cls + " ... \n");
  EXPECT_EQ(r.err, "");
}

mjd Mjd(int y, int m, int d, int h = 0, int mn = 0, long double s = 0) {
  return ymdhms2mjd(ymdhms(y, m, d, h, mn, s));
}

void ExpectDate(const ymdhms& t, int y, int m, int d, int h, int mn, long double s) {
  EXPECT_EQ(t.GetYear(), y);
  EXPECT_EQ(t.GetMonth(), m);
  EXPECT_EQ(t.GetDay(), d);
  EXPECT_EQ(t.GetHour(), h);
  EXPECT_EQ(t.GetMinute(), mn);
  EXPECT_NEAR(static_cast<double>(t.GetSecond()), static_cast<double>(s), 1e-9);
}

// MJD of a Gregorian date by the Fliegel - Van Flandern integer formula for
// the Julian Day Number, an independent check of the calendar split.
long ReferenceMJD(long y, long m, long d) {
  const long a = (m - 14) / 12;
  const long jdn = d - 32075 + 1461 * (y + 4800 + a) / 4 + 367 * (m - 2 - a * 12) / 12 -
                   3 * ((y + 4900 + a) / 100) / 4;
  return jdn - 2400001;
}

TEST(timeCalendarToMjd, Anchors) {
  EXPECT_EQ(Mjd(1901, 1, 1).GetMJDay(), 15385u);
  EXPECT_EQ(Mjd(1901, 1, 1).GetSecond(), 0);
  EXPECT_EQ(Mjd(1980, 1, 6).GetMJDay(), 44244u);
  const mjd j2000 = Mjd(2000, 1, 1, 12);
  EXPECT_EQ(j2000.GetMJDay(), 51544u);
  EXPECT_EQ(j2000.GetSecond(), 43200);
  EXPECT_EQ(Mjd(2019, 3, 10, 12, 0, 30.25L).GetMJDay(), 58552u);
  EXPECT_EQ(Mjd(2019, 3, 10, 12, 0, 30.25L).GetSecond(), 43230.25L);
  EXPECT_EQ(Mjd(2100, 3, 1).GetMJDay(), 88128u);
  EXPECT_EQ(Mjd(2100, 12, 31).GetMJDay(), 88433u);
  // Every fourth year is counted as a leap year: one day too many from 2101.
  EXPECT_EQ(Mjd(2101, 1, 1).GetMJDay(), 88435u);
}

TEST(timeCalendarToMjd, SecondsAtMidnight) {
  const mjd a = Mjd(2019, 3, 10, 23, 59, 59.99999999999L);
  EXPECT_EQ(a.GetMJDay(), 58553u);
  EXPECT_EQ(a.GetSecond(), 0);
  const mjd b = Mjd(2019, 3, 10, 24, 0, 0);
  EXPECT_EQ(b.GetMJDay(), 58553u);
  EXPECT_EQ(b.GetSecond(), 0);
  // 1e-9 s short of midnight is kept on the day.
  const mjd c = Mjd(2019, 3, 10, 23, 59, 59.999999999L);
  EXPECT_EQ(c.GetMJDay(), 58552u);
  EXPECT_NEAR(static_cast<double>(c.GetSecond()), 86400 - 1e-9, 1e-12);
  // Hours beyond 24 pass the calendar test but not the MJD one.
  ExpectFatal([] { Mjd(2019, 3, 10, 24, 0, 1); }, "mjd", "SECOND not valid");
  ExpectFatal([] { Mjd(2019, 3, 10, 30, 0, 0); }, "mjd", "SECOND not valid");
}

TEST(timeMjdToCalendar, Anchors) {
  ExpectDate(mjd2ymdhms(mjd(51544, 43200)), 2000, 1, 1, 12, 0, 0);
  ExpectDate(mjd2ymdhms(mjd(15385, 0)), 1901, 1, 1, 0, 0, 0);
  ExpectDate(mjd2ymdhms(mjd(51603, 0)), 2000, 2, 29, 0, 0, 0);
  ExpectDate(mjd2ymdhms(mjd(51604, 0)), 2000, 3, 1, 0, 0, 0);
  ExpectDate(mjd2ymdhms(mjd(58552, 45296.5L)), 2019, 3, 10, 12, 34, 56.5L);
  ExpectDate(mjd2ymdhms(mjd(88433, 0)), 2100, 12, 31, 0, 0, 0);
  ExpectDate(mjd2ymdhms(mjd(88435, 0)), 2101, 1, 1, 0, 0, 0);
  // The true 2100-12-31 + 1 has no calendar date in the four-year count.
  ExpectFatal([] { mjd2ymdhms(mjd(88434, 0)); }, "ymdhms", "MONTH not valid");
}

TEST(timeMjdToCalendar, JustBeforeMidnightGivesHour24) {
  ExpectDate(mjd2ymdhms(mjd(58552, 86399.99999999995L)), 2019, 3, 10, 24, 0, 0);
  ExpectDate(mjd2ymdhms(mjd(58552, 86399.9999L)), 2019, 3, 10, 23, 59, 59.9999L);
}

TEST(timeMjdToCalendar, DaysOutsideTheCalendarEndTheRun) {
  ExpectFatal([] { mjd2ymdhms(mjd(15384, 0)); }, "ymdhms", "DAY not valid");
  ExpectFatal([] { mjd2ymdhms(mjd(15000, 0)); }, "ymdhms", "YEAR not valid");
  ExpectFatal([] { mjd2ymdhms(mjd(199999, 0)); }, "ymdhms", "YEAR not valid");
  // Day numbers far beyond the valid range (reachable by unchecked
  // arithmetic) must not wrap the year back into the calendar range.
  ExpectFatal(
      [] {
        mjd t(0, 0);
        t += 23952409L;  // 65536 years after 1901-01-01
        mjd2ymdhms(t);
      },
      "ymdhms", "YEAR not valid");
  ExpectFatal(
      [] {
        mjd t(0, 0);
        t -= 1L;  // wraps to the largest day number
        mjd2ymdhms(t);
      },
      "ymdhms", "YEAR not valid");
}

TEST(timeMjdToCalendar, EveryDayAgreesWithAnIndependentCalendar) {
  for (std::uint32_t d = 15385; d <= 88433; ++d) {
    const ymdhms t = mjd2ymdhms(mjd(d, 0));
    ASSERT_EQ(ReferenceMJD(t.GetYear(), t.GetMonth(), t.GetDay()), static_cast<long>(d))
        << "day " << d;
    ASSERT_EQ(ymdhms2mjd(t).GetMJDay(), d) << "day " << d;
  }
}

TEST(timeSecondSplit, HoursMinutesSeconds) {
  unsigned short h, m;
  long double s;
  Sec2HMS(45296.5L, h, m, s);
  EXPECT_EQ(h, 12);
  EXPECT_EQ(m, 34);
  EXPECT_NEAR(static_cast<double>(s), 56.5, 1e-9);

  Sec2HMS(3599.99999999999L, h, m, s);
  EXPECT_EQ(h, 1);
  EXPECT_EQ(m, 0);
  EXPECT_EQ(s, 0);

  Sec2HMS(59.99999999999L, h, m, s);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(m, 1);
  EXPECT_EQ(s, 0);

  Sec2HMS(86399.99999999995L, h, m, s);
  EXPECT_EQ(h, 24);
  EXPECT_EQ(m, 0);
  EXPECT_EQ(s, 0);

  // 1e-9 s below a minute is not carried.
  Sec2HMS(59.999999999L, h, m, s);
  EXPECT_EQ(m, 0);
  EXPECT_NEAR(static_cast<double>(s), 59.999999999, 1e-10);

  // No carry into days.
  Sec2HMS(214200, h, m, s);
  EXPECT_EQ(h, 59);
  EXPECT_EQ(m, 30);
  EXPECT_NEAR(static_cast<double>(s), 0, 1e-9);
}

TEST(timeLeapYears, GregorianRule) {
  EXPECT_EQ(LeapYear(1900), 0);
  EXPECT_EQ(LeapYear(2000), 1);
  EXPECT_EQ(LeapYear(2100), 0);
  EXPECT_EQ(LeapYear(2020), 1);
  EXPECT_EQ(LeapYear(2019), 0);
  EXPECT_EQ(LeapYear(0), 0);
  EXPECT_EQ(LeapYear(-4), 0);
}

TEST(timeLeapSeconds, ChangesAtEachAnnouncedDate) {
  // Dates of the changes with GPS - UTC from that day; each offset holds
  // until the day before the next change.
  struct Change {
    int y, m, d, offset;
  };
  const Change changes[] = {
      {1972, 1, 1, -9}, {1972, 7, 1, -8}, {1973, 1, 1, -7}, {1974, 1, 1, -6},
      {1975, 1, 1, -5}, {1976, 1, 1, -4}, {1977, 1, 1, -3}, {1978, 1, 1, -2},
      {1979, 1, 1, -1}, {1980, 1, 1, 0},  {1981, 7, 1, 1},  {1982, 7, 1, 2},
      {1983, 7, 1, 3},  {1985, 7, 1, 4},  {1988, 1, 1, 5},  {1990, 1, 1, 6},
      {1991, 1, 1, 7},  {1992, 7, 1, 8},  {1993, 7, 1, 9},  {1994, 7, 1, 10},
      {1996, 1, 1, 11}, {1997, 7, 1, 12}, {1999, 1, 1, 13}, {2006, 1, 1, 14},
      {2009, 1, 1, 15}, {2012, 7, 1, 16}, {2015, 7, 1, 17}, {2017, 1, 1, 18}};
  int before = -9;  // offset before the first change
  for (const Change& c : changes) {
    mjd day = Mjd(c.y, c.m, c.d);
    mjd eve(day.GetMJDay() - 1, 86399.999L);
    EXPECT_EQ(LeapSecond(eve), before) << c.y << "-" << c.m;
    EXPECT_EQ(LeapSecond(day), c.offset) << c.y << "-" << c.m;
    before = c.offset;
  }
}

TEST(timeLeapSeconds, EdgesOfTheTable) {
  EXPECT_EQ(LeapSecond(mjd(0, 0)), -9);
  EXPECT_EQ(LeapSecond(mjd(41316, 0)), -9);
  EXPECT_EQ(LeapSecond(mjd(41317, 0)), -9);
  EXPECT_EQ(LeapSecond(mjd(41499, 0)), -8);
  EXPECT_EQ(LeapSecond(mjd(57203, 0)), 16);
  EXPECT_EQ(LeapSecond(mjd(57204, 0)), 17);
  EXPECT_EQ(LeapSecond(mjd(57753, 86399.5L)), 17);
  EXPECT_EQ(LeapSecond(mjd(57754, 0)), 18);
  EXPECT_EQ(LeapSecond(mjd(199999, 0)), 18);
}

TEST(timeGPSWeekConversions, ToAndFromMjd) {
  const mjd origin = GPSws2mjd(GPSws(0, 0));
  EXPECT_EQ(origin.GetMJDay(), 44244u);
  EXPECT_EQ(origin.GetSecond(), 0);

  const mjd t = GPSws2mjd(GPSws(2044, 302400.5L));
  EXPECT_EQ(t.GetMJDay(), 58555u);
  EXPECT_EQ(t.GetSecond(), 43200.5L);

  const GPSws g = mjd2GPSws(mjd(58555, 43200.5L));
  EXPECT_EQ(g.GetWeek(), 2044);
  EXPECT_EQ(g.GetSecond(), 302400.5L);

  const GPSws sat = mjd2GPSws(mjd(58558, 86399));  // Saturday
  EXPECT_EQ(sat.GetWeek(), 2044);
  EXPECT_EQ(sat.GetSecond(), 6 * 86400.0L + 86399);
}

TEST(timeGPSWeekConversions, ToAndFromCalendar) {
  const GPSws g = ymdhms2GPSws(ymdhms(2019, 3, 10, 12, 0, 30));
  EXPECT_EQ(g.GetWeek(), 2044);
  EXPECT_NEAR(static_cast<double>(g.GetSecond()), 43230, 1e-6);

  const GPSws origin = ymdhms2GPSws(ymdhms(1980, 1, 6, 0, 0, 0));
  EXPECT_EQ(origin.GetWeek(), 0);
  EXPECT_EQ(origin.GetSecond(), 0);

  ExpectDate(GPSws2ymdhms(GPSws(2044, 43230)), 2019, 3, 10, 12, 0, 30);
  ExpectDate(GPSws2ymdhms(GPSws(2044, 302400.5L)), 2019, 3, 13, 12, 0, 0.5L);
  ExpectDate(GPSws2ymdhms(GPSws(0, 0)), 1980, 1, 6, 0, 0, 0);

  // Dates before the GPS time origin have no week.
  ExpectFatal([] { ymdhms2GPSws(ymdhms(1980, 1, 5, 0, 0, 0)); }, "GPSws", "WEEK not valid");
}

}  // namespace
