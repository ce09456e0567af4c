// AntennaPCV: the calibration of one GNSS antenna, as one record of an ANTEX
// file holds it.
//
// A record (ANTEX 1.4 format description, Rothacher and Schmid) gives, per
// frequency, the mean phase-centre offset and the phase-centre variations
// (PCV) as a function of the zenith angle (the nadir angle for a satellite
// antenna) and optionally of the azimuth.  Offsets and variations of six
// frequencies are kept: GPS L1 and L2 (ANTEX codes G01, G02), GLONASS G1 and
// G2 (R01, R02) and Galileo E1 and E5b (E01, E07).  Of every other frequency
// block only the offset is kept, so that each system finds the offset of its
// first frequency (E01, C01 or C02, J01, ...).
//
// A satellite antenna is recognised by the satellite code (system letter G,
// R, E, C, J, S or I and two digits) that opens its serial field, columns
// 21-23 of the type line, the rest of the field blank.  Its block name
// (columns 1-20) is kept as text; the GPS blocks and GLONASS generations
// listed in AntennaPCV.cpp, and the Galileo, BeiDou, QZSS and IRNSS families,
// have codes; any other name gets antexns::UnknownBlock.
//
// Units: offsets and variations in metres (the file holds millimetres);
// angles in degrees; the validity period is an mjd in GPS time.  For a
// receiver antenna the offset is north, east, up; for a satellite antenna the
// neu value carries the x, y, z offsets of the satellite body frame in n, e
// and u.
//
// The variation lookup interpolates linearly in zenith angle and, where the
// record has an azimuth table, bilinearly in zenith angle and azimuth.  Angles
// outside the table are clamped to its first or last node; azimuths are taken
// modulo 360 degrees.  The result is as accurate as the calibration grid
// (variations are given to 0.01 mm on nodes typically 5 degrees apart).
#pragma once

#include <istream>

#include "GNSS/time/mjd.h"
#include "GNSS/geometry/neu.h"
#include "matrix/matrix.h"

namespace antexns {

// Frequency codes of the offsets and variation tables that are kept.
constexpr short G01 = 0;  // GPS L1
constexpr short G02 = 1;  // GPS L2
constexpr short R01 = 2;  // GLONASS G1
constexpr short R02 = 3;  // GLONASS G2
constexpr short E01 = 4;  // Galileo E1
constexpr short E07 = 5;  // Galileo E5b
constexpr short NFreqKept = 6;

// Antenna kind codes beyond the GPS blocks (1-9), the GLONASS generations
// (10-13) and Galileo (14); 0 is a receiver antenna.
constexpr short BlockBeiDou = 15;   // any "BEIDOU..." name
constexpr short BlockQZSS = 16;     // any "QZSS..." name
constexpr short BlockIRNSS = 17;    // any "IRNSS..." name
constexpr short UnknownBlock = 18;  // a satellite whose block name has no code

// Frequency blocks whose offsets a record keeps; a real record has fewer
// than thirty, the rest of a longer (damaged) one is not kept.
constexpr int MaxFreqBlocks = 40;

// Satellite number (satcode.h) of the code that opens the serial field of a
// type line (columns 21-23, the rest of columns 24-40 blank);
// satcode::kNone when the field holds no satellite code.
short SatelliteAt(const char* line);

// Longest line the reader accepts, terminator excluded; it holds a
// variation row of MaxZenNodes nodes in 8-column fields.
constexpr int LineMax = 8191;
// Largest zenith and azimuth grids accepted (a finer grid is no calibration
// but a damaged record, and would only cost memory).
constexpr long MaxZenNodes = 1000;
constexpr long MaxAziNodes = 3601;

// Reads one line of at most LineMax characters into buf (LineMax + 1 bytes).
// Returns false at end of file; sets tooLong when the line did not fit.
bool GetAtxLine(std::istream& in, char* buf, bool& tooLong);

}  // namespace antexns

// How reading one record ended; anything but Ok means a damaged file.
enum class AtxRecordStatus {
  Ok,             // "END OF ANTENNA" was reached
  NoEnd,          // end of file, or the next "START OF ANTENNA", came first
  BadZenithGrid,  // ZEN1 / ZEN2 / DZEN do not describe a usable grid
  BadAzimuthGrid, // DAZI does not describe a usable grid
  LineTooLong,    // a line longer than antexns::LineMax
};

class AntennaPCV {
 public:
  AntennaPCV();

  // Reads one record from the line after its "START OF ANTENNA" up to and
  // including its "END OF ANTENNA", then completes a receiver antenna's
  // missing frequencies.  A record without a type line draws a warning.
  AtxRecordStatus ReadFile(std::istream& in);

  // Parses a "TYPE / SERIAL NO" line: PCVType, SatID, AntennaName and
  // AntennaSerial.
  void ParseSerialType(const char* line);
  // Reads the date of a "VALID FROM" / "VALID UNTIL" line into t.
  void ParseValid(const char* line, mjd& t);
  // Reads one frequency block after its "START OF FREQUENCY" line: the
  // offset, the NOAZI row and, with an azimuth grid, the azimuth rows.
  AtxRecordStatus ReadPCVData(std::istream& in, neu& pc, matrix<double>& pvzen,
                              matrix<double>& pvazi);

