#include "src/cli/ParseArgument.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "GNSS/base/satcode.h"
#include "PROGINC/report/ProgramError.h"

namespace {

// The value of a word: its text from position npos on, or the empty text
// when the word is shorter.
const char* ValueOf(const char* argi, int npos) {
  const size_t len = std::strlen(argi);
  return (npos >= 0 && static_cast<size_t>(npos) <= len) ? argi + npos : argi + len;
}

// Fixed columns of YYYY-MM-DD,hh:mm:ss (0-based start, width); the seconds
// run from kSecondColumn to the end of the value.
struct DateField {
  int pos;
  int width;
};
constexpr DateField kYear{0, 4}, kMonth{5, 2}, kDay{8, 2}, kHour{11, 2}, kMinute{14, 2};
constexpr int kSecondColumn = 17;
constexpr size_t kFullDateLength = 19;  // YYYY-MM-DD,hh:mm:ss

// An integer date field converted like atoi, as an unsigned 16-bit value.
unsigned short DateNumber(const char* value, DateField f) {
  return static_cast<unsigned short>(std::atoi(std::string(value + f.pos, f.width).c_str()));
}

bool AllDigits(const char* value, DateField f) {
  for (int i = f.pos; i < f.pos + f.width; ++i)
    if (!std::isdigit(static_cast<unsigned char>(value[i]))) return false;
  return true;
}

// The number a text begins with, and whether nothing but blanks follows it.
bool WholeNumber(const char* text, double& number) {
  char* end = nullptr;
  number = std::strtod(text, &end);
  if (end == text) return false;
  while (std::isspace(static_cast<unsigned char>(*end))) ++end;
  return *end == '\0';
}

// Number of a satellite code (system letter in either case, two digits), or
// satcode::kNone; number 00 is no satellite of any system.
short SatelliteOf(const char* group) {
  const char code[4] = {static_cast<char>(std::toupper(static_cast<unsigned char>(group[0]))),
                        group[1], group[2], '\0'};
  const short number = satcode::Parse(code);
  return number % satcode::kPerSystem == 0 ? satcode::kNone : number;
}

// what says how the value fails; shown names the value in the message.
[[noreturn]] void DateNotInForm(const char* argi, const char* value, const char* what,
                                bool shown) {
  const std::string option(argi, value - argi);
  const std::string msg = "DATE OF OPTION " + option + " " + what + " [ use " + option +
                          "YYYY-MM-DD,hh:mm:ss ]" + (shown ? ": " + std::string(value) : "") +
                          "!";
  ProgramError("Orbika", msg.c_str());
}


}  // namespace

void ParseFileName(const char* argi, char* file, int npos) {
  const char* value = ValueOf(argi, npos);
  std::memcpy(file, value, std::strlen(value) + 1);
}

void GetFileName(const char* arg, char* file, bool& isFile, bool& verbose, short npos,
                 const char* printString) {
  ParseFileName(arg, file, npos);
  isFile = true;
  if (verbose) std::cerr << printString << file << "!" << std::endl;
}

long double ParseFloat(const char* argi, int npos) {
  // atof; the value is kept at single precision on purpose.
  const float f = static_cast<float>(std::strtod(ValueOf(argi, npos), nullptr));
  return static_cast<long double>(f);
}

bool IsNumber(const char* argi, int npos) {
  double number;
  return WholeNumber(ValueOf(argi, npos), number);
}

void ParseDate(const char* argi, ymdhms& dat, int npos) {
  const char* value = ValueOf(argi, npos);
  if (std::strlen(value) < kFullDateLength) DateNotInForm(argi, value, "NOT WRITTEN IN FULL", false);
  double second;
  bool digits = WholeNumber(value + kSecondColumn, second);
  for (DateField f : {kYear, kMonth, kDay, kHour, kMinute}) digits = digits && AllDigits(value, f);
  if (!digits) DateNotInForm(argi, value, "NOT A DATE IN DIGITS", true);
  // Field by field, so that each setter checks its field against the ones
  // already stored (the day against month and year).
  dat.SetYear(DateNumber(value, kYear));
  dat.SetMonth(DateNumber(value, kMonth));
  dat.SetDay(DateNumber(value, kDay));
  dat.SetHour(DateNumber(value, kHour));
  dat.SetMinute(DateNumber(value, kMinute));
  dat.SetSecond(static_cast<long double>(second));
}

void ParseSatList(const char* argi, matrix<short>& satprn, int npos) {
  const char* value = ValueOf(argi, npos);
  const int nsat = static_cast<int>(std::strlen(value) / 3);
  satprn.Resize(nsat);
  for (int k = 0; k < nsat; ++k) {
    const char* group = value + 3 * k;
    const short number = SatelliteOf(group);
    if (number == satcode::kNone) {
      const std::string msg = "LIST OF SATELLITES [-pr]: ENTRY " + std::string(group, 3) +
                              " IS NO SATELLITE (SYSTEM LETTER G R E C S J I AND NUMBER 01-99)!";
      ProgramError("Orbika", msg.c_str());
    }
    satprn(k) = number;
  }
}

bool IsSatelliteCodes(const char* word) {
  const size_t n = std::strlen(word);
  if (n == 0 || n % 3 != 0) return false;
  for (size_t k = 0; k < n; k += 3)
    if (SatelliteOf(word + k) == satcode::kNone) return false;
  return true;
}
