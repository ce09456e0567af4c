// ymdhms: an epoch as a calendar date and time of day.
//
// Fields: year (full year, e.g. 2019), month 1-12, day of month, hour,
// minute (unsigned 16-bit each) and second with fraction (long double).
// The time scale is that of the data (GPS time inside the ephemeris stores,
// UTC in GLONASS navigation files).  Conversion to and from mjd is done by
// ymdhms2mjd and mjd2ymdhms (TimeConverse.h).
//
// Valid values: 1901 <= year <= 2199 (the range of the calendar conversion),
// month 1-12, day within the month of the Gregorian calendar, hour <= 59
// (the same bound as minutes, so an hour of 24 produced by rounding a second
// of day just below midnight is accepted), minute <= 59 and 0 <= second < 60
// (no leap-second notation).  Construction from values, copying, assignment,
// Set and stream input validate the whole value; each single-field setter
// tests its own field.  A failed test ends the program with exit status 1
// and a report on standard output.
#pragma once

#include <istream>
#include <ostream>

#include "GNSS/time/TimeText.h"

// Print settings of ymdhms output; assign before writing.
namespace ymdhmsns {
// Decimals of the seconds (default 1).
extern unsigned short NDecSecond;
// Layout within family 2 (default 0: " yyyy-mm-dd hh:mm:ss.s"); 1 year, day of
// year and hh:mm:ss, 2 year, day of year and second of day, 3 date only,
// 4 decimal year, 5 year and day of year.
extern unsigned short PrintFormat;
// Layout family (default 2): 0, 1 and 3 blank-separated fields of different
// widths, 4 yy:doy:sssss, 2 selected by PrintFormat.
extern unsigned short PrintType;
}  // namespace ymdhmsns

class ymdhms {
 public:
  // 1980-01-01 00:00:00 (not validated).
  ymdhms();
  // Validated.
  ymdhms(unsigned short y, unsigned short m, unsigned short d, unsigned short h,
         unsigned short mn, long double s);
  // Copy; the copied value is validated.
  ymdhms(const ymdhms& t);
  // Copy assignment; validates.  Assigning an object to itself does nothing.
  ymdhms& operator=(const ymdhms& t);

  // Sets all six fields, then validates.
  void Set(unsigned short y, unsigned short m, unsigned short d, unsigned short h,
           unsigned short mn, long double s);

  // Single-field setters: each stores its field and runs only its own test
  // (SetDay tests against the month and year already stored).
  void SetYear(unsigned short y);
  void SetMonth(unsigned short m);
  void SetDay(unsigned short d);
  void SetHour(unsigned short h);
  void SetMinute(unsigned short mn);
  void SetSecond(long double s);
  // SetHour, SetMinute and SetSecond in turn.
  void SetHMS(unsigned short h, unsigned short mn, long double s);
  // Sets hour, minute and second from a second of day (split as by Sec2HMS).
  void SetDaySecond(long double s);
  // Sets year y and day of year doy (1 for 1 January), time of day 0 h.
  void SetDayOfYear(unsigned short y, unsigned short doy);
  // Sets the epoch from a decimal year (the fraction scaled by the length of
  // that year).
  void SetYDec(long double ydec);

  unsigned short GetYear() const { return year; }
  unsigned short GetMonth() const { return month; }
  unsigned short GetDay() const { return day; }
  unsigned short GetHour() const { return hour; }
  unsigned short GetMinute() const { return minute; }
  long double GetSecond() const { return second; }
  // hour * 3600 + minute * 60 + second.
  long double GetDaySecond() const;
  // Day of year, 1 for 1 January.
  unsigned short GetDayOfYear() const;
  // Decimal year: year + (day of year - 1 + second of day / 86400) / length
  // of the year in days.
  long double GetYearDec() const;

  // Field tests in the order year, month, day, hour, minute, second; the
  // first failure ends the program.
  void TestDatum() const;
  void TestYear() const;    // 1901..2199, else "YEAR not valid"
  void TestMonth() const;   // 1..12, else "MONTH not valid"
  void TestDay() const;     // within the month, else "DAY not valid"
  void TestHour() const;    // <= 59, else "HOUR not valid"
  void TestMinute() const;  // <= 59, else "MINUTE not valid"
  void TestSecond() const;  // [0, 60), else "SECOND not valid"

  // Gregorian leap year: y != 0, divisible by 4, and not divisible by 100
  // unless divisible by 400.
  static bool LeapYear(unsigned short y);
  // Splits a count of seconds into hours, minutes and seconds.
  static void Sec2HMS(long double second, unsigned short& h, unsigned short& m,
                      long double& s);

  // Writes the error report of this class to standard output and ends the
  // program with exit status 1.
  [[noreturn]] static void Error(const char* msg);

  friend std::istream& operator>>(std::istream& is, ymdhms& t);

 private:
  unsigned short year;
  unsigned short month;
  unsigned short day;
  unsigned short hour;
  unsigned short minute;
  long double second;
};

// Writes t in the layout selected by ymdhmsns (default: year in a field of
// 5, then -mm-dd hh:mm:ss with NDecSecond decimals of the seconds).  Leaves
// the stream in fixed notation with the precision of the seconds and the
// fill character set to a blank.
std::ostream& operator<<(std::ostream& os, const ymdhms& t);
// The default layout (PrintType 2, PrintFormat 0) built in memory, as
// operator<< writes it on a plain stream (timeutil::PlainStream) whose fill
// character is fill: returns its length, or -1 for any other layout or a
// text the fast formatter does not render.  buf holds at least
// kTimeTextMax (TimeText.h) characters.
int FormatText(char* buf, const ymdhms& t, char fill);

// Reads year, month, day, hour, minute and second as six numbers.  A year
// of 80-99 means 1980-1999 and a year of 0-79 means 2000-2079, so two-digit
// years of RINEX epochs are accepted as well as full years.  Validates.
std::istream& operator>>(std::istream& is, ymdhms& t);
