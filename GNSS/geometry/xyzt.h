// xyzt: a Cartesian vector with a clock term, in extended precision.
//
// x, y, z are Earth-fixed Cartesian components: metres for a satellite
// position, metres per second for a velocity.  dt is a clock term in
// seconds: the satellite clock correction that goes with a position (a
// velocity carries 0).  All arithmetic is long double (80-bit extended
// precision).  Plain copyable value, no error reports; arithmetic follows
// the floating-point rules.
//
// The text output is the body of every result line of the program, so its
// layout is fixed to the byte by the print settings in namespace xyztns
// (see operator<< below), which a caller may change between outputs.
#pragma once

#include <iosfwd>

#include "GNSS/geometry/xyz.h"

// Print settings of xyzt.  Width and PrintTime, set anew for each kind of
// vector written, are each thread's own, so that threads may write records
// at the same time; the others are set once before any thread starts.
namespace xyztns {
extern unsigned short NDec;       // decimals of x, y, z (initially 4)
extern unsigned short NDecT;      // decimals of dt (initially 6)
extern thread_local unsigned short Width;      // field width of each of x, y, z (initially 14)
extern unsigned short WidthT;     // field width of dt (initially 12)
extern thread_local unsigned short PrintTime;  // dt is written only when this is 1 (initially 1)
extern long double Unit;          // divisor of x, y, z; 100 multiplies (initially 1.0)
extern long double UnitT;         // multiplier of dt (initially 1.0)
}  // namespace xyztns

class xyzt {
 public:
  xyzt();  // (0, 0, 0, 0)
  xyzt(long double xx, long double yy, long double zz, long double tt);
  xyzt(const xyzt& p) = default;
  xyzt& operator=(const xyzt& p) = default;

  void Set(long double xx, long double yy, long double zz, long double tt);
  void SetX(long double v) { x = v; }
  void SetY(long double v) { y = v; }
  void SetZ(long double v) { z = v; }
  void SetT(long double v) { dt = v; }
  long double GetX() const { return x; }
  long double GetY() const { return y; }
  long double GetZ() const { return z; }
  long double GetT() const { return dt; }

  // Length of (x, y, z); dt takes no part.
  long double GetLength() const;

  // Unit vector of (x, y, z) times sign, dt = 0; computed as for
  // xyz::GetUnitVector, and the zero vector for a zero (x, y, z).
  xyzt GetUnitVector(long double sign) const;

  // Rotations of (x, y, z) as for xyz (angle in radians); dt is kept.
  xyzt RotateX(long double a) const;
  xyzt RotateY(long double a) const;
  xyzt RotateZ(long double a) const;

  // Component-wise on all four components, dt included.
  xyzt& operator+=(const xyzt& p);
  xyzt& operator-=(const xyzt& p);
  // Scale x, y, z only; dt is left as it is.
  xyzt& operator*=(long double k);
  xyzt& operator/=(long double k);

  // Equal when all four components differ by less than 1e-14.
  bool operator==(const xyzt& p) const;
  bool operator!=(const xyzt& p) const;

 private:
  long double x, y, z, dt;
};

// The (x, y, z) of p as an xyz, whose operations xyzt shares.
inline xyz Space(const xyzt& p) { return xyz(p.GetX(), p.GetY(), p.GetZ()); }

// Component-wise on all four components: a difference of two positions
// carries the difference of their clocks in dt.
xyzt operator+(const xyzt& p1, const xyzt& p2);
xyzt operator-(const xyzt& p1, const xyzt& p2);

// The space part is computed by xyz, the clock alongside; inline, as the
// arithmetic runs for every output record.
inline xyzt WithClock(const xyz& p, long double dt) { return xyzt(p.GetX(), p.GetY(), p.GetZ(), dt); }

inline xyzt::xyzt() : x(0), y(0), z(0), dt(0) {}

inline xyzt::xyzt(long double xx, long double yy, long double zz, long double tt)
    : x(xx), y(yy), z(zz), dt(tt) {}

inline void xyzt::Set(long double xx, long double yy, long double zz, long double tt) {
  x = xx;
  y = yy;
  z = zz;
  dt = tt;
}

inline xyzt& xyzt::operator+=(const xyzt& p) {
  *this = WithClock(Space(*this) + Space(p), dt + p.dt);
  return *this;
}

inline xyzt& xyzt::operator-=(const xyzt& p) {
  *this = WithClock(Space(*this) - Space(p), dt - p.dt);
  return *this;
}

inline xyzt& xyzt::operator*=(long double k) {
  *this = WithClock(Space(*this) * k, dt);
  return *this;
}

inline xyzt& xyzt::operator/=(long double k) {
  xyz s = Space(*this);
  *this = WithClock(s /= k, dt);
  return *this;
}

inline xyzt operator+(const xyzt& p1, const xyzt& p2) {
  xyzt r(p1);
  return r += p2;
}

inline xyzt operator-(const xyzt& p1, const xyzt& p2) {
  xyzt r(p1);
  return r -= p2;
}

// Text output, no separator and no line end, in this order:
//   1. the stream is switched to fixed notation (and stays so; a scientific
//      flag is cleared rather than combined into hexadecimal output);
//   2. x, y, z, each right-aligned in a field of xyztns::Width with
//      xyztns::NDec decimals, divided by xyztns::Unit (multiplied by it when
//      Unit is exactly 100: 1000 gives kilometres, 100 centimetres);
//   3. when xyztns::PrintTime is 1: dt * xyztns::UnitT in a field of
//      xyztns::WidthT with xyztns::NDecT decimals.
// Fields are padded with the stream's fill character; a number wider than
// its field is written whole.  Afterwards the stream's precision is that of
// the last field written and its width is 0.
std::ostream& operator<<(std::ostream& os, const xyzt& p);
// The same text built in memory, padded with fill, as operator<< writes it
// on a plain stream (PlainFixedStream, xyz.h): returns its length, or -1
// when a component is one the fast formatter leaves to the stream (see
// FormatFixedFields).  buf holds at least kFixedFieldsMax characters.
int FormatText(char* buf, const xyzt& p, char fill);
// Reads x, y, z, dt as four whitespace-separated numbers and undoes the
// output units (x, y, z times Unit, or divided by 100; dt divided by UnitT).
std::istream& operator>>(std::istream& is, xyzt& p);
