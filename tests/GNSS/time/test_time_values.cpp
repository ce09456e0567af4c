// Time values: validation, arithmetic with its tolerances, ordering and the
// fatal reports of mjd, ymdhms and GPSws.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "GNSS/time/GPSws.h"
#include "GNSS/time/mjd.h"
#include "GNSS/time/ymdhms.h"
#include "tests/TestUtil.h"

namespace {

// The report a failed test of class cls writes before the program ends.
std::string Frame(const std::string& cls, const std::string& msg) {
  return "\n**** " + cls + ": Error -> " + msg + " ****\n     Exiting class " + cls +
         " ... \n";
}

// Runs fn in a child and expects it to end with status 1 and exactly the
// report of class cls with message msg on standard output.
void ExpectFatal(const std::function<void()>& fn, const std::string& cls,
                 const std::string& msg) {
  const orbtest::RunResult r = orbtest::RunCaptured(fn);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, Frame(cls, msg));
  EXPECT_EQ(r.err, "");
}

void ExpectEpoch(const mjd& t, std::uint32_t day, long double sec) {
  EXPECT_EQ(t.GetMJDay(), day);
  EXPECT_EQ(t.GetSecond(), sec);
}

// ---------------------------------------------------------------- mjd

TEST(timeMjdArithmetic, StepsAcrossDayBoundaries) {
  mjd t(1000, 86399.5L);
  t += 0.5L;
  ExpectEpoch(t, 1001, 0);

  t.Set(1000, 0);
  t += -0.5L;
  ExpectEpoch(t, 999, 86399.5L);

  t.Set(1000, 1234.25L);
  t += -86400.0L;
  ExpectEpoch(t, 999, 1234.25L);

  t.Set(1000, 1234.25L);
  t += 86400.0L * 3 + 10;
  ExpectEpoch(t, 1003, 1244.25L);

  t.Set(1000, 100);
  t += -(86400.0L * 2 + 200);
  ExpectEpoch(t, 997, 86300);
}

TEST(timeMjdArithmetic, MidnightToleranceIsOnePicosecond) {
  // Just under 1e-12 s short of midnight: carried to the next day.
  mjd t(1000, 86399.5L);
  t += 0.5L - 5e-13L;
  ExpectEpoch(t, 1001, 0);

  // 1e-11 s short: stays on the same day.
  t.Set(1000, 86399.5L);
  t += 0.5L - 1e-11L;
  EXPECT_EQ(t.GetMJDay(), 1000u);
  EXPECT_NEAR(static_cast<double>(t.GetSecond()), 86400 - 1e-11, 1e-14);
}

TEST(timeMjdArithmetic, EqualStepsReachMidnightExactly) {
  // A seventh of a day is not exact in binary; seven steps must still land
  // on 0 s of the next day, and so must 86400 one-second steps.
  mjd t(58000, 0);
  for (int i = 0; i < 7; ++i) t += 86400.0L / 7;
  ExpectEpoch(t, 58001, 0);

  mjd u(58000, 0);
  for (int i = 0; i < 86400 * 2; ++i) u += 1.0L;
  ExpectEpoch(u, 58002, 0);
}

TEST(timeMjdArithmetic, LongStepsKeepWholeDays) {
  // Steps longer than 2^32 s are still split into whole days exactly.
  mjd t(10000, 3600);
  t += 60000.0L * 86400 + 1.5L;
  ExpectEpoch(t, 70000, 3601.5L);
  t += -(60000.0L * 86400 + 1.5L);
  ExpectEpoch(t, 10000, 3600);
}

TEST(timeMjdArithmetic, DoubleStepsAndWholeDays) {
  mjd t(100, 10);
  t += 20.5;  // a double step
  ExpectEpoch(t, 100, 30.5L);
  t += 3L;  // whole days
  ExpectEpoch(t, 103, 30.5L);
  t -= 5L;
  ExpectEpoch(t, 98, 30.5L);
}

TEST(timeMjdArithmetic, DifferenceInSeconds) {
  EXPECT_EQ(mjd(5, 0) - mjd(6, 43200), -129600.0L);
  EXPECT_EQ(mjd(6, 43200) - mjd(5, 0), 129600.0L);
  EXPECT_EQ(mjd(7, 0.25L) - mjd(7, 0.75L), -0.5L);
  // The full valid range is exact in extended precision.
  EXPECT_EQ(mjd(199999, 0.5L) - mjd(0, 0), 199999.0L * 86400 + 0.5L);
  EXPECT_EQ(mjd(0, 0) - mjd(199999, 0.5L), -(199999.0L * 86400 + 0.5L));
}

