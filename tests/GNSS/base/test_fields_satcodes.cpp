// The shared number rule of fixed-column fields and the satellite codes,
// each over a table of hand-worked cases.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "GNSS/base/satcode.h"
#include "PROGINC/text/FieldNumber.h"

namespace {

TEST(FieldNumber, OneRuleForEveryForm) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"  12.5", 12.5},        {"-.5", -0.5},          {"+3.", 3.0},
      {"0.1D+01", 1.0},        {"0.1d+01", 1.0},       {"0.1E+01", 1.0},
      {"0.25e-2x", 0.0025},    {"12.5abc", 12.5},      {"1.0E", 1.0},
      {"1.0D+", 1.0},          {"", 0.0},              {"     ", 0.0},
      {"nan", 0.0},            {"-inf", 0.0},          {"0x1p3", 0.0},
      {". 5", 0.0},            {"\t 7", 7.0},          {"-1.0D-01-2.0D+00", -0.1},
  };
  for (const auto& c : cases) EXPECT_EQ(FieldNumber(c.text, 1, 0), c.value) << c.text;
  const double v = FieldNumber("-1e999", 1, 0);
  EXPECT_TRUE(std::isinf(v) && v < 0);
}

// Same bits (sign of zero included).
bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A number text of a reader's layout, drawn at random: RINEX D19.12 and
// E19.12 fields, SP3 F14.6 coordinates, and free forms of 1-19 digits with
// or without a point, signs, leading blanks and exponents of any letter,
// some far beyond the range of double.
std::string RandomNumberText(std::mt19937_64& g) {
  std::uniform_int_distribution<int> pick(0, 99);
  char text[64];
  const int layout = pick(g) % 4;
  if (layout < 2) {
    const double x = std::ldexp(static_cast<double>(g() >> 11), pick(g) - 80) * (g() % 2 ? 1 : -1);
    std::snprintf(text, sizeof text, layout == 0 ? "%19.12E" : "%14.6f", x);
    if (layout == 0 && pick(g) < 70) *std::strchr(text, 'E') = 'D';
    return text;
  }
  std::string t(static_cast<std::size_t>(pick(g) % 4), ' ');
  t += "  -+"[pick(g) % 4];
  if (t.back() == ' ') t.pop_back();
  const int digits = 1 + pick(g) % 19, point = pick(g) % (digits + 2);
  for (int k = 0; k < digits; ++k) {
    if (k == point) t += '.';
    t += static_cast<char>('0' + (pick(g) < 15 ? 0 : pick(g) % 10));
  }
  if (point == digits) t += '.';
  if (pick(g) < 60) {
    t += "DdEe"[pick(g) % 4];
    t += "+-"[pick(g) % 2];
    const int e = pick(g) < 90 ? pick(g) % 40 : pick(g) * 7;
    t += std::to_string(e);
  }
  return t;
}

// The number of the text with its exponent letter written as e (the only D
// or d it holds), by the C library: the correctly rounded value.
double ByTheCLibrary(std::string t) {
  for (char& c : t)
    if (c == 'D' || c == 'd') c = 'e';
  return std::strtod(t.c_str(), nullptr);
}

TEST(FieldNumber, AgreesWithTheCLibraryOnGeneratedAndEdgeTexts) {
  std::vector<std::string> texts = {
      "-0.0", "-0.000000000000D+00", "9007199254740992", "9007199254740993", "1e22", "1e23",
      "-4.9406564584124654e-324", "2.4703282292062328e-324", "1.7976931348623157e308",
      "1.7976931348623159e308", "1234567890123456789012345678901234567890e-30",
      "0.1e-400", "1e0000000000000000001", "1e99999999999", "0e99999999", "100000000000000000000",
      "123456789012345678.9", ".1234567890123456789", "00000000000000000000001.5"};
  std::mt19937_64 g(20220101);
  for (int k = 0; k < 200000; ++k) texts.push_back(RandomNumberText(g));
  for (const std::string& t : texts) {
    // Whole, and cut short at a column drawn at random.
    const int cut = 1 + static_cast<int>(g() % t.size());
    ASSERT_TRUE(SameBits(FieldNumber(t.c_str(), 1, 0), ByTheCLibrary(t))) << t;
    ASSERT_TRUE(SameBits(FieldNumber(t.c_str(), 1, cut), ByTheCLibrary(t.substr(0, cut))))
        << t << " cut to " << cut;
  }
}

