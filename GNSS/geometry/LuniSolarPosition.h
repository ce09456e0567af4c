// LuniSolarPosition: Greenwich mean sidereal time and low-precision
// positions of the Sun and the Moon in the Earth-fixed frame.
//
// Time arguments are epochs in GPS time (mjd: MJD day and seconds of day).
// Each operation moves the epoch to UTC by subtracting the GPS-UTC leap
// seconds of the epoch's day (LeapSecond, TimeConverse.h) and lets UTC stand
// in for UT1 (|UT1 - UTC| < 0.9 s, i.e. less than 4e-3 degrees of Earth
// rotation) and for the dynamical time of the series (about a minute, below
// 1e-3 degrees of solar motion).  T denotes Julian centuries of UTC from
// J2000.0 (JD 2451545.0).
//
// GSTime: mean sidereal time of Greenwich by the IAU 1982 expression
//   GMST = 67310.54841 s + (876600 h + 8640184.812866 s) T
//          + 0.093104 s T^2 - 6.2e-6 s T^3,
// exact as a definition; the only error is that of UTC for UT1.
//
// SunPosition: the low-precision solar coordinates of The Astronomical
// Almanac (section C, "low precision formulas for the Sun"; also Vallado,
// Fundamentals of Astrodynamics and Applications, algorithm SUN): mean
// longitude and mean anomaly linear in T, a two-term equation of centre, the
// mean obliquity, and a three-term series for the distance.  Accuracy about
// 0.01 degrees in direction and 1e-4 AU in distance from 1950 to 2050.  The
// direction is turned into the Earth-fixed frame by the sidereal angle only:
// no precession, nutation or polar motion.
//
// MoonPosition: the low-precision lunar series of The Astronomical Almanac
// (section D, "low precision formulae for geocentric coordinates of the
// Moon"; Vallado, algorithm MOON): six terms in ecliptic longitude, four in
// latitude and four in horizontal parallax, the distance being RE / sin(parallax).
// Accuracy about 0.3 degrees in longitude, 0.2 degrees in latitude and
// 0.2 Earth radii in distance.  Earth-fixed as for the Sun.
//
// LSTime: local mean sidereal time, GSTime plus the east longitude.
//
// The constants of the series are double-precision values carried in long
// double; all arithmetic is long double.
#pragma once

#include "GNSS/time/mjd.h"
#include "GNSS/geometry/xyz.h"

// A geodetic position: latitude f and east longitude l in radians,
// ellipsoidal height h in metres.
struct flh {
  long double f, l, h;
};

class LuniSolarPosition {
 public:
  LuniSolarPosition();

  // Greenwich mean sidereal time at the GPS-time epoch ephUT1, in radians,
  // in [0, 2 pi).
  long double GSTime(const mjd& ephUT1) const;

  // Local mean sidereal time at the east longitude of pos, in radians,
  // in [0, 2 pi).
  long double LSTime(const mjd& eph, const flh& pos) const;

  // The Sun at the GPS-time epoch eph: unit vector from the Earth's centre
  // towards the Sun in the Earth-fixed frame into uvec, Earth-Sun distance
  // in metres into magr.  The Sun's position is magr * uvec.
  void SunPosition(const mjd& eph, xyz& uvec, long double& magr) const;

  // The Moon at the GPS-time epoch eph, in the same form as SunPosition.
  void MoonPosition(const mjd& eph, xyz& uvec, long double& magr) const;

 private:
  // Julian centuries of UTC from J2000.0 at the GPS-time epoch eph.
  long double JulianCenturiesUTC(const mjd& eph) const;

  long double twopi;  // 2 pi (the double-precision value)
  long double AU;     // astronomical unit, 149597870 km
  long double RE;     // Earth's equatorial radius, 6378.137 km
};
