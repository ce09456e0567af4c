#include "PROGINC/text/FixedFormat.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

// The x87 path reads the bytes of the 80-bit extended format; the portable
// path (forced by ORBIKA_PORTABLE_FORMAT, taken wherever long double has
// another layout) reads the value through frexp.
#if !defined(ORBIKA_PORTABLE_FORMAT) && LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384 && \
    (defined(__x86_64__) || defined(__i386__))
#define ORBIKA_X87_FORMAT 1
#else
#define ORBIKA_X87_FORMAT 0
#endif

namespace {

using u128 = unsigned __int128;

#if ORBIKA_X87_FORMAT
// The fast path reads the 80-bit extended format directly: a 64-bit
// significand with an explicit integer bit, then 15 exponent bits and the
// sign.
static_assert(std::numeric_limits<long double>::digits == 64 &&
                  std::numeric_limits<long double>::max_exponent == 16384,
              "the x87 path expects the 80-bit extended long double");
constexpr int kExponentBias = 16383;
constexpr int kExponentMask = 0x7fff;

// |v| = m * 2^(e - 63) exactly, and its sign; false for NaN and infinities
// (biased exponent all ones).  Subnormals have the smallest exponent.
bool Decompose(const long double& v, std::uint64_t& m, int& e, bool& negative) {
  std::uint16_t signExp;
  std::memcpy(&m, &v, sizeof m);
  std::memcpy(&signExp, reinterpret_cast<const char*>(&v) + sizeof m, sizeof signExp);
  const int biased = signExp & kExponentMask;
  e = (biased == 0 ? 1 : biased) - kExponentBias;
  negative = (signExp >> 15) != 0;
  return biased != kExponentMask;
}
#else
// The portable path takes the value apart with frexp: the same m and e as
// the x87 path where long double has a 64-bit significand (below the
// smallest normal number, where they differ, both give zero digits), and
// exact wherever the significand has at most 64 bits (double, 80-bit).
// Wider significands (IEEE quad) are left to the library.
bool Decompose(const long double& v, std::uint64_t& m, int& e, bool& negative) {
  if (std::numeric_limits<long double>::digits > 64 || !std::isfinite(v)) return false;
  negative = std::signbit(v);
  int ex;
  const long double f = std::frexp(std::fabs(v), &ex);  // |v| = f 2^ex, f in [0.5, 1) or 0
  m = static_cast<std::uint64_t>(std::ldexp(f, 64));
  e = ex - 1;
  return true;
}
#endif

// "00" to "99": two decimal digits per division.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The library's own text, for everything the fast path leaves alone.
int FormatSlow(char* buf, long double v, int width, int decimals, char fill) {
  char tmp[kFixedFormatMax];
  const int n = std::snprintf(tmp, sizeof tmp, "%.*Lf", decimals, v);
  if (n < 0 || n >= static_cast<int>(sizeof tmp)) return -1;
  const int pad = width > n ? width - n : 0;
  std::memset(buf, fill, pad);
  std::memcpy(buf + pad, tmp, n);
  buf[pad + n] = '\0';
  return pad + n;
}

// The two decimal digits of v < 100 ending at end.
void PutPair(char* end, std::uint32_t v) { std::memcpy(end - 2, kDigitPairs + 2 * v, 2); }

// The eight decimal digits of v < 10^8, with leading zeros, ending at end:
// four independent pairs rather than one long chain of divisions.
void PutEight(char* end, std::uint32_t v) {
  const std::uint32_t high = v / 10000, low = v % 10000;
  PutPair(end, low % 100);
  PutPair(end - 2, low / 100);
  PutPair(end - 4, high % 100);
  PutPair(end - 6, high / 100);
}

// The decimal digits of q < 2^64 written backwards so that they end at end;
// returns the first digit.  Groups of eight digits, each cut into four
// pairs, keep the chain of dependent divisions short.
[[gnu::always_inline]] inline char* Digits(std::uint64_t q, char* end) {
  constexpr std::uint64_t kEight = 100000000;
  while (q >= kEight) {
    PutEight(end, static_cast<std::uint32_t>(q % kEight));
    q /= kEight;
    end -= 8;
  }
  std::uint32_t rest = static_cast<std::uint32_t>(q);
  while (rest >= 100) {
    PutPair(end, rest % 100);
    rest /= 100;
    end -= 2;
  }
  if (rest >= 10) {
    PutPair(end, rest);
    return end - 2;
  }
  *--end = static_cast<char>('0' + rest);
  return end;
}

// The same for any q: digits above 64 bits one at a time (rare).
char* WideDigits(u128 q, char* end) {
  while (q > UINT64_MAX) {
    *--end = static_cast<char>('0' + static_cast<int>(q % 10));
    q /= 10;
  }
  return Digits(static_cast<std::uint64_t>(q), end);
}

// q = round(m * 10^decimals / 2^shift), half to even on the exact value.
u128 ScaledRound(std::uint64_t m, int shift, int decimals) {
  if (shift >= 128) return 0;  // far below half a unit of the last decimal
  const u128 scaled = static_cast<u128>(m) * kPow10[decimals];
  // Adding just under half a unit, plus one bit when the truncated value is
  // odd, carries exactly when the rest is above half, or half with q odd.
  const u128 odd = (scaled >> shift) & 1;
  const u128 belowHalf = (static_cast<u128>(1) << (shift - 1)) - 1;
  return (scaled + belowHalf + odd) >> shift;  // no overflow: scaled < 2^124
}

// Copies of a fixed size compile to a few vector moves instead of a call;
// they may write past the text, which the next field or the terminator
// overwrites, so they are used only where the buffer has that room.
constexpr int kBlock = 24;  // more than the 20 digits of a 64-bit value

}  // namespace

