// GPSbEph: broadcast ephemeris store and orbit/clock computation of the
// systems with Keplerian elements: GPS, Galileo, BeiDou, QZSS and NavIC.
//
// Holds the records of one RINEX navigation file in memory: a version 2 GPS
// file, or of a version 3/4 file the records of the message chosen per
// system (navmsg::Choice; by default GPS LNAV, Galileo I/NAV and F/NAV,
// BeiDou D1/D2 and QZSS LNAV; on request GPS and QZSS CNAV or CNAV-2,
// BeiDou B-CNAV1, B-CNAV2 or B-CNAV3, NavIC LNAV) (header and records:
// GPSbEphHeader.h, GPSbEphData.h, RinexNav3.h, NavMessages.h).  Satellites
// are known by their system-wide number: GPS n, Galileo 200 + n, BeiDou
// 300 + n, QZSS 500 + n, NavIC 600 + n.  It computes
// the Earth-fixed position and the clock correction of a satellite at an
// epoch with the user algorithm its interface document gives (IS-GPS-200,
// Galileo OS SIS ICD, BDS-SIS-ICD-B1I, IS-QZSS-PNT: one formula, each
// system's constants from KeplerSystems.h): mean motion from GM and
// sqrt(A), Kepler's equation by fixed-point iteration, harmonic corrections
// of the argument of latitude, radius and inclination, node longitude in the
// Earth-fixed frame; for BeiDou GEO satellites (C01-C05, C59-C63) the node
// longitude in the inertial frame and the ICD's rotation by -5 degrees about
// x and by the Earth's rotation since Toe about z.  CNAV, CNAV-2 and B-CNAV
// records add the rates of their semi-major axis and mean-motion difference
// (IS-GPS-200 section 30, IS-GPS-800, BDS-SIS-ICD-B1C/B2a/B2b); their GEO
// records are skipped.
//
// Units and time scale: epochs are mjd in GPS time (BeiDou record epochs,
// BDT in the file, are moved by 14 s when read); positions are metres in
// the Earth-fixed frame of the computation epoch (each system's frame as
// broadcast); clock corrections are seconds, without group delays.
// Arithmetic is long double.  The computed orbit is the broadcast one:
// about 1-3 m RMS from precise orbits within the fit interval (Galileo
// about 1 m), growing quickly outside it.
//
// Record choice: for satellite st and epoch t, the record whose epoch (Toc)
// lies nearest to t among the satellite's records in time order (see
// GetDataIndex); ties go to the earlier record.  Of records of one
// satellite and message with the same epoch only one is used: of records
// with different data the one whose orbit agrees with the satellite's
// neighbouring record (the one before, else after) when only one does,
// then the later transmission, the greater issue of data, the later in the
// file; a warning names the first such epoch of the satellite.  A Galileo
// F/NAV record (whose clock refers to E1/E5a, as precise clocks do) is
// chosen where it lies within the Galileo validity interval (4 h) of t,
// else the I/NAV record nearest to t.  With -rx the receiver's choice
// (ReceiverIndex) replaces all of this.  An epoch more than kMaxInterval (2 days) from the
// chosen record gets no values: days from its epoch a broadcast record
// describes no orbit.  The clock is
// evaluated at dt = t - Toc; the orbit of a GPS record at the same dt (Toe
// entering only the node longitude, Omega = Omega0 + (OMEGA dot - OMEGAz) dt
// - OMEGAz Toe), that of the other systems at tk = t - Toe.
//
// Reports: errors and warnings of this class are framed on standard output
// ("**** GPSbEph: Error -> ... ****" / "     Exiting GPSbEph ... ", exit
// status 1; "#### GPSbEph: Warning -> ... ####" / "     Continuing GPSbEph
// ... "); a computation further from its record's epoch than the system's
// limit (GPS 8000 s, the others their fit interval, see KeplerSystems.h)
// but within kMaxInterval draws a ProgramWarning on standard error,
// "<SYSTEM> BROADCAST EPHEMERIS: CALCULATION EPOCH NOT IN VALID INTERVAL
// (<h>H) WITH RESPECT TO EPOCHS OF DATA!", and is still carried out.
// Records whose elements no satellite of these systems can have
// (kepler::Plausible; or a Toe field outside the week, [0, 604800) s, in
// the messages whose Toe it is) are skipped when read, with a ProgramWarning
// (once per run) naming the file, the satellite and the record epoch; a
// record whose Kepler equation finds no solution gives NaN values, with one
// such warning.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "GNSS/broadcast/GPSbEphData.h"
#include "GNSS/broadcast/GPSbEphHeader.h"
#include "GNSS/broadcast/KeplerSystems.h"
#include "GNSS/broadcast/RecordFields.h"
#include "GNSS/broadcast/RinexNav.h"
#include "GNSS/broadcast/SignalPairs.h"
#include "GNSS/base/gnssobs.h"
#include "GNSS/time/mjd.h"
#include "GNSS/geometry/xyz.h"
#include "GNSS/geometry/xyzt.h"
#include "matrix/matrix.h"

