#include "GNSS/geometry/LuniSolarPosition.h"

#include <cmath>

#include "GNSS/time/TimeConverse.h"

namespace {

// Constants are double-precision values carried in long double.
constexpr double kDeg2Rad = 0.017453292519943295;
constexpr double kSecondsPerDay = 86400.0;
constexpr double kMJDOffset = 2400000.5;  // JD - MJD
constexpr double kJ2000 = 2451545.0;      // JD of J2000.0
constexpr double kDaysPerCentury = 36525.0;
constexpr double kSecondsOfTimePerDegree = 240.0;

// IAU 1982 mean sidereal time of Greenwich in seconds of time, by powers of
// T (UT1 centuries from J2000.0).
constexpr double kGMST0 = 67310.54841;
constexpr double kGMST1 = 3164400184.812866;  // 876600 h + 8640184.812866 s
constexpr double kGMST2 = 0.093104;
constexpr double kGMST3 = -6.2e-6;

// Mean obliquity of the ecliptic, degrees: kObliquity0 + kObliquity1 * T.
constexpr double kObliquity0 = 23.439291;
constexpr double kObliquity1 = -0.0130042;

// A periodic term amplitude * f(phase + rate * T), angles in degrees.
struct PeriodicTerm {
  double amplitude;
  double phase;
  double rate;
};

// Low-precision lunar series of The Astronomical Almanac: ecliptic longitude
// (mean longitude plus six sine terms), ecliptic latitude (four sine terms)
// and horizontal parallax (constant plus four cosine terms), in degrees.
constexpr double kMoonLongitude0 = 218.32;
constexpr double kMoonLongitude1 = 481267.8813;
constexpr PeriodicTerm kMoonLongitudeTerms[] = {
    {6.29, 134.9, 477198.85},  {-1.27, 259.2, -413335.38}, {0.66, 235.7, 890534.23},
    {0.21, 269.9, 954397.70},  {-0.19, 357.5, 35999.05},   {-0.11, 186.6, 966404.05}};
constexpr PeriodicTerm kMoonLatitudeTerms[] = {{5.13, 93.3, 483202.03},
                                               {0.28, 228.2, 960400.87},
                                               {-0.28, 318.3, 6003.18},
                                               {-0.17, 217.6, -407332.20}};
constexpr double kMoonParallax0 = 0.9508;
constexpr PeriodicTerm kMoonParallaxTerms[] = {{0.0518, 134.9, 477198.85},
                                               {0.0095, 259.2, -413335.38},
                                               {0.0078, 235.7, 890534.23},
                                               {0.0028, 269.9, 954397.70}};

// Sum of amplitude * sin (or cos) of the terms at T, degrees.
template <std::size_t N>
long double SumTerms(const PeriodicTerm (&terms)[N], long double T, bool cosine) {
  long double sum = 0;
  for (const PeriodicTerm& t : terms) {
    const long double arg = (t.phase + t.rate * T) * kDeg2Rad;
    sum += t.amplitude * (cosine ? std::cos(arg) : std::sin(arg));
  }
  return sum;
}

// Angle reduced into [0, period).
long double Reduce(long double a, long double period) {
  a = std::fmod(a, period);
  if (a < 0) a += period;
  return a;
}

}  // namespace

LuniSolarPosition::LuniSolarPosition()
    : twopi(6.283185307179586), AU(149597870), RE(6378.137) {}

long double LuniSolarPosition::JulianCenturiesUTC(const mjd& eph) const {
  const long double leap = LeapSecond(eph);
  // Julian centuries of UTC from J2000.0: T = (JD(UTC) - 2451545) / 36525.
  return (eph.GetMJDay() + kMJDOffset - kJ2000 + eph.GetSecond() / kSecondsPerDay -
          leap / kSecondsPerDay) /
         kDaysPerCentury;
}

long double LuniSolarPosition::GSTime(const mjd& ephUT1) const {
  const long double T = JulianCenturiesUTC(ephUT1);
  // IAU 1982 GMST, seconds of time.
  long double theta = kGMST3 * T * T * T + kGMST2 * T * T + kGMST1 * T + kGMST0;
  // Seconds of time to degrees (240 s per degree), then to radians.
  theta = theta * kDeg2Rad / kSecondsOfTimePerDegree;
  return Reduce(theta, twopi);
}

long double LuniSolarPosition::LSTime(const mjd& eph, const flh& pos) const {
  return Reduce(GSTime(eph) + pos.l, twopi);
}

void LuniSolarPosition::SunPosition(const mjd& eph, xyz& uvec, long double& magr) const {
  const long double T = JulianCenturiesUTC(eph);
  const long double gst = std::fmod(GSTime(eph), twopi);

  // Mean longitude, degrees.
  const long double meanLongitude = std::fmod(280.4606184 + 36000.77005361 * T, 360.0L);
  // Mean anomaly, radians in [0, 2 pi).
  const long double M = Reduce((357.5277233 + 35999.05034 * T) * kDeg2Rad, twopi);
  // Ecliptic longitude: mean longitude plus the equation of centre, degrees.
  long double lambda = meanLongitude + 1.914666471 * std::sin(M) + 0.019994643 * std::sin(2 * M);
  // Mean obliquity of the ecliptic, degrees.
  long double eps = kObliquity0 + kObliquity1 * T;
  lambda *= kDeg2Rad;
  eps *= kDeg2Rad;

  // Earth-Sun distance, AU to metres.
  magr = (1.000140612 - 0.016708617 * std::cos(M) - 0.000139589 * std::cos(2 * M)) * AU * 1000;

  // Direction in the true-of-date equatorial frame, then Earth-fixed.
  const xyz equatorial(std::cos(lambda), std::cos(eps) * std::sin(lambda),
                       std::sin(eps) * std::sin(lambda));
  uvec = equatorial.RotateZ(-gst);
}

void LuniSolarPosition::MoonPosition(const mjd& eph, xyz& uvec, long double& magr) const {
  const long double T = JulianCenturiesUTC(eph);
  const long double gst = GSTime(eph);

  // Ecliptic longitude and latitude, horizontal parallax; degrees.
  const long double lambda =
      (kMoonLongitude0 + kMoonLongitude1 * T + SumTerms(kMoonLongitudeTerms, T, false)) *
      kDeg2Rad;
  const long double beta = SumTerms(kMoonLatitudeTerms, T, false) * kDeg2Rad;
  const long double parallax = (kMoonParallax0 + SumTerms(kMoonParallaxTerms, T, true)) * kDeg2Rad;
  const long double eps = (kObliquity0 + kObliquity1 * T) * kDeg2Rad;

  // Distance from the parallax: r = RE / sin(parallax), kilometres to metres.
  magr = RE / std::sin(parallax) * 1000;

  // Ecliptic direction turned about x by the obliquity into the equatorial
  // frame, then Earth-fixed.
  const xyz ecliptic(std::cos(beta) * std::cos(lambda), std::cos(beta) * std::sin(lambda),
                     std::sin(beta));
  uvec = ecliptic.RotateX(eps).RotateZ(-gst);
}
