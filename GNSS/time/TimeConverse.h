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
// LeapYear and Sec2HMS, which the time types use too, are in TimeText.
//
// The GPSws conversions count weeks from the GPS time origin, 1980-01-06
// 0 h (MJD 44244).
#pragma once

#include <cstdint>
#include <string>

#include "GNSS/time/GPSws.h"
#include "GNSS/time/TimeText.h"
#include "GNSS/time/mjd.h"
#include "GNSS/time/ymdhms.h"

// GPS - UTC in whole seconds valid on the day of t (the second of day is
// ignored).
int LeapSecond(const mjd& t);

// Calendar date to MJD.  A second of day within 1e-10 s of 86400 becomes
// 0 s of the next day.
mjd ymdhms2mjd(const ymdhms& datum);

// MJD to calendar date.  A second of day within 1e-10 s below 86400 gives
// hour 24, minute 0, second 0 of the same date.
ymdhms mjd2ymdhms(const mjd& t);


// GPS week and seconds of week to MJD and back.
mjd GPSws2mjd(const GPSws& gws);
GPSws mjd2GPSws(const mjd& t);
// Calendar date to GPS week and seconds of week and back.
GPSws ymdhms2GPSws(const ymdhms& datum);
ymdhms GPSws2ymdhms(const GPSws& gws);

// An epoch rounded to the millisecond, so that its date, time of day and
// second of day agree (23:59:59.9996 is the next day's 0 h).
struct MilliEpoch {
  std::uint32_t day;  // MJD
  long long ms;       // millisecond of day, 0 to 86,399,999
};
MilliEpoch RoundToMillisecond(const mjd& t);

// ISO 8601 text of an epoch to the millisecond, without a zone suffix, in
// the epoch's own time scale: 2020-06-25T00:15:00.000.
std::string IsoText(const MilliEpoch& t);
std::string IsoText(const mjd& t);