class GPSbEph {
 public:
  GPSbEph();

  // Stores the file name (at most 1023 characters are kept).
  void SetFile(const char* file);
  // The message read per system (before ReadFile; default: see
  // navmsg::Choice).
  void SetMessages(const navmsg::Choice& choice) { messages = choice; }
  // Reads the whole file: version 2 in a counting pass, sizing, header and
  // records; version 3/4 in one pass (header, then the records of the
  // chosen messages; a file without any ends with "NO COMPLETE RECORD!", a
  // chosen message without records draws one warning naming it).  A file
  // that cannot be opened, has no END OF HEADER, a RINEX version other than
  // 2.x, 3.x or 4.x, no complete or no plausible record, a broken number or
  // a satellite number outside 1-99 ends the program with a GPSbEph error
  // naming the file; a record cut short by the end of the file is dropped
  // with a warning, an implausible one is skipped with a warning; a file
  // without records ends it with the GPSbEphData error "NUMBER OF RECORDS
  // not set!".
  void ReadFile();
  // Counting pass: reads the header and adds the number of records to
  // nsatall.
  void CountNav();

  // Number of records (not of satellites).
  std::uint32_t GetNSat() const { return nsatall; }
  // The distinct system-wide satellite numbers, ascending (system order G,
  // E, C, J).
  matrix<short> GetSatList() const { return gdata->satList; }
  // Epoch (Toc, GPS time) of record i, in file order.
  mjd GetMJD(long i) const;
  // Relativistic clock term of the last computation with its sign reversed,
  // s.
  long double GetRelativity() const { return Relativity; }

  const GPSbEphHeader& GetHeader() const { return ghead; }
  const GPSbEphData& GetData() const { return *gdata; }

  // Row of the record to use for satellite st at epoch t0.  The records of
  // st are taken in time order (records of one epoch in file order): if t0
  // is earlier than the first one, that one is used; otherwise the first
  // pair of consecutive records whose epochs enclose t0 gives the nearer of
  // the two (the earlier on a tie); failing that, the last record of st.
  // A Galileo satellite's F/NAV records are searched so first, and the one
  // found is used when it lies within the Galileo validity interval of t0
  // or the satellite has no I/NAV record; otherwise its I/NAV records are
  // searched.  A satellite without records ends the program with "SAT: Xnn
  // IS NOT LISTED IN <SYSTEM> NAVIGATION FILE <file>!!!" (X its system
  // letter and SYSTEM its name, GPS for a number of no system).
  std::uint32_t GetDataIndex(unsigned short st, const mjd& t0) const;

  // The receiver's choice (-rx) instead of the nearest Toc: at epoch t the
  // record of st with the latest transmission time at or before t whose
  // fit interval holds t (a later record in file order on equal
  // transmission times).  Fit intervals, centred on Toe:
  //   GPS LNAV   the record's fit interval field, hours (0 or blank: 4 h)
  //   QZSS LNAV  2 h for fit interval flag 0, else 4 h (IS-QZSS-PNT)
  //   GPS, QZSS CNAV and CNAV-2  3 h (IS-GPS-200 section 30)
  //   Galileo, BeiDou (D1/D2 and B-CNAV), NavIC  twice the validity of
  //              KeplerSystems.h (Galileo 8 h, BeiDou 2 h, NavIC 4 h)
  // A record without a transmission time (blank, or not within a week of
  // its epoch) is never chosen.  Returns false when no record qualifies.
  bool ReceiverIndex(unsigned short st, const mjd& t, std::uint32_t& row) const;
  // Uses the receiver's choice in CalcPosition; a file none of whose
  // records has a transmission time ends the run with a GPSbEph error.
  void UseReceiverChoice();
  // Transmission time of record row (GPS time); false when it has none.
  bool TransmissionTime(std::uint32_t row, mjd& ttr) const;

  // Longest interval between a record's epoch and an epoch it serves, s.
  static constexpr long double kMaxInterval = rinexnav::kMaxRecordInterval;

