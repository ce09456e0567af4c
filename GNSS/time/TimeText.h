// Calendar pieces and text helpers shared by the time types (mjd, ymdhms,
// GPSws) and the conversions between them: the Gregorian leap-year rule, the
// days before each month, the split of a second of day into hours, minutes
// and seconds, the report of a time value that fails its check, and the
// pieces of the fixed-width time texts.  They stand below the types so that
// the types need nothing of the conversions.
#pragma once

#include <ostream>

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
// and ends the program with exit status 1.
[[noreturn]] void ClassError(const char* cls, const char* msg);

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
