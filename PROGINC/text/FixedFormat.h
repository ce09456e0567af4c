// Fast fixed-point text of floating-point numbers.
//
// FormatFixed writes exactly the characters that a C++ stream writes for
// `out << std::fixed << std::setprecision(decimals) << std::setw(width) << v`
// with right alignment (the same as printf's "%*.*Lf" with the given fill):
// the value is rounded to the given number of decimals half to even on its
// exact binary value, as the C library does.  It works on the significand
// (at most 64 bits) with 128-bit integer arithmetic and costs a few tens of
// nanoseconds; values it does not handle itself (NaN, infinities,
// magnitudes of 2^63 and more, more than 18 decimals, significands wider
// than 64 bits) go through snprintf, so the text is always the library's
// text.  On x86 the significand is read from the bytes of the 80-bit
// extended format; elsewhere, or when the build defines
// ORBIKA_PORTABLE_FORMAT, through frexp (the same text, somewhat slower).  A text longer than
// kFixedFormatMax - 1 characters before padding is not written at all: the
// call returns -1 and the caller writes the number through its stream.
#pragma once

#include <cstddef>
#include <cstdint>

// Largest text FormatFixed may write without width padding, plus margin.
constexpr std::size_t kFixedFormatMax = 128;

// Writes the text into buf (at least max(width, kFixedFormatMax) + 1 bytes;
// terminated) and returns its length, or -1 (buf untouched) when the text
// does not fit.  Padding uses fill on the left.  The value is taken by
// reference because its bytes are read directly: a copy stored just before
// the call can be read back in pieces only after a stall.
int FormatFixed(char* buf, const long double& v, int width, int decimals, char fill = ' ');

// Most decimals the fast path handles, and the powers of ten it scales by.
inline constexpr int kMaxFastDecimals = 18;

inline constexpr std::uint64_t kPow10[kMaxFastDecimals + 1] = {
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

// Whether the text FormatFixed writes for v with the given decimals, without
// padding, takes at most width characters.  Values well inside the field
// are told by their magnitude alone, inline, as every output value is
// asked; only those near its edge are written (FitsWidthByText).
bool FitsWidthByText(const long double& v, int width, int decimals);
inline bool FitsWidth(const long double& v, int width, int decimals) {
  // Whole digits that fit beside a sign, the point and the decimals: any
  // |v| below 10^whole - 1 keeps that many digits after rounding.
  const int whole = width - decimals - (decimals > 0 ? 2 : 1);
  const long double magnitude = v < 0 ? -v : v;
  if (whole >= 1 && whole <= kMaxFastDecimals && decimals >= 0 &&
      magnitude < static_cast<long double>(kPow10[whole]) - 1)
    return true;
  return FitsWidthByText(v, width, decimals);
}
