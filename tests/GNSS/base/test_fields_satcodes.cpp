// The shared number rule of fixed-column fields and the satellite codes,
// each over a table of hand-worked cases.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

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
