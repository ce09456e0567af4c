#include "PROGINC/text/FieldNumber.h"

#include <array>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Text of the field of width characters (0: the rest) from column col, as
// [begin, end); empty when the line ends before col.
void Field(const char* line, int col, int width, const char*& begin, const char*& end) {
  begin = end = line;
  if (col < 1) return;
  const std::size_t from = static_cast<std::size_t>(col - 1);
  if (std::memchr(line, '\0', from) != nullptr) return;
  begin = line + from;
  const std::size_t rest = width > 0 ? strnlen(begin, static_cast<std::size_t>(width))
                                     : std::strlen(begin);
  end = begin + rest;
}

// White space and digits of the "C" locale, the program's only one.
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Decimal digits that always fit an unsigned 64-bit integer.
constexpr int kMaxKeptDigits = 19;
// Integers up to 2^53 and powers of ten up to 10^22 (5^22 < 2^53) are exact
// in IEEE double: their product or quotient is then rounded once, which is
// the correctly rounded value of the text (W. D. Clinger, "How to read
// floating point numbers accurately", PLDI 1990).
constexpr std::uint64_t kExactInteger = std::uint64_t{1} << 53;
constexpr int kExactPowers = 22;
constexpr std::array<double, kExactPowers + 1> kPowersOfTen = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
// An exponent beyond this is left to strtod (it is far beyond double's
// range, and the count stays within long).
constexpr long kMaxExponent = 100000;

// The digits of a number: value = digits * 10^shift, where digits holds at
// most kMaxKeptDigits significant digits and lost tells whether a nonzero
// digit did not fit.
struct Significand {
  std::uint64_t digits = 0;
  int kept = 0;
  long shift = 0;
  long count = 0;  // digits of the text, zeros included
  bool lost = false;

  void Add(char c, bool fraction) {
    ++count;
    const unsigned d = static_cast<unsigned>(c - '0');
    if (kept < kMaxKeptDigits) {
      digits = digits * 10 + d;
      if (digits != 0) ++kept;  // leading zeros are not significant
      if (fraction) --shift;
    } else {
      if (!fraction) ++shift;
      if (d != 0) lost = true;
    }
  }
};

// The value of the recognised number when one IEEE operation gives it
// correctly rounded; false when strtod must.
bool ExactValue(Significand s, long exponent, bool negative, double& v) {
#if FLT_EVAL_METHOD == 0
  if (s.lost) return false;
  if (s.digits == 0) {
    v = negative ? -0.0 : 0.0;
    return true;
  }
  // Trailing zeros make a long significand shorter.
  while (s.digits >= kExactInteger && s.digits % 10 == 0) {
    s.digits /= 10;
    ++s.shift;
  }
  const long e = s.shift + exponent;
  if (s.digits >= kExactInteger || e < -kExactPowers || e > kExactPowers) return false;
  const double n = static_cast<double>(s.digits);
  v = e >= 0 ? n * kPowersOfTen[static_cast<std::size_t>(e)]
             : n / kPowersOfTen[static_cast<std::size_t>(-e)];
  if (negative) v = -v;
  return true;
#else
  // Arithmetic with excess precision would round twice.
  (void)s, (void)exponent, (void)negative, (void)v;
  return false;
#endif
}

// strtod of the recognised text [start, end), its exponent letter (if any)
// written as e.
double ConvertText(const char* start, const char* end, const char* letter) {
  std::string text(start, end);
  if (letter != nullptr) text[static_cast<std::size_t>(letter - start)] = 'e';
  return std::strtod(text.c_str(), nullptr);
}

// The rule's conversion of [p, end); fortran: D and d are exponent letters
// besides E and e.
bool Convert(const char* p, const char* end, bool fortran, double& v) {
  v = 0.0;
  while (p < end && IsSpace(*p)) ++p;
  const char* const start = p;
  const bool negative = p < end && *p == '-';
  if (p < end && (*p == '+' || *p == '-')) ++p;
  Significand s;
  for (; p < end && IsDigit(*p); ++p) s.Add(*p, false);
  if (p < end && *p == '.')
    for (++p; p < end && IsDigit(*p); ++p) s.Add(*p, true);
  if (s.count == 0) return false;
  const char* letter = nullptr;
  long exponent = 0;
  if (p < end && (*p == 'E' || *p == 'e' || (fortran && (*p == 'D' || *p == 'd')))) {
    const char* q = p + 1;
    const bool below = q < end && *q == '-';
    if (q < end && (*q == '+' || *q == '-')) ++q;
    if (q < end && IsDigit(*q)) {
      letter = p;
      for (p = q; p < end && IsDigit(*p); ++p)
        if (exponent <= kMaxExponent) exponent = exponent * 10 + (*p - '0');
      if (below) exponent = -exponent;
    }
  }
  if (exponent > kMaxExponent || exponent < -kMaxExponent ||
      !ExactValue(s, exponent, negative, v))
    v = ConvertText(start, p, letter);
  return std::isfinite(v);
}

// 10^k as std::pow gives it at run time: from a table filled by std::pow
// itself over the exponents RINEX writes (two digits), so that a product is
// the same bits whichever way the power was had.  The compiler must not
// fold these calls: its folding is correctly rounded, the library's pow not
// always (10^23 differs in the last bit).  So the table is filled by a
// function that is not constexpr (a lambda would be, and be evaluated at
// compile time), from a base read through a volatile.
constexpr int kTabledPowers = 99;
using PowerTable = std::array<double, 2 * kTabledPowers + 1>;
PowerTable LibraryPowers() {
  volatile double ten = 10.0;
  PowerTable t{};
  for (int j = -kTabledPowers; j <= kTabledPowers; ++j)
    t[static_cast<std::size_t>(j + kTabledPowers)] = std::pow(ten, j);
  return t;
}

double PowerOfTen(int k) {
  static const PowerTable table = LibraryPowers();
  if (k < -kTabledPowers || k > kTabledPowers) return std::pow(10.0, k);
  return table[static_cast<std::size_t>(k + kTabledPowers)];
}

}  // namespace

double FieldNumber(const char* line, int col, int width) {
  const char *begin, *end;
  Field(line, col, width, begin, end);
  double v;
  Convert(begin, end, true, v);
  return v;
}

long FieldInteger(const char* line, int col, int width) {
  const char *begin, *end;
  Field(line, col, width, begin, end);
  // strtol stops at the line's end by itself; a shorter field is cut first.
  if (*end == '\0') return std::strtol(begin, nullptr, 10);
  return std::strtol(std::string(begin, end).c_str(), nullptr, 10);
}

bool ScaledNumber(const char* begin, const char* end, long exponent, double& v) {
  double m;
  Convert(begin, end, false, m);
  // A power beyond int is beyond the range of double for any mantissa but 0.
  const int power = exponent > 9999 ? 9999 : exponent < -9999 ? -9999 : static_cast<int>(exponent);
  v = m * PowerOfTen(power);
  return std::isfinite(v);
}

bool ScaledNumber(const char* mantissa, long exponent, double& v) {
  return ScaledNumber(mantissa, mantissa + std::strlen(mantissa), exponent, v);
}
