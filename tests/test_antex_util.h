// Helpers of the antenna calibration tests: ANTEX lines laid out column by
// column, the framed reports the stores print, and the fixture path.
#pragma once

#include <string>

#include "GNSS/antexNew.h"
#include "GNSS/mjd.h"
#include "tests/TestUtil.h"

namespace atxtest {

// One ANTEX line: body in columns 1-60, label in columns 61-80.
inline std::string Line(const std::string& body, const std::string& label) {
  std::string l = body.substr(0, 60);
  l.resize(60, ' ');
  std::string lab = label;
  lab.resize(20, ' ');
  return l + lab + "\n";
}

// A minimal header.
inline std::string Header() {
  return Line("     1.4            M", "ANTEX VERSION / SYST") + Line("A", "PCV TYPE / REFANT") +
         Line("", "END OF HEADER");
}

// A satellite or receiver record with one G01 block of three zenith nodes
// (0 to 10 degrees) and the given offset in millimetres; extra lines go
// before the frequency block.
inline std::string Record(const std::string& typeLine, const std::string& neuMm,
                          const std::string& extra = "") {
  return Line("", "START OF ANTENNA") + Line(typeLine, "TYPE / SERIAL NO") +
         Line("     0.0", "DAZI") + Line("     0.0  10.0   5.0", "ZEN1 / ZEN2 / DZEN") +
         Line("     1", "# OF FREQUENCIES") + extra + Line("   G01", "START OF FREQUENCY") +
         Line(neuMm, "NORTH / EAST / UP") + "   NOAZI    1.00    2.00    3.00\n" +
         Line("   G01", "END OF FREQUENCY") + Line("", "END OF ANTENNA");
}

// The framed reports of ProgramError and ProgramWarning(Cout).
inline std::string ErrorFrame(const std::string& msg) {
  return "\n**** Orbika: Error -> " + msg + " ****\n     Exiting Orbika ... \n\n";
}
inline std::string WarningFrame(const std::string& msg) {
  return "\n#### Orbika: Warning -> " + msg + " ####\n     Continuing Orbika ... \n\n";
}

// The fixture with satellite and receiver antennas of every kind.
inline std::string MixedFixture() { return orbtest::FixtureDir() + "/antex_mixed.atx"; }

// Reads an ANTEX file into atx.
inline void Load(antex& atx, const std::string& path) {
  atx.SetFile(path.c_str());
  atx.ReadFile();
}

inline mjd Epoch(unsigned day, long double second) {
  mjd t;
  t.Set(day, second);
  return t;
}

// 2009-04-01 0 h, the day of the fixtures' validity boundary (00:30).
constexpr unsigned kDay = 54922;

}  // namespace atxtest
