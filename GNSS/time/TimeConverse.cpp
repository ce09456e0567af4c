#include "GNSS/time/TimeConverse.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <iostream>
#include <locale>



namespace {
const long double kSecPerDay = 86400.0L;
// MJD 15384 is 1900-12-31, the day before the four-year cycles are counted.
const long kMJDBefore1901 = 15384;
const long kMJDJan1_1901 = 15385;
// GPS time origin 1980-01-06, as MJD and as days after 1901-01-01.
const long kMJDGPSOrigin = 44244;
const long kDaysJan1_1901ToGPSOrigin = 28859;
const long kDaysPerCycle = 1461;  // four years, one of them a leap year
// A second of day this close to 86400 is taken as the next midnight.
const long double kMidnightTol = 1e-10;
// Inverse of a mean month length, for the first guess of the month.
const double kMonthGuess = 0.032;

// GPS - UTC (s) and the MJD from which it holds, in ascending order of day.
struct LeapRow {
  long mjday;
  int offset;
};
const LeapRow kLeapSeconds[] = {
    {41317, -9}, {41499, -8}, {41683, -7}, {42048, -6}, {42413, -5}, {42778, -4},
    {43144, -3}, {43509, -2}, {43874, -1}, {44239, 0},  {44786, 1},  {45151, 2},
    {45516, 3},  {46247, 4},  {47161, 5},  {47892, 6},  {48257, 7},  {48804, 8},
    {49169, 9},  {49534, 10}, {50083, 11}, {50630, 12}, {51179, 13}, {53736, 14},
    {54832, 15}, {56109, 16}, {57204, 17}, {57754, 18}};

// Day count of a calendar date with 1901-01-01 as day 1, taking every
// fourth year from 1901 as a leap year.
long CycleDayCount(const ymdhms& datum) {
  const long y = datum.GetYear() - 1901;
  const long yday =
      timeutil::CumulativeDays[LeapYear(datum.GetYear())][datum.GetMonth() - 1] +
      datum.GetDay();
  return yday + (y / 4) * kDaysPerCycle + (y % 4) * 365;
}

// Calendar date of the day days_fr_jan1_1901 (0 for 1901-01-01) with time of
// day secday; validated.
ymdhms CalendarFromDays(long days_fr_jan1_1901, long double secday) {
  const long num_four_yrs = days_fr_jan1_1901 / kDaysPerCycle;
  const long years_so_far = 1901 + 4 * num_four_yrs;
  const long days_left = days_fr_jan1_1901 - kDaysPerCycle * num_four_yrs;
  // The second term keeps 31 December of a cycle's leap year in that year.
  const long delta_yrs = days_left / 365 - days_left / 1460;
  const long year = years_so_far + delta_yrs;
  const long yday = days_left - 365 * delta_yrs + 1;

  // Years that do not fit the field are refused here, before narrowing.
  if (year < 1901 || year > 2199) ymdhms::Error("YEAR not valid");

  unsigned short h, m;
  long double s;
  Sec2HMS(secday, h, m, s);

  // First guess of the month from the mean month length, then at most one
  // step on.  A day of year below 1 (only before 1901-01-01) is kept in
  // January and fails the day test.
  const unsigned short* cum = timeutil::CumulativeDays[LeapYear(year)];
  const long double scaled = yday * static_cast<long double>(kMonthGuess);
  const long guess = std::max(0L, static_cast<long>(scaled));
  const long more = yday > cum[guess + 1] ? 1 : 0;
  const long month = guess + more + 1;
  const long day = yday - cum[guess + more];

  ymdhms datum;
  datum.Set(static_cast<unsigned short>(year), static_cast<unsigned short>(month),
            static_cast<unsigned short>(day), h, m, s);
  return datum;
}
}  // namespace

int LeapSecond(const mjd& t) {
  const long d = t.GetMJDay();
  const LeapRow* first = std::begin(kLeapSeconds);
  const LeapRow* last = std::end(kLeapSeconds);
  if (d < first->mjday) return first->offset;
  // The row in force is the last one starting on or before the day.
  const LeapRow* next = std::upper_bound(
      first, last, d, [](long day, const LeapRow& r) { return day < r.mjday; });
  return (next - 1)->offset;
}

mjd ymdhms2mjd(const ymdhms& datum) {
  long daynum = CycleDayCount(datum) + kMJDBefore1901;
  long double secday = datum.GetSecond() + datum.GetMinute() * 60 + datum.GetHour() * 3600;
  if (std::fabs(secday - kSecPerDay) < kMidnightTol) {
    secday = 0;
    daynum += 1;
  }
  mjd t;
  t.Set(static_cast<std::uint32_t>(daynum), secday);
  return t;
}

ymdhms mjd2ymdhms(const mjd& t) {
  // The day number is read as signed so that days before 1901 count back.
  const std::int32_t days = static_cast<std::int32_t>(t.GetMJDay()) - kMJDJan1_1901;
  return CalendarFromDays(days, t.GetSecond());
}

mjd GPSws2mjd(const GPSws& gws) {
  const long double sow = gws.GetSecond();
  const long dow = static_cast<long>(sow / kSecPerDay);
  mjd t;
  t.Set(static_cast<std::uint32_t>(7L * gws.GetWeek() + dow + kMJDGPSOrigin),
        std::fmod(sow, kSecPerDay));
  return t;
}

GPSws mjd2GPSws(const mjd& t) {
  const long days = static_cast<long>(t.GetMJDay()) - kMJDGPSOrigin;
  const unsigned short week = static_cast<unsigned short>(days) / 7;
  GPSws gws;
  gws.Set(week, t.GetSecond() + kSecPerDay * (days - 7L * week));
  return gws;
}

GPSws ymdhms2GPSws(const ymdhms& datum) {
  const long days = CycleDayCount(datum) + kMJDBefore1901 - kMJDGPSOrigin;
  // Weeks counted down for days before the origin, so the week is refused.
  const long week = days >= 0 ? days / 7 : -((6 - days) / 7);
  // Time of day as a fraction of the day, in double precision.
  const double sec = static_cast<double>(datum.GetSecond());
  const double fday = ((sec / 60.0 + datum.GetMinute()) / 60.0 + datum.GetHour()) / 24.0;
  GPSws gws;
  gws.Set(static_cast<unsigned short>(week),
          static_cast<long double>(days - 7 * week) * kSecPerDay + fday * kSecPerDay);
  return gws;
}

ymdhms GPSws2ymdhms(const GPSws& gws) {
  const long dow = static_cast<long>(gws.GetSecond() / kSecPerDay);
  return CalendarFromDays(7L * gws.GetWeek() + dow + kDaysJan1_1901ToGPSOrigin,
                          gws.GetSecond() - kSecPerDay * dow);
}

MilliEpoch RoundToMillisecond(const mjd& t) {
  constexpr long long kMsPerDay = 86400000;
  MilliEpoch r{t.GetMJDay(), std::llround(t.GetSecond() * 1000)};
  if (r.ms >= kMsPerDay) {
    r.ms -= kMsPerDay;
    ++r.day;
  }
  return r;
}

std::string IsoText(const MilliEpoch& t) {
  const ymdhms date = mjd2ymdhms(mjd(t.day, 0));
  const long long s = t.ms / 1000;
  char text[96];
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02lld:%02lld:%02lld.%03lld",
                unsigned{date.GetYear()}, unsigned{date.GetMonth()}, unsigned{date.GetDay()},
                s / 3600, s / 60 % 60, s % 60, t.ms % 1000);
  return text;
}

std::string IsoText(const mjd& t) { return IsoText(RoundToMillisecond(t)); }
