#include "GNSS/broadcast/KeplerSystems.h"

namespace kepler {

namespace {

constexpr const System* kSystems[] = {&kGPS, &kGalileo, &kBeiDou, &kQZSS, &kNavIC};
// Satellite numbers within a system: 1-99.
constexpr int kLastNumber = 99;

}  // namespace

const System* Of(int satellite) {
  for (const System* s : kSystems)
    if (satellite > s->offset && satellite <= s->offset + kLastNumber) return s;
  return nullptr;
}

const System* OfLetter(char letter) {
  for (const System* s : kSystems)
    if (s->letter == letter) return s;
  return nullptr;
}

bool PlausibleEccentricity(long double e) { return e >= 0 && e < kMaxEccentricity; }

bool PlausibleSemiMajorAxis(long double sqrtA) {
  const long double a = sqrtA * sqrtA;
  return sqrtA > 0 && a >= kMinSemiMajorAxis && a <= kMaxSemiMajorAxis;
}

bool IsBeiDouGEO(int satellite) {
  const int n = satellite - kBeiDou.offset;
  return Of(satellite) == &kBeiDou && (n <= 5 || (n >= 59 && n <= 63));
}

}  // namespace kepler
