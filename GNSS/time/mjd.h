// mjd: an epoch as a Modified Julian Date.
//
// The epoch is held as the whole MJD day number `mjday` (unsigned 32-bit)
// and the seconds `second` elapsed since 0 h of that day (long double,
// 80-bit extended precision, so a day's seconds keep about 1e-15 s
// resolution).  The time scale is whatever the data is in; the ephemeris
// stores keep GPS time.  MJD = JD - 2400000.5, so MJD 44244 is the GPS time
// origin 1980-01-06 0 h.
//
// Valid values: mjday < 200000 and 0 <= second < 86400.  Construction from
// values, copying, assignment, Set and stream input validate the whole value
// and end the program (exit status 1, report on standard output) when it is
// invalid; SetSecond and the arithmetic operators do not validate.
//
// Moving an epoch (operator+=) keeps the second in [0, 86400); a result
// within 1e-12 s below midnight is carried to 0 s of the next day.  The
// comparisons use small tolerances on the seconds (1e-13 s for ==, 1e-14 s
// for <= and >=, none for < and >) and compare an object with itself as
// equal.  Differences are exact in long double for any two valid epochs.
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>

// Print settings of mjd output; assign before writing.
namespace mjdns {
// Decimals of the seconds (default 1).
extern unsigned short NDecSecond;
// Layout: 0 day and second of day (default), 1 fractional MJD, 2 day and
// hh:mm:ss, 3 day only, 4 day and fraction of day; any other value prints
// nothing.
extern unsigned short PrintFormat;
}  // namespace mjdns

class mjd {
 public:
  // Day 0, second 0 (not validated).
  mjd();
  // Day d, second s of that day; validated.
  mjd(std::uint32_t d, long double s);
  // Copy; the copied value is validated.
  mjd(const mjd& t);

  // Copy assignment; validates.  Assigning an object to itself does nothing.
  mjd& operator=(const mjd& t);
  // Sets the epoch from a fractional MJD (day plus fraction of day);
  // validates.
  mjd& operator=(long double mdec);

  // Sets day and second; validates.
  void Set(std::uint32_t d, long double s);
  // Sets the day and tests it.
  void SetMJDay(std::uint32_t d);
  // Sets the second of day without validation.
  void SetSecond(long double s) { second = s; }

  std::uint32_t GetMJDay() const { return mjday; }
  long double GetSecond() const { return second; }
  // The epoch as a fractional MJD, mjday + second / 86400.
  long double GetMJDDec() const;

  // Splits the second of day into hours, minutes and seconds (a second
  // within 1e-10 s below a full minute is carried into the minute).
  void Sec2HMS(unsigned short& h, unsigned short& m, long double& s) const;

  // Moves the epoch by dsec seconds (either sign); not validated.  The day
  // number wraps modulo 2^32; a step that is not finite leaves the second
  // not a number.
  mjd& operator+=(long double dsec);
  // Same, for a step held in double precision.
  mjd& operator+=(double dsec) { return *this += static_cast<long double>(dsec); }
  // Adds or subtracts whole days; not validated.
  mjd& operator+=(long dday);
  mjd& operator-=(long dday);

  bool operator==(const mjd& b) const;
  // Order; <= and >= take seconds of day within kOrderTol as equal.  Inline:
  // the epoch loops ask them at every epoch.
  bool operator<(const mjd& b) const {
    if (this == &b) return false;
    return mjday < b.mjday || (mjday == b.mjday && second < b.second);
  }
  bool operator>(const mjd& b) const {
    if (this == &b) return false;
    return mjday > b.mjday || (mjday == b.mjday && second > b.second);
  }
  bool operator<=(const mjd& b) const {
    if (this == &b) return true;
    return mjday < b.mjday || (mjday == b.mjday && second - b.second < kOrderTol);
  }
  bool operator>=(const mjd& b) const {
    if (this == &b) return true;
    return mjday > b.mjday || (mjday == b.mjday && second - b.second > -kOrderTol);
  }
  static constexpr long double kOrderTol = 1e-14;  // s

  // Day and second tests in that order; the first failure ends the program.
  void TestDatum() const;
  // mjday < 200000, else "MJDAY not valid".
  void TestMJDay() const;
  // 0 <= second < 86400, else "SECOND not valid".
  void TestSecond() const;

  // Writes the error report of this class to standard output and ends the
  // program with exit status 1.
  [[noreturn]] static void Error(const char* msg);

  friend long double operator-(const mjd& d1, const mjd& d2);
  friend std::ostream& operator<<(std::ostream& os, const mjd& t);
  friend int FormatText(char* buf, const mjd& t, char fill);
  friend std::istream& operator>>(std::istream& is, mjd& t);

 private:
  std::uint32_t mjday;  // whole MJD day
  long double second;   // seconds since 0 h of mjday
};

// d1 - d2 in seconds; positive when d1 is later.  Inline: the interpolation
// of precise orbits takes fifteen differences per call.
inline long double operator-(const mjd& d1, const mjd& d2) {
  // The day difference is taken larger minus smaller so it cannot wrap; it
  // is exact in double, as is its product with 86400.
  if (d1.mjday >= d2.mjday)
    return static_cast<double>(d1.mjday - d2.mjday) * 86400.0 + (d1.second - d2.second);
  return (d1.second - d2.second) - static_cast<double>(d2.mjday - d1.mjday) * 86400.0;
}

// Writes t in the layout selected by mjdns (layout 0: day in a field of 6,
// second of day with NDecSecond decimals in a field of NDecSecond + 7).
// Leaves the stream in fixed notation with the precision of the seconds.
std::ostream& operator<<(std::ostream& os, const mjd& t);
// Layout 0 built in memory, as operator<< writes it on a plain stream
// (timeutil::PlainStream) whose fill character is fill: returns its length,
// or -1 for any other layout or a text the fast formatter does not render.
// buf holds at least kTimeTextMax (TimeText.h) characters.
int FormatText(char* buf, const mjd& t, char fill);

// Reads day and second of day as two numbers, then validates.
std::istream& operator>>(std::istream& is, mjd& t);
