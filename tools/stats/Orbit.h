// Orbit: what OrbikaStats takes from a record's precise position r [m] and
// velocity v [m/s] (both Earth-fixed), and the SISRE weights.
//
// Directions: those of the orbit as seen from inertial space (OrbitFrame,
// with the velocity v + w x r), so that a geostationary satellite's
// along-track points along its track.  The periodic relativistic clock
// term is dt_rel = -2 (r . v) / c^2 (IS-GPS-200, 20.3.3.3.3.1); r . v is
// the same with the Earth-fixed and the inertial velocity (they differ by
// w x r, normal to r).  The orbit type comes from the mean radius and
// inclination of a satellite's records; the inclination from the inertial
// velocity v + w x r.
#pragma once

namespace orbstats {

enum class OrbitType { kMeo, kIgso, kGeo, kUnknown };

// Radial, along-track and cross-track components of d; false where r and v
// give no frame (r = 0, or the inertial velocity along r).
bool ToRac(const double r[3], const double v[3], const double d[3], double rac[3]);
// dt_rel [s]: what the broadcast clocks hold and the precise clocks leave out.
double RelativisticTerm(const double r[3], const double v[3]);
double Radius(const double r[3]);
// Orbit inclination [deg]; nan where r and v give no orbit plane.
double Inclination(const double r[3], const double v[3]);
// MEO, IGSO or GEO of a mean radius [m] and inclination [deg].
OrbitType TypeOf(double radius, double inclination);
const char* TypeName(OrbitType type);

// Weights of the global average SISRE,
//   sqrt((w_R dR - c dt)^2 + w_AC^2 (dA^2 + dC^2)),
// for the satellites of a system letter and orbit type; nan where there are
// none.
struct SisreWeights {
  double radial, alongCross2;  // w_R, w_AC^2
};
SisreWeights WeightsOf(char system, OrbitType type);

}  // namespace orbstats
