#include "GNSS/broadcast/SignalPairs.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include "GNSS/base/mGNSSc.h"

GroupDelays::GroupDelays()
    : gd1(std::numeric_limits<long double>::quiet_NaN()),
      gd2(std::numeric_limits<long double>::quiet_NaN()),
      gd3(std::numeric_limits<long double>::quiet_NaN()) {}

namespace signalpair {

namespace {

constexpr long double kNone = std::numeric_limits<long double>::quiet_NaN();

bool IsCNAV(navmsg::Kind k) { return k == navmsg::Kind::CNAV || k == navmsg::Kind::CNAV2; }
bool IsBCNAV(navmsg::Kind k) {
  return k == navmsg::Kind::BCNAV1 || k == navmsg::Kind::BCNAV2 || k == navmsg::Kind::BCNAV3;
}

// GPS and QZSS LNAV and CNAV clocks refer to L1/L2 P(Y) already.
long double OnLegacyPair(const Pair&, long double b, const GroupDelays&) { return b; }

// IS-GPS-200 30.3.3.3.1.1.1: the L1 C/A clock is b - TGD + ISC_L1CA, the
// L2C clock b - TGD + ISC_L2C.
long double OnCivilPair(const Pair& pair, long double b, const GroupDelays& gd) {
  if (!IsCNAV(gd.message)) return kNone;
  return b - mGNSSc::IonoFree(pair.fa, gd.gd1 - gd.gd2, pair.fb, gd.gd1 - gd.gd3);
}

// Galileo OS SIS ICD, broadcast group delay: the E1 clock is the pair's
// clock minus the BGD of that pair, from either message.
long double OnGalileoPair(const Pair&, long double b, const GroupDelays& gd) {
  return gd.message == navmsg::Kind::FNAV ? b : b + gd.gd1 - gd.gd2;
}

// BDS-SIS-ICD-B1I, equipment group delay differential: the B1I clock is
// b - TGD1, the B2I clock b - TGD2, the B3I clock b.
long double OnB1IPair(const Pair& pair, long double b, const GroupDelays& gd) {
  if (IsBCNAV(gd.message)) return kNone;
  return b - mGNSSc::IonoFree(pair.fa, gd.gd1, pair.fb, pair.fb == BEIDOUc::freqB3I ? 0 : gd.gd2);
}

// BDS-SIS-ICD-B1C and -B2a, group delay differential: the B1C pilot clock
// is b - TGD_B1Cp, the B2a pilot clock b - TGD_B2ap.
long double OnB1CPair(const Pair& pair, long double b, const GroupDelays& gd) {
  if (gd.message != navmsg::Kind::BCNAV1 && gd.message != navmsg::Kind::BCNAV2) return kNone;
  return b - mGNSSc::IonoFree(pair.fa, gd.gd1, pair.fb, gd.gd2);
}

// GLONASS ICD: dTau_n is the delay of the L2 signal minus that of L1.
long double OnGlonassPair(const Pair& pair, long double b, const GroupDelays& gd) {
  return std::isnan(gd.gd1) ? b : b - mGNSSc::IonoFree(pair.fa, 0, pair.fb, gd.gd1);
}

// clang-format off
//                         system, name, fa, fb, ANTEX codes, clock
constexpr Pair kPairs[] = {
    {'G', "L1/L2",    GPSc::freq1,        GPSc::freq2,        "G01", "G02", OnLegacyPair},
    {'G', "L1CA/L2C", GPSc::freq1,        GPSc::freq2,        "G01", "G02", OnCivilPair},
    {'J', "L1/L2",    GPSc::freq1,        GPSc::freq2,        "J01", "J02", OnLegacyPair},
    {'J', "L1CA/L2C", GPSc::freq1,        GPSc::freq2,        "J01", "J02", OnCivilPair},
    {'E', "E1/E5a",   GALILEOc::freq1,    GALILEOc::freq5,    "E01", "E05", OnGalileoPair},
    {'C', "B1I/B3I",  BEIDOUc::freqB1I,   BEIDOUc::freqB3I,   "C02", "C06", OnB1IPair},
    {'C', "B1I/B2I",  BEIDOUc::freqB1I,   BEIDOUc::freqB2I,   "C02", "C07", OnB1IPair},
    {'C', "B1C/B2a",  BEIDOUc::freqB1C,   BEIDOUc::freqB2a,   "C01", "C05", OnB1CPair},
    {'R', "L1/L2",    GLONASSc::freq10,   GLONASSc::freq20,   "R01", "R02", OnGlonassPair},
};
// clang-format on

// The GLONASS clock without dTau_n stays on its broadcast signal.
constexpr const char* kGlonassBroadcastSignal = "L1";

}  // namespace

const Pair* Find(char system, const std::string& name) {
  const auto upper = [](char c) { return std::toupper(static_cast<unsigned char>(c)); };
  for (const Pair& p : kPairs) {
    const std::string own = p.name;
    if (p.system == upper(system) && name.size() == own.size() &&
        std::equal(name.begin(), name.end(), own.begin(),
                   [&](char a, char b) { return upper(a) == upper(b); }))
      return &p;
  }
  return nullptr;
}

// The first pair of each system in the table is its default.
const Pair* Default(char system) {
  for (const Pair& p : kPairs)
    if (p.system == system) return &p;
  return nullptr;
}

std::string Known() {
  std::string text;
  for (const Pair& p : kPairs)
    text += (text.empty() ? "" : " ") + std::string(1, p.system) + ':' + p.name;
  return text;
}

long double ClockOnPair(const Pair& pair, long double b, const GroupDelays& gd) {
  return pair.clock(pair, b, gd);
}

const char* ClockSignal(const Pair& pair, const GroupDelays& gd) {
  return pair.system == 'R' && std::isnan(gd.gd1) ? kGlonassBroadcastSignal : pair.name;
}

}  // namespace signalpair
