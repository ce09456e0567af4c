// SBASbEph: broadcast state vectors of SBAS GEO satellites from the SBAS
// records of a RINEX 3/4 navigation file, and the position and clock they
// give at an epoch.
//
// An SBAS record (RINEX 3 `S` record, RINEX 4 `> EPH Snn SBAS`) holds the
// GEO navigation message (message type 9, RTCA DO-229 Appendix A):
// the epoch t0 (GPS time), the clock offset aGf0 (s) and drift aGf1 (s/s),
// and position, velocity and acceleration in WGS 84 (km, km/s, km/s^2).
// At epoch t (GPS time, dt = t - t0) the record gives (DO-229, Appendix A,
// GEO navigation message):
//   X(t) = X0 + Xdot dt + (1/2) Xacc dt^2   (likewise Y, Z), metres
//   clock(t) = aGf0 + aGf1 dt, seconds (no relativistic term: the GEO
//   message's clock includes it)
// Satellites are known by their system-wide number 400 + n (S20 is 420).
//
// Record choice: the record whose epoch lies nearest to t (the earlier on a
// tie), used only within kTimeOut of t; beyond it the values are NaN and
// the condition is written once per satellite.  Records whose velocity and
// acceleration are all zero (a parked position, broadcast with health 63
// by GEOs that send no orbit) are not used at all: extrapolated they would
// describe a satellite at rest in the Earth-fixed frame, at no stated
// accuracy; each satellite with such records is named once when the file
// is read.  Accuracy: a few metres (the GEO message is meant for ranging
// within the time-out).
#pragma once

#include <string>
#include <vector>

#include "GNSS/broadcast/NavMessages.h"
#include "GNSS/broadcast/RecordFields.h"
#include "GNSS/geometry/xyzt.h"
#include "GNSS/time/mjd.h"
#include "matrix/matrix.h"

class SBASbEph {
 public:
  // Time-out of the GEO navigation message (message type 9) for en route,
  // terminal and non-precision approach operations: 360 s (RTCA DO-229,
  // Table A-25); a record serves epochs at most this far from its epoch.
  static constexpr long double kTimeOut = 360;

  void SetFile(const char* file) { navig = file; }
  // Reads the SBAS records of the file (version 3 or 4; a version 2 file
  // has none).  A record whose numbers cannot be read ends the run with the
  // reader's error naming the file; a file without any usable SBAS record
  // draws one warning naming it.
  void ReadFile();

  // The distinct satellite numbers with usable records, ascending.
  matrix<short> GetSatList() const;
  // Number of usable records.
  std::size_t GetNRecords() const { return records.size(); }

  // The receiver's choice (-rx): the record with the latest transmission
  // time at or before the epoch among those within kTimeOut of it.
  void UseReceiverChoice() { receiver = true; }

  // Position (m, WGS 84) and clock (s) of satellite st at epoch t (GPS
  // time) from the record chosen for epoch tindex.  Returns false, pos all
  // NaN, when the satellite has no usable record; NaN values, with the
  // satellite's one message, when no record lies within kTimeOut.
  bool CalcPosition(unsigned short st, const mjd& t, const mjd& tindex, xyzt& pos);
  // The own fields (RecordFields.h) of the record chosen for st at tindex
  // (within kTimeOut or not): msg SBAS, iod its IODN, toc = toe its epoch,
  // ttr its transmission time, health and accuracy (URA, m) as written;
  // msg nullptr when the satellite has none or -rx finds none.
  RecordFields GetRecordFields(unsigned short st, const mjd& tindex) const;

 private:
  struct Record {
    short sat;
    mjd epoch;           // t0, GPS time
    mjd sent;            // transmission time, GPS time
    long double v[15];   // the record's numbers in file order
  };
  std::string navig;
  std::vector<Record> records;                 // by satellite, then epoch
  std::vector<std::vector<std::size_t>> bySat;  // rows of each satellite number
  bool receiver = false;
  // The row serving satellite rows at epoch t; false when none does.
  bool Nearest(const std::vector<std::size_t>& rows, const mjd& t, std::size_t& row) const;
  bool Received(const std::vector<std::size_t>& rows, const mjd& t, std::size_t& row) const;
};
