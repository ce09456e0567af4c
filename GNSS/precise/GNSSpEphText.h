// Text pieces of the SP3 reader (GNSSpEph): the line cursor, satellite
// codes as SP3 writes them, epoch lines and the file's reports.  Internal to
// the reader; numbers are read with the program's field reader
// (FieldNumber.h), satellite numbers are those of satcode.
#pragma once

#include <istream>
#include <string>

#include "GNSS/time/mjd.h"
#include "PROGINC/files/cfilef.h"

namespace sp3text {

// Line buffers: header lines up to 511 characters, data lines up to 114.
constexpr int kHeaderLineSize = 512;
constexpr int kDataLineSize = 115;

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

// Satellite number (satcode) of a system letter and two digit columns, as
// SP3 writes them: a blank letter is GPS (old files), a blank tens digit is
// 0 ("G 5"); satcode::kNone for a letter of no system or no digits.
short SatNumber(char letter, char tens, char units);

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
