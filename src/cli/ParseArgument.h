// Values glued to command-line options.
//
// Every option is one word: a minus sign, the option letters and the value
// written directly after them (-dt300.0, -ts2013-01-05,10:30:00).  The
// functions below read the value of such a word from the 0-based position
// npos on (3 for two-letter options).  None of them reads beyond the
// terminator of the word: a word that ends before npos has an empty value.
//
// Value forms:
//   file name       the rest of the word, unchanged (it may be empty);
//   number          converted like atof (leading white space skipped, the
//                   conversion stops at the first character that cannot
//                   continue a number, no number gives 0), then rounded to
//                   single precision, so -dt0.1 gives 0.100000001490116...;
//                   IsNumber tells whether the whole value is one number;
//   date and time   YYYY-MM-DD,hh:mm:ss in fixed columns; the separators are
//                   not examined, the other fields are digits, and the
//                   seconds are everything from the 18th character of the
//                   value on, a number that may carry a fraction
//                   (-ts2013/01/05_10-30-00.5 is 10:30:00.5 on 5 Jan 2013);
//   satellite list  three characters per satellite, a system letter and a
//                   two-digit number (G01R05E11): GPS PRN n is n, GLONASS
//                   slot n is 100 + n, Galileo n is 200 + n (satcode.h).
#pragma once

#include "GNSS/time/ymdhms.h"
#include "matrix/matrix.h"

// Copies argi from position npos to its end, terminator included, into file,
// which must hold that many characters.
void ParseFileName(const char* argi, char* file, int npos);

// ParseFileName(arg, file, npos), then isFile = true; in verbose mode the
// line printString, the file name and "!" goes to standard error.
void GetFileName(const char* arg, char* file, bool& isFile, bool& verbose, short npos,
                 const char* printString);

// The number written from position npos on (single precision, widened).
long double ParseFloat(const char* argi, int npos);

// The value from position npos on is one number and nothing else (blanks
// aside): -dt5m and -dt are none, and neither is a value without digits.
bool IsNumber(const char* argi, int npos);

// The date and time written from position npos on, stored field by field
// (year, month, day, hour, minute, second) through the validating setters of
// ymdhms, so that a field out of range ends the run with the ymdhms report.
// A value shorter than the full form YYYY-MM-DD,hh:mm:ss, or one whose
// fields are not digits (the seconds: a number), ends the run with an
// Orbika error naming the option (the first npos characters of the word)
// and the value.
void ParseDate(const char* argi, ymdhms& dat, int npos);

// The satellite numbers written from position npos on, one per row of a
// column vector; characters after the last whole group of three are ignored.
// Each group is a system letter G, R, E, C, S, J or I in either case (adding
// 0, 100, ..., 600) and two digits 01-99; any other group ends the run with
// an Orbika error naming it.
void ParseSatList(const char* argi, matrix<short>& satprn, int npos);

// The whole word is one or more satellite codes as ParseSatList takes them
// (G02, r05E11): a word that may join the list of the option before it.
bool IsSatelliteCodes(const char* word);
