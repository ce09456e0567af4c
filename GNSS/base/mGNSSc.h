// mGNSSc, the GNSS constants: physical and signal constants of GPS, GLONASS
// and Galileo, and the Earth models of the GPS, GLONASS, Galileo and BeiDou
// orbits, one namespace per system (GPSc, GLONASSc, GALILEOc, BEIDOUc).
//
// Namespace mGNSSc holds what no system owns (the speed of light, the
// ionosphere-free combination of two signals); BEIDOUc holds the Earth
// model of its orbits and the carriers of B1I, B2I and B3I.  Each of the
// other three: the speed of light c (m/s), the Earth model of its orbits, the carrier
// frequencies (Hz), their wavelengths lamb* = c / freq* (m), and the
// coefficients of the usual dual-frequency combinations of the first two
// carriers f1, f2:
//   lamWL  = c / (f1 - f2)                 wide-lane wavelength (m)
//   lamNL  = c / (f1 + f2)                 narrow-lane wavelength (m)
//   LCion1 = f1^2 / (f1^2 - f2^2),  LCion2 = f2^2 / (f1^2 - f2^2)   ionosphere-free
//   LCwl1  = f1 / (f1 - f2),        LCwl2  = f2 / (f1 - f2)         wide-lane
//   LCnl1  = f1 / (f1 + f2),        LCnl2  = f2 / (f1 + f2)         narrow-lane
//   alpha  = (f1 / f2)^2,           f1_f2  = f1 / f2
// Frequencies are those of the GPS (IS-GPS-200/705), GLONASS (ICD L1/L2/L3)
// and Galileo (OS SIS ICD) interface documents.  All values are extended
// precision compile-time constants.
//
// GLONASS transmits on channels k = -7 ... 6 around the nominal frequencies;
// its combination coefficients use the nominal ratio f1 / f2 = 9 / 7, which
// holds on every channel.  The per-satellite tables are filled by
// GLONASSc::SetFrequency and start out zero.
#pragma once

#include "matrix/matrix.h"

namespace mGNSSc {
constexpr long double c = 299792458.0L;  // speed of light in vacuum, m/s (SI, exact)

// The ionosphere-free combination of a quantity x of two signals on carriers
// fa and fb (a clock's group delays, an antenna's offsets):
//   (fa^2 xa - fb^2 xb) / (fa^2 - fb^2)
// the weights that cancel a delay in proportion to 1 / f^2 (the first-order
// ionosphere; IS-GPS-200, L1/L2 correction of the clock).
constexpr long double IonoFree(long double fa, long double xa, long double fb, long double xb) {
  return (fa * fa * xa - fb * fb * xb) / (fa * fa - fb * fb);
}
}  // namespace mGNSSc

// The combinations of two carriers f1, f2 (see above), defined alike in
// every system's namespace (GLONASS: the nominal channel-0 carriers).
#define ORBIKA_TWO_CARRIER_COMBINATIONS(f1, f2)                                  \
  constexpr long double lamWL = c / (f1 - f2); /* wavelengths */                \
  constexpr long double lamNL = c / (f1 + f2);                                  \
  constexpr long double LCion1 = f1 * f1 / (f1 * f1 - f2 * f2); /* iono-free */ \
  constexpr long double LCion2 = f2 * f2 / (f1 * f1 - f2 * f2);                 \
  constexpr long double LCwl1 = f1 / (f1 - f2); /* wide-lane */                 \
  constexpr long double LCwl2 = f2 / (f1 - f2);                                 \
  constexpr long double LCnl1 = f1 / (f1 + f2); /* narrow-lane */               \
  constexpr long double LCnl2 = f2 / (f1 + f2);                                 \
  constexpr long double alpha = (f1 / f2) * (f1 / f2);                          \
  constexpr long double f1_f2 = f1 / f2;

namespace GPSc {
constexpr long double c = mGNSSc::c;       // speed of light (m/s)
// Earth model of the broadcast orbit, WGS 84 values of IS-GPS-200, used at
// the double precision in which the document states them.
constexpr long double GM = 3.986005e14;          // gravitational constant, m^3/s^2
constexpr long double OMEGAe = 7.2921151467e-5;  // Earth's rotation rate, rad/s
constexpr long double F = -4.442807633e-10;      // clock relativity, -2 sqrt(GM) / c^2, s/m^0.5
constexpr long double freq0 = 10.23e6L;    // fundamental frequency (Hz)
constexpr long double freq1 = 1575.42e6L;  // L1 = 154 * freq0
constexpr long double freq2 = 1227.6e6L;   // L2 = 120 * freq0
constexpr long double freq5 = 1176.45e6L;  // L5 = 115 * freq0

constexpr long double lamb0 = c / freq0;
constexpr long double lamb1 = c / freq1;
constexpr long double lamb2 = c / freq2;
constexpr long double lamb5 = c / freq5;

ORBIKA_TWO_CARRIER_COMBINATIONS(freq1, freq2)
}  // namespace GPSc

