#include "GNSS/broadcast/SignalPairs.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include "GNSS/base/mGNSSc.h"

GroupDelays::GroupDelays()
    : gd1(std::numeric_limits<long double>::quiet_NaN()),
      gd2(std::numeric_limits<long double>::quiet_NaN()) {}

namespace signalpair {

namespace {

// clang-format off
//                         system, name, fa, fb, ANTEX codes
constexpr Pair kPairs[] = {
    {'G', "L1/L2",   GPSc::freq1,        GPSc::freq2,        "G01", "G02"},
    {'J', "L1/L2",   GPSc::freq1,        GPSc::freq2,        "J01", "J02"},
    {'E', "E1/E5a",  GALILEOc::freq1,    GALILEOc::freq5,    "E01", "E05"},
    {'C', "B1I/B3I", BEIDOUc::freqB1I,   BEIDOUc::freqB3I,   "C02", "C06"},
    {'C', "B1I/B2I", BEIDOUc::freqB1I,   BEIDOUc::freqB2I,   "C02", "C07"},
    {'R', "L1/L2",   GLONASSc::freq10,   GLONASSc::freq20,   "R01", "R02"},
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
  switch (pair.system) {
    case 'E':
      // Galileo OS SIS ICD, broadcast group delay: the E1 clock is the
      // pair's clock minus the BGD of that pair, from either message.
      return gd.galileoFNAV ? b : b + gd.gd1 - gd.gd2;
    case 'C':
      // BDS-SIS-ICD-B1I, equipment group delay differential: the B1I clock
      // is b - TGD1, the B2I clock b - TGD2, the B3I clock b.
      return b - mGNSSc::IonoFree(pair.fa, gd.gd1, pair.fb,
                                  pair.fb == BEIDOUc::freqB3I ? 0 : gd.gd2);
    case 'R':
      // GLONASS ICD: dTau_n is the delay of the L2 signal minus that of L1.
      return std::isnan(gd.gd1) ? b : b - mGNSSc::IonoFree(pair.fa, 0, pair.fb, gd.gd1);
    default:
      return b;  // GPS and QZSS LNAV clocks refer to L1/L2
  }
}

const char* ClockSignal(const Pair& pair, const GroupDelays& gd) {
  return pair.system == 'R' && std::isnan(gd.gd1) ? kGlonassBroadcastSignal : pair.name;
}

}  // namespace signalpair
