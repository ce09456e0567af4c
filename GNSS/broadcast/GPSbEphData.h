// GPSbEphData: the Keplerian records of a RINEX navigation file (version 2
// GPS, or the records of the chosen messages of GPS, Galileo, BeiDou, QZSS
// and NavIC in a version 3/4 file).
//
// One row per broadcast record, in file order (nothing is sorted or merged
// here; health, accuracy and issue-of-data values are kept but not tested):
//   sat(k)      the PRN as written in the file (GPS PRN n is n);
//   mjdo(k)     the record epoch, the clock reference time Toc of its first
//               line, GPS time;
//   data(k, j)  the 28 broadcast parameters in the order of the RINEX
//               record (the same in versions 2, 3 and 4), units as in the
//               file (s, m, rad, rad/s, week, ...):
//      0 af0 (s)         7 Cuc (rad)        14 Cis (rad)       21 GPS week
//      1 af1 (s/s)       8 e                15 i0 (rad)        22 L2 P flag
//      2 af2 (s/s^2)     9 Cus (rad)        16 Crc (m)         23 accuracy (m)
//      3 IODE           10 sqrt(A) (m^1/2)  17 omega (rad)     24 health
//      4 Crs (m)        11 Toe (s of week)  18 OMEGA dot (rad/s) 25 TGD (s)
//      5 delta n (rad/s) 12 Cic (rad)       19 IDOT (rad/s)    26 IODC
//      6 M0 (rad)       13 OMEGA0 (rad)     20 codes on L2     27 transmission time (s of week)
//   fnav[k]     whether record k is a Galileo F/NAV record;
//   kind[k]     its message (NavMessages.h);
//   satList     the distinct satellite numbers, ascending.
// Fields 25 and 26 hold the group delays of the other systems' LNAV-like
// records (Galileo BGD E5a/E1 and E5b/E1, BeiDou TGD1 and TGD2).
// Version 3/4 records keep all their numbers, kNStored places in file order
// (a blank group delay of the record's layout as NaN, every other blank
// field as 0): the CNAV, CNAV-2, B-CNAV and NavIC records in the
// places their layout (navmsg::Layout) gives, which share 0-19 with the
// table above except for the places that layout names.  Version 2 records
// fill the first 28.
//
// The store sizes the tables with SetNRecords from its counting pass and then
// reads the records with operator>> (version 2), or reads a version 3/4 file
// in one pass with ReadRecords3.  A record that the file cuts short is
// not kept; scan tells how reading ended, so that the store can report it.
#pragma once

#include <cstdint>
#include <istream>
#include <vector>

#include "GNSS/broadcast/NavMessages.h"
#include "GNSS/broadcast/RinexNav.h"
#include "GNSS/broadcast/RinexNav3.h"
#include "GNSS/time/mjd.h"
#include "matrix/matrix.h"

class GPSbEphData {
 public:
  static constexpr int kNParam = 28;   // numbers of one LNAV record
  static constexpr int kNStored = 39;  // places kept of every record

  std::uint32_t nsatall = 0;      // number of records
  matrix<mjd> mjdo;               // record epochs (Toc), GPS time, n x 1
  matrix<short> sat;              // satellite numbers, n x 1
  matrix<short> satList;          // distinct satellite numbers, ascending
  matrix<long double> data;       // broadcast parameters, n x kNStored
  std::vector<bool> fnav;         // Galileo F/NAV records, n
  std::vector<navmsg::Kind> kind;  // message of each record, n
  rinexnav::RecordScan scan;      // how the last reading pass ended

  // The broadcast parameters of one record that the orbit and the clock
  // read, by their names in the RINEX format and the interface documents
  // (IS-GPS-200 Tables 20-III and 20-IV; the other systems' records hold
  // their counterparts in the same columns), units as in the file: a view of
  // its row of data, valid while data keeps its size.
  class Record {
   public:
    // Column of TGD (navmsg::kTGD, the first group delay of the LNAV, CNAV
    // and NavIC layouts).
    static constexpr int kTGD = navmsg::kTGD;

    explicit Record(const long double* row) : p(row) {}
    long double af0() const { return p[0]; }   // clock bias, s
    long double af1() const { return p[1]; }   // clock drift, s/s
    long double af2() const { return p[2]; }   // clock drift rate, s/s^2
    long double Crs() const { return p[4]; }   // m
    long double DeltaN() const { return p[5]; }  // rad/s
    long double M0() const { return p[6]; }    // rad
    long double Cuc() const { return p[7]; }   // rad
    long double e() const { return p[8]; }
    long double Cus() const { return p[9]; }   // rad
    long double sqrtA() const { return p[10]; }  // m^1/2
    long double Toe() const { return p[11]; }  // s of week
    long double Cic() const { return p[12]; }  // rad
    long double OMEGA0() const { return p[13]; }  // rad
    long double Cis() const { return p[14]; }  // rad
    long double i0() const { return p[15]; }   // rad
    long double Crc() const { return p[16]; }  // m
    long double omega() const { return p[17]; }  // rad
    long double OMEGADOT() const { return p[18]; }  // rad/s
    long double IDOT() const { return p[19]; }  // rad/s
    long double TGD() const { return p[kTGD]; }  // s
    // CNAV, CNAV-2 and B-CNAV records only:
    long double Adot() const { return p[3]; }     // change rate of A, m/s
    long double DeltaN0dot() const { return p[20]; }  // rate of Delta n0, rad/s^2
    long double SatType() const { return p[21]; }  // B-CNAV: 1 GEO, 2 IGSO, 3 MEO
    // The number at place j (0 <= j < kNStored).
    long double At(int j) const { return p[j]; }

   private:
    const long double* p;  // the row's kNStored numbers
  };
  // Record k; its row is index-checked here, once.
  Record Row(int k) const { return Record(&data(k, 0)); }

  // Sets nsatall = n and sizes sat and mjdo to n x 1, data to n x kNStored
  // and fnav and kind to n (every record LNAV).
  void SetNRecords(std::uint32_t n);
  // Keeps only the records `rows` (ascending), and rebuilds satList.
  void KeepRecords(const std::vector<int>& rows);

  // Reads the records that choice wants (version 3: by the system letter,
  // Galileo by its data sources; version 4: by the frame's message name)
  // that follow a version 3/4 header, each with the lines of its layout and
  // the numbers it needs present (navmsg::Layout's needed and required; a
  // GPS LNAV record its orbit and clock numbers and TGD), and sizes the
  // tables to them; the other records of the file are passed over.
  // Afterwards nsatall, the tables, satList and scan are as after operator>>.
  void ReadRecords3(std::istream& in, bool rinex4, const navmsg::Choice& choice);

  // One number in Fortran D notation (D, E or e exponent); see
  // rinexnav::ReadParameter.
  long double ReadParameter(std::istream& in);

  // Error frame of this class ("#### GPSbEphData: Error -> ... ####") on
  // standard output, then exit status 1.
  [[noreturn]] void GPSbEphDataError(const char* text);
  // Warning frame of this class on standard output.
  void GPSbEphDataWarning(const char* text);
};

// Reads the records that follow the header: satellite number, epoch and 28
// numbers each, until no record follows.  With nsatall 0 it ends the program
// with the data error "NUMBER OF RECORDS not set!".  Afterwards nsatall and
// the tables hold the complete records read, satList is built from them and
// scan tells how reading stopped.
std::istream& operator>>(std::istream& in, GPSbEphData& d);
