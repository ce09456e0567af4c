// GNSSpEph: store of one SP3 precise ephemeris file, with Lagrange
// interpolation of satellite positions, velocities and clocks.
//
// The store reads the position-and-clock content of an SP3 version c or d
// file (format descriptions: S. Hilla, "The Extended Standard Product 3
// Orbit Format (SP3-c)", NGS; "SP3-d", IGS and NGS): the header's epoch count, start epoch and interval,
// the satellite list with its accuracy exponents, the two floating-point
// bases of the accuracies, and one position record per satellite and epoch.
// Velocity and correlation records are not read.  Version d adds any
// number of satellite-list lines and comment lines, which both versions
// read alike, and makes the time-system field of the first %c line count:
// the epochs of a version d file are brought to GPS time from TAI, BDT, UTC
// or GLONASS time (Galileo, QZSS and IRNSS times count as GPS time); the
// epochs of a version c file are taken as written.
//
// The epoch lines decide the times.  The table's epochs are a start plus
// whole intervals (so the interpolation nodes are exactly equally spaced):
// the interval of the header when most blocks lie on its grid and it is
// met twice between consecutive blocks (or no spacing is), else the regular
// spacing of the epoch lines (the smallest spacing of consecutive blocks met
// twice), else the spacing of the first two blocks; start and count from the
// first and last block on that grid.  A header that disagrees draws one
// warning.  A block between two blocks two intervals apart whose epoch line
// says otherwise (a typo of its day or year, or no valid time) takes the one
// slot they leave for it, with a warning.  An epoch without a block (a gap)
// keeps missing records; a block off the grid, one whose epoch line holds no
// valid time, or one that repeats an epoch is skipped with a warning.  The
// first (last) block whose epoch line breaks the sequence of the blocks
// after (before) it is placed in the slot next to them when the header's
// start (start and count) gives that slot, else skipped if it lies out of
// order, with a warning either way.  A
// satellite listed twice is kept once, with a warning.  Inside a block each
// record is placed by its satellite code: blank lines, unreadable lines,
// records of satellites not in the list and repeated records are skipped,
// a listed satellite without a record, or with a position farther than
// 100,000 km from the Earth's centre, is missing at that epoch, a record
// line that ends inside a value lacks it (position: missing; clock: bad); one
// warning per damaged block names its epoch and what was wrong.
//
// Units and scales: positions in metres in the Earth-fixed frame of the file,
// clock corrections in seconds, velocities in metres per second; epochs are
// mjd values in GPS time (version c: the time scale of the file, GPS time
// for IGS products).
// Satellite numbers: GPS PRN n is n, GLONASS slot n is 100 + n, Galileo
// 200 + n, BeiDou 300 + n, SBAS 400 + n, QZSS 500 + n, IRNSS 600 + n.  List
// entries of other system letters are left out, with one warning.
//
// Interpolation (CalcPosition): positions by Lagrange interpolation over
// 14 tabulated epochs around the requested one (pinned to the first or last
// 14 near the ends of the table), velocities as the exact time derivative of
// the same polynomial, clocks by Lagrange interpolation over 4 epochs.  For a
// 15-minute table of GPS orbits given to the millimetre the error between
// nodes is below 1 mm in position and 0.01 mm/s in velocity where the window
// is centred; in the first and last intervals the pinned window amplifies
// the millimetre rounding of the table to a few centimetres.  A table of
// fewer than 14 (clock: 4) epochs is interpolated over all its epochs.
// Epochs more widely spaced than 900 s are not interpolated: thinning a
// real 5-minute table of all systems (bench/sp3-spacing) keeps the error
// where the window is centred at 3 mm or less up to 900 s, while at 1200 s
// the eccentric Galileo orbits reach 3 cm and at 1800 s 3 m.  Such a table
// draws one warning and gives no position or clock (both flags false).
//
// A file that cannot be read soundly (no epoch line, a header shorter than
// its fixed layout, lines longer than the line buffers, fewer than two
// epochs, no satellites, an interval not in (0, 1e6] s, a start fraction of
// day outside [0, 1), epoch lines that span a table far larger than the file
// or of which more than 90% of the epochs have no block) ends the run with a
// framed report naming the file.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "GNSS/time/mjd.h"
#include "GNSS/geometry/xyz.h"
#include "GNSS/geometry/xyzt.h"
#include "matrix/matrix.h"

namespace sp3text {
struct LineCursor;
}
struct LagrangeBasis;  // basis of one interpolation window at one epoch

class GNSSpEph {
 public:
  // Empty store: no epochs, no satellites, windows of 14 and 4 epochs.
  GNSSpEph();

  // Name of the SP3 file that ReadFile reads (copied, at most 255
  // characters).
  void SetFile(const char* file);

  // Reads the whole file named by SetFile into the store and computes the
  // Lagrange denominators.  Called once.
  void ReadFile();

