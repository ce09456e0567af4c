#include "tools/stats/Orbit.h"

#include <cmath>
#include <limits>

#include "GNSS/base/mGNSSc.h"

namespace orbstats {

namespace {

const double kC = static_cast<double>(mGNSSc::c);
// Earth's rotation rate (WGS 84, IS-GPS-200) [rad/s].
const double kEarthRotation = static_cast<double>(GPSc::OMEGAe);
// Mean orbit radius above which an orbit is geosynchronous: between the
// MEO radii (GLONASS 25,500 km, BeiDou 27,900 km, Galileo 29,600 km) and
// the geosynchronous 42,164 km.
const double kGeosynchronousRadius = 35e6;
// Inclination below which a geosynchronous orbit is GEO [deg]: GEO
// satellites keep within a few degrees of the equator, the IGSO of BeiDou
// and QZSS fly at 30 to 60 degrees.
const double kGeoInclination = 20;

const double kNan = std::numeric_limits<double>::quiet_NaN();

double Dot(const double a[3], const double b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

void Cross(const double a[3], const double b[3], double out[3]) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

// a / |a| into out; false when a has no direction.
bool Unit(const double a[3], double out[3]) {
  const double n = std::sqrt(Dot(a, a));
  for (int i = 0; i < 3; ++i) out[i] = a[i] / n;
  return n > 0 && std::isfinite(n);
}

}  // namespace

bool ToRac(const double r[3], const double v[3], const double d[3], double rac[3]) {
  double radial[3], h[3], cross[3], along[3];
  Cross(r, v, h);
  if (!Unit(r, radial) || !Unit(h, cross)) return false;
  Cross(cross, radial, along);  // already unit
  rac[0] = Dot(d, radial);
  rac[1] = Dot(d, along);
  rac[2] = Dot(d, cross);
  return std::isfinite(rac[0]) && std::isfinite(rac[1]) && std::isfinite(rac[2]);
}

double RelativisticTerm(const double r[3], const double v[3]) { return -2 * Dot(r, v) / (kC * kC); }

double Radius(const double r[3]) { return std::sqrt(Dot(r, r)); }

double Inclination(const double r[3], const double v[3]) {
  const double inertial[3] = {v[0] - kEarthRotation * r[1], v[1] + kEarthRotation * r[0], v[2]};
  double h[3], unit[3];
  Cross(r, inertial, h);
  if (!Unit(h, unit)) return kNan;
  return std::acos(std::fmax(-1.0, std::fmin(1.0, unit[2]))) * 180 / M_PI;
}

OrbitType TypeOf(double radius, double inclination) {
  if (!std::isfinite(radius) || !std::isfinite(inclination)) return OrbitType::kUnknown;
  if (radius < kGeosynchronousRadius) return OrbitType::kMeo;
  return inclination < kGeoInclination ? OrbitType::kGeo : OrbitType::kIgso;
}

const char* TypeName(OrbitType type) {
  switch (type) {
    case OrbitType::kMeo:
      return "MEO";
    case OrbitType::kIgso:
      return "IGSO";
    case OrbitType::kGeo:
      return "GEO";
    default:
      return "-";
  }
}

SisreWeights WeightsOf(char system, OrbitType type) {
  // O. Montenbruck, P. Steigenberger, A. Hauschild, "Multi-GNSS
  // signal-in-space range error assessment - Methodology and results",
  // Advances in Space Research 61(12), 3020-3038 (2018): the weights of
  // the radial and of the along- and cross-track errors averaged over the
  // Earth's visible surface, by orbit height.
  const SisreWeights gps{0.98, 1.0 / 49}, glonass{0.98, 1.0 / 45}, galileo{0.98, 1.0 / 61},
      beidouMeo{0.98, 1.0 / 54}, geosynchronous{0.99, 1.0 / 126}, none{kNan, kNan};
  if (type == OrbitType::kUnknown) return none;
  switch (system) {
    case 'G':
      return gps;
    case 'R':
      return glonass;
    case 'E':
      return galileo;
    case 'C':
      return type == OrbitType::kMeo ? beidouMeo : geosynchronous;
    case 'J':
      return geosynchronous;
    default:
      return none;
  }
}

}  // namespace orbstats
