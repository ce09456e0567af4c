// Direction angles and angle-unit conversions.
//
// Azimuth gives the direction angle from one plane point to another,
// measured from the y direction towards the x direction, in radians in
// [0, 2 pi): the angle of the two-argument arc tangent atan2(dx, dy),
// formed quadrant by quadrant from atan(dx / dy).  The orbit code uses it to
// obtain the true anomaly from the eccentric anomaly.  Differences whose
// magnitude is below 1e-14 count as exactly zero, so a point straight along
// an axis gives the axis angle exactly.
//
// The conversions are exact up to rounding: a full circle is 2 pi radians,
// 360 degrees, 400 gon; an angle in degrees, minutes and seconds (dms) is
// d + m / 60 + s / 3600 degrees.  All arithmetic is long double.
#pragma once

// Direction angle from (x1, y1) to (x2, y2), radians in [0, 2 pi).
// Coincident points give 0.
long double Azimuth(long double x1, long double y1, long double x2, long double y2);

long double deg2rad(long double deg);
long double rad2deg(long double rad);
long double deg2gon(long double deg);
long double rad2gon(long double rad);

// Degrees, minutes, seconds to decimal degrees or radians.  The angle is
// negative when any of the three parts is negative (so that -0 30 0 can be
// written as 0 -30 0); the magnitudes of the parts are added.
long double dms2deg(long double d, long double m, long double s);
long double dms2rad(long double d, long double m, long double s);

// Radians to degrees, minutes, seconds.  d and m are whole, 0 <= m < 60,
// 0 <= s < 60; a negative angle carries its sign on the first part that is
// not zero.  Seconds within 1e-9 below 60 carry into the next minute.
void rad2dms(long double rad, int& d, int& m, long double& s);

// Splits an angle written in packed sexagesimal form D.MMSSsss (e.g.
// 46.0325 for 46 deg 03 min 25 s) into degrees, minutes, seconds, with the
// sign as for rad2dms.  The packed form cannot hold every decimal exactly;
// the seconds are good to about 1e-9.
void dms2dms(long double packed, int& d, int& m, long double& s);
