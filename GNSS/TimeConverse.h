// Conversions between the time forms, and GPS - UTC leap seconds.
//
// ymdhms2mjd and mjd2ymdhms convert between calendar dates (Gregorian
// calendar) and Modified Julian Dates with the four-year-cycle method from
// 1901-01-01 (MJD 15385): every fourth year counts as a leap year, which is
// exact from 1901-01-01 through 2100-12-31.  From 2101-01-01 on ymdhms2mjd
// gives one day more than the true MJD.  Both results are validated by
// their types; a date that cannot be represented ends the program.  The
// time of day is carried unchanged (no time-scale change).
//
// LeapSecond gives GPS - UTC = TAI - UTC - 19 s in whole seconds for a day,
// from the IERS leap-second announcements from 1972-01-01 (-9 s) through
// 2017-01-01 (18 s); days after the last entry get 18 s, days before the
// first get -9 s.  The offset changes at 0 h UTC of the listed day.
//
// The GPSws conversions count weeks from the GPS time origin, 1980-01-06
// 0 h (MJD 44244).
#pragma once

#include <ostream>

#include "GNSS/GPSws.h"
#include "GNSS/mjd.h"
#include "GNSS/ymdhms.h"

// 1 when year is a Gregorian leap year (year > 0), else 0.
int LeapYear(long year);

// GPS - UTC in whole seconds valid on the day of t (the second of day is
// ignored).
int LeapSecond(const mjd& t);

// Calendar date to MJD.  A second of day within 1e-10 s of 86400 becomes
// 0 s of the next day.
mjd ymdhms2mjd(const ymdhms& datum);

// MJD to calendar date.  A second of day within 1e-10 s below 86400 gives
// hour 24, minute 0, second 0 of the same date.
ymdhms mjd2ymdhms(const mjd& t);

// Splits a count of seconds into whole hours h, whole minutes m and seconds
// s.  No rounding, except that s within 1e-10 s of 60 becomes 0 s of the
// next minute.  No carry into days.
void Sec2HMS(long double second, unsigned short& h, unsigned short& m, long double& s);

// GPS week and seconds of week to MJD and back.
mjd GPSws2mjd(const GPSws& gws);
GPSws mjd2GPSws(const mjd& t);
// Calendar date to GPS week and seconds of week and back.
GPSws ymdhms2GPSws(const ymdhms& datum);
ymdhms GPSws2ymdhms(const GPSws& gws);

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