  // Variations in metres at zenith angle zen and azimuth azi (degrees) for
  // the six frequencies, in frequency-code order; pcv becomes 6 x 1.  A
  // frequency without a table gives 0.
  void GetAntennaPCV(double zen, double azi, matrix<double>& pcv);
  // Locates zen and azi in the grid: ixZen and ixAzm become the lower nodes
  // of their interpolation cells (ixAzm is -1 without an azimuth grid).
  void SetIX(double zen, double azi);
  // Variation from a zenith table of this record (nZen x 1), interpolated
  // linearly in zen; 0 for an empty table.
  double GetAntennaPCV_ZEN(const matrix<double>& pvzen, double zen) const;
  // Variation from an azimuth table of this record (nAzi x nZen),
  // interpolated bilinearly in zen and azi; 0 for an empty table.
  double GetAntennaPCV_AZI(const matrix<double>& pvazi, double zen, double azi) const;

  short GetSatID() const { return SatID; }
  const char* GetAntennaName() const { return AntennaName; }
  const char* GetAntennaSerial() const { return AntennaSerial; }
  short GetPCVType() const { return PCVType; }
  double GetDAzi() const { return dazi; }
  double GetZen1() const { return zen1; }
  double GetZen2() const { return zen2; }
  double GetDZen() const { return dzen; }
  long GetNZen() const { return nZen; }
  long GetNAzi() const { return nAzi; }
  int GetNFreq() const { return nFreq; }
  long GetIxZen() const { return ixZen; }
  long GetIxAzm() const { return ixAzm; }
  bool HasAzimuthPCV() const { return hasAzimuthPCV; }
  const mjd& GetValidFrom() const { return ValidFrom; }
  const mjd& GetValidTo() const { return ValidTo; }
  // Offset and tables of frequency code freq (0-5, see antexns).
  const neu& GetOffset(short freq) const;
  // Frequency blocks of the record whose offsets are kept, in file order:
  // code (system letter and two characters, as written in columns 4-6) and
  // offset.
  int GetNFreqBlocks() const { return nBlocks; }
  const char* GetFreqCode(int i) const { return blocks[i].code; }
  const neu& GetFreqOffset(int i) const { return blocks[i].offset; }
  // Offset of the lowest-numbered frequency of system (a letter of
  // satcode::kLetters) into dpos; false, and dpos untouched, when the
  // record has no block of that system.
  bool GetFirstOffset(char system, neu& dpos) const;
  // Offset of the frequency block of code (e.g. "C06") into dpos; false,
  // and dpos untouched, when the record has no such block.
  bool GetOffsetOf(const char* code, neu& dpos) const;
  const matrix<double>& GetPVZEN(short freq) const;
  const matrix<double>& GetPVAZI(short freq) const;

 private:
  short SatID;            // satellite number (satcode.h); 0 for a receiver
  char AntennaName[21];   // columns 1-20 of the type line
  char AntennaSerial[21]; // columns 21-40 of the type line
  short PCVType;          // antenna kind code; -1 before a type line
  double dazi;            // azimuth increment, degrees; 0 without azimuth PCV
  double zen1, zen2, dzen;  // zenith grid, degrees
  long nZen;              // zenith nodes
  long nAzi;              // azimuth nodes (rows of the azimuth tables)
  int nFreq;              // frequencies stated in the record
  long ixZen, ixAzm;      // lower grid nodes of the last lookup; -1 unset
  double thres;           // smallest azimuth increment that counts as a grid
  bool hasAzimuthPCV;     // the record has azimuth-dependent variations
  mjd ValidFrom, ValidTo; // validity period
  neu PC_G01, PC_G02, PC_R01, PC_R02, PC_E01, PC_E07;  // mean offsets, m
  matrix<double> PVZEN_G01, PVZEN_G02, PVZEN_R01, PVZEN_R02, PVZEN_E01,
      PVZEN_E07;  // zenith variations, m, nZen x 1
  matrix<double> PVAZI_G01, PVAZI_G02, PVAZI_R01, PVAZI_R02, PVAZI_E01,
      PVAZI_E07;  // azimuth variations, m, nAzi x nZen

  // The offset of one frequency block.
  struct FreqOffset {
    char code[4];  // e.g. "C02"
    neu offset;    // m
  };
  FreqOffset blocks[antexns::MaxFreqBlocks];
  int nBlocks;  // blocks kept
  // Handles a "START OF FREQUENCY" line: reads a block whose tables are
  // kept at once; notes another block's code in pending (4 bytes), so that
  // its NORTH / EAST / UP line is kept when it comes.
  AtxRecordStatus StartFrequency(std::istream& in, const char* line, char* pending);
  // Keeps the offset of the block code, unless the record already has one
  // for that code or is full.
  void KeepOffset(const char* code, const neu& offset);
  // Offset in metres from a NORTH / EAST / UP line.
  static neu ParseOffset(const char* line);

  // A receiver antenna's missing frequencies deliver the offset and tables
  // of the frequency they are completed from, without copies of the tables
  // (a file holds hundreds of receiver antennas, each completed four
  // times): entry f names the frequency whose offset, zenith table and
  // azimuth table frequency f delivers; f itself unless completed.
  short pcFrom[antexns::NFreqKept];
  short zenFrom[antexns::NFreqKept];
  short aziFrom[antexns::NFreqKept];

  // The offset and the two tables of one frequency.
  struct Frequency {
    neu* pc;
    matrix<double>* pvzen;
    matrix<double>* pvazi;
  };
  // The ones frequency freq delivers, and the ones read for it.
  Frequency Freq(short freq);
  Frequency Own(short freq);
  // Every frequency delivers its own offset and tables.
  void ResetCompletion();
  // Fills a receiver antenna's missing frequencies from the ones present.
  void CompleteFrequencies();
  // Frequency to delivers what frequency from delivers (its azimuth table
  // only when the record has azimuth-dependent variations).
  void CopyFrequency(short from, short to);
};
