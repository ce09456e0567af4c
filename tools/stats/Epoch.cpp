#include "tools/stats/Epoch.h"

#include <cstdio>

namespace orbstats {

namespace {

// MJD of 1970-01-01, the day 0 of the civil-day algorithms below.
const long long kMjdOfUnixDay0 = 40587;

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant,
// "chrono-Compatible Low-Level Date Algorithms", days_from_civil).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// The inverse (civil_from_days of the same paper).
void CivilFromDays(long long z, long long& y, unsigned& m, unsigned& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<long long>(yoe) + era * 400 + (m <= 2);
}

// The number of the digits text[from, from + n), false unless all are digits.
bool Digits(const std::string& text, size_t from, size_t n, long long& value) {
  value = 0;
  for (size_t i = from; i < from + n; ++i) {
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

bool ParseIsoEpoch(const std::string& text, long long& ms) {
  long long y, mo, d, h, mi, s;
  if (text.size() < 19 || !Digits(text, 0, 4, y) || text[4] != '-' || !Digits(text, 5, 2, mo) ||
      text[7] != '-' || !Digits(text, 8, 2, d) || (text[10] != 'T' && text[10] != ' ') ||
      !Digits(text, 11, 2, h) || text[13] != ':' || !Digits(text, 14, 2, mi) || text[16] != ':' ||
      !Digits(text, 17, 2, s))
    return false;
  // GPS time has no leap seconds.
  if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59) return false;
  long long fraction = 0, scale = 1;
  if (text.size() > 19) {
    const size_t digits = text.size() - 20;
    if (text[19] != '.' || digits < 1 || digits > 9 || !Digits(text, 20, digits, fraction))
      return false;
    for (size_t i = 0; i < digits; ++i) scale *= 10;
  }
  const long long mjd =
      DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) + kMjdOfUnixDay0;
  ms = mjd * kMsPerDay + ((h * 60 + mi) * 60 + s) * 1000 + (fraction * 2000 + scale) / (2 * scale);
  return true;
}

std::string DateText(long long mjd) {
  long long y;
  unsigned m, d;
  CivilFromDays(mjd - kMjdOfUnixDay0, y, m, d);
  char text[32];
  std::snprintf(text, sizeof text, "%04lld-%02u-%02u", y, m, d);
  return text;
}

std::string EpochText(long long ms) {
  const long long day = (ms >= 0 ? ms : ms - kMsPerDay + 1) / kMsPerDay;
  const long long of = ms - day * kMsPerDay;
  char text[32];
  std::snprintf(text, sizeof text, "T%02lld:%02lld:%02lld.%03lld", of / 3600000, of / 60000 % 60,
                of / 1000 % 60, of % 1000);
  return DateText(day) + text;
}

}  // namespace orbstats
