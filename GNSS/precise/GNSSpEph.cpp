// Reading of the SP3 file: the counting pass and the header.  The epoch
// blocks are read in GNSSpEphBlocks.cpp, the interpolation is in
// GNSSpEphInterp.cpp.
#include "GNSS/precise/GNSSpEph.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "GNSS/precise/GNSSpEphText.h"
#include "GNSS/time/TimeConverse.h"
#include "GNSS/base/mGNSSc.h"
#include "GNSS/base/satcode.h"
#include "PROGINC/files/InputFile.h"
#include "GNSS/time/TimeText.h"
#include "PROGINC/report/ProgramError.h"
#include "PROGINC/text/FieldNumber.h"

using sp3text::Col;
using sp3text::FileError;
using sp3text::FileWarning;
using sp3text::kHeaderLineSize;

namespace {

const char kProg[] = "Orbika";

// Satellite-list layout: 17 entries per line, 3 columns each from column 10.
constexpr int kEntriesPerLine = 17;
constexpr int kFirstEntryColumn = 10;

// Header lines besides the satellite and accuracy lines and the comments:
// two identification lines, two %c, two %f and two %i lines.
constexpr long kFixedHeaderLines = 8;

// Offsets of time scales from GPS time, s.
constexpr long double kTaiMinusGps = 19;     // TAI - GPS, fixed at the GPS origin
constexpr long double kGpsMinusBdt = 14;     // GPS - BDT, fixed at the BDT origin (2006)
constexpr long double kGloMinusUtc = 10800;  // GLONASS time is UTC(SU) + 3 h

// Largest accepted epoch interval, s: the table's epochs must stay dates.
constexpr long double kMaxInterval = 1e6;

}  // namespace

GNSSpEph::GNSSpEph()
    : DTisOK(true),
      PSisOK(true),
      version('\0'),
      flag('\0'),
      timeSystem(),
      nepoch(0),
      nSatListLines(0),
      nComments(0),
      nsat(0),
      interval(0),
      posBase(0),
      clkBase(0),
      nPtsPos(7),
      nPtsTime(2),
      OMEGAz(GPSc::OMEGAe),
      Relativity(0),
      nHeaderLines(0),
      nEpochLines(0),
      nFileLines(0) {
  sp3file[0] = '\0';
}

void GNSSpEph::SetFile(const char* file) {
  if (std::strlen(file) >= sizeof sp3file)
    ProgramError(kProg, "GNSS PRECISE EPHEMERIS FILE NAME LONGER THAN 255 CHARACTERS!");
  std::strcpy(sp3file, file);
}

void GNSSpEph::ReadFile() {
  CountSomeLines();

  InputFile inp(sp3file);
  if (!inp) FileError(sp3file, "CAN NOT BE OPENED!");
  sp3text::LineCursor cur(inp);
  ReadFileHeader(cur);
  CheckInterval();
  PlaceBlocks();
  if (version == 'd') StartEpoch += ToGpsTime();

  epoch.Resize(nepoch);
  const long nrec = nepoch * nsat;
  sat.Resize(nrec);
  sPos.Resize(nrec);
  sPosSig.Resize(nrec);
  ReadFileData(cur);
  inp.close();

  SetLfact();
  CheckSpacing();
}

// Counting pass: satellite-list and comment lines of the header, the header
// length, all lines of the file, and the epoch line of every block with its
// time.  The data end at an EOF line.
void GNSSpEph::CountSomeLines() {
  InputFile inp(sp3file);
  if (!inp) FileError(sp3file, "CAN NOT BE OPENED!");

  nSatListLines = nComments = nHeaderLines = nEpochLines = 0;
  blocks.clear();
  sp3text::LineCursor cur(inp);
  for (;;) {
    const LineRead rd = cur.Next(kHeaderLineSize);
    if (rd == LineRead::End) break;
    if (cur.line[0] == '*') {
      ++nEpochLines;
      EpochBlock b;
      b.line = cur.lineNo;
      b.readable = sp3text::EpochLineTime(cur.line, cur.len, b.t);
      blocks.push_back(b);
      continue;
    }
    if (nEpochLines > 0) {  // data lines are checked when read
      if (sp3text::IsEofLine(cur.line)) break;
      continue;
    }
    if (rd == LineRead::TooLong) {
      char what[128];
      std::snprintf(what, sizeof what, "HEADER LINE %ld LONGER THAN %d CHARACTERS!", cur.lineNo,
                    kHeaderLineSize - 1);
      FileError(sp3file, what);
    }
    ++nHeaderLines;
    if (cur.line[0] == '+' && cur.line[1] == ' ') ++nSatListLines;
    if (cur.line[0] == '/' && cur.line[1] == '*') ++nComments;
  }
  nFileLines = cur.lineNo;
  CheckHeaderLayout();
}