int FormatFixed(char* buf, const long double& v, int width, int decimals, char fill) {
  if (decimals < 0) decimals = 6;  // a negative precision means the default

  // |v| = m * 2^(e - 63), exactly.  NaN, infinities and |v| >= 2^63 go to
  // the library, as do more decimals than 10^d fits in 64 bits.
  std::uint64_t m;
  int e;
  bool negative;
  if (!Decompose(v, m, e, negative) || e >= 63 || decimals > kMaxFastDecimals)
    return FormatSlow(buf, v, width, decimals, fill);

  // |v| * 10^d = m * 10^d / 2^shift with shift >= 1; m * 10^d < 2^124.
  const u128 q = ScaledRound(m, 63 - e, decimals);

  // Digits, with leading zeros up to one digit before the decimal point;
  // the zeros are laid down first so that a short value needs no loop.
  char digits[48 + kBlock];
  char* const end = digits + 48;
  std::memset(end - kBlock, '0', kBlock);
  char* first = q > UINT64_MAX ? WideDigits(q, end) : Digits(static_cast<std::uint64_t>(q), end);
  if (end - first <= decimals) first = end - decimals - 1;
  const int whole = static_cast<int>(end - first) - decimals;

  const int n = (negative ? 1 : 0) + whole + (decimals > 0 ? decimals + 1 : 0);
  const int pad = width > n ? width - n : 0;
  // Room for fixed-size copies: pad, sign, two blocks and the point.
  const bool room = pad + 2 * kBlock + 2 <= static_cast<int>(kFixedFormatMax) &&
                    whole <= kBlock && decimals <= kBlock;
  char* p = buf;
  if (room && pad <= kBlock) {
    std::memset(p, fill, kBlock);
  } else {
    std::memset(p, fill, pad);
  }
  p += pad;
  if (negative) *p++ = '-';
  if (room) {
    std::memcpy(p, first, kBlock);
  } else {
    std::memcpy(p, first, whole);
  }
  p += whole;
  if (decimals > 0) {
    *p++ = '.';
    if (room) {
      std::memcpy(p, first + whole, kBlock);
    } else {
      std::memcpy(p, first + whole, decimals);
    }
    p += decimals;
  }
  *p = '\0';
  return pad + n;
}

bool FitsWidthByText(const long double& v, int width, int decimals) {
  char buf[kFixedFormatMax + 1];
  const int n = FormatFixed(buf, v, 0, decimals);
  return n >= 0 && n <= width;
}
