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

xyz AsXyz(const neu& p) { return xyz(p.GetN(), p.GetE(), p.GetU()); }
neu AsNeu(const xyz& p) { return neu(p.GetX(), p.GetY(), p.GetZ()); }

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

// The arithmetic of neu is xyz's, n, e, u taken as x, y, z.
long double neu::GetLength() const { return AsXyz(*this).GetLength(); }

neu& neu::operator+=(const neu& p) { return *this = AsNeu(AsXyz(*this) + AsXyz(p)); }
neu& neu::operator-=(const neu& p) { return *this = AsNeu(AsXyz(*this) - AsXyz(p)); }
neu& neu::operator/=(long double k) { return *this = AsNeu(AsXyz(*this) /= k); }

bool neu::operator==(const neu& p) const { return AsXyz(*this) == AsXyz(p); }
bool neu::operator!=(const neu& p) const { return !(*this == p); }

neu operator+(const neu& p1, const neu& p2) { return AsNeu(AsXyz(p1) + AsXyz(p2)); }
neu operator-(const neu& p1, const neu& p2) { return AsNeu(AsXyz(p1) - AsXyz(p2)); }
neu operator*(const long double& a, const neu& p) { return AsNeu(a * AsXyz(p)); }
neu operator*(const neu& p, const long double& a) { return a * p; }
neu ElementP(const neu& p1, const neu& p2) { return AsNeu(ElementP(AsXyz(p1), AsXyz(p2))); }
neu sqrt(const neu& p) { return AsNeu(sqrt(AsXyz(p))); }

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
