#include "PROGINC/text/FieldNumber.h"

#include <cctype>
#include <cmath>
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

// The rule's conversion of [p, end), with the exponent letters given.
bool Convert(const char* p, const char* end, const char* letters, double& v) {
  v = 0.0;
  const auto digit = [&](const char* q) {
    return q < end && std::isdigit(static_cast<unsigned char>(*q));
  };
  while (p < end && std::isspace(static_cast<unsigned char>(*p))) ++p;
  const char* const start = p;
  if (p < end && (*p == '+' || *p == '-')) ++p;
  int digits = 0;
  for (; digit(p); ++p) ++digits;
  if (p < end && *p == '.')
    for (++p; digit(p); ++p) ++digits;
  if (digits == 0) return false;
  // The exponent letter's place, written as e for strtod.
  const char* letter = nullptr;
  if (p < end && *p != '\0' && std::strchr(letters, *p) != nullptr) {
    const char* q = p + 1;
    if (q < end && (*q == '+' || *q == '-')) ++q;
    if (digit(q)) {
      letter = p;
      for (p = q; digit(p); ++p) {
      }
    }
  }
  std::string text(start, p);
  if (letter != nullptr) text[static_cast<std::size_t>(letter - start)] = 'e';
  v = std::strtod(text.c_str(), nullptr);
  return std::isfinite(v);
}

constexpr char kExponentLetters[] = "EeDd";

}  // namespace

double FieldNumber(const char* line, int col, int width) {
  const char *begin, *end;
  Field(line, col, width, begin, end);
  double v;
  Convert(begin, end, kExponentLetters, v);
  return v;
}

long FieldInteger(const char* line, int col, int width) {
  const char *begin, *end;
  Field(line, col, width, begin, end);
  // strtol stops at the line's end by itself; a shorter field is cut first.
  if (*end == '\0') return std::strtol(begin, nullptr, 10);
  return std::strtol(std::string(begin, end).c_str(), nullptr, 10);
}

bool ScaledNumber(const char* mantissa, long exponent, double& v) {
  double m;
  Convert(mantissa, mantissa + std::strlen(mantissa), "Ee", m);
  // A power beyond int is beyond the range of double for any mantissa but 0.
  const int power = exponent > 9999 ? 9999 : exponent < -9999 ? -9999 : static_cast<int>(exponent);
  v = m * std::pow(10.0, power);
  return std::isfinite(v);
}
