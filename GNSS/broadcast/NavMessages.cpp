#include "GNSS/broadcast/NavMessages.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace navmsg {

namespace {

// clang-format off
// kind, system, name, lines, needed, required, cnav, toeIsEpoch, iod, ttr,
// health, accuracy, group delays (RINEX 4.00 record tables; the fields' meanings
// and units as the interface documents give them: s for delays, health as
// broadcast, accuracy in metres for LNAV, I/NAV, F/NAV, D1/D2 and NavIC,
// an index for CNAV URA_ED and B-CNAV SISAI_oe).  The first three group
// delays are the ones a record hands on as gd1, gd2, gd3 (SignalPairs.h); F/NAV
// does not broadcast BGD(E1,E5b).
constexpr Layout kLayouts[] = {
  {Kind::LNAV,   'G', "LNAV", 8, 20, kTGD, false, false, 3, 27, 24, 23, {{"TGD", kTGD}}},
  {Kind::LNAV,   'J', "LNAV", 8, 20, -1, false, false, 3, 27, 24, 23, {{"TGD", kTGD}}},
  {Kind::INAV,   'E', "INAV", 8, 20, -1, false, false, 3, 27, 24, 23,
   {{"BGD_E5a_E1", 25}, {"BGD_E5b_E1", 26}}},
  {Kind::FNAV,   'E', "FNAV", 8, 20, -1, false, false, 3, 27, 24, 23, {{"BGD_E5a_E1", 25}}},
  {Kind::D1D2,   'C', "D1D2", 8, 20, -1, false, false, 3, 27, 24, 23, {{"TGD1", 25}, {"TGD2", 26}}},
  {Kind::CNAV,   'G', "CNAV", 9, 21, -1, true, true, -1, 31, 24, 23,
   {{"TGD", kTGD}, {"ISC_L1CA", 27}, {"ISC_L2C", 28}, {"ISC_L5I5", 29}, {"ISC_L5Q5", 30}}},
  {Kind::CNAV,   'J', "CNAV", 9, 21, -1, true, true, -1, 31, 24, 23,
   {{"TGD", kTGD}, {"ISC_L1CA", 27}, {"ISC_L2C", 28}, {"ISC_L5I5", 29}, {"ISC_L5Q5", 30}}},
  {Kind::CNAV2,  'G', "CNV2", 10, 21, -1, true, true, -1, 35, 24, 23,
   {{"TGD", kTGD}, {"ISC_L1CA", 27}, {"ISC_L2C", 28}, {"ISC_L5I5", 29}, {"ISC_L5Q5", 30},
    {"ISC_L1Cd", 31}}},
  {Kind::CNAV2,  'J', "CNV2", 10, 21, -1, true, true, -1, 35, 24, 23,
   {{"TGD", kTGD}, {"ISC_L1CA", 27}, {"ISC_L2C", 28}, {"ISC_L5I5", 29}, {"ISC_L5Q5", 30},
    {"ISC_L1Cd", 31}}},
  {Kind::BCNAV1, 'C', "CNV1", 10, 22, -1, true, false, 38, 35, 32, 23,
   {{"TGD_B1Cp", 29}, {"TGD_B2ap", 30}, {"ISC_B1Cd", 27}}},
  {Kind::BCNAV2, 'C', "CNV2", 10, 22, -1, true, false, 38, 35, 32, 23,
   {{"TGD_B1Cp", 29}, {"TGD_B2ap", 30}, {"ISC_B2ad", 28}}},
  {Kind::BCNAV3, 'C', "CNV3", 9, 22, -1, true, false, -1, 31, 28, 23, {{"TGD_B2bI", 30}}},
  {Kind::NavICLNAV, 'I', "LNAV", 8, 20, -1, false, false, 3, 27, 24, 23, {{"TGD", kTGD}}},
  {Kind::SBAS,   'S', "SBAS", 4, 15, -1, false, false, 14, 2, 6, 10, {}},
};
// clang-format on

}  // namespace

const Layout* LayoutOf(char system, Kind k) {
  for (const Layout& l : kLayouts)
    if (l.system == system && l.kind == k) return &l;
  return nullptr;
}

long double UraMetres(long double index) {
  // Beyond the 4-bit index of LNAV, CNAV's 5-bit signed URA_ED reaches -16.
  constexpr long double kLastIndex = 15, kFirstIndex = -16, kLowFormula = 6;
  if (!(index >= kFirstIndex && index < kLastIndex) || index != std::floor(index))
    return std::numeric_limits<long double>::quiet_NaN();
  return index <= kLowFormula ? std::exp2(1 + index / 2) : std::exp2(index - 2);
}

long double AccuracyMetres(const Layout& l, long double field) {
  switch (l.kind) {
    case Kind::CNAV:
    case Kind::CNAV2: return UraMetres(field);
    case Kind::BCNAV1:
    case Kind::BCNAV2:
    case Kind::BCNAV3: return std::numeric_limits<long double>::quiet_NaN();
    default: return field;
  }
}

bool KindOfName(char system, const std::string& name, Kind& k) {
  if (system == 'C' && (name == "D1" || name == "D2")) {
    k = Kind::D1D2;
    return true;
  }
  for (const Layout& l : kLayouts)
    if (l.system == system && name == l.name) {
      k = l.kind;
      return true;
    }
  return false;
}

Choice::Choice() : named{}, kind{Kind::LNAV, Kind::INAV, Kind::D1D2, Kind::LNAV,
                                 Kind::NavICLNAV, Kind::SBAS} {}

int Choice::Slot(char system) {
  const char* at = system == '\0' ? nullptr : std::strchr(kSystems, system);
  return at == nullptr ? -1 : static_cast<int>(at - kSystems);
}

std::string Choice::Parse(const std::string& list) {
  std::size_t from = 0;
  for (;;) {
    const std::size_t comma = list.find(',', from);
    const std::string word = list.substr(from, comma == std::string::npos ? comma : comma - from);
    const int slot = word.size() > 2 && word[1] == ':' ? Slot(word[0]) : -1;
    Kind k;
    if (slot < 0 || !KindOfName(word[0], word.substr(2), k) ||
        (word[0] == 'C' && word.substr(2) != "D1D2" && k == Kind::D1D2))
      return "UNKNOWN MESSAGE " + (word.empty() ? std::string("(EMPTY)") : word);
    if (named[slot]) return "SYSTEM " + word.substr(0, 1) + " NAMED TWICE";
    named[slot] = true;
    kind[slot] = k;
    if (comma == std::string::npos) return std::string();
    from = comma + 1;
  }
}

bool Choice::Named(char system) const {
  const int slot = Slot(system);
  return slot >= 0 && named[slot];
}

bool Choice::Serves(char system) const {
  const int slot = Slot(system);
  if (slot < 0) return false;
  return named[slot] || (system != 'I' && system != 'S');
}

bool Choice::Wants(char system, Kind k) const {
  if (!Serves(system)) return false;
  const int slot = Slot(system);
  if (system == 'E' && !named[slot]) return k == Kind::INAV || k == Kind::FNAV;
  return kind[slot] == k;
}

std::string Choice::NameOf(char system) const {
  const int slot = Slot(system);
  if (slot < 0) return std::string();
  return system == 'E' && !named[slot] ? "FNAV/INAV" : LayoutOf(system, kind[slot])->name;
}

std::string Choice::Text() const {
  std::string text;
  for (const char* s = kSystems; *s != '\0'; ++s)
    if (Serves(*s)) text += (text.empty() ? "" : " ") + std::string(1, *s) + ':' + NameOf(*s);
  return text;
}

}  // namespace navmsg
