#include "GNSS/base/satcode.h"

#include <cctype>
#include <cstring>

namespace satcode {

short Offset(char letter) {
  const char* p = letter != '\0' ? std::strchr(kLetters, letter) : nullptr;
  return p != nullptr ? static_cast<short>(kPerSystem * (p - kLetters)) : kNone;
}

short Number(char letter, int n) {
  const short offset = Offset(letter);
  if (offset == kNone || n < 0 || n >= kPerSystem) return kNone;
  return static_cast<short>(offset + n);
}

char Letter(short sat) { return sat >= 0 && sat < kEnd ? kLetters[sat / kPerSystem] : '\0'; }

short Parse(const char* code) {
  const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
  if (code[0] == '\0' || !digit(code[1]) || !digit(code[2])) return kNone;
  return Number(code[0], 10 * (code[1] - '0') + (code[2] - '0'));
}

const char* Name(short sat) {
  // In the order of kLetters.
  static const char* const kNames[] = {"GPS",  "GLONASS", "GALILEO", "BEIDOU",
                                       "SBAS", "QZSS",    "IRNSS"};
  static_assert(sizeof kNames / sizeof kNames[0] == sizeof kLetters - 1, "one name per letter");
  return Letter(sat) == '\0' ? "" : kNames[sat / kPerSystem];
}

bool Format(short sat, char* code) {
  const char letter = Letter(sat);
  if (letter == '\0') return false;
  const int n = sat % kPerSystem;
  code[0] = letter;
  code[1] = static_cast<char>('0' + n / 10);
  code[2] = static_cast<char>('0' + n % 10);
  code[3] = '\0';
  return true;
}

}  // namespace satcode
