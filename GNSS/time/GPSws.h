// GPSws: an epoch as GPS week and seconds of week.
//
// week counts whole weeks since the GPS time origin 1980-01-06 0 h (MJD
// 44244), without the 1024-week roll-over of the broadcast week number;
// second is the time since the start of the week (Sunday 0 h), in GPS time,
// long double.  Valid values: week < 12000 and 0 <= second < 604800.
// Construction from values, copying, assignment, Set and stream input
// validate; the arithmetic operators do not.  Conversions to and from mjd
// and ymdhms are in TimeConverse.h.
#pragma once

#include <istream>
#include <ostream>

// Print settings of GPSws output; assign before writing.
namespace gpswsns {
// Decimals of the seconds (default 1).
extern unsigned short NDecSecond;
// Layout: 0 week and second of week (default), 1 week, day of week and
// second of day, 2 week, day of week and hh:mm:ss, 3 " wwww" and day of week,
// 4 week and second of week with 8 decimals.
extern unsigned short PrintFormat;
}  // namespace gpswsns

class GPSws {
 public:
  // Week 0, second 0.
  GPSws();
  // Validated.
  GPSws(unsigned short w, long double s);
  // Copy; the copied value is validated.
  GPSws(const GPSws& t);
  // Copy assignment; validates.  Assigning an object to itself does nothing.
  GPSws& operator=(const GPSws& t);

  // Sets week and second of week; validates.
  void Set(unsigned short w, long double s);

  unsigned short GetWeek() const { return week; }
  long double GetSecond() const { return second; }
  // Day of week, 0 for Sunday.
  unsigned short GetWeekDay() const;
  // Seconds since 0 h of the day of week.
  long double GetDaySecond() const;
  // Splits the second of day into hours, minutes and seconds.
  void Sec2HMS(unsigned short& h, unsigned short& m, long double& s) const;

  // Moves the epoch by dsec seconds (either sign); whole weeks are carried
  // into the week number so the second stays within the week.
  GPSws& operator+=(long double dsec);
  GPSws& operator+=(double dsec) { return *this += static_cast<long double>(dsec); }
  // Adds whole weeks.
  GPSws& operator+=(unsigned short dweek);

  // Week and second tests in that order; the first failure ends the program.
  void TestDatum() const;
  void TestWeek() const;    // < 12000, else "WEEK not valid"
  void TestSecond() const;  // [0, 604800), else "SECOND not valid"

  // Writes the error report of this class to standard output and ends the
  // program with exit status 1.
  [[noreturn]] static void Error(const char* msg);

  friend std::istream& operator>>(std::istream& is, GPSws& t);

 private:
  unsigned short week;  // weeks since 1980-01-06
  long double second;   // seconds of week
};

// Writes t in the layout selected by gpswsns.
std::ostream& operator<<(std::ostream& os, const GPSws& t);

// Reads week and second of week as two numbers, then validates.
std::istream& operator>>(std::istream& is, GPSws& t);
