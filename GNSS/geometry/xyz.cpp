#include "GNSS/geometry/xyz.h"

#include <cmath>
#include <istream>
#include <locale>
#include <ostream>

#include "PROGINC/text/FixedFormat.h"

namespace xyzns {
unsigned short NDec = 4;
unsigned short NDecT = 6;
unsigned short Width = 14;
unsigned short WidthT = 12;
long double Unit = 1.0;
long double UnitT = 1.0;
}  // namespace xyzns

namespace {

// Components are scaled by this before squaring in GetUnitVector.
constexpr long double kUnitVectorScale = 1e-6;
// Largest difference of two components that still counts as equal.
constexpr long double kEqualTolerance = 1e-14;

// Limits of the buffered text output; anything beyond goes through the
// stream itself.  Finite values below 2^63 with at most 18 decimals are the
// ones FormatFixed renders in at most kFixedFormatMax characters.
constexpr int kMaxFastFields = 4;
constexpr unsigned short kMaxFastWidth = 64;
constexpr unsigned short kMaxFastDecimals = 18;
constexpr long double kMaxFastMagnitude = 0x1p63L;
static_assert(kFixedFieldsMax >= kMaxFastFields * (kFixedFormatMax - 1) + 1,
              "room for the widest fast fields");

bool FastField(long double v, unsigned short width, unsigned short ndec) {
  return width <= kMaxFastWidth && ndec <= kMaxFastDecimals &&
         !(std::fabs(v) >= kMaxFastMagnitude);  // NaN passes: printf spells it
}

}  // namespace

long double xyz::GetLength() const { return std::sqrt(x * x + y * y + z * z); }

xyz xyz::GetUnitVector(long double sign) const {
  // Length of the vector scaled to keep the squares of Earth-scale
  // coordinates small.
  const long double sx = x * kUnitVectorScale;
  const long double sy = y * kUnitVectorScale;
  const long double sz = z * kUnitVectorScale;
  const long double len = std::sqrt(sx * sx + sy * sy + sz * sz);
  if (len == 0) return xyz();  // no direction: the zero vector, not NaN
  return xyz(sign * sx / len, sign * sy / len, sign * sz / len);
}

xyz xyz::RotateX(long double a) const {
  const long double c = std::cos(a), s = std::sin(a);
  return xyz(x, c * y - s * z, s * y + c * z);
}

xyz xyz::RotateY(long double a) const {
  const long double c = std::cos(a), s = std::sin(a);
  return xyz(c * x + s * z, y, -s * x + c * z);
}

xyz xyz::RotateZ(long double a) const {
  const long double c = std::cos(a), s = std::sin(a);
  return xyz(c * x - s * y, s * x + c * y, z);
}

bool xyz::operator==(const xyz& p) const {
  return std::fabs(x - p.x) < kEqualTolerance && std::fabs(y - p.y) < kEqualTolerance &&
         std::fabs(z - p.z) < kEqualTolerance;
}

bool xyz::operator!=(const xyz& p) const { return !(*this == p); }

xyz CrossP(const xyz& p1, const xyz& p2) {
  return xyz(p1.GetY() * p2.GetZ() - p1.GetZ() * p2.GetY(),
             p1.GetZ() * p2.GetX() - p1.GetX() * p2.GetZ(),
             p1.GetX() * p2.GetY() - p1.GetY() * p2.GetX());
}

xyz ElementP(const xyz& p1, const xyz& p2) {
  return xyz(p1.GetX() * p2.GetX(), p1.GetY() * p2.GetY(), p1.GetZ() * p2.GetZ());
}

xyz sqrt(const xyz& p) {
  return xyz(std::sqrt(p.GetX()), std::sqrt(p.GetY()), std::sqrt(p.GetZ()));
}

long double ScaleToUnit(long double v, long double unit) {
  return (unit == 100 || unit == 1000) ? v * unit : v / unit;
}

long double ScaleFromUnit(long double v, long double unit) {
  return (unit == 100 || unit == 1000) ? v / unit : v * unit;
}

bool PlainFixedStream(const std::ostream& os) {
  constexpr std::ios::fmtflags kDecorations = std::ios::left | std::ios::internal |
                                              std::ios::showpos | std::ios::showpoint |
                                              std::ios::uppercase;
  if (os.flags() & kDecorations) return false;
  const auto& punct = std::use_facet<std::numpunct<char>>(os.getloc());
  return punct.decimal_point() == '.' && punct.grouping().empty();
}

int FormatFixedFields(char* buf, int n, const long double* v, const unsigned short* width,
                      const unsigned short* ndec, char fill) {
  if (n > kMaxFastFields) return -1;
  int len = 0;
  for (int i = 0; i < n; ++i) {
    if (!FastField(v[i], width[i], ndec[i])) return -1;
    len += FormatFixed(buf + len, v[i], width[i], ndec[i], fill);
  }
  return len;
}

void WriteFixedFields(std::ostream& os, int n, const long double* v,
                      const unsigned short* width, const unsigned short* ndec) {
  os.setf(std::ios::fixed, std::ios::floatfield);
  if (n <= 0) return;

  // One result line holds millions of these fields: format them into one
  // buffer and hand it to the stream in a single write.
  if (PlainFixedStream(os)) {
    char buf[kFixedFieldsMax];
    const int len = FormatFixedFields(buf, n, v, width, ndec, os.fill());
    if (len >= 0) {
      os.write(buf, len);
      os.width(0);
      os.precision(ndec[n - 1]);
      return;
    }
  }
  for (int i = 0; i < n; ++i) {
    os.width(width[i]);
    os.precision(ndec[i]);
    os << v[i];
  }
}

std::ostream& operator<<(std::ostream& os, const xyz& p) {
  const long double v[3] = {ScaleToUnit(p.GetX(), xyzns::Unit),
                            ScaleToUnit(p.GetY(), xyzns::Unit),
                            ScaleToUnit(p.GetZ(), xyzns::Unit)};
  const unsigned short width[3] = {xyzns::Width, xyzns::Width, xyzns::Width};
  const unsigned short ndec[3] = {xyzns::NDec, xyzns::NDec, xyzns::NDec};
  WriteFixedFields(os, 3, v, width, ndec);
  return os;
}

std::istream& operator>>(std::istream& is, xyz& p) {
  long double xx, yy, zz;
  if (is >> xx >> yy >> zz)
    p.Set(ScaleFromUnit(xx, xyzns::Unit), ScaleFromUnit(yy, xyzns::Unit),
          ScaleFromUnit(zz, xyzns::Unit));
  return is;
}
