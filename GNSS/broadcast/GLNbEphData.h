// GLNbEphData: the GLONASS data records of a RINEX navigation file (version
// 2, or the GLONASS FDMA records of a version 3/4 file).
//
// One row per record, in file order: the slot number as written (1-99, the
// system-wide offset of 100 is not added), the record epoch tb moved from
// UTC to GPS time, and the 15 numbers of the record (units as in the file):
//
//   0 SV clock bias -TauN (s)       8 velocity Vy (km/s)
//   1 relative frequency bias       9 acceleration Ay (km/s^2)
//     +GammaN                      10 frequency number
//   2 message frame time tk (s)    11 position Z (km)
//   3 position X (km)              12 velocity Vz (km/s)
//   4 velocity Vx (km/s)           13 acceleration Az (km/s^2)
//   5 acceleration Ax (km/s^2)     14 age of operational information (d)
//   6 health (0 = healthy)
//   7 position Y (km)
//
// From version 3.05 on a record's fifth line adds the L1/L2 group delay
// difference dTau_n (s, the delay of L2 minus that of L1), kept apart and
// NaN where the record has none (versions 2 to 3.04, a blank field).
//
// Nothing is sorted, merged or dropped; health and age are not tested.  tk
// is kept as written: seconds of the UTC day in version 2, of the UTC week
// from version 3 on (it is not used).
//
// Format: RINEX version 2 GLONASS navigation record, 4 lines: I2, the epoch
// (yy mm dd hh mi ss.s), 3 D19.12 numbers; then 3 lines of 4 D19.12 numbers.
// Versions 3 and 4: the same numbers in the layout of RinexNav3.h.
// The epochs of the file are UTC; each is moved to GPS time by adding
// GPS - UTC of its day from the program's leap-second table (LeapSecond).
// An epoch that is not a full minute is used as it is, with a warning.
#pragma once

#include <istream>
#include <vector>

#include "GNSS/broadcast/RinexNav.h"
#include "GNSS/broadcast/RinexNav3.h"
#include "GNSS/time/mjd.h"
#include "matrix/matrix.h"

class GLNbEphData {
 public:
  // Numbers of a record.
  static constexpr int kNParameter = 15;

  GLNbEphData() = default;

  // Sizes the tables for n records (sat and mjdo n x 1, data n x 15).
  void SetNRecords(int n);
  // Number of records (after reading: the records actually read).
  int GetNRecords() const { return nsatall; }

  short GetSat(int i) const { return sat(i); }
  const mjd& GetMJD(int i) const { return mjdo(i); }
  long double GetData(int i, int j) const { return data(i, j); }
  // dTau_n of record i as written (s); NaN where the record has none.
  long double GetDelayDifference(int i) const { return delayDiff[static_cast<std::size_t>(i)]; }
  // The distinct slot numbers, ascending.
  const matrix<short>& GetSatList() const { return satList; }
  // How the last reading pass ended (for the store's report).
  const rinexnav::RecordScan& GetScan() const { return scan; }

  // Reads the GLONASS records of a version 3/4 file after its header
  // (version 3: records of R satellites, 4 lines, 5 from version 3.05;
  // version 4: frames "EPH Rnn FDMA", 5 lines), each with its first 15
  // numbers present; the other records are passed over.  The epochs are
  // moved to GPS time and warned about as by operator>>; afterwards the
  // tables hold exactly the records read and GetScan() tells how reading
  // ended.  orbitless, when given, receives each version 4 record without a
  // satellite orbit (STO, EOP, ION).
  void ReadRecords3(std::istream& in, float version,
                    const rinexnav::OrbitlessRecord& orbitless = nullptr);

  // Keeps the records of the given rows, in that order.
  void KeepRecords(const std::vector<int>& rows);

  // One number in Fortran D notation (D, E or e before the exponent); see
  // rinexnav::ReadParameter.
  static long double ReadParameter(std::istream& in);

  // Data error on standard output, after an empty line:
  // "#### GLNbEphData: Error -> <text> ####", "     Exiting GLNbEphData ... ",
  // then exit status 1.
  [[noreturn]] static void GLNbEphDataError(const char* text);

  // Reading pass after the header.  With no records sized it ends the run
  // with the data error "NUMBER OF RECORDS not set!".  Records are read up to
  // the end of the records; the tables then hold exactly the complete
  // records read (a record cut short by the end of the file is dropped), and
  // GetScan() tells how reading ended.  For each record epoch whose seconds
  // differ from 0 by more than 0.01 s the warning
  // "GLONASS EPHEMERIS DATA: SATELLITE Rnn EPOCH SECONDS sss.s [NOT FULL MINUTES]"
  // goes to standard error (ProgramWarning).
  friend std::istream& operator>>(std::istream& in, GLNbEphData& d);

 private:
  int nsatall = 0;                // number of records
  matrix<mjd> mjdo;               // record epoch tb, GPS time
  matrix<short> sat;              // slot number
  matrix<short> satList;          // distinct slot numbers, ascending
  matrix<long double> data;       // the 15 numbers of each record
  std::vector<long double> delayDiff;  // dTau_n of each record, s
  rinexnav::RecordScan scan;      // how the reading pass ended
};
