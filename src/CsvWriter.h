// CsvWriter: the records of a run as CSV (-csv), for programs.
//
// One header row names every column with its unit; every record has the
// same 42 fields, whatever the system of its satellite and the files of the
// run:
//   epoch      ISO 8601 in GPS time, no zone suffix (2020-06-25T00:15:00.000)
//   mjd, sod   MJD day and second of day (3 decimals)
//   sat        system letter and number (G01, E11)
// then three groups of seven, precise (p), broadcast (b) and precise minus
// broadcast (d): x, y, z in m (4 decimals), the clock in s (12 decimals),
// vx, vy, vz in m/s (6 decimals).  A field is empty where the run has no
// source for the value (no precise file, no navigation file of the system,
// no broadcast velocities of the Keplerian systems) and "nan" where a
// source exists but gives no value (a bad clock included: the 1 s marker of
// the table is no clock).  Nine columns follow:
//   gd1_s, gd2_s   the group delays of the broadcast record (s; GroupDelays
//                  in SignalPairs.h), empty where it has none
//   pair           the signal pair the next clock refers to (e.g. B1I/B3I;
//                  L1 for a GLONASS record without dTau_n), empty without
//                  a broadcast group or a pair of the system
//   bclock_pair_s  the broadcast clock on that pair (s)
//   dclock_pair_s  precise clock minus it (s), with a difference group
//   antenna        1 offsets applied, 0 the ANTEX file has none for the
//                  satellite, empty without ANTEX file or precise position
//   dr_m, da_m, dc_m  the position difference radial, along- and
//                  cross-track (OrbitFrame.h) of the precise orbit (m)
// and eight of the broadcast record used (RecordFields.h), empty without
// a broadcast group or record, and each where the message lacks it:
//   msg            the message's RINEX 4 name (LNAV, CNV1, FDMA, ...)
//   iod            issue of data (IODE, IODnav, AODE, IODN, GLONASS tb)
//   toc, toe, ttr  record epoch, ephemeris reference time and transmission
//                  time, ISO 8601 in GPS time as epoch
//   age_s          epoch minus toe (s)
//   health         the health field as written
//   accuracy_m     URA, SISA or SISAI in metres
// No blank lines, no comment lines.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "src/RecordValues.h"

class CsvWriter : public RecordSink {
 public:
  // Writes the header row, unless head is false (a writer of part of a
  // table).
  explicit CsvWriter(std::ostream& out, bool head = true);
  void Record(const RecordValues& r) override;

 private:
  // The epoch, MJD and second-of-day fields of epoch k, kept for the other
  // satellites of the series.
  const std::string& EpochFields(std::size_t k, const mjd& t);
  void Group(const ValueGroup& g);
  // The columns after the three groups: delays, pair clocks, antenna, and
  // the difference in the orbit frame.
  void Signals(const RecordValues& r);
  // The broadcast record's own fields.
  void Fields(const RecordValues& r);
  static bool SameRecord(const RecordFields& a, const RecordFields& b);
  // A field as written (integers without decimals); empty for NaN.
  void Written(long double v);
  // An epoch in ISO 8601; empty for day 0.
  void Time(const mjd& t);
  // x, y, z of v.
  void Space(const xyzt& v, int decimals);
  void Number(long double v, int decimals);

  std::ostream& sink;
  std::string line;
  std::vector<std::string> epochs;
  std::string scratchEpoch;
  // The last record's own fields and their texts before and after age_s.
  RecordFields lastFields;
  std::string fieldsHead, fieldsTail;
};
