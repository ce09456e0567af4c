// GLNbEph: GLONASS broadcast ephemeris store and orbit integration.
//
// Holds the GLONASS records of one RINEX navigation file in memory (version
// 2, or the GLONASS FDMA records of a version 3/4 file; header GLNbEphHeader,
// records GLNbEphData) and computes a satellite's position,
// velocity and clock correction at any epoch from the record nearest in
// time, by integrating the equations of motion numerically from the
// record's state vector.
//
// Method (GLONASS Interface Control Document, edition 5.1, 2008, appendix
// A.3.1.2, re-calculation of ephemeris to the current time):
// the state (x, y, z, vx, vy, vz) is integrated in the rotating Earth-fixed
// PZ-90 frame with the central field, the second zonal harmonic
// (C20 = -J2) and the centrifugal and Coriolis terms; the luni-solar
// accelerations broadcast in the record are held constant.  The scheme is
// the classical fourth-order Runge-Kutta method with a fixed step
// (SetIntegrationStep, 30 s by default): whole steps from the record epoch
// towards the wanted epoch, then one shorter step that ends on it, up to two
// days from the record.  Over the +-15 min for which a record
// is meant to be used the broadcast orbit agrees with precise orbits to some
// metres (about 6 m RMS in 3D over a day of 2009); the integration error of
// the 30 s step is below a millimetre there.
//
// Clock: DT = -TauN - GammaN * dt + TauC (s), dt the time since the record
// epoch, TauC the header's correction to the system time scale; the
// periodic relativistic term 2 (r . v) / c^2 is then subtracted.
//
// Time scales and units: every epoch passed in or out is GPS time (mjd).
// The record epochs, UTC in the file, are moved to GPS time by the reader
// (GPS - UTC from the program's leap-second table); the start epoch of an
// integration is that epoch plus TauC.  Positions are metres, velocities
// metres per second, in the Earth-fixed frame of the wanted epoch; clocks
// seconds.  Slots are GLONASS slot numbers 1-99 without the offset of 100
// used for satellite numbers elsewhere in the program.
//
// Records of a state no GLONASS satellite can have are skipped when read,
// with a ProgramWarning naming the file, the slot and the record epoch
// (UTC), as the Keplerian records are: a distance from the Earth's centre
// outside 10,000-60,000 km (the orbits lie at 25,510 km), a speed above
// 10 km/s (about 3.9 km/s on the orbit; 6.3 km/s on a circular orbit at
// 10,000 km) or an acceleration component above 1e-6 km/s^2 (the luni-solar
// accelerations stay below 1e-8 km/s^2 at that height).  A file of which no
// record is plausible ends the run.
//
// Failures: a slot without records ends the run with the store's error
// "SAT: Rnn IS NOT LISTED IN GLONASS NAVIGATION FILE <file>!!!"; an epoch more than
// two days (kMaxInterval) from its record gets no values (NaN, and the
// computation says so), since days from its record a broadcast state
// describes no orbit and the integration time grows with the interval; a
// file that cannot be read as a GLONASS navigation file ends the run with an
// error naming the file; see ReadFile.  Reports of this class go to standard
// output.
//
// Speed: the records of each slot are indexed, what a record fixes (start
// epoch, state, accelerations and clock terms in SI units) is prepared once
// per record, and the states reached after whole steps from the record last
// integrated in each direction are kept, with the derivative at each once a
// step from it has needed it, so that successive epochs near one record
// repeat only the last steps (and a step from a kept state costs three
// evaluations of the equations of motion instead of four).  The kept values
// are exactly those the integration would compute again, so every result is
// identical to a fresh integration; keeping one record per direction, and at
// most kMaxKeptSteps states of it, bounds the memory whatever the length of
// the run and the step.
#pragma once

#include <array>
#include <vector>

#include "GNSS/broadcast/GLNbEphData.h"
#include "GNSS/broadcast/GLNbEphHeader.h"
#include "GNSS/broadcast/RecordFields.h"
#include "GNSS/broadcast/RinexNav.h"
#include "GNSS/broadcast/SignalPairs.h"
#include "GNSS/base/gnssobs.h"
#include "GNSS/base/mGNSSc.h"
#include "GNSS/time/mjd.h"
#include "GNSS/geometry/xyz.h"
#include "GNSS/geometry/xyzt.h"
#include "matrix/matrix.h"

class GLNbEph {
 public:
  GLNbEph() = default;

  // ---- File ----------------------------------------------------------------

  // Stores the name of the file to read (at most 1023 characters are kept).
  void SetFile(const char* file);
  // Reads the whole file: counting pass, sizing of the tables, reading pass.
  // A file that cannot be opened, a header without END OF HEADER, a file
  // with a header and no records ("NUMBER OF RECORDS not set!", data error),
  // a number that cannot be read, a satellite number outside 1-99, a
  // CORR TO SYSTEM TIME of a second or more and a file without a complete
  // record end the run with a message naming the file; a record cut short by
  // the end of the file is reported and dropped.
  void ReadFile();
  // Counting pass: adds the number of records in the file to the count.
  void CountNav();

