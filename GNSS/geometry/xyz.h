// xyz: a Cartesian vector in extended precision.
//
// Holds a point or a direction of the Earth-centred, Earth-fixed frame; in
// this program the components are metres (positions, offsets, the Sun's
// position) or plain numbers (unit vectors).  All arithmetic is carried out
// in long double (80-bit extended precision).  The type is a plain value:
// copyable, no base class, no virtual operations, no error reports;
// arithmetic follows the floating-point rules.
//
// Mixed operations with xyzt (a Cartesian vector with a clock term, see
// xyzt.h) take only the x, y, z of the xyzt and always give an xyz.
//
// Text output is governed by the print settings in namespace xyzns, which a
// caller may change at any time; every later output uses the values then
// current.
#pragma once

#include <iosfwd>

class xyzt;

// Print settings of xyz.  NDecT, WidthT and UnitT exist for symmetry with
// xyztns; an xyz has no clock term and does not use them.
namespace xyzns {
extern unsigned short NDec;    // decimals of x, y, z (initially 4)
extern unsigned short NDecT;   // decimals of a clock term (initially 6)
extern unsigned short Width;   // field width of each of x, y, z (initially 14)
extern unsigned short WidthT;  // field width of a clock term (initially 12)
extern long double Unit;       // output unit of x, y, z (initially 1.0); see operator<<
extern long double UnitT;      // multiplier of a clock term (initially 1.0)
}  // namespace xyzns

class xyz {
 public:
  xyz();                                            // (0, 0, 0)
  xyz(long double xx, long double yy, long double zz);
  xyz(const xyz& p) = default;
  xyz& operator=(const xyz& p) = default;
  xyz& operator=(const xyzt& p);  // takes x, y, z; drops dt

  void Set(long double xx, long double yy, long double zz);
  void SetX(long double v) { x = v; }
  void SetY(long double v) { y = v; }
  void SetZ(long double v) { z = v; }
  long double GetX() const { return x; }
  long double GetY() const { return y; }
  long double GetZ() const { return z; }

  // Euclidean length sqrt(x^2 + y^2 + z^2).
  long double GetLength() const;

  // sign * (this / |this|): a unit vector, turned round for sign = -1, or a
  // vector of length |sign| for a signed length.  The components are scaled
  // by 1e-6 before the length is formed.  A zero vector (or one so small
  // that its scaled squares underflow) has no direction; it gives the zero
  // vector rather than NaN.
  xyz GetUnitVector(long double sign) const;

  // Rotations of the vector by the angle a (radians, counter-clockwise seen
  // from the positive end of the axis); the object is not changed.
  //   RotateX: y' = cos a * y - sin a * z,  z' = sin a * y + cos a * z
  //   RotateY: x' = cos a * x + sin a * z,  z' = -sin a * x + cos a * z
  //   RotateZ: x' = cos a * x - sin a * y,  y' = sin a * x + cos a * y
  xyz RotateX(long double a) const;
  xyz RotateY(long double a) const;
  xyz RotateZ(long double a) const;

  xyz& operator+=(const xyz& p);
  xyz& operator-=(const xyz& p);
  xyz& operator+=(const xyzt& p);  // adds x, y, z of p
  xyz& operator-=(const xyzt& p);  // subtracts x, y, z of p
  xyz& operator*=(long double k);
  xyz& operator/=(long double k);

  // Equal when every component differs by less than 1e-14.
  bool operator==(const xyz& p) const;
  bool operator!=(const xyz& p) const;

 private:
  long double x, y, z;
};

xyz operator+(const xyz& p1, const xyz& p2);
xyz operator-(const xyz& p1, const xyz& p2);
// Mixed with xyzt: the dt of the xyzt is ignored.
xyz operator+(const xyz& p1, const xyzt& p2);
xyz operator+(const xyzt& p1, const xyz& p2);
xyz operator-(const xyz& p1, const xyzt& p2);
xyz operator-(const xyzt& p1, const xyz& p2);

// Scaling of every component.
xyz operator*(const long double& a, const xyz& p);
xyz operator*(const xyz& p, const long double& a);

