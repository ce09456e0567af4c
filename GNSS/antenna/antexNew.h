// antexNew, the ANTEX store antex: the antenna calibrations of one ANTEX
// file, and the lookup of a satellite antenna's phase-centre offset valid at
// an epoch.
//
// The file (ANTEX 1.4 format description, Rothacher and Schmid) is read whole
// into memory, one AntennaPCV record per antenna, in file order.  A counting
// pass sizes the table and classifies the records by the satellite code of
// their type line (columns 21-23): GPS, GLONASS, Galileo, the other systems
// (BeiDou, QZSS, SBAS, IRNSS), and receiver antennas (no satellite code).
// A satellite block name without a code of its own (say "GLONASS-K2" or
// "BLOCK IIIF") is no error: the record is read and used, and each such
// name draws one warning per file, on standard error.
//
// Lookups select one record, which later reads refer to:
//   SetSatellite(prn, eph)  the first record of satellite prn (GPS n,
//                           GLONASS 100+n, Galileo 200+n, BeiDou 300+n, SBAS
//                           400+n, QZSS 500+n, IRNSS 600+n) valid at eph
//                           (GPS time); GetAntennaOffset then gives its
//                           offset in metres for one of the six kept
//                           frequencies, GetFirstOffset that of a system's
//                           first frequency, the satellite body frame's x,
//                           y, z in the n, e, u of the result;
//   SetAntenna(...)         a receiver antenna by its 20-character type name,
//                           optionally also by serial number and validity;
//                           GetAntennaPCV then gives its phase-centre
//                           variations in metres at a zenith angle and
//                           azimuth in degrees.
// A failed lookup selects nothing (GetAtxIndex() is -1), so that the values
// read afterwards are zero, and is reported on standard output while
// antexns::PrintWarns is 1.
//
// A damaged file (no end of header, a record without its end, an unusable
// grid, an over-long line) ends the run with a message naming the file.
#pragma once

#include <istream>
#include <set>
#include <string>

#include "GNSS/antenna/AntennaPCV.h"
#include "GNSS/time/mjd.h"
#include "GNSS/geometry/neu.h"
#include "matrix/matrix.h"

namespace antexns {
// While 1, failed lookups are reported.
extern short PrintWarns;
}  // namespace antexns

class antex {
 public:
  antex();

  // Stores the file name; a file that cannot be opened ends the run.
  void SetFile(const char* file);
  // Reads the whole file.  Called once, after SetFile.
  void ReadFile();

  long GetNAntenna() const { return nAntenna; }
  long GetNGPSSat() const { return nGPSSat; }
  long GetNGLNSat() const { return nGLNSat; }
  long GetNGALSat() const { return nGALSat; }
  // Satellites of BeiDou, QZSS, SBAS and IRNSS.
  long GetNOtherSat() const { return nOtherSat; }
  // Receiver antennas.
  long GetNRec() const { return nRec; }
  float GetVersion() const { return version; }
  char GetSatSystem() const { return satsystem; }
  char GetPCVType() const { return pvctype; }
  // A copy of record i (0-based, file order).
  AntennaPCV GetAntenna(long i) const;

  // Selects the first record of satellite prn valid at eph.
  void SetSatellite(short prn, const mjd& eph);
  // SetSatellite without the report of a failed lookup; true when a record
  // was selected.
  bool FindSatellite(short prn, const mjd& eph);
  // Index of the selected record, -1 when the last lookup found none.
  long GetAtxIndex() const { return IxAnt; }
  // Offset of the selected record for frequency code freq (antexns::G01 ...
  // antexns::E07), metres; zero without a selection or for another code.
  void GetAntennaOffset(neu& dpos, short freq) const;
  // Offset of the selected record's first (lowest-numbered) frequency of
  // system (G, R, E, C, J, S, I), metres; false, with dpos zero, without a
  // selection or when the record has no frequency of that system.
  bool GetFirstOffset(neu& dpos, char system) const;
  // Offset of the selected record's frequency of code (e.g. "C06"),
  // metres; false, with dpos zero, without a selection or such frequency.
  bool GetOffsetOf(neu& dpos, const char* code) const;

  // Selects the first record with antenna type ant (exactly 20 characters,
  // blank-padded as in the file).
  void SetAntenna(const char* ant);
  // ... and serial number ser (compared without surrounding blanks; an empty
  // ser selects the type's mean calibration, whose serial field is blank).
  void SetAntenna(const char* ant, const char* ser);
  // ... and valid at eph.
  void SetAntenna(const char* ant, const char* ser, const mjd& eph);
  // Variations of the selected antenna at zenith angle zen and azimuth azi
  // (degrees) for the six frequencies, metres, in frequency-code order; pcv
  // becomes 6 x 1, all zero without a selection.
  void GetAntennaPCV(double zen, double azi, matrix<double>& pcv);
  // The selected antenna is a GPS block IIR satellite (IIR, IIR-A, IIR-B or
  // IIR-M).
  bool IsBlockIIR() const;

 private:
  char antfile[1024];  // file name
  float version;       // ANTEX format version
  char satsystem;      // satellite system letter of the header
  char pvctype;        // A (absolute) or R (relative) calibrations
  long nAntenna;       // records
  long nGPSSat;        // records of GPS satellites
  long nGLNSat;        // records of GLONASS satellites
  long nGALSat;        // records of Galileo satellites
  long nOtherSat;      // records of BeiDou, QZSS, SBAS and IRNSS satellites
  long nRec;           // records of receiver antennas
  long IxAnt;          // selected record, -1 for none
  long ixZen, ixAzm;   // interpolation cell of the last variation lookup
  matrix<AntennaPCV> AT_PCV;  // the records, in file order
  std::set<std::string> warnedBlocks;  // block names without a code, reported

  // Reads the header up to "END OF HEADER".
  void ReadHeader(std::istream& in);
  // Counts and classifies the records after the header.
  void CheckData(std::istream& in);
  // Reads the nAntenna records after the header.
  void ReadData(std::istream& in);
  // Version and satellite system from the "ANTEX VERSION / SYST" line.
  void ParseRVersionType(const char* line);
  // Selects the first record matching ant and, when given, ser and eph;
  // reports a failure.
  void SelectAntenna(const char* ant, const char* ser, const mjd* eph);
  // Warns, once per name, that record rec has a block name without a code.
  void WarnUnknownBlock(const AntennaPCV& rec);
  // Ends the run with "ANTEX FILE <name>: <what>".
  [[noreturn]] void FileError(const char* what) const;
};
