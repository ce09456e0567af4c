// Run state of one Orbika run.
//
// One object lives on main's stack for the whole run.  It owns the four
// stores (GPS and GLONASS broadcast ephemerides, precise ephemeris, antenna
// calibrations), the input file names, the satellite list, the processing
// window (GPS time) and the flags set by the command line and the input
// checks.  The pipeline steps are free functions taking it by reference.
#pragma once

#include <map>
#include <ostream>
#include <vector>

#include "GNSS/broadcast/GLNbEph.h"
#include "GNSS/precise/GNSSpEph.h"
#include "GNSS/broadcast/GPSbEph.h"
#include "GNSS/broadcast/NavMessages.h"
#include "GNSS/broadcast/SBASbEph.h"
#include "GNSS/broadcast/SignalPairs.h"
#include "GNSS/antenna/antexNew.h"
#include "GNSS/time/mjd.h"
#include "PROGINC/report/ReportCapture.h"
#include "matrix/matrix.h"

class Orbika {
 public:
  GPSbEph gpsnav;   // GPS broadcast ephemeris store
  GLNbEph glnnav;   // GLONASS broadcast ephemeris store
  SBASbEph sbasnav;  // SBAS broadcast state vectors of the -en file (-nm S:SBAS)
  GNSSpEph pephM;   // precise ephemeris store
  antex atx;        // antenna calibration store

  char gnavfile[1024];  // GPS navigation file (-en)
  char rnavfile[1024];  // GLONASS navigation file (-eg)
  char sp3file[1024];   // precise ephemeris file (-ep)
  char atxfile[1024];   // ANTEX file (-pv)

  matrix<short> satprn;  // satellite list, one satellite number per row

  mjd stE;   // start of the processing window
  mjd enE;   // end of the processing window (inclusive)
  mjd useE;  // forced epoch for choosing broadcast records (-ti)

  long double dt;    // interval between output epochs, s (-dt)
  long double dtni;  // GLONASS integration step, s (-ni)
  navmsg::Choice messages;  // navigation message per system (-nm)
  int threads;       // threads computing the satellites (-th); 1: this one alone

  // The ionosphere-free pair of each system (G, J, E, C, R) that the CSV's
  // pair clocks refer to (-cp; each system's default otherwise), and whose
  // antenna offsets -pi combines.
  std::map<char, const signalpair::Pair*> pairs;
  // Satellites some of whose precise positions kept their centre of mass
  // for want of an antenna offset (ApplyAtx), ascending.
  std::vector<short> withoutAntenna;
  // The shift was made ahead, while files were still read (-th); what it
  // reported waits here for ApplyAtx to write it.
  bool antennaAhead = false;
  std::vector<report::Kept> antennaReports;

  bool verbose;    // progress messages on standard error
  bool isGLNnav;   // a usable GLONASS navigation file is named
  bool isGPSnav;   // a usable GPS navigation file is named
  bool isPEph;     // a usable precise ephemeris file is named
  bool isAtx;      // a usable ANTEX file is named
  bool isPRNList;  // the satellite list came from the command line
  bool isStart;    // the start epoch came from the command line
  bool isEnd;      // the end epoch came from the command line
  bool isUse;      // a reference epoch came from the command line
  bool isMessages;  // -nm was given
  bool isReceiver;  // -rx: each epoch's record as a receiver would have it
  bool isHelp;     // a help request was seen
  bool csv;        // the records as CSV; standard output holds them alone
  bool isPairs;    // pairs were chosen on the command line (-cp)
  bool pairOffsets;  // antenna offsets of the pair, not the first frequency (-pi)
  bool isUnopened;  // a named file could not be opened: the run ends with status 1
  bool RunProg;    // the processing steps are to run

  Orbika();
  ~Orbika() = default;
  Orbika(const Orbika&) = delete;
  Orbika& operator=(const Orbika&) = delete;

  // Start banner on standard error (verbose only).
  void StartProg();
  // Closing banner on standard error (verbose only).
  void EndProg();
  bool GetRunProg() const { return RunProg; }
};

// Splits a system-wide satellite number into its system letter (G, R, E, C,
// S, J, I) and its number within the system.  Returns false for numbers
// outside 0-699, which the output leaves out.
bool SatelliteCode(short n, char& letter, short& number);

// Ends the run with an error report on standard error when out has failed
// to take what was written to it (a full disk, a closed stream): the table
// would be cut short, and status 0 would tell otherwise.
void CheckOutput(const std::ostream& out);
// At the end of the run: standard output flushed, then checked.
void CheckStandardOutput();
