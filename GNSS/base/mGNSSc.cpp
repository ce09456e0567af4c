#include "GNSS/base/mGNSSc.h"

namespace GLONASSc {

// Defined in this order in one file, so they are built in this order before
// main and released in the reverse order after it.
matrix<long double> freq(32, 2, 0.0L);
matrix<long double> lamb(32, 2, 0.0L);
matrix<long double> lambWL(32, 1, 0.0L);
matrix<long double> lambNL(32, 1, 0.0L);
matrix<long double> alphaG(32, 2, 0.0L);

void SetFrequency(long double k, short prn) {
  // Carrier of channel k in each band.
  freq(prn, 0) = k * dfreq10 + freq10;
  freq(prn, 1) = k * dfreq20 + freq20;
  // Wavelengths.
  lamb(prn, 0) = c / freq(prn, 0);
  lamb(prn, 1) = c / freq(prn, 1);
  // Wide-lane and narrow-lane wavelengths from the two band wavelengths.
  lambWL(prn, 0) = lamb(prn, 0) * lamb(prn, 1) / (lamb(prn, 1) - lamb(prn, 0));
  lambNL(prn, 0) = lamb(prn, 0) * lamb(prn, 1) / (lamb(prn, 1) + lamb(prn, 0));
  // Squared ratio of GPS L1 to each GLONASS carrier.
  const long double r1 = GPSc::freq1 / freq(prn, 0);
  const long double r2 = GPSc::freq1 / freq(prn, 1);
  alphaG(prn, 0) = r1 * r1;
  alphaG(prn, 1) = r2 * r2;
}

}  // namespace GLONASSc
