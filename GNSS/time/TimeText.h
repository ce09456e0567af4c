// Calendar pieces and text helpers shared by the time types (mjd, ymdhms,
// GPSws) and the conversions between them: the Gregorian leap-year rule, the
// days before each month, the split of a second of day into hours, minutes
// and seconds, the report of a time value that fails its check, and the
// pieces of the fixed-width time texts.  They stand below the types so that
// the types need nothing of the conversions.
#pragma once

#include <istream>
#include <ostream>
#include <string>

// 1 when year is a Gregorian leap year (year > 0), else 0.
int LeapYear(long year);

// Splits a count of seconds into whole hours h, whole minutes m and seconds
// s.  No rounding, except that s within 1e-10 s of 60 becomes 0 s of the
// next minute.  No carry into days.
void Sec2HMS(long double second, unsigned short& h, unsigned short& m, long double& s);

// Room for the in-memory text of one time value (the FormatText of mjd,
// ymdhms).
constexpr int kTimeTextMax = 160;

// Pieces shared by the time value classes.
namespace timeutil {
// Days before the start of each month, [leap][month - 1]; the thirteenth
// entry is the length of the year.
extern const unsigned short CumulativeDays[2][13];

// Writes the error report of class cls with message msg to standard output
// (an empty line, "**** cls: Error -> msg ****", "     Exiting class cls ... ")
// and ends the program with exit status 1.  While a ReadingContext lives,
// the report is that of the file being read instead.
[[noreturn]] void ClassError(const char* cls, const char* msg);

// The file a reader is reading, for the time values read from it.  While one
// lives, a time value that fails its check ends the run with the program's
// error report on standard error,
//   "**** Orbika: Error -> <what> <file>: LINE <n>: <the check's text>! ****"
// (what names the kind of file: "ANTEX FILE", "GPS NAVIGATION FILE", ...)
// instead of the time class's own report.  The line is the one last given
// to SetLine, or, once a stream is given to SetStream, the line of that
// stream's position when the check fails (the line just read, or the line
// being read); the stream must then be seekable and outlive its use here.
// Contexts nest: the one made last names the file until it ends.  Each
// thread has its own (threads may read files at once).
class ReadingContext {
 public:
  ReadingContext(const char* what, const char* file);
  ~ReadingContext();
  ReadingContext(const ReadingContext&) = delete;
  ReadingContext& operator=(const ReadingContext&) = delete;

  void SetLine(long line) { line_ = line; }
  void SetStream(std::istream& in) { in_ = &in; }

  // The context that names the file now; nullptr outside any.
  static const ReadingContext* Current();
  // The error report's text for the check's message msg.
  std::string Report(const char* msg) const;

 private:
  const char* what_;
  const char* file_;
  long line_ = 0;
  std::istream* in_ = nullptr;
  ReadingContext* outer_;
};

// Writes h:m:s as hh:mm:ss, hours and minutes in 2 digits and the seconds
// with n decimals zero-filled to the given width; leaves the stream in fixed
// notation with precision n and the fill character a blank.
void PutHMS(std::ostream& os, unsigned short h, unsigned short m, long double s,
            unsigned short n, int width);

// Whole values are built in a buffer for the layouts written on every
// output line, the numbers with FormatFixed, which gives the stream's own
// text.  PlainStream tells whether the stream's settings allow it: classic
// locale, decimal base, no sign or point forced, no left or internal
// adjustment, so that numbers are plain digits aligned right.
bool PlainStream(const std::ostream& os);
// Writes v in decimal, padded on the left with fill to width; returns the
// end of the text.
char* PutUnsigned(char* p, unsigned long v, int width, char fill);
}  // namespace timeutil
