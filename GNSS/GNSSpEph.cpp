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

// For every j of 0..n-1, out[j] = start op f[0] op f[1] ... op f[n-1] with
// f[j] left out, applied from the left in index order (op is a product or a
// sum of the Lagrange basis).  Four of the j are carried side by side, so
// that each factor after them is loaded once for the four: extended
// precision values cost more to load than to multiply.
template <class Op>
void AllButOne(const long double* f, int n, long double start, Op op, long double* out) {
  long double before = start;  // start op f[0] op ... op f[j0 - 1]
  int j0 = 0;
  for (; j0 + 4 <= n; j0 += 4) {
    long double c0 = before;
    long double c1 = op(c0, f[j0]);
    long double c2 = op(c1, f[j0 + 1]);
    long double c3 = op(c2, f[j0 + 2]);
    before = op(c3, f[j0 + 3]);
    // The factors among the four, each to the ones before it.
    c0 = op(c0, f[j0 + 1]);
    c0 = op(c0, f[j0 + 2]);
    c1 = op(c1, f[j0 + 2]);
    c0 = op(c0, f[j0 + 3]);
    c1 = op(c1, f[j0 + 3]);
    c2 = op(c2, f[j0 + 3]);
    for (int k = j0 + 4; k < n; ++k) {
      const long double fk = f[k];
      c0 = op(c0, fk);
      c1 = op(c1, fk);
      c2 = op(c2, fk);
      c3 = op(c3, fk);
    }
    out[j0] = c0;
    out[j0 + 1] = c1;
    out[j0 + 2] = c2;
    out[j0 + 3] = c3;
  }
  for (; j0 < n; ++j0) {  // the last few one at a time
    long double c = before;
    for (int k = j0 + 1; k < n; ++k) c = op(c, f[k]);
    out[j0] = c;
    before = op(before, f[j0]);
  }
}

}  // namespace

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
  ReadFileHeader(inp);

  epoch.Resize(nepoch);
  const long nrec = nepoch * nsat;
  sat.Resize(nrec);
  sPos.Resize(nrec);
  sPosSig.Resize(nrec);
  ReadFileData(inp);
  inp.close();

  SetLfact();
}

