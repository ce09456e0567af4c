// LightTime: the signal's travel time from a satellite to a receiver on the
// Earth, solved by fixed-point iteration, for the receiver variants of the
// broadcast and precise stores.
//
// The receiver prec is Earth-fixed (m) at the reception epoch (GPS time).
// The signal left the satellite tau seconds earlier (tau < 0 here); in that
// time the Earth turned by omega * |tau| (omega in rad/s), so the receiver,
// expressed in the Earth-fixed frame of the transmission epoch, is prec
// turned by -tau * omega about z (the Sagnac correction).  One pass:
//   transmission = reception + tau,
//   satellite position at transmission,
//   range = |satellite - prec turned by -tau * omega|,
// then tau = -range / c for the next pass.  The iteration contracts by
// about v / c (1e-5) per pass, so two or three passes reach a millimetre.
//
// The stores keep the tests and limits they have always had:
//   - GPS and GLONASS start from tau = -0.075 s (a typical travel time) and
//     stop when |tau c + range| <= tolerance (the travel time of the pass
//     agrees with the range it gave); GPS stops at its eleventh evaluation
//     whatever it gives, GLONASS tests its 501st and stops there; each
//     warns at its limit.
//   - SP3 starts from tau = 0 (the reception epoch itself), stops when two
//     successive ranges differ by less than the tolerance, or silently after
//     ten evaluations, or when the table has no position there.
// The speed of light is mGNSSc::c.
#pragma once

#include <cmath>

#include "GNSS/base/mGNSSc.h"
#include "GNSS/time/mjd.h"
#include "GNSS/geometry/xyz.h"

namespace lighttime {

// How the iteration decides that it has converged.
enum class Test {
  TravelMatchesRange,  // |tau c + range| <= tolerance
  RangeSettles,        // |range - previous range| < tolerance
};

struct Rule {
  long double start;      // travel time of the first pass, s (<= 0)
  long double tolerance;  // m
  Test test;
  int passes;             // satellite evaluations at most
  bool lastPassTested;    // whether the last evaluation may still converge
};

enum class End { Converged, PassLimit, NoSatellite };

struct Result {
  End end;
  long double range;  // m, of the last pass
  mjd transmission;   // transmission epoch of the last pass
  xyz receiver;       // receiver in the frame of that epoch
};

// sat(t, pos) puts the satellite's Earth-fixed position at epoch t into pos
// and returns false when it has none there.

// One pass with travel time tau (s, < 0) into r; false when sat has no
// position (r.range untouched).  The pseudorange variants of the stores make
// this one pass with tau = -P / c.
template <class Satellite>
bool Pass(const mjd& reception, const xyz& prec, long double omega, long double tau,
          Satellite&& sat, Result& r) {
  r.transmission = reception;
  r.transmission += tau;
  xyz pos;
  if (!sat(r.transmission, pos)) return false;
  // The receiver in the Earth-fixed frame of the transmission epoch.
  r.receiver = prec.RotateZ(-tau * omega);
  r.range = (pos - r.receiver).GetLength();
  return true;
}

// The iteration of passes under rule.
template <class Satellite>
Result Solve(const mjd& reception, const xyz& prec, long double omega, const Rule& rule,
             Satellite&& sat) {
  Result r{End::PassLimit, 0, reception, prec};
  long double tau = rule.start;
  long double previous = 0;
  for (int pass = 1;; ++pass) {
    if (!Pass(reception, prec, omega, tau, sat, r)) {
      r.end = End::NoSatellite;
      return r;
    }
    const bool last = pass >= rule.passes;
    const bool converged =
        rule.test == Test::TravelMatchesRange
            ? std::fabs(tau * mGNSSc::c + r.range) <= rule.tolerance
            : std::fabs(r.range - previous) < rule.tolerance;
    if (converged && (!last || rule.lastPassTested)) {
      r.end = End::Converged;
      return r;
    }
    if (last) return r;
    previous = r.range;
    tau = -r.range / mGNSSc::c;
  }
}

}  // namespace lighttime
