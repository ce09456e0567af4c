// neu: a local north / east / up vector, in extended precision.
//
// Holds a topocentric offset in metres, e.g. an antenna phase-centre offset.
// For a satellite antenna the program keeps the body-frame offsets in it:
// north = x, east = y, up = z of the satellite body frame.  All components
// are long double.  Plain copyable value, no error reports.
//
// Text output is governed by the print settings in namespace neuns.
#pragma once

#include <iosfwd>

// Print settings of neu.
namespace neuns {
extern unsigned short NDecNE;     // decimals of n and e (initially 4)
extern unsigned short NDecU;      // decimals of u (initially 4)
extern unsigned short WidthNE;    // field width of n and e (initially 12)
extern unsigned short WidthU;     // field width of u (initially 10)
extern unsigned short Unit;       // output unit (initially 1); see operator<<
extern unsigned short PrintType;  // layout selector (initially 1); see operator<<
}  // namespace neuns

class neu {
 public:
  neu();  // (0, 0, 0)
  neu(long double nn, long double ee, long double uu);
  neu(const neu& p) = default;
  neu& operator=(const neu& p) = default;

  void Set(long double nn, long double ee, long double uu);
  void SetN(long double v) { n = v; }
  void SetE(long double v) { e = v; }
  void SetU(long double v) { u = v; }
  long double GetN() const { return n; }
  long double GetE() const { return e; }
  long double GetU() const { return u; }

  // sqrt(n^2 + e^2 + u^2).
  long double GetLength() const;

  neu& operator+=(const neu& p);
  neu& operator-=(const neu& p);
  neu& operator/=(long double k);

  // Equal when every component differs by less than 1e-14.
  bool operator==(const neu& p) const;
  bool operator!=(const neu& p) const;

 private:
  long double n, e, u;
};

neu operator+(const neu& p1, const neu& p2);
neu operator-(const neu& p1, const neu& p2);
neu operator*(const long double& a, const neu& p);
neu operator*(const neu& p, const long double& a);
// Component-wise product and square root.
neu ElementP(const neu& p1, const neu& p2);
neu sqrt(const neu& p);

// Text output in fixed notation, no separator and no line end:
//   neuns::PrintType 0: u, e, n in that order, each in a field of 14 with 4
//     decimals, as they are;
//   otherwise: n and e in fields of WidthNE with NDecNE decimals, then u in a
//     field of WidthU with NDecU decimals, each multiplied by neuns::Unit
//     when it is 100 or 1000 and divided by it otherwise.
std::ostream& operator<<(std::ostream& os, const neu& p);
// Reads three whitespace-separated numbers in the order and unit that
// operator<< writes under the current settings.
std::istream& operator>>(std::istream& is, neu& p);