  // Number of records read.
  int GetNSat() const { return nsatall; }
  // The distinct slot numbers (1-99), ascending; a copy.
  matrix<short> GetSatList() const { return rdata.GetSatList(); }
  // Epoch of record i in file order, GPS time.
  mjd GetMJD(long i) const { return rdata.GetMJD(static_cast<int>(i)); }
  const GLNbEphHeader& GetHeader() const { return rhead; }
  const GLNbEphData& GetData() const { return rdata; }

  // ---- Orbit ---------------------------------------------------------------

  // Sets the integration step, s.  A step that is not a finite number of at
  // least 0.1 s ends the run with the store's error
  // "INTEGRATION STEP [-ni] <step> s NOT VALID [MUST BE AT LEAST 0.1 s]!".
  void SetIntegrationStep(long double step);
  long double GetIntegrationStep() const { return diffinterval; }

  // Row of the record to use for slot st at epoch t0 (GPS time): the record
  // of st nearest to t0 among the two that enclose it in time order (a tie
  // goes to the earlier one; records of one epoch count in file order);
  // before the first record of st its first record, after the last its
  // last.  A slot without records ends the run.
  int GetDataIndex(short st, const mjd& t0) const;

  // The receiver's choice (-rx) instead of the nearest record: at epoch t0
  // the record of st with the latest transmission time (its message frame
  // time tk, UTC as the file writes it: seconds of the day in version 2, of
  // the week from version 3; moved to GPS time) at or before t0 whose epoch
  // tb lies within kReceiverFit of t0 (the later record of the file on
  // equal tk).  False when none qualifies.
  bool ReceiverIndex(short st, const mjd& t0, int& row) const;
  void UseReceiverChoice() { receiver = true; }
  // Transmission time of record row, GPS time.
  mjd TransmissionTime(int row) const;
  // Fit interval of a record: tb +- 15 min, the half interval between the
  // records of the navigation message (GLONASS ICD, tb every 30 min).
  static constexpr long double kReceiverFit = 900;

  // The group delays of the record chosen for slot st at tindex (as by
  // CalcPosition): gd1 its dTau_n by rinexnav::GroupDelay, gd2 absent.
  GroupDelays GetGroupDelays(short st, const mjd& tindex) const;
  // The own fields (RecordFields.h) of that record: msg FDMA, iod tb (the
  // record epoch in Moscow time, UTC + 3 h, in 15-min units of its day:
  // GLONASS ICD), toc = toe its epoch, ttr its TransmissionTime, health the
  // health field; no accuracy.  msg nullptr when -rx finds no record.
  RecordFields GetRecordFields(short st, const mjd& tindex) const;

  // Longest interval between a record and the epoch it is used for, s.
  static constexpr long double kMaxInterval = rinexnav::kMaxRecordInterval;

  // Position, velocity and clock of slot st at epoch t0 (GPS time), from the
  // record selected by tindex (usually t0 itself):
  //   pos: x, y, z (m) in the Earth-fixed frame; dt = clock correction (s)
  //   vel: vx, vy, vz (m/s) in the same rotating frame; dt = 0
  // Returns false, with every component of pos and vel NaN, when t0 lies
  // more than kMaxInterval from the record.  When warning is non-zero, an
  // interval of more than 16 min between the record and t0 draws the
  // store's warning.
  bool CalcPosition(short st, const mjd& t0, const mjd& tindex, xyzt& pos, xyzt& vel,
                       short warning);

  // Satellite position at the transmission of a signal received at eph by
  // a receiver at prec (Earth-fixed, m): the travel time is iterated from
  // -0.075 s until travel time * c and the range agree within 1e-5 m, with
  // the receiver rotated by the Earth's rotation during the travel.  After
  // 501 passes the iteration stops with the warning
  // "GLNbEph::CalcPosition():      TO MANY ITERATIONS: > 500!!".
  // Returns the range, m; psat and vsat as above, at the transmission epoch.
  long double CalcPosition(short st, const mjd& eph, const mjd& tindex, const xyz& prec,
                              xyzt& psat, xyzt& vsat, short warning);
  // The same with the travel time taken from a pseudorange P (m): the
  // satellite at eph - P / c, the receiver rotated by OMEGAz * P / c.
  long double CalcPosition(short st, const mjd& eph, const mjd& tindex, const xyz& prec,
                              xyzt& psat, xyzt& vsat, const gnssobs& P, short warning);

  // Right-hand side of the equations of motion: the derivative y of the
  // state x = (x, y, z, vx, vy, vz) (m, m/s; both 6 x 1) with the constant
  // accelerations ax, ay, az (m/s^2).
  void DiffEqTwoBody(const matrix<long double>& x, long double ax, long double ay,
                     long double az, matrix<long double>& y) const;

  // Relativistic clock term 2 (r . v) / c^2 of the last computation, s.
  long double GetRelativity() const { return Relativity; }

  // The last integration: the number of steps taken, the last of them (s,
  // signed; 0 when none was taken; all others are whole steps of the
  // integration step in the same direction), and the epoch it ended at.
  long GetLastStepCount() const { return stepCount; }
  long double GetLastStep() const { return lastStep; }
  const mjd& GetLastEndEpoch() const { return endEpoch; }

