#include "PROGINC/FixedFormat.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

using u128 = unsigned __int128;

constexpr int kMaxFastDecimals = 18;

constexpr std::uint64_t kPow10[kMaxFastDecimals + 1] = {
    1ULL,
    10ULL,
    100ULL,
    1000ULL,
    10000ULL,
    100000ULL,
    1000000ULL,
    10000000ULL,
    100000000ULL,
    1000000000ULL,
    10000000000ULL,
    100000000000ULL,
    1000000000000ULL,
    10000000000000ULL,
    100000000000000ULL,
    1000000000000000ULL,
    10000000000000000ULL,
    100000000000000000ULL,
    1000000000000000000ULL};

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

// Decimal digits of q, most significant first; returns their count.
int Digits(u128 q, char* out) {
  char rev[48];
  int n = 0;
  while (q > UINT64_MAX) {
    rev[n++] = static_cast<char>('0' + static_cast<int>(q % 10));
    q /= 10;
  }
  // Most values fit in 64 bits, where division is far cheaper.
  std::uint64_t q64 = static_cast<std::uint64_t>(q);
  do {
    rev[n++] = static_cast<char>('0' + static_cast<int>(q64 % 10));
    q64 /= 10;
  } while (q64 != 0);
  for (int i = 0; i < n; ++i) out[i] = rev[n - 1 - i];
  return n;
}

}  // namespace

int FormatFixed(char* buf, long double v, int width, int decimals, char fill) {
  if (decimals < 0) decimals = 6;  // a negative precision means the default
  if (!std::isfinite(v) || decimals > kMaxFastDecimals || std::fabs(v) >= 0x1p63L)
    return FormatSlow(buf, v, width, decimals, fill);

  const bool negative = std::signbit(v);
  int exp2 = 0;
  // |v| = m * 2^(exp2 - 64) with m a 64-bit integer (exact for 80-bit values).
  const long double frac = std::frexp(std::fabs(v), &exp2);
  const std::uint64_t m = static_cast<std::uint64_t>(std::ldexp(frac, 64));
  // |v| * 10^d = m * 10^d / 2^shift, and shift >= 1 since |v| < 2^63.
  const int shift = 64 - exp2;

  // Scaled value m * 10^d fits in 128 bits: m < 2^64, 10^18 < 2^60.
  const u128 scaled = static_cast<u128>(m) * kPow10[decimals];
  u128 q;
  if (m == 0) {
    q = 0;
  } else if (shift >= 128) {
    q = 0;  // far below half a unit of the last decimal
  } else {
    // Round half to even on the exact value.
    q = scaled >> shift;
    const u128 rem = scaled & ((static_cast<u128>(1) << shift) - 1);
    const u128 half = static_cast<u128>(1) << (shift - 1);
    if (rem > half || (rem == half && (q & 1))) ++q;
  }

  char digits[48];
  int nd = Digits(q, digits);
  // At least one digit before the decimal point.
  char text[kFixedFormatMax];
  int n = 0;
  if (negative) text[n++] = '-';
  if (nd <= decimals) {
    text[n++] = '0';
    if (decimals > 0) {
      text[n++] = '.';
      for (int i = nd; i < decimals; ++i) text[n++] = '0';
      std::memcpy(text + n, digits, nd);
      n += nd;
    }
  } else {
    const int whole = nd - decimals;
    std::memcpy(text + n, digits, whole);
    n += whole;
    if (decimals > 0) {
      text[n++] = '.';
      std::memcpy(text + n, digits + whole, decimals);
      n += decimals;
    }
  }
  const int pad = width > n ? width - n : 0;
  std::memset(buf, fill, pad);
  std::memcpy(buf + pad, text, n);
  buf[pad + n] = '\0';
  return pad + n;
}