// The header must hold its fixed lines before the first epoch line.
void GNSSpEph::CheckHeaderLayout() const {
  if (nEpochLines == 0) FileError(sp3file, "NO EPOCH LINE FOUND!");
  if (nSatListLines == 0) FileError(sp3file, "NO SATELLITE LIST IN HEADER!");
  const long needed = kFixedHeaderLines + 2 * nSatListLines + nComments;
  if (nHeaderLines < needed) {
    char what[160];
    std::snprintf(what, sizeof what,
                  "HEADER SHORTER THAN ITS FIXED LAYOUT (%ld LINES, %ld NEEDED)!", nHeaderLines,
                  needed);
    FileError(sp3file, what);
  }
}

// The counting pass has checked the header's length and line sizes.
void GNSSpEph::ReadFileHeader(sp3text::LineCursor& cur) {
  // Line 1: version, position/velocity flag, number of epochs.
  cur.Next(kHeaderLineSize);
  version = Col(cur.line, cur.len, 2);
  flag = Col(cur.line, cur.len, 3);
  nepoch = FieldInteger(cur.line, 33, 0);

  // Line 2: interval, start epoch as MJD day and fraction of day.
  cur.Next(kHeaderLineSize);
  interval = FieldNumber(cur.line, 24, 0);
  long day = FieldInteger(cur.line, 39, 0);
  // A day number beyond the type's range must not wrap into a valid one.
  if (day < 0 || day > static_cast<long>(UINT32_MAX)) day = static_cast<long>(UINT32_MAX);
  const double frac = FieldNumber(cur.line, 45, 0);
  if (!(frac >= 0 && frac < 1)) {
    char what[128];
    std::snprintf(what, sizeof what, "LINE %ld: START FRACTION OF DAY %.13g NOT IN [0, 1)!",
                  cur.lineNo, frac);
    FileError(sp3file, what);
  }
  {
    // A day the time type refuses is reported with the file and line.
    timeutil::ReadingContext reading("GNSS PRECISE EPHEMERIS FILE", sp3file);
    reading.SetLine(cur.lineNo);
    StartEpoch.Set(static_cast<std::uint32_t>(day), static_cast<long double>(frac) * 86400);
  }

  ReadSatList(cur);
  ReadAccuracyExponents(cur);
  DropUnusableEntries();

  // Two %c lines, the first with the time system in columns 10-12, then
  // the first %f line with the accuracy bases.
  cur.Next(kHeaderLineSize);
  for (int c = 0; c < 3; ++c) timeSystem[c] = Col(cur.line, cur.len, 10 + c);
  timeSystem[3] = '\0';
  cur.Next(kHeaderLineSize);
  cur.Next(kHeaderLineSize);
  posBase = FieldNumber(cur.line, 3, 0);
  clkBase = FieldNumber(cur.line, 14, 0);

  // Second %f line, two %i lines, the comments, and whatever else the
  // header holds before the first epoch line.
  while (cur.lineNo < nHeaderLines) cur.Next(kHeaderLineSize);
}

// Satellite list; its first line gives the number of satellites.  The codes
// of entries without a number are kept for their warning.
void GNSSpEph::ReadSatList(sp3text::LineCursor& cur) {
  unnumbered.clear();
  unnumberedLetters.clear();
  for (long q = 0; q < nSatListLines; ++q) {
    cur.Next(kHeaderLineSize);
    if (q == 0) {
      const long n = FieldInteger(cur.line, 3, 0);
      if (n < 1 || n > kEntriesPerLine * nSatListLines || n > SHRT_MAX) {
        char what[160];
        std::snprintf(what, sizeof what,
                      "NUMBER OF SATELLITES %ld NOT VALID FOR %ld SATELLITE LIST LINES!", n,
                      nSatListLines);
        FileError(sp3file, what);
      }
      nsat = static_cast<short>(n);
      satList.Resize(nsat);
      satListSig.Resize(nsat);
    }
    for (int k = 0; k < kEntriesPerLine; ++k) {
      const long idx = kEntriesPerLine * q + k;
      if (idx >= nsat) break;
      const int col = kFirstEntryColumn + 3 * k;
      const char code[4] = {Col(cur.line, cur.len, col), Col(cur.line, cur.len, col + 1),
                            Col(cur.line, cur.len, col + 2), '\0'};
      satList(idx) = sp3text::SatNumber(code[0], code[1], code[2]);
      if (satList(idx) != satcode::kNone) continue;
      sp3text::AddCode(unnumbered, code);
      if (unnumberedLetters.find(code[0]) == std::string::npos) unnumberedLetters += code[0];
    }
  }
}

