#include "GNSS/precise/GNSSpEphText.h"

#include <cstdio>
#include <cstring>

#include "GNSS/time/TimeConverse.h"
#include "GNSS/base/satcode.h"
#include "GNSS/time/ymdhms.h"
#include "PROGINC/report/ProgramError.h"
#include "PROGINC/text/FieldNumber.h"

namespace sp3text {

namespace {

const char kProg[] = "Orbika";

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

short SatNumber(char letter, char tens, char units) {
  const char code[4] = {letter == ' ' ? 'G' : letter, tens == ' ' ? '0' : tens, units, '\0'};
  return satcode::Parse(code);
}

bool EpochLineTime(const char* line, int len, mjd& t) {
  if (len < 21 || line[0] != '*') return false;
  const long y = FieldInteger(line, 4, 4), mo = FieldInteger(line, 9, 2);
  const long d = FieldInteger(line, 12, 2), h = FieldInteger(line, 15, 2);
  const long mi = FieldInteger(line, 18, 2);
  const double s = FieldNumber(line, 21, 11);
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
                static_cast<unsigned>(c.GetYear() % 10000),
                static_cast<unsigned>(c.GetMonth() % 100), static_cast<unsigned>(c.GetDay() % 100),
                static_cast<unsigned>(c.GetHour() % 100),
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
  ProgramWarningOnce(kProg, msg);
}

}  // namespace sp3text