TEST(timeMjdArithmetic, FractionalDate) {
  EXPECT_EQ(mjd(58552, 43200).GetMJDDec(), 58552.5L);
  mjd t;
  t = 58552.25L;
  ExpectEpoch(t, 58552, 21600);
}

TEST(timeMjdOrdering, TolerancesDifferByOperator) {
  const mjd a(5, 10.000000000000005L), b(5, 10);
  EXPECT_TRUE(a == b);
  EXPECT_TRUE(a > b);
  EXPECT_TRUE(a >= b);
  EXPECT_TRUE(a <= b);
  EXPECT_FALSE(a < b);
  EXPECT_TRUE(b < a);

  const mjd c(5, 10.00000000000005L);
  EXPECT_FALSE(c <= b);
  EXPECT_TRUE(c == b);
  EXPECT_FALSE(b >= c);
  EXPECT_TRUE(c >= b);
}

TEST(timeMjdOrdering, DaysBeforeSeconds) {
  const mjd a(6, 0), b(5, 86399.9L);
  EXPECT_TRUE(a > b);
  EXPECT_TRUE(b < a);
  EXPECT_TRUE(a >= b);
  EXPECT_FALSE(a <= b);
  EXPECT_FALSE(a == b);

  // Two forms of one instant are not normalised: the day decides.
  mjd late(5, 0);
  late.SetSecond(86400);
  EXPECT_TRUE(a > late);
  EXPECT_FALSE(a == late);
}

TEST(timeMjdOrdering, SameObjectRules) {
  mjd a(5, 10);
  a.SetSecond(std::numeric_limits<long double>::quiet_NaN());
  mjd b(5, 10);
  b.SetSecond(std::numeric_limits<long double>::quiet_NaN());
  // One object is equal to itself whatever it holds; two NaN seconds are not.
  EXPECT_TRUE(a == a);
  EXPECT_TRUE(a <= a);
  EXPECT_TRUE(a >= a);
  EXPECT_FALSE(a < a);
  EXPECT_FALSE(a > a);
  EXPECT_FALSE(a == b);
  EXPECT_FALSE(a <= b);
  EXPECT_FALSE(a >= b);
}

TEST(timeMjdValidation, RangeOfDayAndSecond) {
  ExpectEpoch(mjd(199999, 86399.999L), 199999, 86399.999L);
  ExpectFatal(
      [] {
        mjd t;
        t.Set(200000, 0);
      },
      "mjd", "MJDAY not valid");
  ExpectFatal([] { mjd t(5, 86400); }, "mjd", "SECOND not valid");
  ExpectFatal(
      [] {
        mjd t;
        t.Set(5, -1e-9L);
      },
      "mjd", "SECOND not valid");
  // The day is tested before the second.
  ExpectFatal(
      [] {
        mjd t;
        t.Set(200000, -1);
      },
      "mjd", "MJDAY not valid");
  ExpectFatal(
      [] {
        mjd t;
        t.SetMJDay(250000);
      },
      "mjd", "MJDAY not valid");
  ExpectFatal(
      [] {
        mjd t;
        t = -0.25L;
      },
      "mjd", "MJDAY not valid");
  ExpectFatal(
      [] {
        mjd t;
        t = 200000.5L;
      },
      "mjd", "MJDAY not valid");
}

TEST(timeMjdValidation, CopiesValidateButSelfAssignmentDoesNot) {
  mjd bad(5, 10);
  bad.SetSecond(90000);  // no validation
  mjd& same = bad;
  bad = same;  // assignment to itself: no copy, no test
  ExpectEpoch(bad, 5, 90000);

  ExpectFatal(
      [] {
        mjd src(5, 10);
        src.SetSecond(-3);
        mjd copy(src);
      },
      "mjd", "SECOND not valid");
  ExpectFatal(
      [] {
        mjd src(5, 10);
        src.SetSecond(86400);
        mjd dst;
        dst = src;
      },
      "mjd", "SECOND not valid");
}

// ---------------------------------------------------------------- ymdhms

TEST(timeYmdhmsValidation, CalendarBounds) {
  const ymdhms leap(2000, 2, 29, 0, 0, 0);
  EXPECT_EQ(leap.GetDay(), 29);
  const ymdhms late(2199, 12, 31, 23, 59, 59.999L);
  EXPECT_EQ(late.GetYear(), 2199);

  ExpectFatal([] { ymdhms t(1900, 2, 29, 0, 0, 0); }, "ymdhms", "YEAR not valid");
  ExpectFatal([] { ymdhms t(2200, 1, 1, 0, 0, 0); }, "ymdhms", "YEAR not valid");
  ExpectFatal([] { ymdhms t(2100, 2, 29, 0, 0, 0); }, "ymdhms", "DAY not valid");
  ExpectFatal([] { ymdhms t(2019, 4, 31, 0, 0, 0); }, "ymdhms", "DAY not valid");
  ExpectFatal([] { ymdhms t(2019, 1, 0, 0, 0, 0); }, "ymdhms", "DAY not valid");
  ExpectFatal([] { ymdhms t(2019, 0, 1, 0, 0, 0); }, "ymdhms", "MONTH not valid");
  ExpectFatal([] { ymdhms t(2019, 13, 1, 0, 0, 0); }, "ymdhms", "MONTH not valid");
}