// Counting pass: satellite-list and comment lines of the header, the header
// length, the epoch lines and all lines of the file.
void GNSSpEph::CountSomeLines() {
  InputFile inp(sp3file);
  if (!inp) FileError(sp3file, "CAN NOT BE OPENED!");

  nSatListLines = nComments = nHeaderLines = nEpochLines = 0;
  long nLines = 0;
  char line[kHeaderLineSize];
  for (;;) {
    const LineRead rd = ReadLine(inp, line, kHeaderLineSize);
    if (rd == LineRead::End) break;
    ++nLines;
    if (line[0] == '*') {
      ++nEpochLines;
      continue;
    }
    if (nEpochLines > 0) continue;  // data lines are checked when read
    if (rd == LineRead::TooLong) {
      char what[128];
      std::snprintf(what, sizeof what, "HEADER LINE %ld LONGER THAN %d CHARACTERS!", nLines,
                    kHeaderLineSize - 1);
      FileError(sp3file, what);
    }
    ++nHeaderLines;
    if (line[0] == '+' && line[1] == ' ') ++nSatListLines;
    if (line[0] == '/' && line[1] == '*') ++nComments;
  }
  nFileLines = nLines;

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

void GNSSpEph::ReadFileHeader(std::istream& inp) {
  char line[kHeaderLineSize];
  long nread = 0;
  // The counting pass has checked the header's length and line sizes.
  auto next = [&]() {
    ReadLine(inp, line, kHeaderLineSize);
    ++nread;
    return static_cast<int>(std::strlen(line));
  };

  // Line 1: version, position/velocity flag, number of epochs.
  int len = next();
  version = Col(line, len, 2);
  flag = Col(line, len, 3);
  nepoch = Integer(line, 33);

  // Line 2: interval, start epoch as MJD day and fraction of day.
  next();
  interval = Number(line, 24);
  const long day = Integer(line, 39);
  const double frac = Number(line, 45);
  StartEpoch.Set(static_cast<std::uint32_t>(day), static_cast<long double>(frac) * 86400);

  // Satellite list; its first line gives the number of satellites.
  for (long q = 0; q < nSatListLines; ++q) {
    len = next();
    if (q == 0) {
      const long n = Integer(line, 3);
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
      satList(idx) = SatNumber(Col(line, len, col), Col(line, len, col + 1),
                               Col(line, len, col + 2));
    }
  }

  // Accuracy exponents, one three-column field per listed satellite.
  for (long q = 0; q < nSatListLines; ++q) {
    next();
    for (int k = 0; k < kEntriesPerLine; ++k) {
      const long idx = kEntriesPerLine * q + k;
      if (idx >= nsat) break;
      satListSig(idx) = static_cast<short>(Integer(line, kFirstEntryColumn + 3 * k, 3));
    }
  }

  // Two %c lines, then the first %f line with the accuracy bases.
  next();
  next();
  next();
  posBase = Number(line, 3);
  clkBase = Number(line, 14);

  // Second %f line, two %i lines, the comments, and whatever else the
  // header holds before the first epoch line.
  while (nread < nHeaderLines) next();

  // The table must make sense before it is sized.
  if (!(interval > 0 && interval <= kMaxInterval)) {
    char what[128];
    std::snprintf(what, sizeof what, "EPOCH INTERVAL %.8Lf NOT VALID!", interval);
    FileError(sp3file, what);
  }
  if (nepoch > nEpochLines) {
    char what[200];
    std::snprintf(what, sizeof what,
                  "HEADER ANNOUNCES %ld EPOCHS, THE FILE HOLDS %ld - READING THESE!", nepoch,
                  nEpochLines);
    std::snprintf(line, sizeof line, "GNSS PRECISE EPHEMERIS FILE %s: %s", sp3file, what);
    ProgramWarning(kProg, line);
    nepoch = nEpochLines;
  }
  if (nepoch < 2) {
    char what[128];
    std::snprintf(what, sizeof what, "%ld EPOCHS, AT LEAST 2 NEEDED!", nepoch);
    FileError(sp3file, what);
  }
  if (nepoch * nsat > nFileLines) {
    char what[200];
    std::snprintf(what, sizeof what, "%ld EPOCHS OF %d SATELLITES DO NOT FIT IN ITS %ld LINES!",
                  nepoch, nsat, nFileLines);
    FileError(sp3file, what);
  }
}

void GNSSpEph::ReadFileData(std::istream& inp) {
  char line[kDataLineSize];
  long lineNo = nHeaderLines;
  // One line of the data section; false at the end of the file.
  auto next = [&]() {
    const LineRead rd = ReadLine(inp, line, kDataLineSize);
    if (rd == LineRead::End) return false;
    ++lineNo;
    if (rd == LineRead::TooLong) {
      char what[128];
      std::snprintf(what, sizeof what, "DATA LINE %ld LONGER THAN %d CHARACTERS!", lineNo,
                    kDataLineSize - 1);
      FileError(sp3file, what);
    }
    return true;
  };

  // Damage is reported with the file's name and the line; the table keeps
  // its layout, so a record that is not where the list puts it stays out.
  auto warn = [&](const char* what) {
    char msg[kHeaderLineSize + 256];
    std::snprintf(msg, sizeof msg, "GNSS PRECISE EPHEMERIS FILE %s: %s", sp3file, what);
    ProgramWarning(kProg, msg);
  };
  char what[200];
  // The file ends in epoch i (its epoch set when inBlock): the epochs after
  // it are start plus intervals all the same, their records missing.
  auto ended = [&](long i, bool inBlock) {
    std::snprintf(what, sizeof what,
                  "FILE ENDS IN EPOCH %ld OF %ld - ITS MISSING RECORDS COUNT AS MISSING!", i + 1,
                  nepoch);
    warn(what);
    if (inBlock) {
      StartEpoch += interval;
      ++i;
    }
    for (; i < nepoch; ++i) {
      epoch(i) = StartEpoch;
      StartEpoch += interval;
    }
  };
  // Velocity and correlation records are not read; they take no place of
  // the list.
  auto notRead = [&]() {
    return line[0] == 'V' || (line[0] == 'E' && (line[1] == 'P' || line[1] == 'V'));
  };

  bool pending = false;  // line holds the next epoch line, already read
  for (long i = 0; i < nepoch; ++i) {
    // The epoch line: the epoch is start plus i intervals, whatever it says.
    // Lines before it (a block with more lines than the list) are skipped.
    long extra = 0;
    while (!pending) {
      if (!next()) return ended(i, false);
      pending = line[0] == '*';
      if (!pending && !notRead()) ++extra;
    }
    pending = false;
    if (extra > 0) {
      std::snprintf(what, sizeof what, "LINE %ld: %ld LINES BEFORE EPOCH %ld SKIPPED!", lineNo,
                    extra, i + 1);
      warn(what);
    }
    epoch(i) = StartEpoch;

    long found = 0;
    for (long k = 0; k < nsat; ++k) {
      if (!next()) return ended(i, true);
      // An epoch line ends a block that lacks records.
      if (line[0] == '*') {
        pending = true;
        break;
      }
      if (notRead()) {
        --k;
        continue;
      }
      const int len = static_cast<int>(std::strlen(line));
      const short s = SatNumber(Col(line, len, 2), Col(line, len, 3), Col(line, len, 4));
      // A position record of another satellite than the list expects here:
      // the records before it are missing, or the record is out of place.
      if (line[0] == 'P' && s != satList(k)) {
        long j = k + 1;
        while (j < nsat && satList(j) != s) ++j;
        if (j == nsat) {
          std::snprintf(what, sizeof what,
                        "LINE %ld: RECORD OF SATELLITE %.3s OUT OF ITS PLACE IN EPOCH %ld!",
                        lineNo, line + 1, i + 1);
          FileError(sp3file, what);
        }
        k = j;
      }
      ++found;
      const long r = i * nsat + k;
      sat(r) = s;
      if (line[0] != 'P') continue;

      // Position in km, clock in microseconds.
      xyzt& pos = sPos(r);
      pos.SetX(static_cast<long double>(Number(line, 5, 14)) * 1000);
      pos.SetY(static_cast<long double>(Number(line, 19, 14)) * 1000);
      pos.SetZ(static_cast<long double>(Number(line, 33, 14)) * 1000);
      const long double clk = Number(line, 47, 14);
      pos.SetT(clk * 1e-6);
      if (!std::isfinite(pos.GetX()) || !std::isfinite(pos.GetY()) ||
          !std::isfinite(pos.GetZ()) || !std::isfinite(clk)) {
        std::snprintf(what, sizeof what, "LINE %ld: NUMBER OUT OF RANGE!", lineNo);
        FileError(sp3file, what);
      }
      if (len <= 60) continue;

      xyzt& sig = sPosSig(r);
      if (std::fabs(clk - kBadClockValue) < kBadClockTolerance) {
        pos.SetT(kBadClockMarker);
        sig.Set(0, 0, 0, 0);
        continue;
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
    if (found < nsat) {
      std::snprintf(what, sizeof what,
                    "EPOCH %ld HOLDS %ld OF %d RECORDS - THE OTHERS COUNT AS MISSING!",
                    i + 1, found, nsat);
      warn(what);
    }
    StartEpoch += interval;
  }
}

int GNSSpEph::NodesPos() const {
  const long n = 2L * nPtsPos;
  return static_cast<int>((nepoch >= 2 && nepoch < n) ? nepoch : n);
}

int GNSSpEph::NodesTime() const {
  const long n = 2L * nPtsTime;
  return static_cast<int>((nepoch >= 2 && nepoch < n) ? nepoch : n);
}

void GNSSpEph::SetNInterpPoints(int n) {
  if (n < 1 || n > kMaxHalfWidth)
    ProgramError(kProg, "NUMBER OF INTERPOLATION POINTS NOT VALID!");
  nPtsPos = n;
  SetLfact();
}

// Denominators of the Lagrange basis polynomials for nodes spaced by the
// interval: prod over j != i of (i - j) * interval, in hours.
void GNSSpEph::SetLfact() {
  const auto fill = [this](matrix<long double>& f, int n) {
    f.Resize(n);
    for (int i = 0; i < n; ++i) {
      long double p = 1;
      for (int j = 0; j < n; ++j)
        if (j != i) p *= static_cast<long double>(i - j) * interval / 3600;
      f(i) = p;
    }
  };
  fill(Lfact, NodesPos());
  fill(LfactDT, NodesTime());
}

// Window of n nodes whose reference index g lies between the nodes h and
// h + 1 (1-based), moved inside the table at either end.
long GNSSpEph::WindowFirst(long g, int h, int n) const {
  long first = g - h + 1;
  long last = g + h;
  if (first < 0) {
    first = 0;
    last = n - 1;
  }
  if (last >= nepoch) first = nepoch - n;
  return first;
}

void GNSSpEph::CalcOrbikaition(unsigned short sati, mjd& ephCalc, xyzt& psat, xyzt& vsat) {
  if (nepoch < 2) {  // nothing read
    PSisOK = DTisOK = false;
    return;
  }

  // Coverage: extrapolation more than the margin outside the table.
  if (epoch(0) - ephCalc > kCoverageMargin || ephCalc - epoch(nepoch - 1) > kCoverageMargin)
    ProgramWarning(kProg, kCoverageWarning);

  // Reference index, truncated toward zero.  Indices beyond the table pin
  // the windows the same way, so the quotient is bounded first.
  long double q = (ephCalc - epoch(0)) / interval;
  if (!(q > -1)) q = -1;
  if (q > nepoch) q = nepoch;
  const long g = static_cast<long>(q);

  long s = -1;
  for (long k = 0; k < nsat; ++k)
    if (satList(k) == static_cast<int>(sati)) {
      s = k;
      break;
    }
  if (s < 0) {
    PSisOK = DTisOK = false;
    return;
  }
  PSisOK = DTisOK = true;

  // Position and velocity: Lagrange interpolation and its derivative.
  const int n = NodesPos();
  const long first = WindowFirst(g, nPtsPos, n);
  long double E[2 * kMaxHalfWidth];     // epoch minus node, hours
  long double invE[2 * kMaxHalfWidth];  // 1 / E
  bool anyOnNode = false;
  for (int k = 0; k < n; ++k) {
    E[k] = (ephCalc - epoch(first + k)) / 3600;
    if (std::fabs(E[k]) > kNodeCoincidence)
      invE[k] = 1 / E[k];
    else
      anyOnNode = true;
  }
  // A missing position anywhere in the window invalidates the result.
  for (int j = 0; j < n; ++j) {
    const xyzt& rec = sPos((first + j) * nsat + s);
    if (std::fabs(rec.GetX()) + std::fabs(rec.GetY()) + std::fabs(rec.GetZ()) <
        kMissingPosition) {
      PSisOK = DTisOK = false;
      return;
    }
  }

  // For each node j of the window: W, the numerator of its basis
  // polynomial (the product of E over the other nodes, in node order); V,
  // the same product without factors that vanish; U, the sum of 1/E over
  // the other nodes, or 1 once the epoch falls on another node.  The
  // derivative of the numerator is then V * U.
  long double W[2 * kMaxHalfWidth], V[2 * kMaxHalfWidth], U[2 * kMaxHalfWidth];
  if (!anyOnNode) {
    // No factor vanishes, so V = W.
    AllButOne(E, n, 1, [](long double a, long double b) { return a * b; }, W);
    AllButOne(invE, n, 0, [](long double a, long double b) { return a + b; }, U);
    std::copy(W, W + n, V);
  } else {
    for (int j = 0; j < n; ++j) {
      long double w = 1, v = 1, u = 0;
      bool onNode = false;
      for (int k = 0; k < n; ++k) {
        if (k == j) continue;
        w *= E[k];
        if (std::fabs(E[k]) > kNodeCoincidence) {
          v *= E[k];
          if (!onNode) u += invE[k];
        } else {
          u = 1;
          onNode = true;
        }
      }
      W[j] = w;
      V[j] = v;
      U[j] = u;
    }
  }

  // The position sums and the velocity sums are formed in separate passes,
  // each over the nodes in order, so that each pass keeps its three sums in
  // registers.
  long double px = 0, py = 0, pz = 0, vx = 0, vy = 0, vz = 0;
  for (int j = 0; j < n; ++j) {
    const xyzt& rec = sPos((first + j) * nsat + s);
    const long double L = Lfact(j);
    px += rec.GetX() * W[j] / L;
    py += rec.GetY() * W[j] / L;
    pz += rec.GetZ() * W[j] / L;
  }
  for (int j = 0; j < n; ++j) {
    const xyzt& rec = sPos((first + j) * nsat + s);
    const long double L = Lfact(j);
    // Metres per hour to metres per second.
    vx += rec.GetX() * V[j] * U[j] / L / 3600;
    vy += rec.GetY() * V[j] * U[j] / L / 3600;
    vz += rec.GetZ() * V[j] * U[j] / L / 3600;
  }
  psat.SetX(px);
  psat.SetY(py);
  psat.SetZ(pz);
  vsat.SetX(vx);
  vsat.SetY(vy);
  vsat.SetZ(vz);
  DTisOK = true;

  // Clock: Lagrange interpolation over the clock window.
  const int m = NodesTime();
  const long firstT = WindowFirst(g, nPtsTime, m);
  // The clock nodes normally lie inside the position window, whose E
  // values are then reused.
  const long off = firstT - first;
  const bool inside = off >= 0 && off + m <= n;
  long double ETown[2 * kMaxHalfWidth];
  if (!inside)
    for (int k = 0; k < m; ++k) ETown[k] = (ephCalc - epoch(firstT + k)) / 3600;
  const long double* ET = inside ? E + off : ETown;
  long double clock = 0;
  for (int k = 0; k < m; ++k) {
    long double A = 1;
    for (int j = 0; j < m; ++j)
      if (j != k) A *= ET[j];
    const long double dt = sPos((firstT + k) * nsat + s).GetT();
    if (std::fabs(dt) > kBadClockLimit) {
      DTisOK = false;
      clock = kBadClockResult;
      break;
    }
    clock += dt * A / LfactDT(k);
  }
  psat.SetT(clock);
  vsat.SetT(0);
}

// Light-time solution: the satellite at the transmission epoch
// ephCalc - range / c, the receiver rotated by the Earth's rotation during
// the travel time (the satellite's frame is that of the transmission epoch).
void GNSSpEph::CalcOrbikaition(unsigned short sati, mjd& ephCalc, xyz& prec, xyzt& psat,
                               xyzt& vsat) {
  long double tau = 0;  // travel time, s
  long double rho = 0;  // range, m
  for (int it = 0; it < kMaxLightTimeIter; ++it) {
    ephr = ephCalc;
    ephr += -tau;
    CalcOrbikaition(sati, ephr, p0, v0);
    if (!PSisOK) return;
    ps = prec.RotateZ(OMEGAz * tau);
    const long double dx = p0.GetX() - ps.GetX();
    const long double dy = p0.GetY() - ps.GetY();
    const long double dz = p0.GetZ() - ps.GetZ();
    const long double range = std::sqrt(dx * dx + dy * dy + dz * dz);
    const bool converged = std::fabs(range - rho) < kLightTimeTolerance;
    rho = range;
    tau = rho / kSpeedOfLight;
    if (converged) break;
  }
  // Relativistic clock term of the eccentric orbit, 2 (r . v) / c^2.
  Relativity = 2 * (p0.GetX() * v0.GetX() + p0.GetY() * v0.GetY() + p0.GetZ() * v0.GetZ()) /
               (kSpeedOfLight * kSpeedOfLight);
  psat = p0;
  vsat = v0;
  // A bad clock keeps its marker value.
  if (DTisOK) psat.SetT(p0.GetT() - Relativity);
}

void GNSSpEph::CalcOrbikaition(unsigned short sati, mjd& ephCalc, xyz& prec, xyzt& psat) {
  xyzt vsat;
  CalcOrbikaition(sati, ephCalc, prec, psat, vsat);
}
