#include "GNSS/geometry/xyzt.h"

#include <cmath>
#include <istream>
#include <ostream>

namespace xyztns {
unsigned short NDec = 4;
unsigned short NDecT = 6;
thread_local unsigned short Width = 14;
unsigned short WidthT = 12;
thread_local unsigned short PrintTime = 1;
long double Unit = 1.0;
long double UnitT = 1.0;
}  // namespace xyztns

namespace {

// Largest difference of two components that still counts as equal.
constexpr long double kEqualTolerance = 1e-14;

// Output divides by Unit (1000 gives kilometres), except that the
// centimetre unit 100 multiplies; input undoes the same.
long double ToOutputUnit(long double v) {
  const long double unit = xyztns::Unit;
  return unit == 100 ? v * unit : v / unit;
}
long double FromOutputUnit(long double v) {
  const long double unit = xyztns::Unit;
  return unit == 100 ? v / unit : v * unit;
}


}  // namespace

long double xyzt::GetLength() const { return Space(*this).GetLength(); }

xyzt xyzt::GetUnitVector(long double sign) const {
  return WithClock(Space(*this).GetUnitVector(sign), 0);
}

xyzt xyzt::RotateX(long double a) const { return WithClock(Space(*this).RotateX(a), dt); }
xyzt xyzt::RotateY(long double a) const { return WithClock(Space(*this).RotateY(a), dt); }
xyzt xyzt::RotateZ(long double a) const { return WithClock(Space(*this).RotateZ(a), dt); }

bool xyzt::operator==(const xyzt& p) const {
  return Space(*this) == Space(p) && std::fabs(dt - p.dt) < kEqualTolerance;
}

bool xyzt::operator!=(const xyzt& p) const { return !(*this == p); }

// The mixed operations of xyz with xyzt take the xyzt's (x, y, z).
xyz& xyz::operator=(const xyzt& p) { return *this = Space(p); }
xyz& xyz::operator+=(const xyzt& p) { return *this += Space(p); }
xyz& xyz::operator-=(const xyzt& p) { return *this -= Space(p); }
xyz operator+(const xyz& p1, const xyzt& p2) { return p1 + Space(p2); }
xyz operator+(const xyzt& p1, const xyz& p2) { return Space(p1) + p2; }
xyz operator-(const xyz& p1, const xyzt& p2) { return p1 - Space(p2); }
xyz operator-(const xyzt& p1, const xyz& p2) { return Space(p1) - p2; }
long double operator*(const xyz& p1, const xyzt& p2) { return p1 * Space(p2); }

namespace {
// The fields of the text output under the current print settings.
struct TextFields {
  int n;
  long double v[4];
  unsigned short width[4];
  unsigned short ndec[4];
};

TextFields Fields(const xyzt& p) {
  return {xyztns::PrintTime == 1 ? 4 : 3,
          {ToOutputUnit(p.GetX()), ToOutputUnit(p.GetY()), ToOutputUnit(p.GetZ()),
           p.GetT() * xyztns::UnitT},
          {xyztns::Width, xyztns::Width, xyztns::Width, xyztns::WidthT},
          {xyztns::NDec, xyztns::NDec, xyztns::NDec, xyztns::NDecT}};
}
}  // namespace

std::ostream& operator<<(std::ostream& os, const xyzt& p) {
  const TextFields f = Fields(p);
  WriteFixedFields(os, f.n, f.v, f.width, f.ndec);
  return os;
}

int FormatText(char* buf, const xyzt& p, char fill) {
  const TextFields f = Fields(p);
  return FormatFixedFields(buf, f.n, f.v, f.width, f.ndec, fill);
}

std::istream& operator>>(std::istream& is, xyzt& p) {
  long double xx, yy, zz, tt;
  if (is >> xx >> yy >> zz >> tt)
    p.Set(FromOutputUnit(xx), FromOutputUnit(yy), FromOutputUnit(zz), tt / xyztns::UnitT);
  return is;
}
