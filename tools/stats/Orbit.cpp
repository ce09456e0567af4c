#include "tools/stats/Orbit.h"

#include <cmath>
#include <limits>

#include "GNSS/base/mGNSSc.h"
#include "GNSS/geometry/OrbitFrame.h"

namespace orbstats {

namespace {

const double kC = static_cast<double>(mGNSSc::c);
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

xyz Vector(const double a[3]) { return xyz(a[0], a[1], a[2]); }

}  // namespace

bool ToRac(const double r[3], const double v[3], const double d[3], double rac[3]) {
  const OrbitFrameDiff p = ProjectOnOrbitFrame(Vector(r), Vector(v), Vector(d));
  rac[0] = static_cast<double>(p.radial);
  rac[1] = static_cast<double>(p.along);
  rac[2] = static_cast<double>(p.cross);
  return std::isfinite(rac[0]) && std::isfinite(rac[1]) && std::isfinite(rac[2]);
}

double RelativisticTerm(const double r[3], const double v[3]) { return -2 * Dot(r, v) / (kC * kC); }

double Radius(const double r[3]) { return std::sqrt(Dot(r, r)); }

double Inclination(const double r[3], const double v[3]) {
  // The orbit plane's normal is the frame's cross-track direction.
  const long double z = OrbitFrameOf(Vector(r), Vector(v)).cross.GetZ();
  if (!std::isfinite(z)) return kNan;
  return static_cast<double>(std::acos(std::fmax(-1.0L, std::fmin(1.0L, z))) * 180 / M_PI);
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
