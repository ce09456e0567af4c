#include "GNSS/time/ymdhms.h"

#include <cmath>
#include <iomanip>

#include "GNSS/time/TimeText.h"
#include "PROGINC/text/FixedFormat.h"

namespace ymdhmsns {
unsigned short NDecSecond = 1;
unsigned short PrintFormat = 0;
unsigned short PrintType = 2;
}  // namespace ymdhmsns

namespace {
const unsigned short kFirstYear = 1901;  // range of the calendar conversion
const unsigned short kLastYear = 2199;
const long double kSecPerDay = 86400.0L;

// Two-digit year of the 1900s or 2000s.
int ShortYear(unsigned short y) { return y >= 2000 ? y - 2000 : y - 1900; }

// Days in the given month (1-12) of year y.
unsigned short MonthLength(unsigned short y, unsigned short m) {
  const int leap = ymdhms::LeapYear(y) ? 1 : 0;
  return timeutil::CumulativeDays[leap][m] - timeutil::CumulativeDays[leap][m - 1];
}
}  // namespace

ymdhms::ymdhms() : year(1980), month(1), day(1), hour(0), minute(0), second(0) {}

ymdhms::ymdhms(unsigned short y, unsigned short m, unsigned short d, unsigned short h,
               unsigned short mn, long double s)
    : year(y), month(m), day(d), hour(h), minute(mn), second(s) {
  TestDatum();
}

ymdhms::ymdhms(const ymdhms& t)
    : ymdhms(t.year, t.month, t.day, t.hour, t.minute, t.second) {}

ymdhms& ymdhms::operator=(const ymdhms& t) {
  if (this != &t) Set(t.year, t.month, t.day, t.hour, t.minute, t.second);
  return *this;
}

void ymdhms::Set(unsigned short y, unsigned short m, unsigned short d, unsigned short h,
                 unsigned short mn, long double s) {
  year = y;
  month = m;
  day = d;
  hour = h;
  minute = mn;
  second = s;
  TestDatum();
}

// Each field is tested alone, so that SetDay checks against the month and
// year already stored.
void ymdhms::SetYear(unsigned short y) { year = y; TestYear(); }
void ymdhms::SetMonth(unsigned short m) { month = m; TestMonth(); }
void ymdhms::SetDay(unsigned short d) { day = d; TestDay(); }
void ymdhms::SetHour(unsigned short h) { hour = h; TestHour(); }
void ymdhms::SetMinute(unsigned short mn) { minute = mn; TestMinute(); }
void ymdhms::SetSecond(long double s) { second = s; TestSecond(); }

void ymdhms::SetHMS(unsigned short h, unsigned short mn, long double s) {
  SetHour(h);
  SetMinute(mn);
  SetSecond(s);
}

void ymdhms::SetDaySecond(long double s) {
  unsigned short h, mn;
  long double sec;
  Sec2HMS(s, h, mn, sec);
  SetHMS(h, mn, sec);
}

void ymdhms::SetDayOfYear(unsigned short y, unsigned short doy) {
  SetYear(y);
  hour = 0;
  minute = 0;
  second = 0;
  const unsigned short* cum = timeutil::CumulativeDays[LeapYear(year) ? 1 : 0];
  // The month is the last one that starts before the day of year; a day of
  // year 0 finds none and fails the month test.
  unsigned short m = 0;
  while (m < 12 && cum[m] < doy) ++m;
  month = m;
  TestMonth();
  day = doy - cum[m - 1];
  TestDay();
}

void ymdhms::SetYDec(long double ydec) {
  // Out-of-range years are refused before the integer conversion.
  if (!(ydec >= kFirstYear && ydec < kLastYear + 1)) Error("YEAR not valid");
  const unsigned short y = static_cast<unsigned short>(std::floor(ydec));
  // Days elapsed in the year, and their whole and fractional parts.
  const long double days = (ydec - y) * (LeapYear(y) ? 366 : 365);
  const long double whole = std::floor(days);
  SetDayOfYear(y, static_cast<unsigned short>(whole) + 1);
  SetDaySecond((days - whole) * kSecPerDay);
}

