// Figures: what OrbikaStats sums up over the kept records of a satellite, a
// system or a day, in running sums and 1 mm bins, so that memory does not
// grow with the number of records.
#pragma once

#include "tools/stats/Bins.h"

namespace orbstats {

// Count, sum and sum of squares of one quantity.
struct Moment {
  long long n = 0;
  long double sum = 0, sumSq = 0;

  void Add(long double x) {
    ++n;
    sum += x;
    sumSq += x * x;
  }
  void Merge(const Moment& other);
  long double Mean() const;  // nan without values
  long double Rms() const;   // root mean square; nan without values
};

// One kept record: its differences after the clock datum, and its SISRE.
struct Sample {
  double rac[3];           // radial, along-track, cross-track [m]
  double d3;               // length of the position difference [m]
  double orbitSisre;       // orbit-only SISRE [m]; nan where the system has no weights
  bool clock;              // the values below hold
  double dtNs;             // clock difference after the datum [ns]
  double sisre;            // SISRE [m]; nan where the system has no weights
  double radialLessClock;  // w_R dR - c dt [m]
  double accuracy;         // the broadcast record's accuracy [m]; nan without
};

struct Figures {
  long long noDiff = 0;             // records without a position difference
  long long outliers = 0;           // records kept out as outliers
  long long badClock = 0;           // kept records whose precise clock is marked bad
  Moment rac[3];                    // [m]
  Moment orbitSisre;                // [m]
  Moment clockNs;                   // after the datum [ns]
  Moment sisre;                     // [m]
  long double radialLessClock = 0;  // sum of w_R dR - c dt over the SISRE [m]
  Bins d3, orbitBins, sisreBins;
  Bins accuracy;          // of the records with one [m]
  long long sisreAccuracy = 0;  // records with a SISRE and an accuracy
  long long overAccuracy = 0;   // of them, those whose SISRE exceeds the accuracy

  long long Records() const { return rac[0].n; }
  // Counts a kept record; the SISRE and accuracy bins only with
  // sisrePercentiles.
  void Add(const Sample& s, bool sisrePercentiles);
  void Merge(const Figures& other);
  long double Rms3d() const;
  // Sum of the squared SISRE after removing the mean m of a = w_R dR - c dt
  // from each a: sum((a - m)^2 + b) = sum(SISRE^2) - n m^2, b the along- and
  // cross-track part.  For the figures of one satellite.
  long double OffsetFreeSumSq() const;
};

}  // namespace orbstats
