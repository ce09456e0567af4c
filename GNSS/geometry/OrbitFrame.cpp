#include "GNSS/geometry/OrbitFrame.h"

#include <cmath>
#include <limits>

#include "GNSS/base/mGNSSc.h"

namespace {

constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();

// v / |v|, or nan components where v has no direction.
xyz UnitOrNaN(const xyz& v) {
  const long double len = v.GetLength();
  if (!(len > 0)) return xyz(kNaN, kNaN, kNaN);
  return (1.0L / len) * v;
}

}  // namespace

OrbitFrame OrbitFrameOf(const xyz& r, const xyz& vEarthFixed) {
  const xyz omega(0, 0, GPSc::OMEGAe);
  const xyz vInertial = vEarthFixed + CrossP(omega, r);
  OrbitFrame f;
  f.radial = UnitOrNaN(r);
  f.cross = UnitOrNaN(CrossP(r, vInertial));
  f.along = CrossP(f.cross, f.radial);
  return f;
}

OrbitFrameDiff ProjectOnOrbitFrame(const xyz& r, const xyz& vEarthFixed, const xyz& d) {
  const OrbitFrame f = OrbitFrameOf(r, vEarthFixed);
  return {d * f.radial, d * f.along, d * f.cross};
}
