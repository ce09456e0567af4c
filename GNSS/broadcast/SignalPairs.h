// SignalPairs: the ionosphere-free signal pairs a broadcast clock can be
// brought to, and the clock on such a pair from the group delays of its
// record.
//
// A broadcast clock b (s) refers to one signal or pair: GPS and QZSS LNAV
// and CNAV to L1/L2 P(Y) (IS-GPS-200 20.3.3.3.3.2 and 30.3.3.3.1.1,
// IS-QZSS-PNT), Galileo I/NAV to E1/E5b and F/NAV to E1/E5a (Galileo OS SIS
// ICD), BeiDou D1/D2 and B-CNAV to B3I (BDS-SIS-ICD-B1I, -B1C, -B2a),
// GLONASS to L1 (GLONASS ICD).  Precise products refer to one
// ionosphere-free pair per system; with the record's group delays the
// broadcast clock is brought to it:
//   GPS, QZSS L1/L2          b (LNAV and CNAV: already on the pair)
//   GPS, QZSS L1CA/L2C       CNAV, CNAV-2: b - IF(T_L1CA, T_L2C) with
//                            T_L1CA = TGD - ISC_L1CA, T_L2C = TGD - ISC_L2C
//                            (IS-GPS-200 30.3.3.3.1.1.1, the ISCs being
//                            L1P(Y) minus the signal); LNAV: none
//   Galileo E1/E5a           I/NAV: b + BGD(E1,E5a) - BGD(E1,E5b); F/NAV: b
//   BeiDou B1I/B3I, B1I/B2I  D1/D2: b - IF(T_B1I, T_Bx) with T_B1I = TGD1,
//                            T_B3I = 0, T_B2I = TGD2; B-CNAV: none
//   BeiDou B1C/B2a           B-CNAV1, B-CNAV2: b - IF(TGD_B1Cp, TGD_B2ap)
//                            (BDS-SIS-ICD-B1C, -B2a: the pilots'
//                            delays against B3I); D1/D2, B-CNAV3: none
//   GLONASS L1/L2            b - IF(0, T_L2), T_L2 = dTau_n; b where the
//                            record has no dTau_n (the clock stays on L1)
// where a clock on signal s is b - T_s and the clock on the pair (a, b) is
//   IF(T_a, T_b) = (f_a^2 T_a - f_b^2 T_b) / (f_a^2 - f_b^2)
// (mGNSSc::IonoFree, the ionosphere-free combination of the two signals'
// clocks).  So
// B1I/B3I is b - 2.9437 TGD1 and GLONASS b + (49/32) dTau_n: f1 / f2 = 9/7
// on every GLONASS channel.  Frequencies: mGNSSc.h.  "none": the record
// lacks a delay the pair needs, and the result is NaN.
//
// Units: seconds throughout.  Accuracy: that of the broadcast delays
// (0.1-1 ns); the result is NaN where a delay it needs is absent.
#pragma once

#include <string>

#include "GNSS/broadcast/NavMessages.h"

// The group-delay fields of a broadcast record (s), NaN where it has none:
//   GPS, QZSS LNAV      gd1 TGD
//   Galileo I/NAV       gd1 BGD(E1,E5a), gd2 BGD(E1,E5b)
//   Galileo F/NAV       gd1 BGD(E1,E5a)
//   BeiDou D1/D2        gd1 TGD1 (B1I), gd2 TGD2 (B2I)
//   GPS, QZSS CNAV, CNAV-2  gd1 TGD, gd2 ISC_L1CA, gd3 ISC_L2C
//   BeiDou B-CNAV1      gd1 TGD_B1Cp, gd2 TGD_B2ap, gd3 ISC_B1Cd
//   BeiDou B-CNAV2      gd1 TGD_B1Cp, gd2 TGD_B2ap, gd3 ISC_B2ad
//   BeiDou B-CNAV3      gd1 TGD_B2bI
//   NavIC LNAV          gd1 TGD
//   GLONASS             gd1 dTau_n (L2 minus L1), versions 3.05 and 4 only
// The CSV writes gd1 and gd2; gd3 serves the pair clocks only.
struct GroupDelays {
  long double gd1, gd2, gd3;
  // The record's message (GLONASS records keep the default).
  navmsg::Kind message = navmsg::Kind::LNAV;
  GroupDelays();  // all absent
};

namespace signalpair {

// One ionosphere-free pair of a system's signals.
struct Pair {
  char system;             // G, J, E, C or R
  const char* name;        // e.g. "E1/E5a"
  long double fa, fb;      // carriers of the two signals, Hz (GLONASS: channel 0)
  const char* atxA;        // ANTEX frequency codes of the two signals
  const char* atxB;
  // Clock b of a record with delays gd on this pair (the table above).
  long double (*clock)(const Pair& pair, long double b, const GroupDelays& gd);
};

// The pair of system letter and name, letters in either case ("c",
// "b1i/b2i"); nullptr for one this program does not bring clocks to.
const Pair* Find(char system, const std::string& name);
// The default pair of a system; nullptr for SBAS and IRNSS.
const Pair* Default(char system);
// The pairs known, for messages: "G:L1/L2 J:L1/L2 ...".
std::string Known();

// Clock b (s) of a record of pair.system with delays gd, on the pair.
long double ClockOnPair(const Pair& pair, long double b, const GroupDelays& gd);
// The signal that ClockOnPair's result refers to: the pair's name, or the
// broadcast signal ("L1") for a GLONASS record without dTau_n.
const char* ClockSignal(const Pair& pair, const GroupDelays& gd);

}  // namespace signalpair