  // Position and clock of satellite st (system-wide number) at epoch t0
  // (GPS time) from the record chosen for epoch tindex (t0 itself, or one
  // fixed epoch so that one record serves all epochs).  pos receives x, y, z
  // (m, Earth-fixed frame of t0) and dt = af0 + af1 dt + af2 dt^2 +
  // relativistic term (s); *tgdout the record's TGD (BeiDou TGD1, Galileo
  // BGD E5a/E1; s, not applied).  w != 0 adds a warning when t0 lies
  // further from the record epoch than the system's fit interval (GPS 2 h).
  // print is not used.  Returns false, with every component of pos NaN and
  // no other warning, when t0 lies more than kMaxInterval from the record's
  // epoch.
  bool CalcPosition(unsigned short st, const mjd& t0, const mjd& tindex, xyzt& pos,
                       long double* tgdout, unsigned short w, unsigned short print);

  // The group delays of the record chosen for satellite st at tindex (as
  // by CalcPosition, -rx included), by rinexnav::GroupDelay: gd1, gd2 and gd3
  // the first three named delays of its message's layout (NavMessages.cpp;
  // SignalPairs.h lists them per message), its message kept; all absent
  // when -rx finds no record.
  GroupDelays GetGroupDelays(unsigned short st, const mjd& tindex) const;
  // The own fields (RecordFields.h) of that record: msg its layout's name
  // (BeiDou D1/D2: D2 for GEO satellites), iod, health and accuracy from
  // the layout's places, toc its epoch, toe Toc - (Toc - Toe), ttr as
  // TransmissionTime; msg nullptr when -rx finds no record.
  RecordFields GetRecordFields(unsigned short st, const mjd& tindex) const;

  // Position of satellite st at the moment of transmission of a signal
  // received at epoch eph by a receiver at prec (m, Earth-fixed): the light
  // time tau is iterated from -0.075 s (satellite at eph + tau, receiver
  // turned by -tau OMEGAz about z) until |tau c + range| <= 1e-5 m; after 10
  // unconverged passes an 11th is made and a warning given.  psat receives
  // the satellite; returns the last range (m).
  long double CalcPosition(unsigned short st, const mjd& eph, const mjd& tindex,
                              const xyz& prec, xyzt& psat, long double* tgd, unsigned short w,
                              unsigned short iz);
  // The same with the light time taken from a pseudorange P (m): the
  // satellite at eph - P / c, the receiver turned by OMEGAz P / c about z;
  // returns the range between them (m).
  long double CalcPosition(unsigned short st, const mjd& eph, const mjd& tindex,
                              const xyz& prec, xyzt& psat, const gnssobs& P, long double* tgd,
                              unsigned short w, unsigned short iz);

  // Writes "GPSbEph:: ", name in a field of 10, ": " and value in scientific
  // notation with 15 digits in a field of 30, then a line end, on standard
  // output (the stream's format is restored afterwards).
  void PrintParameter(const char* name, long double value) const;

  // Error frame of this class, then exit status 1.
  [[noreturn]] void GPSbEphError(const char* text) const;
  // Warning frame of this class.
  void GPSbEphWarning(const char* text) const;

 private:
  char navig[1024];        // file name
  navmsg::Choice messages;  // the message read per system
  GPSbEphHeader ghead;     // header
  // Records; a copy of the store shares them, as they do not change once
  // read (a copy computes on another thread with state of its own).
  std::shared_ptr<GPSbEphData> gdata = std::make_shared<GPSbEphData>();
  long double Relativity;  // -(relativistic clock term) of the last computation, s
  std::uint32_t nsatall;   // number of records
  long double OMEGAz;      // Earth's rotation rate, rad/s
  xyz ps;                  // receiver turned by the Earth's rotation (light-time variants)
  mjd ephr;                // transmission epoch (light-time variants)

  // Records of one satellite in time order, with their epochs, so that the
  // record choice searches only that satellite's records, by bisection.
  struct Entry {
    mjd epoch;
    std::uint32_t row;
  };
  using Entries = std::vector<Entry>;
  struct SatRecords {
    Entries main;  // every record but Galileo F/NAV ones
    Entries fnav;  // Galileo F/NAV records
  };
  std::vector<SatRecords> bySat;  // indexed by satellite number
  // Records whose Kepler equation found no solution (warned about once).
  std::vector<bool> unsolved;

