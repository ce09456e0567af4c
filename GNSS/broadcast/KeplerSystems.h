// KeplerSystems: the systems whose broadcast orbits are Keplerian elements
// (GPS, Galileo, BeiDou, QZSS, NavIC), with the constants each one's interface
// document prescribes for evaluating them, the time scale of their record
// epochs and how long a record may be used.
//
// The broadcast store (GPSbEph) keeps the records of all four systems and
// tells them apart by the system-wide satellite number: GPS n, Galileo
// 200 + n, BeiDou 300 + n, QZSS 500 + n, NavIC 600 + n.
//
// Sources of the constants:
//   GPS      IS-GPS-200, user algorithm for ephemeris determination (WGS 84)
//   Galileo  Galileo OS SIS ICD, algorithm for ephemeris parameters (GTRF)
//   BeiDou   BDS-SIS-ICD-B1I, user algorithm for ephemeris (CGCS2000)
//   QZSS     IS-QZSS-PNT, user algorithm for ephemeris (the GPS values)
//   NavIC    NavIC SPS ICD, user algorithm for ephemeris (the WGS 84 values
//            of IS-GPS-200)
// F is -2 sqrt(GM) / c^2 as each document gives it.  The values are those of
// GPSc, GALILEOc and BEIDOUc (mGNSSc.h); QZSS and NavIC use the GPS values.
//
// Time scales: the epoch of a record (its clock reference time Toc) is
// written in the system's own time; Galileo System Time and QZSS time are
// kept aligned with GPS time (their offsets of a few nanoseconds are left
// out, as a common clock offset), BeiDou time is GPS time minus 14 s; NavIC
// time (IRNWT) counts weeks and seconds as GPS time does, its broadcast
// offset from GPS time is of nanoseconds and left out likewise.
//
// Fit intervals (a computation further than `validity` from its record's
// epoch draws the store's warnings):
//   GPS      2 h: half of the 4 h curve fit interval (IS-GPS-200);
//            the run's warning on standard error, kept from the first
//            version of the program, starts at 8000 s
//   Galileo  4 h: the nominal validity of the navigation data (OS SIS ICD)
//   BeiDou   1 h: the hourly update of the ephemeris (BDS-SIS-ICD-B1I)
//   QZSS     1 h: half of the 2 h fit interval (IS-QZSS-PNT, fit interval
//            flag 0)
//   NavIC    2 h: half of the 4 h interval of GPS LNAV; the NavIC message
//            carries no fit interval, and its ephemeris is renewed every
//            two hours or sooner
#pragma once

#include "GNSS/base/mGNSSc.h"
#include "GNSS/base/satcode.h"

namespace kepler {

struct System {
  char letter;             // satellite code letter
  const char* name;        // name in messages
  short offset;            // system-wide satellite number = offset + n
  long double GM;          // Earth's gravitational constant, m^3/s^2
  long double OmegaE;      // Earth's rotation rate, rad/s
  long double F;           // relativistic clock constant, s/m^1/2
  long double toGPS;       // GPS time minus the time of the record epochs, s
  long double validity;    // fit interval around a record's epoch, s
  long double runWarning;  // |t - Toc| beyond which the run warns, s
};

// clang-format off
//                           letter, name, offset, GM, OmegaE, F,
//                           toGPS, validity, runWarning
constexpr System kGPS     = {'G', "GPS", satcode::kGPS, GPSc::GM, GPSc::OMEGAe, GPSc::F,
                             0, 7200, 8000};
constexpr System kGalileo = {'E', "GALILEO", satcode::kGalileo, GALILEOc::GM, GALILEOc::OMEGAe,
                             GALILEOc::F, 0, 14400, 14400};
constexpr System kBeiDou  = {'C', "BEIDOU", satcode::kBeiDou, BEIDOUc::GM, BEIDOUc::OMEGAe,
                             BEIDOUc::F, 14, 3600, 3600};
constexpr System kQZSS    = {'J', "QZSS", satcode::kQZSS, GPSc::GM, GPSc::OMEGAe, GPSc::F,
                             0, 3600, 3600};
constexpr System kNavIC   = {'I', "NAVIC", satcode::kIRNSS, GPSc::GM, GPSc::OMEGAe, GPSc::F,
                             0, 7200, 7200};
// clang-format on

// Elements no satellite of these systems can have, with a wide margin.
// The eccentricity field of every system's message spans [0, 0.5)
// (IS-GPS-200 Table 20-III: 32 bits unsigned, scale 2^-33; the same field
// in the Galileo OS SIS ICD, BDS-SIS-ICD-B1I and IS-QZSS-PNT).  The
// semi-major axes of the constellations lie between 26,560 km (GPS,
// IS-GPS-200) and 42,164 km (BeiDou GEO and IGSO, QZSS); 10,000 km and
// 60,000 km leave more than 15,000 km below and above them.
constexpr long double kMaxEccentricity = 0.5;
constexpr long double kMinSemiMajorAxis = 1.0e7;  // m
constexpr long double kMaxSemiMajorAxis = 6.0e7;  // m

// Whether a record with eccentricity e and square root of the semi-major
// axis sqrtA (m^1/2) describes an orbit of these systems.
bool PlausibleEccentricity(long double e);
bool PlausibleSemiMajorAxis(long double sqrtA);

// The system of a system-wide satellite number; nullptr for GLONASS, SBAS
// and numbers outside every range.
const System* Of(int satellite);
// The system of a satellite code letter (G, E, C, J, I); nullptr for others.
const System* OfLetter(char letter);

// BeiDou satellites in geostationary orbit, whose broadcast elements refer
// to a frame inclined by 5 degrees (BDS-SIS-ICD-B1I, user algorithm for GEO
// satellites): C01-C05 and C59-C63.
bool IsBeiDouGEO(int satellite);

}  // namespace kepler
