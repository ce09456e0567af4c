#include "GNSS/GNSSpEph.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "PROGINC/InputFile.h"
#include "PROGINC/ProgramError.h"
#include "PROGINC/cfilef.h"
#include "PROGINC/cstringf.h"

namespace {

const char* const kProg = "Orbika";

// Line buffers: header lines up to 511 characters, data lines up to 114.
constexpr int kHeaderLineSize = 512;
constexpr int kDataLineSize = 115;

// Satellite-list layout: 17 entries per line, 3 columns each from column 10.
constexpr int kEntriesPerLine = 17;
constexpr int kFirstEntryColumn = 10;

// Header lines besides the satellite and accuracy lines and the comments:
// two identification lines, two %c, two %f and two %i lines.
constexpr long kFixedHeaderLines = 8;

// The SP3 bad-clock value (microseconds) and the marker stored for it (s).
constexpr long double kBadClockValue = 999999.0;
constexpr long double kBadClockTolerance = 2.0;
constexpr long double kBadClockMarker = 999999.0;
// An interpolated clock above this magnitude (s) is a bad clock.
constexpr long double kBadClockLimit = 0.9;
// Clock delivered in place of a bad one, s.
constexpr long double kBadClockResult = 1.0;

// A tabulated position with |x| + |y| + |z| below this (m) is missing.
constexpr long double kMissingPosition = 1.0;
// An epoch closer than this to a node (hours) coincides with it.
constexpr long double kNodeCoincidence = 1e-10;
// Epochs farther than this outside the table (s) draw a warning.
constexpr long double kCoverageMargin = 900.0;

// Largest half-width of an interpolation window (fixed work arrays).
constexpr int kMaxHalfWidth = 16;
// Largest accepted epoch interval, s: the table's epochs must stay dates.
constexpr long double kMaxInterval = 1e6;

// Light-time iteration.
constexpr long double kSpeedOfLight = 299792458.0;  // m/s
constexpr int kMaxLightTimeIter = 10;
constexpr long double kLightTimeTolerance = 1e-5;  // m

const char* const kCoverageWarning =
    "CALCULATION EPOCH NOT IN EPOCH INTERVAL OF INPUT PRECISE ORBIT FILE!";

// Character at column col (1-based) of a line of length len; a blank beyond
// the end of the line.
char Col(const char* line, int len, int col) {
  return (col >= 1 && col <= len) ? line[col - 1] : ' ';
}

// Tolerant decimal conversion of a field: leading white space skipped,
// conversion up to the first character that cannot continue a decimal
// number, 0 when there is no number.  Converted at double precision.
double FieldNumber(const char* s) {
  while (*s != '\0' && std::isspace(static_cast<unsigned char>(*s))) ++s;
  const char* p = s;
  if (*p == '+' || *p == '-') ++p;
  int digits = 0;
  while (std::isdigit(static_cast<unsigned char>(*p))) ++p, ++digits;
  if (*p == '.') {
    ++p;
    while (std::isdigit(static_cast<unsigned char>(*p))) ++p, ++digits;
  }
  if (digits == 0) return 0.0;
  if (*p == 'e' || *p == 'E') {
    const char* q = p + 1;
    if (*q == '+' || *q == '-') ++q;
    if (std::isdigit(static_cast<unsigned char>(*q))) {
      while (std::isdigit(static_cast<unsigned char>(*q))) ++q;
      p = q;
    }
  }
  char num[kHeaderLineSize];
  const size_t n = static_cast<size_t>(p - s);
  std::memcpy(num, s, n);
  num[n] = '\0';
  return std::strtod(num, nullptr);
}

// Tolerant integer conversion of a field (like atol, clamped to the range
// of long).
long FieldInteger(const char* s) {
  while (*s != '\0' && std::isspace(static_cast<unsigned char>(*s))) ++s;
  bool neg = false;
  if (*s == '+' || *s == '-') neg = (*s++ == '-');
  long v = 0;
  for (; std::isdigit(static_cast<unsigned char>(*s)); ++s) {
    const int d = *s - '0';
    if (v > (2147483647L - d) / 10) return neg ? -2147483647L : 2147483647L;
    v = v * 10 + d;
  }
  return neg ? -v : v;
}

// Number starting at column col (1-based): the rest of the line, or exactly
// width characters (fewer where the line ends first).
double Number(const char* line, int col, int width = 0) {
  char field[kHeaderLineSize];
  if (width > 0)
    substr(line, col - 1, width, field);
  else
    substr(line, col - 1, field);
  return FieldNumber(field);
}
long Integer(const char* line, int col, int width = 0) {
  char field[kHeaderLineSize];
  if (width > 0)
    substr(line, col - 1, width, field);
  else
    substr(line, col - 1, field);
  return FieldInteger(field);
}

// Satellite number from a system letter and two digit columns: the units
// digit, ten times the tens digit unless it is blank, and the system offset.
short SatNumber(char letter, char tens, char units) {
  int n = std::isdigit(static_cast<unsigned char>(units)) ? units - '0' : 0;
  if (std::isdigit(static_cast<unsigned char>(tens))) n += 10 * (tens - '0');
  switch (letter) {
    case 'R': n += 100; break;  // GLONASS slot
    case 'E': n += 200; break;  // Galileo
    case 'C': n += 300; break;  // BeiDou
    case 'J': n += 500; break;  // QZSS
    default: break;             // GPS, and systems without an offset
  }
  return static_cast<short>(n);
}

// Ends the run with a report on the precise ephemeris file.
[[noreturn]] void FileError(const char* file, const char* what) {
  char msg[kHeaderLineSize + 256];
  std::snprintf(msg, sizeof msg, "GNSS PRECISE EPHEMERIS FILE %s: %s", file, what);
  ProgramError(kProg, msg);
}

// Warns about damage in the precise ephemeris file; the run goes on.
void FileWarning(const char* file, const char* what) {
  char msg[kHeaderLineSize + 256];
  std::snprintf(msg, sizeof msg, "GNSS PRECISE EPHEMERIS FILE %s: %s", file, what);
  ProgramWarning(kProg, msg);
}

// Velocity and correlation records are not read; they take no place of the
// list.
bool NotRead(const char* line) {
  return line[0] == 'V' || (line[0] == 'E' && (line[1] == 'P' || line[1] == 'V'));
}

}  // namespace