TEST(ScaledNumber, MantissaTimesStdPowOnGeneratedTexts) {
  std::mt19937_64 g(20220102);
  for (int k = 0; k < 100000; ++k) {
    const std::string t = RandomNumberText(g);
    const long exponent = static_cast<long>(g() % 700) - 350;
    // Only E and e continue a mantissa, as in strtod itself.
    const double expected = std::strtod(t.c_str(), nullptr) * std::pow(10.0, exponent);
    double v = 0;
    ASSERT_EQ(ScaledNumber(t.c_str(), exponent, v), std::isfinite(expected)) << t;
    ASSERT_TRUE(SameBits(v, expected)) << t << " times 10^" << exponent;
    const std::size_t cut = 1 + g() % t.size();
    ScaledNumber(t.data(), t.data() + cut, exponent, v);
    ASSERT_TRUE(SameBits(v, std::strtod(t.substr(0, cut).c_str(), nullptr) *
                                std::pow(10.0, exponent)))
        << t << " cut to " << cut;
  }
}

TEST(FieldNumber, ColumnsCountFromOneAndStopAtTheLineEnd) {
  const char line[] = "  2.11     12345";
  EXPECT_EQ(FieldNumber(line, 1, 9), 2.11);
  EXPECT_EQ(FieldNumber(line, 3, 3), 2.1);
  EXPECT_EQ(FieldNumber(line, 12, 0), 12345.0);
  EXPECT_EQ(FieldNumber(line, 12, 40), 12345.0);
  EXPECT_EQ(FieldNumber(line, 40, 5), 0.0);
  EXPECT_EQ(FieldInteger(line, 12, 3), 123);
  EXPECT_EQ(FieldInteger(line, 1, 0), 2);
  EXPECT_EQ(FieldInteger(line, 99, 2), 0);
}

TEST(ScaledNumber, MantissaTimesPowerOfTenInDouble) {
  double v = 0;
  EXPECT_TRUE(ScaledNumber(" 0.1", 1, v));
  EXPECT_EQ(v, 0.1 * 10.0);
  // Only E and e continue a mantissa; D and d end it.
  EXPECT_TRUE(ScaledNumber("0.5d+01", 2, v));
  EXPECT_EQ(v, 50.0);
  EXPECT_FALSE(ScaledNumber("-0.1234E+412", -7, v));
  EXPECT_TRUE(std::isinf(v));
}

TEST(SatCode, NumbersAndCodesOfEverySystem) {
  const struct {
    const char* code;
    short sat;
  } cases[] = {{"G05", 5},   {"R12", 112}, {"E01", 201}, {"C05", 305},
               {"S20", 420}, {"J01", 501}, {"I05", 605}, {"G00", 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(satcode::Parse(c.code), c.sat) << c.code;
    char code[4] = {};
    EXPECT_TRUE(satcode::Format(c.sat, code));
    EXPECT_STREQ(code, c.code);
  }
  for (const char* bad : {"X01", "G1 ", " 01", "g05", "", "R"})
    EXPECT_EQ(satcode::Parse(bad), satcode::kNone) << bad;
  char code[4] = "old";
  EXPECT_FALSE(satcode::Format(-1, code));
  EXPECT_FALSE(satcode::Format(700, code));
  EXPECT_STREQ(code, "old");
  EXPECT_EQ(satcode::Number('E', 100), satcode::kNone);
  EXPECT_EQ(satcode::Letter(699), 'I');
}

}  // namespace
