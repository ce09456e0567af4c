// Builders of small RINEX 2 GLONASS navigation files for the GLONASS reader
// and orbit tests: header lines with their labels in columns 61-80 and
// 4-line records of 15 numbers in the D19.12 layout.
#pragma once

#include <array>
#include <cstdio>
#include <string>

#include "tests/TestUtil.h"
#include "tests/GNSS/broadcast/test_rinexnav_util.h"

namespace glonavtest {

using Params = std::array<long double, 15>;

using rinexnavtest::Field;

// A header line of 80 columns: content padded to 60 columns, then the label
// padded to 20.
inline std::string HeaderLine(const std::string& content, const std::string& label) {
  return rinexnavtest::HeaderLine(content, label, 80);
}

// The header of a GLONASS navigation file, with extra lines before END OF
// HEADER.
inline std::string Header(const std::string& extra = "") {
  return HeaderLine("     2.01           GLONASS NAV DATA", "RINEX VERSION / TYPE") +
         HeaderLine("TESTGEN 1.0         ORBIKA LAB          02-APR-09 16:53", "PGM / RUN BY / DATE") +
         HeaderLine("  2009     4     1    0.158790498972D-06", "CORR TO SYSTEM TIME") +
         HeaderLine("    15", "LEAP SECONDS") + extra + HeaderLine("", "END OF HEADER");
}

// One 4-line record: slot, epoch "yy mm dd hh mi ss.s" in the RINEX columns,
// and the 15 numbers.
inline std::string Record(int slot, int yy, int mo, int dd, int hh, int mi, double ss,
                          const Params& p, char letter = 'D') {
  return rinexnavtest::Record(slot, yy, mo, dd, hh, mi, ss, p.data(), p.size(), letter);
}

// A record of a GLONASS satellite from a real broadcast (slot 2, 2009-04-01
// 00:15 UTC): clock, state in km and km/s, luni-solar acceleration.
inline Params RealisticState() {
  return Params{0.206762924790e-04L,  -0.272848410532e-11L, 0.900000000000e+03L,
                0.936473925781e+04L,  -0.267867088318e+00L, 0.0L,
                0.0L,                 -0.159087973633e+05L, 0.239853191376e+01L,
                0.186264514923e-08L,  0.100000000000e+01L,  -0.176143896484e+05L,
                -0.230765628815e+01L, 0.186264514923e-08L,  0.0L};
}

// Path of a fixture in tests/data.
inline std::string Fixture(const char* name) { return orbtest::FixtureDir() + "/" + name; }

// The same text with CR LF line ends.
inline std::string ToCrLf(const std::string& text) {
  std::string out;
  for (char ch : text) out += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
  return out;
}

}  // namespace glonavtest
