// Text pieces of the SP3 reader (GNSSpEph): the line cursor, fixed-column
// fields, satellite codes and the file's reports.  Internal to the reader.
//
// Fields are cut at fixed columns (counted from 1) and converted tolerantly
// at double precision: leading blanks skipped, conversion up to the first
// character that cannot continue the number, 0 when there is none.
// Satellite codes are a system letter and two digits; the numbers are those
// of the whole program (GPS n, GLONASS 100 + n, Galileo 200 + n, BeiDou
// 300 + n, SBAS 400 + n, QZSS 500 + n, IRNSS 600 + n).  A blank letter is
// GPS (old files).
#pragma once

#include <istream>
#include <string>

#include "GNSS/mjd.h"
#include "PROGINC/cfilef.h"

namespace sp3text {

// Line buffers: header lines up to 511 characters, data lines up to 114.
constexpr int kHeaderLineSize = 512;
constexpr int kDataLineSize = 115;

// Satellite number given to a code whose letter has no number range.
constexpr short kNoRange = -1;
// Satellite numbers are below this.
constexpr short kSatNumberEnd = 1000;
// Satellite codes named in one warning, at most.
constexpr int kMaxCodesNamed = 24;

// The open file, one line at a time, with the number of lines read.
struct LineCursor {
  explicit LineCursor(std::istream& is) : in(is) {}
  std::istream& in;
  long lineNo = 0;
  char line[kHeaderLineSize] = {};
  int len = 0;

  // Reads the next line into the buffer, at most size - 1 characters.
  LineRead Next(int size);
};

// Character at column col of a line of length len; a blank beyond its end.
char Col(const char* line, int len, int col);

// Number starting at column col: the rest of the line, or exactly width
// characters (fewer where the line ends first).
double Number(const char* line, int col, int width = 0);
long Integer(const char* line, int col, int width = 0);

// Satellite number of a system letter and two digit columns: the units
// digit, ten times the tens digit unless it is blank, and the system's
// offset; kNoRange for a letter without a number range.
short SatNumber(char letter, char tens, char units);
// Satellite code of a satellite number (letter and two digits), into code
// (4 characters with the terminator).
void SatCode(short n, char* code);

// Epoch of an epoch line ("*  yyyy mm dd hh mm ss.ssssssss"); false, with t
// untouched, when the line holds no valid date and time.
bool EpochLineTime(const char* line, int len, mjd& t);
// An epoch as text, "yyyy-mm-dd hh:mm:ss.ssssssss", into text (29
// characters with the terminator).
constexpr int kEpochTextSize = 29;
void EpochText(const mjd& t, char* text);

// The line that closes the data of an SP3 file.
bool IsEofLine(const char* line);

// Adds a satellite code (3 characters) and a blank to a list of codes of
// one warning; after kMaxCodesNamed codes, "... " once.
void AddCode(std::string& list, const char* code);

// Reports on the precise ephemeris file named file: an error that ends the
// run, or a warning.
[[noreturn]] void FileError(const char* file, const char* what);
void FileWarning(const char* file, const char* what);

}  // namespace sp3text
