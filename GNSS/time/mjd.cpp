#include "GNSS/time/mjd.h"

#include <cmath>
#include <iomanip>
#include <limits>

#include "GNSS/time/TimeText.h"
#include "PROGINC/text/FixedFormat.h"

namespace mjdns {
unsigned short NDecSecond = 1;
unsigned short PrintFormat = 0;
}  // namespace mjdns

namespace {
const long double kSecPerDay = 86400.0L;
// Days beyond this are not valid MJDs for the program.
const std::uint32_t kMJDayLimit = 200000;
// A moved epoch closer than this below midnight is carried to the next day.
const long double kMidnightTol = 1e-12;
// Steps of this many seconds (2^62 days) or more are counted modulo 2^32
// days: their day count does not fit the integer it is formed in.
const long double kWrapSeconds = 86400.0L * 4611686018427387904.0L;
// Tolerance of the equality of the second of day.
const long double kEqualTol = 1e-13;
}  // namespace

mjd::mjd() : mjday(0), second(0) {}

mjd::mjd(std::uint32_t d, long double s) : mjday(d), second(s) { TestDatum(); }

mjd::mjd(const mjd& t) : mjday(t.mjday), second(t.second) { TestDatum(); }

mjd& mjd::operator=(const mjd& t) {
  if (this == &t) return *this;
  mjday = t.mjday;
  second = t.second;
  TestDatum();
  return *this;
}

mjd& mjd::operator=(long double mdec) {
  // Checked here so that a negative, huge or NaN date never reaches the
  // integer conversion below.
  if (!(mdec >= 0 && mdec < kMJDayLimit)) Error("MJDAY not valid");
  const long double whole = std::floor(mdec);
  mjday = static_cast<std::uint32_t>(whole);
  second = (mdec - whole) * kSecPerDay;
  TestDatum();
  return *this;
}

void mjd::Set(std::uint32_t d, long double s) {
  mjday = d;
  second = s;
  TestDatum();
}

void mjd::SetMJDay(std::uint32_t d) {
  mjday = d;
  TestMJDay();
}

long double mjd::GetMJDDec() const { return mjday + second / kSecPerDay; }

void mjd::Sec2HMS(unsigned short& h, unsigned short& m, long double& s) const {
  ::Sec2HMS(second, h, m, s);
}

mjd& mjd::operator+=(long double dsec) {
  const bool back = dsec < 0;
  const long double a = std::fabs(dsec);
  // Whole days of the step and the seconds left over (steps shorter than a
  // day, the usual case, have none).
  std::uint64_t dday = 0;
  long double rest = a;
  if (!std::isfinite(a)) {
    // No time lies an infinite step away.
    second = std::numeric_limits<long double>::quiet_NaN();
    return *this;
  }
  if (a >= kWrapSeconds) {
    // Too many days to count: only the day number modulo 2^32 matters.
    dday = static_cast<std::uint64_t>(std::fmod(std::floor(a / kSecPerDay), 4294967296.0L));
    rest = std::fmod(a, kSecPerDay);
  } else if (a >= kSecPerDay) {
    dday = static_cast<std::uint64_t>(a / kSecPerDay);
    rest = a - static_cast<long double>(dday * 86400u);
  }
  // The day number wraps modulo 2^32 like the field itself.
  if (back) {
    mjday -= static_cast<std::uint32_t>(dday);
    second -= rest;
  } else {
    mjday += static_cast<std::uint32_t>(dday);
    second += rest;
  }
  if (second < 0) {
    mjday -= 1;
    second += kSecPerDay;
  }
  if (second > kSecPerDay) {
    mjday += 1;
    second -= kSecPerDay;
  }
  // Steps that should end at midnight but fall just short land on the next
  // day's 0 s rather than on 86399.999...
  if (std::fabs(second - kSecPerDay) < kMidnightTol) {
    mjday += 1;
    second = 0;
  }
  return *this;
}

mjd& mjd::operator+=(long dday) {
  mjday += static_cast<std::uint32_t>(dday);
  return *this;
}

mjd& mjd::operator-=(long dday) {
  mjday -= static_cast<std::uint32_t>(dday);
  return *this;
}

bool mjd::operator==(const mjd& b) const {
  if (this == &b) return true;
  return mjday == b.mjday && std::fabs(second - b.second) < kEqualTol;
}

void mjd::TestDatum() const {
  TestMJDay();
  TestSecond();
}

void mjd::TestMJDay() const {
  if (mjday >= kMJDayLimit) Error("MJDAY not valid");
}

void mjd::TestSecond() const {
  if (!(second >= 0 && second < kSecPerDay)) Error("SECOND not valid");
}

void mjd::Error(const char* msg) { timeutil::ClassError("mjd", msg); }

int FormatText(char* buf, const mjd& t, char fill) {
  static_assert(kTimeTextMax >= kFixedFormatMax + 32, "room for the day and the seconds");
  if (mjdns::PrintFormat != 0) return -1;
  const unsigned short n = mjdns::NDecSecond;
  char* p = timeutil::PutUnsigned(buf, t.mjday, 6, fill);
  const int nsec = FormatFixed(p, t.second, n + 7, n, fill);
  return nsec < 0 ? -1 : static_cast<int>(p - buf) + nsec;
}

std::ostream& operator<<(std::ostream& os, const mjd& t) {
  const unsigned short n = mjdns::NDecSecond;
  switch (mjdns::PrintFormat) {
    case 0: {  // day, second of day
      // Built in one piece when the stream allows: this layout is written on
      // every result line.
      char buf[kTimeTextMax];
      const int len = timeutil::PlainStream(os) ? FormatText(buf, t, os.fill()) : -1;
      os.setf(std::ios::fixed, std::ios::floatfield);
      os.precision(n);
      if (len >= 0) {
        os.write(buf, len);
        os.width(0);
      } else {
        os << std::setw(6) << t.mjday << std::setw(n + 7) << t.second;
      }
      break;
    }
    case 1:  // fractional MJD, in the stream's own notation
      os.precision(n);
      os << std::setw(n + 7) << t.GetMJDDec();
      break;
    case 2: {  // day, hh:mm:ss
      unsigned short h, m;
      long double s;
      t.Sec2HMS(h, m, s);
      os << std::setw(6) << t.mjday << "  ";
      timeutil::PutHMS(os, h, m, s, n, n + 3);
      break;
    }
    case 3:  // day only
      os << std::setw(6) << t.mjday;
      break;
    case 4:  // day, fraction of day
      os.setf(std::ios::fixed, std::ios::floatfield);
      os.precision(13);
      os << std::setw(6) << t.mjday << std::setw(16) << t.second / kSecPerDay;
      break;
    default:
      break;
  }
  return os;
}

std::istream& operator>>(std::istream& is, mjd& t) {
  // Fields that fail to read are 0, never left from an earlier value.
  std::uint32_t d = 0;
  long double s = 0;
  is >> d >> s;
  t.Set(d, s);
  return is;
}