  // Values of each record's orbit that do not depend on the epoch, computed
  // once by the same expressions as in the orbit computation.
  struct OrbitConstants {
    long double a;       // semi-major axis, m
    long double rk;      // relativistic clock constant F e sqrt(a), s
    long double n0;      // computed mean motion, rad/s
    long double sqrt1e2;  // sqrt(1 - e^2)
    const kepler::System* sys;  // the record's system
    long double tocMinusToe;    // Toc - Toe within half a week, s
    long double toe;            // Toe, s of week of the system's time
    long double adot;           // CNAV, B-CNAV: change rate of A, m/s; else 0
    long double dn0dot;         // CNAV, B-CNAV: rate of Delta n0, rad/s^2; else 0
    bool geo;                   // a BeiDou GEO satellite
  };
  std::vector<OrbitConstants> orbit;  // by row
  // Receiver's choice: its use, and each record's transmission time and
  // half fit interval, kept for it.
  bool receiver = false;
  std::vector<mjd> sent;
  std::vector<long double> halfFit;
  // Transmission time of record k (GPS time; day 0 when it has none) and
  // half its fit interval (s).
  mjd SentOf(std::uint32_t k) const;
  // The record CalcPosition uses for st at tindex (nearest, or -rx's
  // choice); false when -rx finds none.
  bool ChosenRow(unsigned short st, const mjd& tindex, std::uint32_t& row) const;
  long double HalfFitOf(std::uint32_t k) const;
  // Of records of one epoch in list (time order) only the preferred one
  // stays; different ones draw one warning per satellite (warned).
  void OneRecordPerEpoch(Entries& list, bool& warned) const;
  // Records a and b hold the same broadcast data.
  bool SameBroadcast(std::uint32_t a, std::uint32_t b) const;
  // Record a is preferred to record b of the same epoch t (their data
  // differ); neighbour, when given, is the satellite's record to agree with.
  bool Preferred(std::uint32_t a, std::uint32_t b, const Entry* neighbour, const mjd& t) const;
  // Distance between the orbits of records a and b at t, m (infinite when
  // one has no solution).
  long double Apart(std::uint32_t a, std::uint32_t b, const mjd& t) const;
  // Orbit time tk of a record of constants c at dt s from its epoch.
  static long double OrbitTime(const OrbitConstants& c, long double dt);
  // The computation of CalcPosition from record index.
  bool CalcFromRecord(int index, unsigned short st, const mjd& t0, xyzt& pos,
                      long double* tgdout, unsigned short w);

  void BuildIndex();
  // Skips the records of implausible elements, and B-CNAV records of GEO
  // satellites, each with a warning.
  void SkipImplausible();
  // Why record k is skipped, or an empty text.
  std::string SkipReason(int k) const;
  // A warning for each system whose chosen message has no record.
  void WarnAbsentMessages() const;
  // The constants of record k of system sys.
  OrbitConstants ConstantsOf(int k, const kepler::System& sys) const;
  // "RECORD OF Xnn AT yyyy-mm-dd hh:mm:ss.s" (epoch as written in the file)
  // of row k, after the file's name, for warnings.
  std::string RecordName(int k) const;
  // The nearest record of list to t0 by the rule of GetDataIndex.
  static std::uint32_t Nearest(const Entries& list, const mjd& t0);
  // The Keplerian orbit of record r (its constants c) at tk seconds from its
  // reference epoch: X, Y, Z (m) in the Earth-fixed frame, and sin E for the
  // clock.  One formula for every system; BeiDou GEO records take the extra
  // rotation of GeoToEarthFixed.
  // False when Kepler's equation finds no solution.
  bool Kepler(GPSbEphData::Record r, const OrbitConstants& c, long double tk,
              long double& sinE, long double& X, long double& Y, long double& Z) const;
  // The eccentric anomaly E of mean anomaly M and eccentricity e; false
  // when 100 passes do not reach a finite solution.
  static bool EccentricAnomaly(long double M, long double e, long double& E);
  // A BeiDou GEO position from the frame of its elements to the Earth-fixed
  // frame: R_Z(earthAngle) R_X(-5 deg), earthAngle = OmegaE tk (rad).
  static void GeoToEarthFixed(long double earthAngle, long double& X, long double& Y,
                              long double& Z);
  // The warnings of a computation far from its record (see the top).
  void RunWarning(const kepler::System& sys, unsigned short st, const mjd& t0) const;
  void RecordWarning(const kepler::System& sys, unsigned short st, const mjd& t0,
                     long double dt) const;
};