// Accuracy exponents, one three-column field per listed satellite.
void GNSSpEph::ReadAccuracyExponents(sp3text::LineCursor& cur) {
  for (long q = 0; q < nSatListLines; ++q) {
    cur.Next(kHeaderLineSize);
    for (int k = 0; k < kEntriesPerLine; ++k) {
      const long idx = kEntriesPerLine * q + k;
      if (idx >= nsat) break;
      satListSig(idx) = static_cast<short>(FieldInteger(cur.line, kFirstEntryColumn + 3 * k, 3));
    }
  }
}

// List entries that cannot serve leave the list, with one warning per
// kind: a letter without a number range (a number of another system would
// mix two satellites' orbits), and a satellite listed again (every entry is
// a table column and a satellite of the output).
void GNSSpEph::DropUnusableEntries() {
  std::vector<char> times(satcode::kEnd, 0);  // entries of each satellite so far (2: more)
  std::string repeated;
  long kept = 0;
  for (long k = 0; k < nsat; ++k) {
    const short s = satList(k);
    if (s == satcode::kNone) continue;
    if (times[s] > 0) {
      char code[4];
      if (times[s] == 1 && satcode::Format(s, code)) sp3text::AddCode(repeated, code);
      times[s] = 2;
      continue;
    }
    times[s] = 1;
    satList(kept) = s;
    satListSig(kept) = satListSig(k);
    ++kept;
  }
  if (kept == 0) FileError(sp3file, "NO SATELLITE OF THE LIST HAS A SATELLITE NUMBER!");
  if (kept < nsat) {
    matrix<short> list(kept), sig(kept);
    for (long k = 0; k < kept; ++k) {
      list(k) = satList(k);
      sig(k) = satListSig(k);
    }
    satList = list;
    satListSig = sig;
    nsat = static_cast<short>(kept);
  }
  if (!unnumbered.empty()) {
    unnumbered.pop_back();
    const std::string what =
        "LIST ENTRIES OF SYSTEMS WITHOUT SATELLITE NUMBERS SKIPPED: " + unnumbered + "!";
    FileWarning(sp3file, what.c_str());
  }
  if (!repeated.empty()) {
    repeated.pop_back();
    const std::string what = "SATELLITES LISTED MORE THAN ONCE, KEPT ONCE: " + repeated + "!";
    FileWarning(sp3file, what.c_str());
  }
}

void GNSSpEph::CheckInterval() const {
  if (!(interval > 0 && interval <= kMaxInterval)) {
    char what[128];
    std::snprintf(what, sizeof what, "EPOCH INTERVAL %.8Lf NOT VALID!", interval);
    FileError(sp3file, what);
  }
}

// Seconds to add to an epoch of the file's time system to reach GPS time.
// Galileo, QZSS and IRNSS system times are steered to GPS time (their
// offsets stay far below the table's resolution); UTC and GLONASS time use
// the leap seconds of the start epoch's day.
long double GNSSpEph::ToGpsTime() const {
  const std::string ts = timeSystem;
  if (ts == "GPS" || ts == "GAL" || ts == "QZS" || ts == "IRN" || ts == "ccc" || ts == "   ")
    return 0;
  if (ts == "TAI") return -kTaiMinusGps;
  if (ts == "BDT") return kGpsMinusBdt;
  if (ts == "UTC") return LeapSecond(StartEpoch);
  if (ts == "GLO") return -kGloMinusUtc + LeapSecond(StartEpoch);
  const std::string what = "TIME SYSTEM " + ts + " NOT KNOWN - EPOCHS TAKEN AS GPS TIME!";
  FileWarning(sp3file, what.c_str());
  return 0;
}