TEST(timeYmdhmsValidation, TimeOfDayBounds) {
  // Hours are bounded like minutes: 24 (and up to 59) passes.
  const ymdhms t(2019, 3, 10, 24, 0, 0);
  EXPECT_EQ(t.GetHour(), 24);
  const ymdhms u(2019, 3, 10, 59, 59, 59.999999L);
  EXPECT_EQ(u.GetHour(), 59);

  ExpectFatal([] { ymdhms t(2019, 3, 10, 60, 0, 0); }, "ymdhms", "HOUR not valid");
  ExpectFatal([] { ymdhms t(2019, 3, 10, 0, 60, 0); }, "ymdhms", "MINUTE not valid");
  ExpectFatal([] { ymdhms t(2019, 3, 10, 0, 0, 60.0L); }, "ymdhms", "SECOND not valid");
  ExpectFatal([] { ymdhms t(2019, 3, 10, 0, 0, -0.1L); }, "ymdhms", "SECOND not valid");
}

TEST(timeYmdhmsValidation, FieldsAreTestedInOrder) {
  ExpectFatal(
      [] {
        ymdhms t;
        t.Set(1900, 13, 40, 75, 75, 75);
      },
      "ymdhms", "YEAR not valid");
  ExpectFatal(
      [] {
        ymdhms t;
        t.Set(2019, 13, 40, 75, 75, 75);
      },
      "ymdhms", "MONTH not valid");
  ExpectFatal(
      [] {
        ymdhms t;
        t.Set(2019, 2, 29, 75, 75, 75);
      },
      "ymdhms", "DAY not valid");
  ExpectFatal(
      [] {
        ymdhms t;
        t.Set(2019, 3, 10, 75, 75, 75);
      },
      "ymdhms", "HOUR not valid");
}

TEST(timeYmdhmsValidation, FieldSettersTestOnlyTheirField) {
  // Filled field by field as the command line does: the day is tested
  // against the year and month already stored.
  ymdhms t;
  t.SetYear(2020);
  t.SetMonth(2);
  t.SetDay(29);
  t.SetHour(24);
  t.SetMinute(0);
  t.SetSecond(0);
  EXPECT_EQ(t.GetDay(), 29);
  EXPECT_EQ(t.GetHour(), 24);

  ExpectFatal(
      [] {
        ymdhms t;
        t.SetYear(2019);
        t.SetMonth(2);
        t.SetDay(29);
      },
      "ymdhms", "DAY not valid");
  ExpectFatal(
      [] {
        ymdhms t;
        t.SetHour(75);
      },
      "ymdhms", "HOUR not valid");
  ExpectFatal(
      [] {
        ymdhms t;
        t.SetMinute(60);
      },
      "ymdhms", "MINUTE not valid");
  ExpectFatal(
      [] {
        ymdhms t;
        t.SetMonth(0);
      },
      "ymdhms", "MONTH not valid");
  ExpectFatal(
      [] {
        ymdhms t;
        t.SetYear(1900);
      },
      "ymdhms", "YEAR not valid");
  ExpectFatal(
      [] {
        ymdhms t;
        t.SetHMS(12, 30, 60);
      },
      "ymdhms", "SECOND not valid");
}

