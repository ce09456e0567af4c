// GPSbEphHeader: the header of a RINEX GPS navigation file (version 2) or of
// a RINEX version 3/4 navigation file (GPS or mixed).
//
// Holds the format version and type, the creating program, agency and date,
// the ionosphere model of the broadcast message (Klobuchar alpha0..alpha3 in
// s, s/semicircle, s/semicircle^2, s/semicircle^3 and beta0..beta3 in s,
// s/semicircle, ...), the GPS - UTC polynomial (A0 in s, A1 in s/s, its
// reference time T in s of GPS week W) and the leap seconds GPS - UTC, all
// as written in the file (RINEX 2.11 format description, GPS navigation
// message file).  The values are kept for completeness; the orbit
// computation does not use them.
//
// Reading (operator>>) goes line by line up to END OF HEADER.  Each line is
// parsed by the first of these labels that it contains anywhere:
// RINEX VERSION / TYPE, PGM / RUN BY / DATE, ION ALPHA, ION BETA,
// DELTA-UTC: A0,A1,T,W, LEAP SECONDS, COMMENT (skipped); and those of versions
// 3 and 4: IONOSPHERIC CORR (its GPSA and GPSB lines give alpha and beta),
// TIME SYSTEM CORR (its GPUT line gives A0, A1, T and W), and DOI, LICENSE
// OF USE, STATION INFORMATION, MERGED FILE (skipped).  Any other line is
// reported as "<text from column 61> -> UNKNOWN HEADER LABEL" in this class's
// warning frame on standard output, and reading goes on.  When the file ends
// before END OF HEADER nothing is parsed and the stream is left failed.
#pragma once

#include <istream>

class GPSbEphHeader {
 public:
  float version = 0;         // format version, e.g. 2.1
  char type[20] = "";        // file type text
  char pgm[21] = "";         // program that created the file
  char runby[21] = "";       // agency
  char date[21] = "";        // creation date
  long double a0 = 0;        // GPS - UTC polynomial term A0, s
  long double a1 = 0;        // GPS - UTC polynomial term A1, s/s
  int T = 0;                 // reference time of the UTC data, s of week
  int W = 0;                 // reference week of the UTC data
  short leaps = 0;           // leap seconds GPS - UTC, s
  long double alfa[4] = {};  // ionosphere parameters alpha0..alpha3
  long double beta[4] = {};  // ionosphere parameters beta0..beta3

  float GetVersion() const { return version; }

  // Line parsers; columns as in the RINEX 2 header layout.
  // version from columns 1-9, type from columns 21-39.
  void ParseRVersionType(const char* line);
  // pgm, runby and date from columns 1-20, 21-40 and 41-60.
  void ParsePgmRunByDate(const char* line);
  // Four values into target: mantissa of columns 3+12k..10+12k times ten to
  // the integer of columns 12+12k..14+12k (k = 0..3).
  void ParseIon(const char* line, long double* target);
  // A0 (columns 4-18, exponent 20-22), A1 (23-37, exponent 39-41), T
  // (42-50) and W (51-59).
  void ParseDeltaUTC(const char* line);
  // IONOSPHERIC CORR: a GPSA or GPSB line gives alfa or beta from four
  // D12.4 fields from column 6; other systems' lines are passed over.
  void ParseIonCorr(const char* line);
  // TIME SYSTEM CORR: a GPUT line gives A0 (columns 6-22), A1 (23-38), T
  // (40-45) and W (47-50); other lines are passed over.
  void ParseTimeCorr(const char* line);
  // leaps from columns 1-6 (the first field of the version 3/4 line too).
  void ParseLeapS(const char* line);

  // Header warning frame of this class on standard output.
  void GPSbEphHeaderWarning(const char* text);
};

// Reads the header; see the top of this file.
std::istream& operator>>(std::istream& in, GPSbEphHeader& h);
