// Helpers of the antenna calibration tests: ANTEX lines laid out column by
// column, the framed reports the stores print, and the fixture path.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "GNSS/antenna/antexNew.h"
#include "GNSS/time/mjd.h"
#include "GNSS/geometry/xyz.h"
#include "GNSS/geometry/xyzt.h"
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

// A satellite or receiver record with one frequency block per entry of
// blocks (code and offset in millimetres), each of three zenith nodes (0 to
// 10 degrees); extra lines go before the first block.
struct Block {
  std::string code, neuMm;
};
inline std::string Record(const std::string& typeLine, const std::vector<Block>& blocks,
                          const std::string& extra = "") {
  std::string r = Line("", "START OF ANTENNA") + Line(typeLine, "TYPE / SERIAL NO") +
                  Line("     0.0", "DAZI") + Line("     0.0  10.0   5.0", "ZEN1 / ZEN2 / DZEN") +
                  Line("     " + std::to_string(blocks.size()), "# OF FREQUENCIES") + extra;
  for (const Block& b : blocks)
    r += Line("   " + b.code, "START OF FREQUENCY") + Line(b.neuMm, "NORTH / EAST / UP") +
         "   NOAZI    1.00    2.00    3.00\n" + Line("   " + b.code, "END OF FREQUENCY");
  return r + Line("", "END OF ANTENNA");
}
// ... with one G01 block.
inline std::string Record(const std::string& typeLine, const std::string& neuMm,
                          const std::string& extra = "") {
  return Record(typeLine, std::vector<Block>{{"G01", neuMm}}, extra);
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

// Plain vector arithmetic for the checks, independent of the store's types.
struct V {
  long double x, y, z;
};
inline V Of(const xyz& p) { return {p.GetX(), p.GetY(), p.GetZ()}; }
inline V Of(const xyzt& p) { return {p.GetX(), p.GetY(), p.GetZ()}; }
inline V operator-(const V& a, const V& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V operator*(long double k, const V& a) { return {k * a.x, k * a.y, k * a.z}; }
inline long double Dot(const V& a, const V& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline long double Norm(const V& a) { return std::sqrt(Dot(a, a)); }
inline V Unit(const V& a) { return (1.0L / Norm(a)) * a; }
inline V Cross(const V& a, const V& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// 2009-04-01 0 h, the day of the fixtures' validity boundary (00:30).
constexpr unsigned kDay = 54922;

}  // namespace atxtest
