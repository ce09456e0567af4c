// OrbitFrame: the radial, along-track and cross-track directions of a
// satellite's orbit, and a difference vector split along them.
//
// Input: the satellite position r (m) and velocity v (m/s), both in the
// Earth-fixed frame at one epoch (any time scale; only the geometry counts).
// The directions belong to the orbit as seen from inertial space, so the
// velocity is first made inertial by adding the Earth's rotation:
//   v_i = v + omega_E x r,  omega_E = (0, 0, GPSc::OMEGAe)
// (WGS 84 rate, IS-GPS-200; the frame's directions change by less than
// 1e-12 rad with any other model's rate).  Then
//   radial       R = r / |r|
//   cross-track  C = (r x v_i) / |r x v_i|   (normal of the orbit plane)
//   along-track  A = C x R                   (completes a right-handed set)
// A difference d splits into d.R, d.A, d.C in the units of d.  For a
// geostationary satellite the Earth-fixed velocity is near zero and would
// give no usable plane; the inertial one points along the track.
//
// Where r is zero all three directions are nan; where r and v_i are
// parallel (no orbit plane) along and cross are nan.  Accuracy: that of
// long double arithmetic, about 1e-18 relative.
#pragma once

#include "GNSS/geometry/xyz.h"

struct OrbitFrame {
  xyz radial, along, cross;  // unit vectors, Earth-fixed components
};

struct OrbitFrameDiff {
  long double radial, along, cross;  // components of d, units of d
};

// The orbit's frame at position r (m) with Earth-fixed velocity v (m/s).
OrbitFrame OrbitFrameOf(const xyz& r, const xyz& vEarthFixed);

// d split into its radial, along-track and cross-track components in the
// orbit frame of r and vEarthFixed.
OrbitFrameDiff ProjectOnOrbitFrame(const xyz& r, const xyz& vEarthFixed, const xyz& d);