TEST(timeYmdhmsValidation, ErrorGoesToStandardOutputOnly) {
  // An hour of 75 in a date ends the run with the ymdhms report.
  const orbtest::RunResult r = orbtest::RunCaptured([] {
    ymdhms t;
    t.SetYear(2019);
    t.SetHour(75);
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(
      r.out,
      "\n**** ymdhms: Error -> HOUR not valid ****\n     Exiting class ymdhms ... \n");
  EXPECT_EQ(r.err, "");
}

TEST(timeYmdhmsCalendar, LeapYearRule) {
  EXPECT_FALSE(ymdhms::LeapYear(1900));
  EXPECT_TRUE(ymdhms::LeapYear(2000));
  EXPECT_FALSE(ymdhms::LeapYear(2100));
  EXPECT_TRUE(ymdhms::LeapYear(2020));
  EXPECT_FALSE(ymdhms::LeapYear(2019));
  EXPECT_FALSE(ymdhms::LeapYear(0));
}

TEST(timeYmdhmsCalendar, DayOfYear) {
  EXPECT_EQ(ymdhms(2019, 1, 1, 0, 0, 0).GetDayOfYear(), 1);
  EXPECT_EQ(ymdhms(2019, 3, 10, 0, 0, 0).GetDayOfYear(), 69);
  EXPECT_EQ(ymdhms(2020, 3, 10, 0, 0, 0).GetDayOfYear(), 70);
  EXPECT_EQ(ymdhms(2019, 12, 31, 0, 0, 0).GetDayOfYear(), 365);
  EXPECT_EQ(ymdhms(2020, 12, 31, 0, 0, 0).GetDayOfYear(), 366);

  ymdhms t(2019, 5, 5, 5, 5, 5);
  t.SetDayOfYear(2020, 60);
  EXPECT_EQ(t.GetMonth(), 2);
  EXPECT_EQ(t.GetDay(), 29);
  EXPECT_EQ(t.GetHour(), 0);
  EXPECT_EQ(t.GetSecond(), 0);
  t.SetDayOfYear(2019, 60);
  EXPECT_EQ(t.GetMonth(), 3);
  EXPECT_EQ(t.GetDay(), 1);
  t.SetDayOfYear(2019, 365);
  EXPECT_EQ(t.GetMonth(), 12);
  EXPECT_EQ(t.GetDay(), 31);

  ExpectFatal(
      [] {
        ymdhms t;
        t.SetDayOfYear(2019, 366);
      },
      "ymdhms", "DAY not valid");
  ExpectFatal(
      [] {
        ymdhms t;
        t.SetDayOfYear(2019, 0);
      },
      "ymdhms", "MONTH not valid");
}

TEST(timeYmdhmsCalendar, DaySecondAndDecimalYear) {
  ymdhms t(2019, 3, 10, 0, 0, 0);
  t.SetDaySecond(45296.5L);
  EXPECT_EQ(t.GetHour(), 12);
  EXPECT_EQ(t.GetMinute(), 34);
  EXPECT_NEAR(static_cast<double>(t.GetSecond()), 56.5, 1e-9);
  EXPECT_NEAR(static_cast<double>(t.GetDaySecond()), 45296.5, 1e-9);

  const ymdhms mid(2020, 7, 2, 12, 0, 0);
  const long double ydec = mid.GetYearDec();
  EXPECT_NEAR(static_cast<double>(ydec), 2020 + 183.5 / 366, 1e-12);
  ymdhms back;
  back.SetYDec(ydec);
  EXPECT_EQ(back.GetYear(), 2020);
  EXPECT_EQ(back.GetDayOfYear(), 184);
  EXPECT_NEAR(static_cast<double>(back.GetDaySecond()), 43200, 1e-6);

  ExpectFatal(
      [] {
        ymdhms t;
        t.SetYDec(1899.5L);
      },
      "ymdhms", "YEAR not valid");
}

// ---------------------------------------------------------------- GPSws

TEST(timeGPSwsValue, ValidationAndParts) {
  const GPSws g(2044, 302400.5L);
  EXPECT_EQ(g.GetWeek(), 2044);
  EXPECT_EQ(g.GetWeekDay(), 3);
  EXPECT_EQ(g.GetDaySecond(), 43200.5L);
  unsigned short h, m;
  long double s;
  g.Sec2HMS(h, m, s);
  EXPECT_EQ(h, 12);
  EXPECT_EQ(m, 0);
  EXPECT_NEAR(static_cast<double>(s), 0.5, 1e-9);

  const GPSws last(11999, 604799.9L);
  EXPECT_EQ(last.GetWeekDay(), 6);
  ExpectFatal([] { GPSws g(12000, 0); }, "GPSws", "WEEK not valid");
  ExpectFatal([] { GPSws g(10, 604800); }, "GPSws", "SECOND not valid");
  ExpectFatal(
      [] {
        GPSws g;
        g.Set(10, -1);
      },
      "GPSws", "SECOND not valid");
}

TEST(timeGPSwsValue, StepsCarryWholeWeeks) {
  GPSws g(100, 10);
  g += -20.0L;
  EXPECT_EQ(g.GetWeek(), 99);
  EXPECT_EQ(g.GetSecond(), 604790);

  g += 604800.0L * 2 + 15;  // Saturday night plus two weeks and 15 s
  EXPECT_EQ(g.GetWeek(), 102);
  EXPECT_EQ(g.GetSecond(), 5);

  g += -(604800.0L * 3);
  EXPECT_EQ(g.GetWeek(), 99);
  EXPECT_EQ(g.GetSecond(), 5);

  g += static_cast<unsigned short>(4);
  EXPECT_EQ(g.GetWeek(), 103);
  EXPECT_EQ(g.GetSecond(), 5);
}

}  // namespace
