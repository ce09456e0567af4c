#include "GNSS/GNSSpEphText.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "GNSS/TimeConverse.h"
#include "GNSS/ymdhms.h"
#include "PROGINC/ProgramError.h"
#include "PROGINC/cstringf.h"

namespace sp3text {

namespace {

const char kProg[] = "Orbika";

// Tolerant decimal conversion of a field: leading white space skipped,
// conversion up to the first character that cannot continue a decimal
// number, 0 when there is no number.  Converted at double precision.
double FieldNumber(const char* s) {
  while (*s != '\0' && std::isspace(static_cast<unsigned char>(*s))) ++s;
  const char* p = s;
  if (*p == '+' || *p == '-') ++p;
  int digits = 0;
  while (std::isdigit(static_cast<unsigned char>(*p))) ++p, ++digits;
  if (*p == '.') {
    ++p;
    while (std::isdigit(static_cast<unsigned char>(*p))) ++p, ++digits;
  }
  if (digits == 0) return 0.0;
  if (*p == 'e' || *p == 'E') {
    const char* q = p + 1;
    if (*q == '+' || *q == '-') ++q;
    if (std::isdigit(static_cast<unsigned char>(*q))) {
      while (std::isdigit(static_cast<unsigned char>(*q))) ++q;
      p = q;
    }
  }
  char num[kHeaderLineSize];
  const size_t n = static_cast<size_t>(p - s);
  std::memcpy(num, s, n);
  num[n] = '\0';
  return std::strtod(num, nullptr);
}

// Tolerant integer conversion of a field (like atol, clamped to the range
// of a 32-bit long).
long FieldInteger(const char* s) {
  while (*s != '\0' && std::isspace(static_cast<unsigned char>(*s))) ++s;
  bool neg = false;
  if (*s == '+' || *s == '-') neg = (*s++ == '-');
  long v = 0;
  for (; std::isdigit(static_cast<unsigned char>(*s)); ++s) {
    const int d = *s - '0';
    if (v > (2147483647L - d) / 10) return neg ? -2147483647L : 2147483647L;
    v = v * 10 + d;
  }
  return neg ? -v : v;
}

// The field of width characters (0: the rest of the line) from column col.
void Field(const char* line, int col, int width, char* field) {
  if (width > 0)
    substr(line, col - 1, width, field);
  else
    substr(line, col - 1, field);
}

// System letters and the offsets of their satellite numbers.
struct SystemRange {
  char letter;
  short offset;
};
constexpr SystemRange kSystems[] = {
    {'G', 0}, {'R', 100}, {'E', 200}, {'C', 300}, {'S', 400}, {'J', 500}, {'I', 600},
};

}  // namespace

LineRead LineCursor::Next(int size) {
  const LineRead rd = ReadLine(in, line, size);
  if (rd == LineRead::End) return rd;
  ++lineNo;
  len = static_cast<int>(std::strlen(line));
  return rd;
}

char Col(const char* line, int len, int col) {
  return (col >= 1 && col <= len) ? line[col - 1] : ' ';
}

double Number(const char* line, int col, int width) {
  char field[kHeaderLineSize];
  Field(line, col, width, field);
  return FieldNumber(field);
}

long Integer(const char* line, int col, int width) {
  char field[kHeaderLineSize];
  Field(line, col, width, field);
  return FieldInteger(field);
}

short SatNumber(char letter, char tens, char units) {
  int n = std::isdigit(static_cast<unsigned char>(units)) ? units - '0' : 0;
  if (std::isdigit(static_cast<unsigned char>(tens))) n += 10 * (tens - '0');
  if (letter == ' ') return static_cast<short>(n);
  for (const SystemRange& s : kSystems)
    if (s.letter == letter) return static_cast<short>(n + s.offset);
  return kNoRange;
}

void SatCode(short n, char* code) {
  const SystemRange* sys = &kSystems[0];
  for (const SystemRange& s : kSystems)
    if (n >= s.offset) sys = &s;
  const int k = (n - sys->offset) % 100;
  code[0] = sys->letter;
  code[1] = static_cast<char>('0' + k / 10);
  code[2] = static_cast<char>('0' + k % 10);
  code[3] = '\0';
}

bool EpochLineTime(const char* line, int len, mjd& t) {
  if (len < 21 || line[0] != '*') return false;
  const long y = Integer(line, 4, 4), mo = Integer(line, 9, 2), d = Integer(line, 12, 2);
  const long h = Integer(line, 15, 2), mi = Integer(line, 18, 2);
  const double s = Number(line, 21, 11);
  // Dates the calendar conversion holds exactly; times within the day.
  if (y < 1901 || y > 2100 || mo < 1 || mo > 12 || d < 1) return false;
  const unsigned short* cum = timeutil::CumulativeDays[LeapYear(y)];
  if (d > cum[mo] - cum[mo - 1]) return false;
  if (h < 0 || h > 23 || mi < 0 || mi > 59 || !(s >= 0 && s < 60)) return false;
  const ymdhms date(static_cast<unsigned short>(y), static_cast<unsigned short>(mo),
                    static_cast<unsigned short>(d), 0, 0, 0);
  const mjd day = ymdhms2mjd(date);
  t.Set(day.GetMJDay(), static_cast<long double>(h * 3600 + mi * 60) + static_cast<long double>(s));
  return true;
}

void EpochText(const mjd& t, char* text) {
  const ymdhms c = mjd2ymdhms(t);
  std::snprintf(text, kEpochTextSize, "%04u-%02u-%02u %02u:%02u:%011.8Lf",
                static_cast<unsigned>(c.GetYear() % 10000), static_cast<unsigned>(c.GetMonth() % 100),
                static_cast<unsigned>(c.GetDay() % 100), static_cast<unsigned>(c.GetHour() % 100),
                static_cast<unsigned>(c.GetMinute() % 100), c.GetSecond());
}

bool IsEofLine(const char* line) { return std::strncmp(line, "EOF", 3) == 0; }

void AddCode(std::string& list, const char* code) {
  const size_t named = list.size() / 4;
  if (named < static_cast<size_t>(kMaxCodesNamed))
    list.append(code, 3).append(" ");
  else if (named == static_cast<size_t>(kMaxCodesNamed))
    list.append("... ");
}

void FileError(const char* file, const char* what) {
  char msg[kHeaderLineSize + 512];
  std::snprintf(msg, sizeof msg, "GNSS PRECISE EPHEMERIS FILE %s: %s", file, what);
  ProgramError(kProg, msg);
}

void FileWarning(const char* file, const char* what) {
  char msg[kHeaderLineSize + 512];
  std::snprintf(msg, sizeof msg, "GNSS PRECISE EPHEMERIS FILE %s: %s", file, what);
  ProgramWarning(kProg, msg);
}

}  // namespace sp3text
