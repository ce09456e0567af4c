// gnssobs: a code observation of one satellite, the pseudorange P in metres.
//
// The broadcast stores take it to date the signal's transmission: the
// satellite is evaluated at the reception epoch minus P / c.  Nothing else of
// an observation (phases, signal strength, flags) is needed there.
#pragma once

class gnssobs {
 public:
  gnssobs() = default;
  explicit gnssobs(long double p) : P(p) {}

  long double GetP() const { return P; }

 private:
  long double P = 0;  // pseudorange, m
};