  // Number of epochs in the table.
  long GetNEpoch() const { return nepoch; }
  // Number of satellites in the header's list.
  short GetNSatList() const { return nsat; }
  // Copy of the header's satellite list (nsat x 1).
  matrix<short> GetSatList() const { return satList; }
  // Satellite number of list entry k (0 <= k < nsat).
  short GetSatList(long k) const { return satList(k); }
  // Accuracy exponent of list entry k, as read from the header.
  short GetSatListSig(long k) const { return satListSig(k); }
  // Epoch i of the table (0 <= i < nepoch).
  mjd GetMJD(long i) const { return epoch(i); }

  // Number of position records (nepoch * nsat); record r of epoch i and
  // list entry k is r = i * nsat + k.
  long GetNSat() const { return sat.Length(); }
  // Satellite number of record r, as written in the record.
  short GetSat(long r) const { return sat(r); }
  // Position (m) and clock (s) of record r; dt = 999999 marks a bad clock.
  xyzt GetPosition(long r) const { return sPos(r); }
  // Replaces the position and clock of record r, for corrections of the
  // tabulated positions made before they are interpolated.
  void SetPosition(long r, const xyzt& p) {
    sPos(r) = p;
    missingRecord.clear();  // the interpolation marks the missing records again
  }
  // Standard deviations of record r (m, s); zero where the file gives none.
  xyzt GetPositionSig(long r) const { return sPosSig(r); }
  // Floating-point bases of the position and clock accuracies.
  long double GetPositionBase() const { return posBase; }
  long double GetClockBase() const { return clkBase; }
  // Epoch interval of the table, s.
  long double GetInterval() const { return interval; }
  // The epochs are too far apart to interpolate: no position or clock.
  bool IsTooSparse() const { return tooSparse; }

  // Half-widths of the position and clock interpolation windows.
  int GetNInterpPoints() const { return nPtsPos; }
  int GetNInterpPointsClock() const { return nPtsTime; }
  // Sets the half-width of the position window (1 <= n <= 16; 7 by
  // default) and recomputes the denominators.
  void SetNInterpPoints(int n);

  // Lagrange denominators of equally spaced nodes, in hours, for the
  // position and clock windows.  Depends on interval, nPtsPos, nPtsTime and
  // the number of epochs (a short table uses a smaller window).
  void SetLfact();

  // Position and clock (psat: m, s) and velocity (vsat: m/s, dt = 0) of
  // satellite sati at epoch ephCalc (time scale of the file).  Sets PSisOK
  // and DTisOK.  A satellite not in the list, or a missing position in the
  // window, leaves psat and vsat untouched with both flags false.  Where
  // the clock window holds a bad-clock marker, the clock is the tabulated
  // one at a node; else that of the window moved one node away from the
  // marker, if it still brackets the epoch and holds no marker; else the
  // linear interpolation between the two bracketing nodes, if both are
  // valid; else there is none: DTisOK false and a clock of 1.0 s.  An epoch
  // more than one interval outside the table is not extrapolated: both flags
  // false, with one warning per store naming the first such epoch.  Nearer
  // the table an epoch more than 900 s outside it is extrapolated, with a
  // warning per call.
  void CalcPosition(unsigned short sati, mjd& ephCalc, xyzt& psat, xyzt& vsat);

  // As above for a signal received at ephCalc by a receiver at prec (m,
  // Earth-fixed): the satellite is taken at the transmission epoch, found by
  // iterating the light time (receiver rotated by the Earth's rotation
  // during the travel time), and the relativistic clock term
  // 2 (r . v) / c^2 is subtracted from the clock.  The first form also
  // returns the velocity.
  void CalcPosition(unsigned short sati, mjd& ephCalc, xyz& prec, xyzt& psat, xyzt& vsat);
  void CalcPosition(unsigned short sati, mjd& ephCalc, xyz& prec, xyzt& psat);

  // Relativistic clock term (s) of the last light-time solution.
  long double GetRelativity() const { return Relativity; }
  // Transmission epoch of the last light-time solution.
  mjd GetTransmissionEpoch() const { return ephr; }

  bool DTisOK;  // the clock of the last interpolation is valid
  bool PSisOK;  // the position and velocity of the last interpolation are valid

 private:
  char sp3file[256];     // name of the SP3 file
  char version;          // version letter (line 1, column 2)
  char flag;             // position/velocity flag (line 1, column 3)
  char timeSystem[4];    // time system (first %c line, columns 10-12)
  long nepoch;           // number of epochs
  long nSatListLines;    // satellite-list lines ("+ ") before the first epoch
  long nComments;        // comment lines ("/*") before the first epoch
  short nsat;            // number of satellites in the list
  matrix<short> satList;     // satellite numbers, order of the header's list
  matrix<short> satListSig;  // accuracy exponents of the listed satellites
  mjd StartEpoch;        // start epoch; advanced by one interval per epoch read
  matrix<short> sat;     // satellite number of each record (nepoch * nsat)
  matrix<mjd> epoch;     // time of each epoch
  matrix<xyzt> sPos;     // position (m) and clock (s) of each record
  matrix<xyzt> sPosSig;  // standard deviations of each record (m, s)
  long double interval;  // epoch interval, s
  long double posBase;   // base of the position and velocity accuracies
  long double clkBase;   // base of the clock accuracies
  int nPtsPos;           // half-width of the position window
  int nPtsTime;          // half-width of the clock window
  matrix<long double> Lfact;    // position-window denominators, hours
  matrix<long double> LfactDT;  // clock-window denominators, hours
  long double OMEGAz;    // Earth rotation rate, rad/s
  long double Relativity;  // relativistic clock term of the last light-time solution, s
  xyzt p0, v0;           // work values of the light-time solutions
  xyz ps;                // receiver rotated for the Earth's rotation
  mjd ephr;              // transmission epoch of the light-time solution
  long nHeaderLines;     // lines before the first epoch line
  long nEpochLines;      // epoch lines ("*") in the whole file
  long nFileLines;       // lines in the whole file