  // Writes "GLNbEph:: ", name in a field of 10, ": ", value in scientific
  // notation with 15 digits in a field of 30, and a line end to standard
  // output.
  void PrintParameter(const char* name, long double value) const;

  // Reports of the store on standard output, after an empty line:
  // "**** GLNbEph: Error -> <text> ****", "     Exiting GLNbEph ... ", then
  // exit status 1; "#### GLNbEph: Warning -> <text> ####",
  // "     Continuing GLNbEph ... ".
  [[noreturn]] static void GLNbEphError(const char* text);
  static void GLNbEphWarning(const char* text);

 private:
  using State = std::array<long double, 6>;

  char navig[1024] = {};           // file name
  long double diffinterval = 30;   // integration step, s
  GLNbEphHeader rhead;             // header
  GLNbEphData rdata;               // records
  int nsatall = 0;                 // number of records
  bool receiver = false;           // the receiver's choice of record (-rx)

  // PZ-90 constants of the equations of motion.
  long double GMz = GLONASSc::GM;    // Earth's gravitational constant, m^3/s^2
  long double OMEGAz = GLONASSc::OMEGAe;  // Earth's rotation rate, rad/s
  long double aE = GLONASSc::ae;    // Earth's equatorial radius, m
  long double C20 = GLONASSc::C20;  // second zonal harmonic (-J2)

  // Values of the last computation, for the accessors.
  long double Relativity = 0;       // 2 (r . v) / c^2, s
  long stepCount = 0;               // steps of the last integration
  long double lastStep = 0;         // its last step, s
  mjd endEpoch;                     // epoch the last integration ended at

  // What a record fixes for every integration from it, in SI units: the
  // start epoch (record epoch + TauC) with its decimal day, the initial
  // state, the luni-solar acceleration and the clock terms.
  struct Start {
    mjd epoch;
    long double epochDec;   // epoch.GetMJDDec()
    State state;            // x, y, z (m), vx, vy, vz (m/s)
    long double ax, ay, az;  // m/s^2
    long double clock;      // -TauN, s
    long double rate;       // GammaN
  };
  std::vector<Start> starts;  // one per row

  // Rows of each slot in time order, in the order of the slot list.
  std::vector<short> slots;
  std::vector<std::vector<int>> slotRows;
  // The derivative at a state, once a step from it has needed it.
  struct Slope {
    bool known = false;
    State d{};
  };
  // State and epoch after a whole step, and the slope there.
  struct WholeStep {
    State state;
    mjd epoch;
    long double epochDec;  // epoch.GetMJDDec()
    Slope slope;
  };
  // The results of 1, 2, ... whole steps from record row in one direction,
  // and the slope at the record's own state.
  struct WholeSteps {
    int row = -1;  // none yet
    Slope startSlope;
    std::vector<WholeStep> kept;
  };
  // Forward (0) and backward (1) whole steps of the record last integrated
  // in that direction.  Valid for the current integration step.
  WholeSteps wholeSteps[2];

  // Forgets the kept states.
  void ClearWholeSteps();
  // Builds the slot index and the start of each record, and empties the
  // kept states, after reading.
  void IndexRecords();
  // Skips the records of implausible states, each with a warning.
  void SkipImplausible();
  // Derivative of the state s with the luni-solar acceleration (ax, ay, az)
  // into d.
  void Derivative(const State& s, long double ax, long double ay, long double az,
                  State& d) const;
  // One Runge-Kutta step of h seconds on the state x, with the luni-solar
  // acceleration of the record `from`.  slope, when given, holds the
  // derivative at x if known, and receives it otherwise.
  void RungeKuttaStep(State& x, long double h, const Start& from, Slope* slope) const;

  // The integration: the state x at t0 (t0Dec its decimal day, dt its
  // seconds from the start epoch) from the record of row index; sets
  // stepCount, lastStep and endEpoch.  Walk: where it stands.
  struct Walk;
  void Integrate(int index, const mjd& t0, long double t0Dec, long double dt, State& x);

  // The whole-step cache.  The kept steps of the record of row index in the
  // direction sign (1 forward, -1 backward), emptied first when they belong
  // to another record.
  WholeSteps& Chain(int index, int sign);
  // Moves w over the kept steps its integration takes first, at once.
  static void SkipKeptSteps(const std::vector<WholeStep>& kept, const mjd& t0, long double t0Dec,
                            Walk& w);
  // One Runge-Kutta step of w from the record `start`, with the slope kept
  // in chain while w is on it; a whole step beyond the kept ones is kept.
  void Step(WholeSteps& chain, const Start& start, Walk& w) const;

  // The clock: sets pos's clock correction at dt seconds from the record
  // `start`, with the relativistic term of pos and vel (kept in Relativity).
  void SetClock(const Start& start, long double dt, xyzt& pos, const xyzt& vel);
  // The warning of an epoch t0 more than 16 min (dt, s) from its record.
  static void WarnInterval(short st, const mjd& t0, long double dt);
};
