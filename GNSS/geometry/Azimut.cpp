#include "GNSS/geometry/Azimut.h"

#include <cmath>

namespace {

// Angles of the axis directions as double-precision values.
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kPi = 3.141592653589793;
constexpr double kThreeHalfPi = 4.71238898038469;
constexpr double kTwoPi = 6.283185307179586;

// Coordinate differences below this count as zero.
constexpr long double kZeroDifference = 1e-14;

constexpr long double kPiL = 3.141592653589793238462643383279502884L;
constexpr long double kDegPerCircle = 360;
constexpr long double kGonPerCircle = 400;

// Seconds this close below 60 are carried into the next minute.
constexpr long double kSecondCarry = 1e-9;

// Splits a non-negative number of degrees into whole degrees and minutes and
// seconds, carrying seconds that round up to 60.
void SplitDegrees(long double deg, int& d, int& m, long double& s) {
  d = static_cast<int>(std::floor(deg));
  const long double minutes = (deg - d) * 60;
  m = static_cast<int>(std::floor(minutes));
  s = (minutes - m) * 60;
  if (s > 60 - kSecondCarry) {
    s = 0;
    ++m;
  }
  if (m == 60) {
    m = 0;
    ++d;
  }
}

// Puts the sign of a negative angle on its first non-zero part.
void ApplySign(bool negative, int& d, int& m, long double& s) {
  if (!negative) return;
  if (d != 0)
    d = -d;
  else if (m != 0)
    m = -m;
  else
    s = -s;
}

}  // namespace

long double Azimuth(long double x1, long double y1, long double x2, long double y2) {
  long double dx = x2 - x1;
  long double dy = y2 - y1;
  if (std::fabs(dx) < kZeroDifference) dx = 0;
  if (std::fabs(dy) < kZeroDifference) dy = 0;

  // Quadrant by quadrant from atan(dx / dy); the axes get their exact angles.
  if (dx > 0) {
    if (dy > 0) return std::atan(dx / dy);
    if (dy < 0) return std::atan(dx / dy) + kPi;
    return kHalfPi;
  }
  if (dx < 0) {
    if (dy > 0) return std::atan(dx / dy) + kTwoPi;
    if (dy < 0) return std::atan(dx / dy) + kPi;
    return kThreeHalfPi;
  }
  return dy < 0 ? kPi : 0;  // straight along -y, along +y, or no direction
}

long double deg2rad(long double deg) { return deg * kPiL / 180; }

long double rad2deg(long double rad) { return rad * 180 / kPiL; }

long double deg2gon(long double deg) { return deg * kGonPerCircle / kDegPerCircle; }

long double rad2gon(long double rad) { return rad * 200 / kPiL; }

long double dms2deg(long double d, long double m, long double s) {
  const bool negative = d < 0 || m < 0 || s < 0;
  const long double deg = std::fabs(d) + std::fabs(m) / 60 + std::fabs(s) / 3600;
  return negative ? -deg : deg;
}

long double dms2rad(long double d, long double m, long double s) {
  return deg2rad(dms2deg(d, m, s));
}

void rad2dms(long double rad, int& d, int& m, long double& s) {
  SplitDegrees(std::fabs(rad2deg(rad)), d, m, s);
  ApplySign(rad < 0, d, m, s);
}

void dms2dms(long double packed, int& d, int& m, long double& s) {
  const long double a = std::fabs(packed);
  d = static_cast<int>(std::floor(a));
  // Minutes are the first two decimals; a packed value such as 46.0325 is
  // stored a hair below its decimal text, so whole minutes are taken with a
  // small allowance.
  const long double minutes = (a - d) * 100;
  m = static_cast<int>(std::floor(minutes + kSecondCarry));
  s = (minutes - m) * 100;
  if (s < 0) s = 0;
  if (s > 60 - kSecondCarry) {
    s = 0;
    ++m;
  }
  if (m >= 60) {
    m -= 60;
    ++d;
  }
  ApplySign(packed < 0, d, m, s);
}