  // Time of one epoch block as its epoch line gives it, and its place in
  // the table (LONG_MIN: none, the block is skipped).
  struct EpochBlock {
    long line = 0;          // line number of the epoch line
    bool readable = false;  // the epoch line holds a valid date and time
    mjd t;                  // its epoch
    long index = 0;         // epoch index in the table
    bool outOfSequence = false;  // a first or last block out of the table's order
  };
  struct BlockDamage;
  std::vector<EpochBlock> blocks;  // every epoch block of the file, in file order
  std::vector<long> listIndex;     // list entry of each satellite number, or -1
  std::string unnumbered;          // list codes whose letter has no number range
  std::string unnumberedLetters;   // their system letters

  // Reading steps of ReadFile.  The counting pass also counts the header
  // lines and reads the epoch lines, so that the header and the data can be
  // checked against the file before the tables are sized.
  void CountSomeLines();
  void CheckHeaderLayout() const;
  void ReadFileHeader(sp3text::LineCursor& cur);
  void ReadSatList(sp3text::LineCursor& cur);
  void ReadAccuracyExponents(sp3text::LineCursor& cur);
  void DropUnusableEntries();
  void CheckInterval() const;
  long double ToGpsTime() const;
  void PlaceBlocks();
  mjd ChooseGrid(const mjd& hStart);
  std::vector<long double> Spacings() const;
  const EpochBlock* FirstSpaced(long double d) const;
  void PlaceStrayBlocks();
  void PlaceEndBlock(std::size_t k, std::size_t neighbour, long headerIndex);
  long HeaderIndex(const mjd& origin, const mjd& t, long double hInterval) const;
  void SpanTable();
  void RefuseMostlyGaps() const;
  [[noreturn]] void NeedTwoEpochs(long n) const;
  void WarnHeader(const mjd& hStart, long double hInterval, long hCount) const;
  void WarnSkippedBlocks();
  void ReadFileData(sp3text::LineCursor& cur);
  bool NextDataLine(sp3text::LineCursor& cur);
  bool ReadEpochBlock(sp3text::LineCursor& cur, const EpochBlock& b);
  void PlaceRecord(const sp3text::LineCursor& cur, long i, std::vector<char>& seen, long& last,
                   BlockDamage& dmg);
  void StoreRecord(const sp3text::LineCursor& cur, long r);
  void WarnBlock(const EpochBlock& b, const std::vector<char>& seen,
                 const BlockDamage& dmg) const;

  // Interpolation steps of CalcPosition.
  // Number of nodes actually used by the position and clock windows.
  int NodesPos() const;
  int NodesTime() const;
  // First node of a window of n nodes and half-width h around reference
  // index g, pinned to the table's ends.
  long WindowFirst(long g, int h, int n) const;
  long ReferenceIndex(const mjd& ephCalc) const;
  bool FarOutside(const mjd& ephCalc);
  bool warnedFarOutside = false;  // the one warning of FarOutside has been given
  bool tooSparse = false;         // epochs too far apart to interpolate
  void CheckSpacing();
  long ListIndex(unsigned short sati) const;
  bool WindowMissing(long first, int n, long s) const;
  // Weights of one epoch (see GNSSpEphInterp.cpp): every satellite shares
  // them, so the last few hundred sets are kept, filled by the first
  // satellite that needs them and found again by the others.
  struct Weights;
  std::vector<long double> weightCache;
  bool regularTable = false;        // epochs a whole number of intervals apart
  std::vector<char> missingRecord;  // per record: its position is missing (empty: not marked)
  bool RegularTable() const;
  void MarkMissing();
  Weights EpochWeights(const mjd& ephCalc, long first, long firstT, long double* scratch);
  void SumPosition(const Weights& w, long first, long s, xyzt& psat, xyzt& vsat) const;
  long double InterpolateClock(const mjd& ephCalc, const Weights& w, long first, long firstT,
                               long s);
  // Lagrange sum of the clocks of entry s over the clock window at firstT.
  long double SumClock(const Weights& w, long firstT, long s) const;
  // The first of the n clocks of entry s from node first that is a
  // bad-clock marker, or -1.
  long ClockMarker(long first, int n, long s) const;
  // The clock at ephCalc when the window at firstT holds the marker at
  // node marker (see InterpolateClock).
  long double ClockBesideMarker(const mjd& ephCalc, long first, long firstT, long marker,
                                long s);
};
