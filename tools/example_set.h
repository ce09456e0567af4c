// The sample data set in examples/: one day (2024-05-15, GPS week 2314,
// Wednesday) of four GPS and three GLONASS satellites, built by
// tools/make_examples.cpp from the nominal constellations and used by the
// end-to-end test and the demo.
//
// The set is synthetic and self-consistent, so that the program's
// precise-minus-broadcast differences are known in advance:
//   * GPS: a RINEX 2 navigation record every 2 h per satellite, all records
//     of a satellite describing one Keplerian orbit (Toc = Toe = record
//     epoch, mean anomaly, node and inclination carried forward with the
//     orbit's own rates, clock bias with its drift, harmonic corrections 0);
//   * GLONASS: a RINEX 2 navigation record every 30 min per satellite, the
//     states taken from one integration of the first record's state with the
//     program's own equations of motion (luni-solar accelerations 0), so that
//     consecutive records describe the same orbit;
//   * SP3-c: every 900 s the program's own broadcast position and clock of
//     each satellite, moved by a constant offset in the satellite's radial,
//     along-track and cross-track frame and by a constant clock offset
//     (kOffsets), and then moved outwards by the satellite's antenna z offset
//     so that the file holds centre-of-mass positions; the clock without the
//     broadcast clock's periodic relativistic term, as in real precise
//     clocks;
//   * ANTEX: z-only satellite antenna offsets (kGpsAntennaUp,
//     kGlonassAntennaUp).
// With the ANTEX file given, the program moves the SP3 positions back to the
// antenna phase centre and prints, in the difference columns, exactly the
// offsets of kOffsets (up to the 1 mm rounding of the SP3 file and the
// interpolation of that rounding between tabulated epochs); the clock
// difference is the clock offset less the term -2 (r . v) / c^2.
//
// The frame of the offsets, at each epoch, from the Earth-fixed position r
// and Earth-fixed velocity v of the satellite:
//   radial R = r / |r|, cross-track C = (r x v) / |r x v|, along-track
//   A = C x R;  offset = radial R + along A + cross C (metres).
// A reader of the program's output can form this frame from the printed
// precise position and velocity.
#pragma once

namespace examples {

// The day of the set (GPS time), its MJD and the GPS week and day of week.
constexpr int kYear = 2024, kMonth = 5, kDay = 15;
constexpr long kMJD = 60445;
constexpr int kGpsWeek = 2314, kDayOfWeek = 3;

// File names, RINEX and IGS style (day of year 136, GPS week 2314 day 3).
constexpr const char* kGpsNavFile = "brdc1360.24n";
constexpr const char* kGlonassNavFile = "brdc1360.24g";
constexpr const char* kSp3File = "orb23143.sp3";
constexpr const char* kAntexFile = "orbika.atx";

// Record intervals of the navigation files and the SP3 table, s.
constexpr long kGpsRecordStep = 7200;
constexpr int kGpsRecords = 12;
constexpr long kGlonassRecordStep = 1800;
constexpr int kGlonassRecords = 48;
constexpr long kSp3Step = 900;
constexpr int kSp3Epochs = 96;

// Broadcast elements of a GPS satellite at the first record (00:00 GPS).
// Angles in degrees; rates in rad/s; clock in s and s/s.
struct GpsSatellite {
  short prn;
  int plane;               // orbital plane 0..5, nodes 60 degrees apart
  long double sqrtA;       // square root of the semi-major axis, m^1/2
  long double e;           // eccentricity
  long double i0;          // inclination, degrees
  long double omega;       // argument of perigee, degrees
  long double m0;          // mean anomaly, degrees
  long double af0, af1;    // clock bias (s) and drift (s/s)
  long double tgd;         // group delay, s
};

// Longitude of the ascending node (at the start of the GPS week, as
// broadcast) of plane 0, degrees; the others follow at 60 degree steps.
constexpr long double kGpsNode0 = -10.0L;
// Rates common to all GPS satellites: mean motion difference, rate of the
// node and rate of inclination, rad/s.
constexpr long double kGpsDeltaN = 4.6e-9L;
constexpr long double kGpsOmegaDot = -8.1e-9L;
constexpr long double kGpsIdot = 2.0e-10L;

constexpr GpsSatellite kGps[] = {
    {2, 0, 5153.62L, 0.0125L, 55.3L, -95.0L, 40.0L, -1.723e-4L, -3.2e-12L, -1.1e-8L},
    {7, 2, 5153.71L, 0.0045L, 54.8L, 110.0L, -150.0L, 4.56e-4L, 1.1e-12L, 5.1e-9L},
    {13, 3, 5153.58L, 0.0068L, 55.6L, 60.0L, 170.0L, 2.89e-4L, 0.0L, -7.9e-9L},
    {24, 5, 5153.66L, 0.0102L, 54.5L, -30.0L, -75.0L, -5.1e-5L, 2.7e-12L, 2.3e-9L},
};

// Orbit of a GLONASS satellite at the first record (00:00 UTC): osculating
// Keplerian elements in the Earth-fixed frame of that instant.  Lengths in
// km, angles in degrees, clock terms as broadcast (-TauN in s, +GammaN).
struct GlonassSatellite {
  short slot;
  int frequency;           // frequency channel number
  long double a;           // semi-major axis, km
  long double e;           // eccentricity
  long double i;           // inclination, degrees
  long double node;        // longitude of the ascending node, degrees
  long double omega;       // argument of perigee, degrees
  long double m0;          // mean anomaly, degrees
  long double minusTauN;   // clock bias -TauN, s
  long double gammaN;      // relative frequency bias +GammaN
};

constexpr GlonassSatellite kGlonass[] = {
    {3, 5, 25508.4L, 0.0012L, 64.75L, 20.0L, 250.0L, 200.0L, 1.1234e-4L, 9.1e-13L},
    {11, 0, 25510.2L, 0.0008L, 64.82L, 140.0L, 40.0L, 65.0L, -3.6e-5L, 0.0L},
    {20, 2, 25511.7L, 0.0015L, 64.90L, 260.0L, 300.0L, 225.0L, 8.2e-6L, -1.8e-12L},
};

// Satellite antenna offsets along the body z axis (towards the Earth), m.
constexpr long double kGpsAntennaUp = 1.0L;
constexpr long double kGlonassAntennaUp = 2.0L;

// Precise minus broadcast, per satellite (system-wide number: GPS PRN n is
// n, GLONASS slot n is 100 + n): radial, along-track and cross-track offset
// (m) and clock offset (ns).  The GPS clock offsets have median zero, so
// that OrbikaStats' clock datum (each epoch's median over the system)
// leaves them as they are.
struct Offset {
  short sat;
  long double radial, along, cross;
  long double clockNs;
};

constexpr Offset kOffsets[] = {
    {2, 0.450L, -1.200L, 0.300L, 3.0L},
    {7, -0.250L, 0.850L, -0.600L, -5.0L},
    {13, 0.900L, 0.400L, 0.150L, 8.0L},
    {24, -0.700L, -0.350L, 0.950L, -3.0L},
    {103, 1.500L, -2.200L, 0.500L, 12.0L},
    {111, -1.100L, 2.600L, -0.800L, -7.0L},
    {120, 0.800L, 1.300L, 1.800L, 4.0L},
};

}  // namespace examples
