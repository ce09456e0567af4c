// SignalPairs: the ionosphere-free signal pairs a broadcast clock can be
// brought to, and the clock on such a pair from the group delays of its
// record.
//
// A broadcast clock b (s) refers to one signal or pair: GPS and QZSS LNAV
// to L1/L2 (IS-GPS-200, IS-QZSS-PNT), Galileo I/NAV to E1/E5b and F/NAV to
// E1/E5a (Galileo OS SIS ICD), BeiDou D1/D2 to B3I (BDS-SIS-ICD-B1I),
// GLONASS to L1 (GLONASS ICD).  Precise products refer to one
// ionosphere-free pair per system; with the record's group delays the
// broadcast clock is brought to it:
//   GPS, QZSS L1/L2          b (already on the pair)
//   Galileo E1/E5a           I/NAV: b + BGD(E1,E5a) - BGD(E1,E5b); F/NAV: b
//   BeiDou B1I/B3I, B1I/B2I  b - IF(T_B1I, T_Bx) with T_B1I = TGD1,
//                            T_B3I = 0, T_B2I = TGD2
//   GLONASS L1/L2            b - IF(0, T_L2), T_L2 = dTau_n; b where the
//                            record has no dTau_n (the clock stays on L1)
// where a clock on signal s is b - T_s and the clock on the pair (a, b) is
//   IF(T_a, T_b) = (f_a^2 T_a - f_b^2 T_b) / (f_a^2 - f_b^2)
// (mGNSSc::IonoFree, the ionosphere-free combination of the two signals'
// clocks).  So
// B1I/B3I is b - 2.9437 TGD1 and GLONASS b + (49/32) dTau_n: f1 / f2 = 9/7
// on every GLONASS channel.  Frequencies: mGNSSc.h.
//
// Units: seconds throughout.  Accuracy: that of the broadcast delays
// (0.1-1 ns); the result is NaN where a delay it needs is absent.
#pragma once

#include <string>

// The group-delay fields of a broadcast record (s), NaN where it has none:
//   GPS, QZSS LNAV  gd1 TGD
//   Galileo         gd1 BGD(E1,E5a), gd2 BGD(E1,E5b) (I/NAV only)
//   BeiDou D1/D2    gd1 TGD1 (B1I), gd2 TGD2 (B2I)
//   GLONASS         gd1 dTau_n (L2 minus L1), versions 3.05 and 4 only
struct GroupDelays {
  long double gd1, gd2;
  bool galileoFNAV = false;  // the record is a Galileo F/NAV one
  GroupDelays();             // both absent
};

namespace signalpair {

// One ionosphere-free pair of a system's signals.
struct Pair {
  char system;             // G, J, E, C or R
  const char* name;        // e.g. "E1/E5a"
  long double fa, fb;      // carriers of the two signals, Hz (GLONASS: channel 0)
  const char* atxA;        // ANTEX frequency codes of the two signals
  const char* atxB;
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
