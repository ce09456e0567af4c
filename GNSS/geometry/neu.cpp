#include "GNSS/geometry/neu.h"

#include <cmath>
#include <istream>
#include <ostream>

#include "GNSS/geometry/xyz.h"

namespace neuns {
unsigned short NDecNE = 4;
unsigned short NDecU = 4;
unsigned short WidthNE = 12;
unsigned short WidthU = 10;
unsigned short Unit = 1;
unsigned short PrintType = 1;
}  // namespace neuns

namespace {

// Largest difference of two components that still counts as equal.
constexpr long double kEqualTolerance = 1e-14;

// The fixed layout of PrintType 0: u, e, n in fields of 14 with 4 decimals.
constexpr unsigned short kType0Width = 14;
constexpr unsigned short kType0Decimals = 4;

}  // namespace

neu::neu() : n(0), e(0), u(0) {}

neu::neu(long double nn, long double ee, long double uu) : n(nn), e(ee), u(uu) {}

void neu::Set(long double nn, long double ee, long double uu) {
  n = nn;
  e = ee;
  u = uu;
}

long double neu::GetLength() const { return std::sqrt(n * n + e * e + u * u); }

neu& neu::operator+=(const neu& p) {
  n += p.n;
  e += p.e;
  u += p.u;
  return *this;
}

neu& neu::operator-=(const neu& p) {
  n -= p.n;
  e -= p.e;
  u -= p.u;
  return *this;
}

neu& neu::operator/=(long double k) {
  n /= k;
  e /= k;
  u /= k;
  return *this;
}

bool neu::operator==(const neu& p) const {
  return std::fabs(n - p.n) < kEqualTolerance && std::fabs(e - p.e) < kEqualTolerance &&
         std::fabs(u - p.u) < kEqualTolerance;
}

bool neu::operator!=(const neu& p) const { return !(*this == p); }

neu operator+(const neu& p1, const neu& p2) {
  neu r(p1);
  return r += p2;
}

neu operator-(const neu& p1, const neu& p2) {
  neu r(p1);
  return r -= p2;
}

neu operator*(const long double& a, const neu& p) {
  return neu(a * p.GetN(), a * p.GetE(), a * p.GetU());
}

neu operator*(const neu& p, const long double& a) { return a * p; }

neu ElementP(const neu& p1, const neu& p2) {
  return neu(p1.GetN() * p2.GetN(), p1.GetE() * p2.GetE(), p1.GetU() * p2.GetU());
}

neu sqrt(const neu& p) {
  return neu(std::sqrt(p.GetN()), std::sqrt(p.GetE()), std::sqrt(p.GetU()));
}

std::ostream& operator<<(std::ostream& os, const neu& p) {
  if (neuns::PrintType == 0) {
    const long double v[3] = {p.GetU(), p.GetE(), p.GetN()};
    const unsigned short width[3] = {kType0Width, kType0Width, kType0Width};
    const unsigned short ndec[3] = {kType0Decimals, kType0Decimals, kType0Decimals};
    WriteFixedFields(os, 3, v, width, ndec);
    return os;
  }
  const long double v[3] = {ScaleToUnit(p.GetN(), neuns::Unit),
                            ScaleToUnit(p.GetE(), neuns::Unit),
                            ScaleToUnit(p.GetU(), neuns::Unit)};
  const unsigned short width[3] = {neuns::WidthNE, neuns::WidthNE, neuns::WidthU};
  const unsigned short ndec[3] = {neuns::NDecNE, neuns::NDecNE, neuns::NDecU};
  WriteFixedFields(os, 3, v, width, ndec);
  return os;
}

std::istream& operator>>(std::istream& is, neu& p) {
  long double a, b, c;
  if (!(is >> a >> b >> c)) return is;
  if (neuns::PrintType == 0)
    p.Set(c, b, a);  // written as u, e, n
  else
    p.Set(ScaleFromUnit(a, neuns::Unit), ScaleFromUnit(b, neuns::Unit),
          ScaleFromUnit(c, neuns::Unit));
  return is;
}
