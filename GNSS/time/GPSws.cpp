#include "GNSS/time/GPSws.h"

#include <cmath>
#include <iomanip>

#include "GNSS/time/TimeText.h"

namespace gpswsns {
unsigned short NDecSecond = 1;
unsigned short PrintFormat = 0;
}  // namespace gpswsns

namespace {
const long double kSecPerDay = 86400.0L;
const long double kSecPerWeek = 604800.0L;
const unsigned short kWeekLimit = 12000;
}  // namespace

GPSws::GPSws() : week(0), second(0) {}

GPSws::GPSws(unsigned short w, long double s) : week(w), second(s) { TestDatum(); }

GPSws::GPSws(const GPSws& t) : week(t.week), second(t.second) { TestDatum(); }

GPSws& GPSws::operator=(const GPSws& t) {
  if (this == &t) return *this;
  week = t.week;
  second = t.second;
  TestDatum();
  return *this;
}

void GPSws::Set(unsigned short w, long double s) {
  week = w;
  second = s;
  TestDatum();
}

unsigned short GPSws::GetWeekDay() const {
  return static_cast<unsigned short>(second / kSecPerDay);
}

long double GPSws::GetDaySecond() const { return second - kSecPerDay * GetWeekDay(); }

void GPSws::Sec2HMS(unsigned short& h, unsigned short& m, long double& s) const {
  ::Sec2HMS(GetDaySecond(), h, m, s);
}

GPSws& GPSws::operator+=(long double dsec) {
  second += dsec;
  // Carry whole weeks either way so the second stays within its week.
  if (second < 0 || second >= kSecPerWeek) {
    const long double weeks = std::floor(second / kSecPerWeek);
    week = static_cast<unsigned short>(week + static_cast<long>(weeks));
    second -= weeks * kSecPerWeek;
  }
  return *this;
}

GPSws& GPSws::operator+=(unsigned short dweek) {
  week = static_cast<unsigned short>(week + dweek);
  return *this;
}

void GPSws::TestDatum() const {
  TestWeek();
  TestSecond();
}

void GPSws::TestWeek() const {
  if (week >= kWeekLimit) Error("WEEK not valid");
}

void GPSws::TestSecond() const {
  if (!(second >= 0 && second < kSecPerWeek)) Error("SECOND not valid");
}

void GPSws::Error(const char* msg) { timeutil::ClassError("GPSws", msg); }

std::ostream& operator<<(std::ostream& os, const GPSws& t) {
  const unsigned short n = gpswsns::NDecSecond;
  switch (gpswsns::PrintFormat) {
    case 0:  // week, second of week
      os.setf(std::ios::fixed, std::ios::floatfield);
      os.precision(n);
      os << std::setw(5) << t.GetWeek() << std::setw(n + 8) << t.GetSecond();
      break;
    case 1:  // week, day of week, second of day
      os.setf(std::ios::fixed, std::ios::floatfield);
      os.precision(n);
      os << std::setw(5) << t.GetWeek() << std::setw(2) << t.GetWeekDay()
         << std::setw(n + 7) << t.GetDaySecond();
      break;
    case 2: {  // week, day of week, hh:mm:ss
      unsigned short h, m;
      long double s;
      t.Sec2HMS(h, m, s);
      os << std::setw(5) << t.GetWeek() << std::setw(2) << t.GetWeekDay() << "  ";
      timeutil::PutHMS(os, h, m, s, n, n + 3);
      break;
    }
    case 3:  // " wwww" and day of week
      os << ' ' << std::setfill('0') << std::setw(4) << t.GetWeek() << std::setfill(' ')
         << std::setw(2) << t.GetWeekDay();
      break;
    case 4:  // week, second of week with 8 decimals
      os.setf(std::ios::fixed, std::ios::floatfield);
      os.precision(8);
      os << std::setw(5) << t.GetWeek() << std::setw(16) << t.GetSecond();
      break;
    default:
      break;
  }
  return os;
}

std::istream& operator>>(std::istream& is, GPSws& t) {
  // Fields that fail to read are 0, never left from an earlier value.
  unsigned short w = 0;
  long double s = 0;
  is >> w >> s;
  t.Set(w, s);
  return is;
}
