// TestInputGNSSf, the tests of the GNSS input files: each tells from a
// file's first line whether it is of the format the driver expects (RINEX 2
// navigation or observation, RINEX 3 or 4 navigation, SP3, ANTEX, IONEX),
// before any reader opens it.
//
// Each test opens the first bytes of the file as InputFile (a gzip or Unix
// compress file is judged by its content, of which only those bytes are
// decompressed), reads its first line and closes the file again;
// nothing but that line is examined, and of it at most its first
// kFirstLineLength characters (a longer line is judged on those).  A carriage
// return before the line end is not part of the line.  A file that cannot be
// opened fails every test.
//
// The labels and columns are those of the format descriptions: RINEX 2
// (label "RINEX VERSION / TYPE", file type in column 21), RINEX 3 and 4
// (version in columns 1-9, satellite system in column 41), SP3 versions c
// and d (a 60-character first line beginning "#c" or "#d" and the
// position/velocity flag P or V), ANTEX ("ANTEX VERSION / SYST") and IONEX
// ("IONEX VERSION / TYPE").
#pragma once

// Characters of a first line that the tests examine.
constexpr int kFirstLineLength = 126;

// RINEX 2 file whose type (column 21) is type: 'N' for GPS navigation,
// 'G' for GLONASS navigation, 'O' for observations.
bool TestRINEXf(const char* fname, char type);

// RINEX navigation file for system 'G' (GPS) or 'R' (GLONASS): a version 2
// file (version in columns 1-9 below 3) whose type letter is that of
// TestRINEXf ('N' for GPS, 'G' for GLONASS), or a version 3.xx or 4.xx file
// of type 'N' (column 21) whose system letter (column 41) is the system or
// 'M' (mixed).  Observation files and other systems' files fail.
bool TestRINEXNavf(const char* fname, char system);

// SP3 version c or d file: the first line, trimmed of blanks on both sides,
// is exactly 60 characters long, begins with "#c" or "#d" and has P or V
// third.  Versions a and b fail.
bool TestSP3Format(const char* fname);

// ANTEX antenna calibration file.
bool TestAntexf(const char* fname);

// IONEX ionosphere map file.
bool TestIONEXf(const char* fname);
