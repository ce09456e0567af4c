// GLNbEphHeader: the header of a RINEX GLONASS navigation file (version 2)
// or of a RINEX version 3/4 navigation file (GLONASS or mixed).
//
// Holds the labelled header lines that matter to the GLONASS broadcast
// store: format version and file type, the creating program, agency and
// date, the correction TauC from GLONASS time to the system time scale with
// the date it refers to, and the leap seconds as written.  TauC (seconds) is
// applied by the orbit computation (GLNbEph); the leap seconds of the file
// are kept but not used: the move of the record epochs from UTC to GPS time
// takes GPS - UTC from the program's own table (LeapSecond).
//
// Format: RINEX version 2.01/2.10 GLONASS navigation message header (labels
// in columns 61-80, values in fixed columns).  Known labels, first match
// wins: END OF HEADER, RINEX VERSION / TYPE, PGM / RUN BY / DATE,
// CORR TO SYSTEM TIME, LEAP SECONDS, COMMENT (skipped); and those of versions
// 3 and 4: TIME SYSTEM CORR (its GLUT line gives TauC, the same correction
// from GLONASS time to UTC(SU) as CORR TO SYSTEM TIME), IONOSPHERIC CORR,
// DOI, LICENSE OF USE, STATION INFORMATION, MERGED FILE (skipped).  Version 4
// files carry the correction in STO records among the orbits: the first
// whose time system code is GLUT gives TauC (ParseSto).  Any other line, GPS labels such as ION ALPHA included, draws the
// header warning "<line from column 61> -> UNKNOWN HEADER LABEL".
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "GNSS/time/ymdhms.h"

class GLNbEphHeader {
 public:
  GLNbEphHeader() = default;

  // RINEX VERSION / TYPE: version from columns 1-9, type from columns 21-39.
  void ParseRVersionType(const char* line);
  // PGM / RUN BY / DATE: columns 1-20, 21-40 and 41-60, each trimmed.
  void ParsePgmRunByDate(const char* line);
  // CORR TO SYSTEM TIME: year, month, day in columns 1-6, 7-12, 13-18 (the
  // year as written; the date is validated), TauC = mantissa of columns
  // 21-36 times 10 to the integer of columns 38-40.
  void ParseCorrSystemTime(const char* line);
  // TIME SYSTEM CORR: a GLUT line gives TauC (columns 6-22) and, when its
  // week (columns 47-50) is not 0, the date of its reference epoch (week and
  // second of week, columns 40-45); other lines are passed over.
  void ParseTimeCorr(const char* line);
  // LEAP SECONDS: the integer of columns 1-6.
  void ParseLeapS(const char* line);
  // A version 4 record without a satellite orbit, from its frame line on:
  // the first STO record with the code GLUT (columns 25-28 of its epoch
  // line) gives TauC, its A0 (columns 24-42 of the next line), and the date
  // of its epoch; others are passed over.
  void ParseSto(const std::vector<std::string>& lines);

  float GetVersion() const { return version; }
  const char* GetType() const { return type; }
  const char* GetPgm() const { return pgm; }
  const char* GetRunBy() const { return runby; }
  const char* GetDate() const { return date; }
  // Correction to the system time scale, s.
  long double GetTauC() const { return TauC; }
  // Reference date of TauC, 00:00:00.
  const ymdhms& GetRefTimeCorr() const { return RefTimeCorr; }
  short GetLeapS() const { return leaps; }

  // Header warning on standard output, after an empty line:
  // "#### GLNbEphHeader: Warning -> <text> ####",
  // "     Continuing GLNbEphHeader ... ".
  static void GLNbEphHeaderWarning(const char* text);

  // Reads the header up to END OF HEADER.  A header line longer than 99
  // characters is read as its first 99 and warned about.  When the file ends
  // before END OF HEADER nothing is stored and the stream is left failed.
  friend std::istream& operator>>(std::istream& in, GLNbEphHeader& head);

 private:
  float version = 0;         // format version
  char type[20] = {};        // file type text
  char pgm[21] = {};         // program that created the file
  char runby[21] = {};       // agency
  char date[21] = {};        // creation date
  long double TauC = 0;      // correction to system time scale, s
  ymdhms RefTimeCorr;        // reference date of TauC
  short leaps = 0;           // leap seconds as written (not used)
  bool stoTauC = false;      // TauC came from an STO record
};