// The open file, one line at a time, with the number of lines read.
struct GNSSpEph::LineCursor {
  explicit LineCursor(std::istream& is) : in(is) {}
  std::istream& in;
  long lineNo = 0;
  char line[kHeaderLineSize] = {};
  int len = 0;

  // Reads the next line into a buffer of size characters.
  LineRead Next(int size) {
    const LineRead rd = ReadLine(in, line, size);
    if (rd == LineRead::End) return rd;
    ++lineNo;
    len = static_cast<int>(std::strlen(line));
    return rd;
  }
};

GNSSpEph::GNSSpEph()
    : DTisOK(true),
      PSisOK(true),
      version('\0'),
      flag('\0'),
      nepoch(0),
      nSatListLines(0),
      nComments(0),
      nsat(0),
      interval(0),
      posBase(0),
      clkBase(0),
      nPtsPos(7),
      nPtsTime(2),
      OMEGAz(0.000072921151467),
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
  LineCursor cur(inp);
  ReadFileHeader(cur);
  CheckTable();

  epoch.Resize(nepoch);
  const long nrec = nepoch * nsat;
  sat.Resize(nrec);
  sPos.Resize(nrec);
  sPosSig.Resize(nrec);
  ReadFileData(cur);
  inp.close();

  SetLfact();
}