// Dot products x*x' + y*y' + z*z'.
long double operator*(const xyz& p1, const xyz& p2);
long double operator*(const xyz& p1, const xyzt& p2);

// Cross product p1 x p2.
xyz CrossP(const xyz& p1, const xyz& p2);
// Component-wise product (x*x', y*y', z*z').
xyz ElementP(const xyz& p1, const xyz& p2);
// Component-wise square root.
xyz sqrt(const xyz& p);

// The arithmetic is inline: it runs for every output record.
inline xyz::xyz() : x(0), y(0), z(0) {}

inline xyz::xyz(long double xx, long double yy, long double zz) : x(xx), y(yy), z(zz) {}

inline void xyz::Set(long double xx, long double yy, long double zz) {
  x = xx;
  y = yy;
  z = zz;
}

inline xyz& xyz::operator+=(const xyz& p) {
  x += p.x;
  y += p.y;
  z += p.z;
  return *this;
}

inline xyz& xyz::operator-=(const xyz& p) {
  x -= p.x;
  y -= p.y;
  z -= p.z;
  return *this;
}

inline xyz& xyz::operator*=(long double k) {
  x *= k;
  y *= k;
  z *= k;
  return *this;
}

inline xyz& xyz::operator/=(long double k) {
  x /= k;
  y /= k;
  z /= k;
  return *this;
}

inline xyz operator+(const xyz& p1, const xyz& p2) {
  xyz r(p1);
  return r += p2;
}

inline xyz operator-(const xyz& p1, const xyz& p2) {
  xyz r(p1);
  return r -= p2;
}

inline xyz operator*(const long double& a, const xyz& p) {
  return xyz(a * p.GetX(), a * p.GetY(), a * p.GetZ());
}

inline xyz operator*(const xyz& p, const long double& a) { return a * p; }

inline long double operator*(const xyz& p1, const xyz& p2) {
  return p1.GetX() * p2.GetX() + p1.GetY() * p2.GetY() + p1.GetZ() * p2.GetZ();
}

// Text output: x, y, z right-aligned, each in a field of xyzns::Width with
// xyzns::NDec decimals in fixed notation, no separator and no line end.
// The components are multiplied by xyzns::Unit when it is 100 or 1000 and
// divided by it otherwise.  The stream is left in fixed notation with
// precision NDec; its fill character pads the fields.
std::ostream& operator<<(std::ostream& os, const xyz& p);
// Reads three whitespace-separated numbers and undoes the output unit.
std::istream& operator>>(std::istream& is, xyz& p);

// The unit rule of the xyz and neu text: a value is multiplied by a unit of
// 100 or 1000 (centimetres, millimetres) and divided by any other unit;
// ScaleFromUnit undoes it for input.
long double ScaleToUnit(long double v, long double unit);
long double ScaleFromUnit(long double v, long double unit);

// The text output of xyz, xyzt and neu: writes the n values v[i] one after
// another, each right-aligned in a field of width[i] with ndec[i] decimals
// in fixed notation, exactly as `os << setw(width[i]) << setprecision(ndec[i])
// << v[i]` would.  The stream is switched to fixed notation (any scientific
// flag is cleared, so the text is never hexadecimal) and left with the
// precision of the last field and width 0.
void WriteFixedFields(std::ostream& os, int n, const long double* v,
                      const unsigned short* width, const unsigned short* ndec);

// The same text built in memory, for callers that assemble whole lines: the
// n (at most 4) fields padded with fill, as WriteFixedFields writes them on
// a plain stream (see PlainFixedStream).  Returns the length, or -1 when a
// field is one the fast formatter leaves to the stream (|v| >= 2^63, a
// width above 64, more than 18 decimals); buf then holds nothing useful.
// buf holds at least kFixedFieldsMax characters.
constexpr int kFixedFieldsMax = 4 * 128 + 1;
int FormatFixedFields(char* buf, int n, const long double* v, const unsigned short* width,
                      const unsigned short* ndec, char fill);
// True when a stream writes fixed-point numbers exactly as printf's
// "%*.*Lf" does, padded on the left with its fill character: right
// alignment, no forced sign or point, lower-case inf/nan, and a locale with
// a '.' decimal point and no digit grouping.
bool PlainFixedStream(const std::ostream& os);
