// Numbers in fixed-column fields of text lines: the one conversion rule of
// every reader.
//
// A number is read tolerantly and at double precision; callers that keep
// long double widen the result.  The rule: leading white space is skipped;
// then an optional sign, digits with at most one decimal point (at least one
// digit), and an optional exponent, the letter E, e, D or d (RINEX writes
// Fortran's D) with an optional sign and digits.  Conversion stops at the
// first character that cannot continue the number, so "12.5abc" gives 12.5
// and "1.0E" gives 1.  Text that holds no number gives 0: blanks, an empty
// field, and the words and forms that strtod also takes, "nan", "inf" and
// hexadecimal ("0x1p3" gives 0, the digits before the x).  A value beyond
// the range of double is infinite, with its sign, so that a reader's range
// check finds it.  Values are correctly rounded: where the significant
// digits form an integer below 2^53 and the power of ten is at most 22 in
// magnitude, both are exact in double and one multiplication or division
// gives the value (Clinger's fast path, as in "How to read floating point
// numbers accurately", PLDI 1990); any other text goes to strtod.  Neither
// way allocates memory for the common fields.
//
// Whole numbers follow strtol in base 10: white space, sign, digits; no
// digits give 0, and values beyond the range of long are clamped to it.
//
// Columns count from 1; a field of width 0 runs to the end of the line, and
// every field is cut short where the line ends.
#pragma once

// The number of the field of width characters from column col.
double FieldNumber(const char* line, int col, int width);
// The whole number of the field of width characters from column col.
long FieldInteger(const char* line, int col, int width);

// RINEX navigation files write numbers as a mantissa and a power of ten
// (" 0.123456789012D+04"), and this program has always formed their values
// as mantissa * 10^exponent in double, which can differ from the correctly
// rounded conversion of the whole text in the last bit.  This variant keeps
// that: the mantissa by the rule above, where only E and e continue it (a D
// or d ends it, as in the C library's conversion), times ten to the
// exponent; false when the product is not finite (v holds it all the same).
// The power of ten is std::pow(10.0, exponent), bit for bit.
bool ScaledNumber(const char* mantissa, long exponent, double& v);
// The same of the mantissa text [begin, end), which needs no terminating
// null.
bool ScaledNumber(const char* begin, const char* end, long exponent, double& v);