// Counting pass: satellite-list and comment lines of the header, the header
// length, the epoch lines and all lines of the file.
void GNSSpEph::CountSomeLines() {
  InputFile inp(sp3file);
  if (!inp) FileError(sp3file, "CAN NOT BE OPENED!");

  nSatListLines = nComments = nHeaderLines = nEpochLines = 0;
  LineCursor cur(inp);
  for (;;) {
    const LineRead rd = cur.Next(kHeaderLineSize);
    if (rd == LineRead::End) break;
    if (cur.line[0] == '*') {
      ++nEpochLines;
      continue;
    }
    if (nEpochLines > 0) continue;  // data lines are checked when read
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
void GNSSpEph::ReadFileHeader(LineCursor& cur) {
  // Line 1: version, position/velocity flag, number of epochs.
  cur.Next(kHeaderLineSize);
  version = Col(cur.line, cur.len, 2);
  flag = Col(cur.line, cur.len, 3);
  nepoch = Integer(cur.line, 33);

  // Line 2: interval, start epoch as MJD day and fraction of day.
  cur.Next(kHeaderLineSize);
  interval = Number(cur.line, 24);
  const long day = Integer(cur.line, 39);
  const double frac = Number(cur.line, 45);
  StartEpoch.Set(static_cast<std::uint32_t>(day), static_cast<long double>(frac) * 86400);

  ReadSatList(cur);
  ReadAccuracyExponents(cur);

  // Two %c lines, then the first %f line with the accuracy bases.
  cur.Next(kHeaderLineSize);
  cur.Next(kHeaderLineSize);
  cur.Next(kHeaderLineSize);
  posBase = Number(cur.line, 3);
  clkBase = Number(cur.line, 14);

  // Second %f line, two %i lines, the comments, and whatever else the
  // header holds before the first epoch line.
  while (cur.lineNo < nHeaderLines) cur.Next(kHeaderLineSize);
}

// Satellite list; its first line gives the number of satellites.
void GNSSpEph::ReadSatList(LineCursor& cur) {
  for (long q = 0; q < nSatListLines; ++q) {
    cur.Next(kHeaderLineSize);
    if (q == 0) {
      const long n = Integer(cur.line, 3);
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
      satList(idx) = SatNumber(Col(cur.line, cur.len, col), Col(cur.line, cur.len, col + 1),
                               Col(cur.line, cur.len, col + 2));
    }
  }
}

// Accuracy exponents, one three-column field per listed satellite.
void GNSSpEph::ReadAccuracyExponents(LineCursor& cur) {
  for (long q = 0; q < nSatListLines; ++q) {
    cur.Next(kHeaderLineSize);
    for (int k = 0; k < kEntriesPerLine; ++k) {
      const long idx = kEntriesPerLine * q + k;
      if (idx >= nsat) break;
      satListSig(idx) = static_cast<short>(Integer(cur.line, kFirstEntryColumn + 3 * k, 3));
    }
  }
}

// The table must make sense before it is sized.
void GNSSpEph::CheckTable() {
  char what[200];
  if (!(interval > 0 && interval <= kMaxInterval)) {
    std::snprintf(what, sizeof what, "EPOCH INTERVAL %.8Lf NOT VALID!", interval);
    FileError(sp3file, what);
  }
  if (nepoch > nEpochLines) {
    std::snprintf(what, sizeof what,
                  "HEADER ANNOUNCES %ld EPOCHS, THE FILE HOLDS %ld - READING THESE!", nepoch,
                  nEpochLines);
    FileWarning(sp3file, what);
    nepoch = nEpochLines;
  }
  if (nepoch < 2) {
    std::snprintf(what, sizeof what, "%ld EPOCHS, AT LEAST 2 NEEDED!", nepoch);
    FileError(sp3file, what);
  }
  if (nepoch * nsat > nFileLines) {
    std::snprintf(what, sizeof what, "%ld EPOCHS OF %d SATELLITES DO NOT FIT IN ITS %ld LINES!",
                  nepoch, nsat, nFileLines);
    FileError(sp3file, what);
  }
}

// One line of the data section; false at the end of the file.
bool GNSSpEph::NextDataLine(LineCursor& cur) {
  const LineRead rd = cur.Next(kDataLineSize);
  if (rd == LineRead::End) return false;
  if (rd == LineRead::TooLong) {
    char what[128];
    std::snprintf(what, sizeof what, "DATA LINE %ld LONGER THAN %d CHARACTERS!", cur.lineNo,
                  kDataLineSize - 1);
    FileError(sp3file, what);
  }
  return true;
}

// Data section: epoch i is start plus i intervals, whatever its epoch line
// says.  Damage is reported with the file's name and the line; the table
// keeps its layout, so a record that is not where the list puts it stays
// out.
void GNSSpEph::ReadFileData(LineCursor& cur) {
  bool pending = false;  // the cursor holds the next epoch line, already read
  for (long i = 0; i < nepoch; ++i) {
    if (!pending && !SeekEpochLine(cur, i)) return FileEnded(i, false);
    pending = false;
    epoch(i) = StartEpoch;
    if (!ReadEpochBlock(cur, i, pending)) return FileEnded(i, true);
    StartEpoch += interval;
  }
}

// Reads up to the epoch line of epoch i; lines before it (a block with more
// lines than the list) are skipped with a warning.  False at the end of the
// file.
bool GNSSpEph::SeekEpochLine(LineCursor& cur, long i) {
  long extra = 0;
  for (;;) {
    if (!NextDataLine(cur)) return false;
    if (cur.line[0] == '*') break;
    if (!NotRead(cur.line)) ++extra;
  }
  if (extra > 0) {
    char what[200];
    std::snprintf(what, sizeof what, "LINE %ld: %ld LINES BEFORE EPOCH %ld SKIPPED!", cur.lineNo,
                  extra, i + 1);
    FileWarning(sp3file, what);
  }
  return true;
}

// The records of epoch i, in the order of the list.  An epoch line ends a
// block that lacks records (pending: the cursor holds it).  False at the end
// of the file.
bool GNSSpEph::ReadEpochBlock(LineCursor& cur, long i, bool& pending) {
  long found = 0;
  for (long k = 0; k < nsat; ++k) {
    if (!NextDataLine(cur)) return false;
    if (cur.line[0] == '*') {
      pending = true;
      break;
    }
    if (NotRead(cur.line)) {
      --k;
      continue;
    }
    const short s = SatNumber(Col(cur.line, cur.len, 2), Col(cur.line, cur.len, 3),
                              Col(cur.line, cur.len, 4));
    // A position record of another satellite than the list expects here:
    // the records before it are missing, or the record is out of place.
    if (cur.line[0] == 'P' && s != satList(k)) k = PlaceOfRecord(cur, i, k, s);
    ++found;
    const long r = i * nsat + k;
    sat(r) = s;
    if (cur.line[0] == 'P') StoreRecord(cur, r);
  }
  if (found < nsat) {
    char what[200];
    std::snprintf(what, sizeof what,
                  "EPOCH %ld HOLDS %ld OF %d RECORDS - THE OTHERS COUNT AS MISSING!", i + 1,
                  found, nsat);
    FileWarning(sp3file, what);
  }
  return true;
}

// List entry, at k or after it, of the record of satellite s met where the
// list expects entry k; a satellite not found there ends the run.
long GNSSpEph::PlaceOfRecord(const LineCursor& cur, long i, long k, short s) const {
  long j = k + 1;
  while (j < nsat && satList(j) != s) ++j;
  if (j == nsat) {
    char what[200];
    std::snprintf(what, sizeof what,
                  "LINE %ld: RECORD OF SATELLITE %.3s OUT OF ITS PLACE IN EPOCH %ld!", cur.lineNo,
                  cur.line + 1, i + 1);
    FileError(sp3file, what);
  }
  return j;
}

// Position record r: position in km, clock in microseconds, and the
// accuracy exponents of a line longer than 60 characters.
void GNSSpEph::StoreRecord(const LineCursor& cur, long r) {
  const char* line = cur.line;
  const int len = cur.len;
  xyzt& pos = sPos(r);
  pos.SetX(static_cast<long double>(Number(line, 5, 14)) * 1000);
  pos.SetY(static_cast<long double>(Number(line, 19, 14)) * 1000);
  pos.SetZ(static_cast<long double>(Number(line, 33, 14)) * 1000);
  const long double clk = Number(line, 47, 14);
  pos.SetT(clk * 1e-6);
  if (!std::isfinite(pos.GetX()) || !std::isfinite(pos.GetY()) || !std::isfinite(pos.GetZ()) ||
      !std::isfinite(clk)) {
    char what[128];
    std::snprintf(what, sizeof what, "LINE %ld: NUMBER OUT OF RANGE!", cur.lineNo);
    FileError(sp3file, what);
  }
  if (len <= 60) return;

  xyzt& sig = sPosSig(r);
  if (std::fabs(clk - kBadClockValue) < kBadClockTolerance) {
    pos.SetT(kBadClockMarker);
    sig.Set(0, 0, 0, 0);
    return;
  }
  // Standard deviations: base^exponent in mm and ps.
  sig.SetX(len > 62 ? std::pow(posBase, static_cast<long double>(Number(line, 62, 2))) * 0.001
                    : 0);
  sig.SetY(len > 65 ? std::pow(posBase, static_cast<long double>(Number(line, 65, 2))) * 0.001
                    : 0);
  sig.SetZ(len > 68 ? std::pow(posBase, static_cast<long double>(Number(line, 68, 2))) * 0.001
                    : 0);
  sig.SetT(len > 72 ? std::pow(clkBase, static_cast<long double>(Number(line, 71, 3))) * 1e-12
                    : 0);
}

// The file ends in epoch i (its epoch set when inBlock): the epochs after it
// are start plus intervals all the same, their records missing.
void GNSSpEph::FileEnded(long i, bool inBlock) {
  char what[200];
  std::snprintf(what, sizeof what,
                "FILE ENDS IN EPOCH %ld OF %ld - ITS MISSING RECORDS COUNT AS MISSING!", i + 1,
                nepoch);
  FileWarning(sp3file, what);
  if (inBlock) {
    StartEpoch += interval;
    ++i;
  }
  for (; i < nepoch; ++i) {
    epoch(i) = StartEpoch;
    StartEpoch += interval;
  }
}