namespace GLONASSc {
constexpr long double c = mGNSSc::c;        // speed of light (m/s)
// PZ-90 Earth model of the equations of motion (GLONASS ICD).
constexpr long double GM = 3.9860044e14L;   // gravitational constant, m^3/s^2
constexpr long double OMEGAe = 7.292115e-5L;  // Earth's rotation rate, rad/s
constexpr long double ae = 6378136.0L;      // equatorial radius, m
constexpr long double C20 = -1.08263e-3L;   // second zonal harmonic (-J2)
constexpr long double freq0 = 178.0e6L;     // common factor of the two bands (Hz)
constexpr long double freq10 = 1602.0e6L;   // first band, channel 0 = 9 * freq0
constexpr long double freq20 = 1246.0e6L;   // second band, channel 0 = 7 * freq0
constexpr long double freq3 = 1202.025e6L;  // third band
constexpr long double dfreq10 = 562500.0L;  // channel spacing, first band (Hz)
constexpr long double dfreq20 = 437500.0L;  // channel spacing, second band (Hz)

constexpr long double lamb10 = c / freq10;
constexpr long double lamb20 = c / freq20;
constexpr long double lamb3 = c / freq3;

ORBIKA_TWO_CARRIER_COMBINATIONS(freq10, freq20)

// Per-satellite tables, one row per slot 0 ... 31, zero until set.
extern matrix<long double> freq;    // 32 x 2: carrier frequencies of both bands (Hz)
extern matrix<long double> lamb;    // 32 x 2: wavelengths c / freq (m)
extern matrix<long double> lambWL;  // 32 x 1: wide-lane wavelength (m)
extern matrix<long double> lambNL;  // 32 x 1: narrow-lane wavelength (m)
extern matrix<long double> alphaG;  // 32 x 2: (GPS L1 / freq)^2 for each band

// Fills row prn of the tables for frequency channel k.  A row outside 0 ... 31
// ends the program with the container's "Row index not in range" error.
void SetFrequency(long double k, short prn);
}  // namespace GLONASSc

namespace GALILEOc {
constexpr long double c = mGNSSc::c;        // speed of light (m/s)
// Earth model of the broadcast orbit (Galileo OS SIS ICD, GTRF).
constexpr long double GM = 3.986004418e14;       // gravitational constant, m^3/s^2
constexpr long double OMEGAe = GPSc::OMEGAe;  // Earth's rotation rate, rad/s (as WGS 84)
constexpr long double F = -4.442807309e-10;      // clock relativity, -2 sqrt(GM) / c^2, s/m^0.5
// E1 and E5a share GPS L1 and L5; both systems' carriers are multiples of
// the same fundamental frequency.
constexpr long double freq0 = GPSc::freq0;  // fundamental frequency (Hz)
constexpr long double freq1 = GPSc::freq1;  // E1  = 154 * freq0
constexpr long double freq2 = 1207.14e6L;   // E5b = 118 * freq0
constexpr long double freq5 = GPSc::freq5;  // E5a = 115 * freq0
constexpr long double freq8 = 1191.795e6L;  // E5 (AltBOC) = 116.5 * freq0

constexpr long double lamb0 = GPSc::lamb0;
constexpr long double lamb1 = GPSc::lamb1;
constexpr long double lamb2 = c / freq2;
constexpr long double lamb5 = GPSc::lamb5;
constexpr long double lamb8 = c / freq8;

ORBIKA_TWO_CARRIER_COMBINATIONS(freq1, freq2)
}  // namespace GALILEOc

namespace BEIDOUc {
// Earth model of the broadcast orbit (BDS-SIS-ICD-B1I, CGCS2000).
constexpr long double GM = 3.986004418e14;   // gravitational constant, m^3/s^2
constexpr long double OMEGAe = 7.292115e-5;  // Earth's rotation rate, rad/s
constexpr long double F = -4.442807309e-10;  // clock relativity, -2 sqrt(GM) / c^2, s/m^0.5
// Carriers of the open signals of the D1/D2 messages (BDS-SIS-ICD-B1I,
// BDS-SIS-ICD-B3I, and B2I in BDS-SIS-ICD-B1I version 2.0).
constexpr long double freqB1I = 1561.098e6L;  // B1I (Hz)
constexpr long double freqB2I = 1207.14e6L;   // B2I (Hz)
constexpr long double freqB3I = 1268.52e6L;   // B3I (Hz), the signal of the broadcast clock
}  // namespace BEIDOUc

#undef ORBIKA_TWO_CARRIER_COMBINATIONS