long double ymdhms::GetDaySecond() const { return hour * 3600 + minute * 60 + second; }

unsigned short ymdhms::GetDayOfYear() const {
  return timeutil::CumulativeDays[LeapYear(year) ? 1 : 0][month - 1] + day;
}

long double ymdhms::GetYearDec() const {
  return year +
         (GetDayOfYear() - 1 + GetDaySecond() / kSecPerDay) / (LeapYear(year) ? 366 : 365);
}

void ymdhms::TestDatum() const {
  TestYear();
  TestMonth();
  TestDay();
  TestHour();
  TestMinute();
  TestSecond();
}

void ymdhms::TestYear() const {
  if (year < kFirstYear || year > kLastYear) Error("YEAR not valid");
}

void ymdhms::TestMonth() const {
  if (month < 1 || month > 12) Error("MONTH not valid");
}

void ymdhms::TestDay() const {
  // A month outside 1-12 counts as February, whose bound is the smallest.
  const unsigned short m = (month >= 1 && month <= 12) ? month : 2;
  if (day < 1 || day > MonthLength(year, m)) Error("DAY not valid");
}

void ymdhms::TestHour() const {
  // Bounded like the minutes, so that an hour of 24 from rounding a second
  // of day just below midnight stays valid.
  if (hour > 59) Error("HOUR not valid");
}

void ymdhms::TestMinute() const {
  if (minute > 59) Error("MINUTE not valid");
}

void ymdhms::TestSecond() const {
  if (!(second >= 0 && second < 60)) Error("SECOND not valid");
}

bool ymdhms::LeapYear(unsigned short y) {
  return y != 0 && y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
}

void ymdhms::Sec2HMS(long double second, unsigned short& h, unsigned short& m,
                     long double& s) {
  ::Sec2HMS(second, h, m, s);
}

void ymdhms::Error(const char* msg) { timeutil::ClassError("ymdhms", msg); }

namespace {
// Width of the seconds of hh:mm:ss with n decimals.
int SecondWidth(unsigned short n) { return n > 0 ? n + 3 : 2; }

// Family 2: " yyyy-..." forms, selected by ymdhmsns::PrintFormat.
void PutFamily2(std::ostream& os, const ymdhms& t, unsigned short n) {
  switch (ymdhmsns::PrintFormat) {
    case 0: {  // yyyy-mm-dd hh:mm:ss.s
      // Built in one piece when the stream allows: this layout is written on
      // every result line.
      char buf[kTimeTextMax];
      const int len = timeutil::PlainStream(os) ? FormatText(buf, t, os.fill()) : -1;
      if (len >= 0) {
        os.write(buf, len);
        os.width(0);
        os.setf(std::ios::fixed, std::ios::floatfield);
        os.precision(n);
        os.fill(' ');
      } else {
        os << std::setw(5) << t.GetYear() << '-' << std::setfill('0') << std::setw(2)
           << t.GetMonth() << '-' << std::setw(2) << t.GetDay() << ' ';
        timeutil::PutHMS(os, t.GetHour(), t.GetMinute(), t.GetSecond(), n, SecondWidth(n));
      }
      break;
    }
    case 1:  // yyyy-ddd hh:mm:ss.s
      os << std::setw(5) << t.GetYear() << '-' << std::setfill('0') << std::setw(3)
         << t.GetDayOfYear() << ' ';
      timeutil::PutHMS(os, t.GetHour(), t.GetMinute(), t.GetSecond(), n, n + 3);
      break;
    case 2:  // yyyy-ddd sssss.s
      os.setf(std::ios::fixed, std::ios::floatfield);
      os.precision(n);
      os << std::setw(5) << t.GetYear() << '-' << std::setfill('0') << std::setw(3)
         << t.GetDayOfYear() << ' ' << std::setfill(' ') << std::setw(n + 7)
         << t.GetDaySecond();
      break;
    case 3:  // yyyy-mm-dd
      os << std::setw(5) << t.GetYear() << '-' << std::setfill('0') << std::setw(2)
         << t.GetMonth() << '-' << std::setw(2) << t.GetDay() << std::setfill(' ');
      break;
    case 4:  // decimal year
      os.setf(std::ios::fixed, std::ios::floatfield);
      os.precision(n + 6);
      os << std::setw(n + 12) << t.GetYearDec();
      break;
    case 5:  // yyyy-ddd
      os << std::setw(5) << t.GetYear() << '-' << std::setfill('0') << std::setw(3)
         << t.GetDayOfYear() << std::setfill(' ');
      break;
    default:
      break;
  }
}

// Families 0, 1 and 3: blank-separated fields of the given widths.
void PutColumns(std::ostream& os, const ymdhms& t, int yearValue, int wYear, int wField,
                int wSecond, int nDec) {
  os.setf(std::ios::fixed, std::ios::floatfield);
  os.precision(nDec);
  os << std::setw(wYear) << yearValue << std::setw(wField) << t.GetMonth()
     << std::setw(wField) << t.GetDay() << std::setw(wField) << t.GetHour()
     << std::setw(wField) << t.GetMinute() << std::setw(wSecond) << t.GetSecond();
}
}  // namespace

