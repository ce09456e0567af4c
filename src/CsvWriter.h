// CsvWriter: the records of a run as CSV (-csv), for programs.
//
// One header row names every column with its unit; every record has the
// same 25 fields, whatever the system of its satellite and the files of the
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
// the table is no clock).  No blank lines, no comment lines.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "src/RecordValues.h"

class CsvWriter : public RecordSink {
 public:
  // Writes the header row.
  explicit CsvWriter(std::ostream& out);
  void Record(const RecordValues& r) override;

 private:
  // The epoch, MJD and second-of-day fields of epoch k, kept for the other
  // satellites of the series.
  const std::string& EpochFields(std::size_t k, const mjd& t);
  void Group(const ValueGroup& g);
  // x, y, z of v.
  void Space(const xyzt& v, int decimals);
  void Number(long double v, int decimals);

  std::ostream& sink;
  std::string line;
  std::vector<std::string> epochs;
  std::string scratchEpoch;
};
