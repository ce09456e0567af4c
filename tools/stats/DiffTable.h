// DiffTable: reads an Orbika output table that carries the
// precise-minus-broadcast columns, one record at a time, and splits each
// position difference into the satellite's radial, along-track and
// cross-track components.
//
// The frame of a record comes from its printed precise position r [m] and
// velocity v [m/s], both Earth-fixed:
//   radial R = r / |r|,  cross-track C = (r x v) / |r x v|,
//   along-track A = C x R,
// so that the difference d [m] = (d.R) R + (d.A) A + (d.C) C.  The clock
// difference is printed in milliseconds and returned in nanoseconds.  Epochs
// are the table's own (GPS time); the text of the epoch is kept as printed.
//
// A record is read by its blank-separated words: epoch (date, time,
// MJD day, second of day), satellite, precise position and clock, precise
// velocity, position and clock difference, and for GLONASS the velocity
// difference (not used here).  The precision is what the table prints: 1 mm
// for positions, 1 ns for clocks.
#pragma once

#include <istream>
#include <string>

namespace orbstats {

struct DiffRecord {
  std::string sat;        // satellite, e.g. "G02"
  std::string epoch;      // epoch as printed, e.g. "2024-05-15 00:00:00.0"
  long long tenths = 0;   // the same epoch in tenths of a second from MJD 0
  bool orbit = false;     // rac holds a position difference
  long double rac[3]{};   // radial, along-track, cross-track difference [m]
  bool clock = false;     // clockNs holds a clock difference
  long double clockNs = 0;
};

class DiffTableReader {
 public:
  // name is used in messages only.
  DiffTableReader(std::istream& in, const std::string& name) : in_(in), name_(name) {}
  // Reads the header; false, with Error() set, unless it is the header of an
  // Orbika table with precise-minus-broadcast columns.
  bool ReadHeader();
  // Reads the next record into rec; false at the end of the table, or on a
  // line that is no record (then Error() is set).  Blank lines are skipped.
  bool Next(DiffRecord& rec);
  const std::string& Error() const { return error_; }

 private:
  bool GetLine(std::string& line);
  bool Parse(const std::string& line, DiffRecord& rec);

  std::istream& in_;
  std::string name_;
  std::string error_;
  long lineNo_ = 0;
};

}  // namespace orbstats