int FormatText(char* buf, const ymdhms& t, char fill) {
  static_assert(kTimeTextMax >= kFixedFormatMax + 32, "room for the date and the seconds");
  if (ymdhmsns::PrintType != 2 || ymdhmsns::PrintFormat != 0) return -1;
  const unsigned short n = ymdhmsns::NDecSecond;
  char* p = timeutil::PutUnsigned(buf, t.GetYear(), 5, fill);
  *p++ = '-';
  p = timeutil::PutUnsigned(p, t.GetMonth(), 2, '0');
  *p++ = '-';
  p = timeutil::PutUnsigned(p, t.GetDay(), 2, '0');
  *p++ = ' ';
  p = timeutil::PutUnsigned(p, t.GetHour(), 2, '0');
  *p++ = ':';
  p = timeutil::PutUnsigned(p, t.GetMinute(), 2, '0');
  *p++ = ':';
  const int nsec = FormatFixed(p, t.GetSecond(), SecondWidth(n), n, '0');
  return nsec < 0 ? -1 : static_cast<int>(p - buf) + nsec;
}

std::ostream& operator<<(std::ostream& os, const ymdhms& t) {
  const unsigned short n = ymdhmsns::NDecSecond;
  switch (ymdhmsns::PrintType) {
    case 0:
      PutColumns(os, t, t.GetYear(), 6, 6, 13, 7);
      break;
    case 1:
      PutColumns(os, t, ShortYear(t.GetYear()), 3, 3, 11, 7);
      break;
    case 2:
      PutFamily2(os, t, n);
      break;
    case 3:
      PutColumns(os, t, t.GetYear(), 4, 3, 12, 8);
      break;
    case 4:  // yy:ddd:sssss
      os.setf(std::ios::fixed, std::ios::floatfield);
      os.precision(0);
      os << std::setfill('0') << std::setw(2) << ShortYear(t.GetYear()) << ':'
         << std::setw(3) << t.GetDayOfYear() << ':' << std::setw(5) << t.GetDaySecond()
         << std::setfill(' ');
      break;
    default:
      break;
  }
  return os;
}

std::istream& operator>>(std::istream& is, ymdhms& t) {
  // Fields that fail to read are 0, never left from an earlier value, so a
  // broken epoch fails validation instead of repeating the previous one.
  unsigned short y = 0, m = 0, d = 0, h = 0, mn = 0;
  long double s = 0;
  is >> y >> m >> d >> h >> mn >> s;
  // Two-digit years: 80-99 are 1980-1999, 0-79 are 2000-2079.
  if (y <= 99) y += (y >= 80) ? 1900 : 2000;
  t.Set(y, m, d, h, mn, s);
  return is;
}
