// Builders of small RINEX 2 GPS navigation files for the GPS reader and orbit
// tests: header lines with their labels in columns 61-80 and records in the
// D19.12 layout with a chosen exponent letter.
#pragma once

#include <array>
#include <cstdio>
#include <string>

#include "tests/GNSS/broadcast/test_rinexnav_util.h"

namespace gpsnavtest {

using Params = std::array<long double, 28>;

using rinexnavtest::Field;
using rinexnavtest::HeaderLine;

// The header of a GPS navigation file, with extra lines before END OF HEADER.
inline std::string Header(const std::string& extra = "") {
  return HeaderLine("     2.10           N: GPS NAV DATA", "RINEX VERSION / TYPE") +
         HeaderLine("TESTGEN 1.0         ORBIKA LAB          01-APR-09 02:51", "PGM / RUN BY / DATE") +
         HeaderLine("    0.1118D-07  0.7451D-08 -0.5960D-07 -0.5960D-07", "ION ALPHA") +
         HeaderLine("    0.9011D+05  0.1638D+05 -0.1966D+06 -0.6554D+05", "ION BETA") +
         HeaderLine("    0.186264514923D-08 0.355271367880D-14   405504     1525", "DELTA-UTC: A0,A1,T,W") +
         HeaderLine("    15", "LEAP SECONDS") + extra + HeaderLine("", "END OF HEADER");
}

// One 8-line record: PRN, epoch text "yy mm dd hh mi ss.s" in the RINEX
// columns, and the 28 numbers.
inline std::string Record(int prn, int yy, int mo, int dd, int hh, int mi, double ss,
                          const Params& p, char letter = 'D') {
  // The last line holds the transmission time and the fit interval (4 h).
  long double values[29];
  for (int k = 0; k < 28; ++k) values[k] = p[k];
  values[28] = 4;
  return rinexnavtest::Record(prn, yy, mo, dd, hh, mi, ss, values, 29, letter);
}

// Numbers 1..28 scaled so that each column is recognisable: column j holds
// (j + 1) * 0.5 * 10^(j % 5 - 2) times sign; but the eccentricity (column 8),
// sqrt(A) (column 10) and Toe (column 11) are 0.0045, 5155.5 m^1/2 and 0.6 s
// whatever the sign, an orbit the reader keeps.
inline Params Numbered(long double sign = 1) {
  Params p{};
  long double scale[5] = {1e-2L, 1e-1L, 1.0L, 1e1L, 1e2L};
  for (int j = 0; j < 28; ++j) p[j] = sign * (j + 1) * 0.5L * scale[j % 5];
  p[8] = 0.0045L;
  p[10] = 5155.5L;
  p[11] = 0.6L;
  return p;
}

// Broadcast parameters of a GPS satellite from a real 2009 record (PRN 2,
// 2009-04-01 00:00:00), used where a realistic orbit is needed.
inline Params RealisticOrbit() {
  return Params{0.153949949890e-03L, -0.454747350886e-12L, 0.0L,
                0.690000000000e+02L, 0.295937500000e+02L, 0.475376937814e-08L, -0.172729451478e+01L,
                0.150687992573e-05L, 0.904141401406e-02L, 0.103265047073e-04L, 0.515363668251e+04L,
                0.259200000000e+06L, -0.156462192535e-06L, 0.593659833961e+00L, -0.726431608200e-07L,
                0.941899917981e+00L, 0.173343750000e+03L, 0.276376221774e+01L, -0.804747823935e-08L,
                -0.132148361698e-09L, 0.100000000000e+01L, 0.152500000000e+04L, 0.0L,
                0.200000000000e+01L, 0.0L, -0.172294676304e-07L, 0.690000000000e+02L,
                0.253968000000e+06L};
}

}  // namespace gpsnavtest
