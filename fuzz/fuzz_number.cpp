// Fuzz target: the number rule of fixed-column fields (FieldNumber.h)
// against the C library.  The input, after its first two bytes, is read as
// the text of a field over the characters numbers are made of (digits,
// point, signs, the exponent letters E, e, D and d, blank; any other byte
// stands for one of them).  In such text a
// D or d is an exponent letter or ends the number, so FieldNumber of it
// (whole, and cut to a width taken from the first byte) must give the same
// bits as strtod of the text with D and d written as e; and ScaledNumber of
// it, where D and d end the mantissa as in strtod itself, the same bits as
// strtod of the text times std::pow(10, k), k taken from the second byte.
// Runs in process: the conversion never ends the run.  A finding is any
// other value, a crash or a sanitizer report.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "PROGINC/text/FieldNumber.h"

namespace {

constexpr char kAlphabet[] = "0123456789.+-EeDd ";
constexpr std::size_t kLetters = sizeof kAlphabet - 1;
// Bytes before the text: the cut width and the power of ten.
constexpr std::size_t kControlBytes = 2;
// Powers of ten drawn: -128 to 127, across both ends of the table of powers.
constexpr int kPowerOffset = 128;

[[noreturn]] void Finding(const char* what, const std::string& text) {
  std::fprintf(stderr, "fuzz_number: FINDING: %s of \"%s\"\n", what, text.c_str());
  std::abort();
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

double ByTheCLibrary(std::string t) {
  for (char& c : t)
    if (c == 'D' || c == 'd') c = 'e';
  return std::strtod(t.c_str(), nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kControlBytes) return 0;
  std::string text;
  for (std::size_t k = kControlBytes; k < size; ++k) {
    // Characters of the alphabet stand for themselves, other bytes for one.
    const char c = static_cast<char>(data[k]);
    text += c != '\0' && std::strchr(kAlphabet, c) != nullptr ? c : kAlphabet[data[k] % kLetters];
  }
  const int width = static_cast<int>(data[0] % (text.size() + 1));  // 0: the whole text
  const int power = static_cast<int>(data[1]) - kPowerOffset;
  if (!SameBits(FieldNumber(text.c_str(), 1, 0), ByTheCLibrary(text)))
    Finding("FieldNumber differs from strtod", text);
  const std::string cut = width > 0 ? text.substr(0, static_cast<std::size_t>(width)) : text;
  if (!SameBits(FieldNumber(text.c_str(), 1, width), ByTheCLibrary(cut)))
    Finding("FieldNumber of a cut field differs from strtod", cut);
  double v = 0;
  const double expected = std::strtod(text.c_str(), nullptr) * std::pow(10.0, power);
  if (ScaledNumber(text.c_str(), power, v) != std::isfinite(expected) || !SameBits(v, expected))
    Finding("ScaledNumber differs from strtod times std::pow", text);
  return 0;
}
