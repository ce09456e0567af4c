// Phase-centre shift of precise orbits: moves every tabulated position of a
// precise store from the satellite's centre of mass to the phase centre of
// its antenna.
//
// What it computes: for each record the ANTEX offset of the satellite's
// antenna valid at the record's epoch, first frequency of its system (G01
// for GPS, R01 for GLONASS, the lowest-numbered frequency of the record
// for the other systems) or, where asked, the ionosphere-free combination
// of two of its frequencies (OffsetPair), is given in the satellite body frame; the
// shift turns it into the Earth-fixed frame and adds it to the position.
// The body frame follows the Sun-oriented yaw of the IGS conventions: z
// towards the Earth's centre, y along the solar panel axis (z x Sun
// direction), x completing the right-handed frame on the Sun's side.  The
// x and y axes are the cross products as they come, so x and y offsets
// count with sin(angle between nadir and Sun direction).
//
// Units: positions and offsets in metres, Earth-fixed; clocks are not
// touched.
//
// Sources: ANTEX 1.4 format description (Rothacher and Schmid) for the
// offsets and their satellite-frame meaning; IGS conventions for the body
// frame and its yaw.
//
// Accuracy: the z offset, usually the largest, needs no Sun and is applied
// as the file gives it.  The Sun's direction is LuniSolarPosition's
// low-precision one (about 0.01 degree), which turns a horizontal offset of
// a metre by less than 0.2 mm.  The nominal yaw ignores the yaw manoeuvres
// of the eclipse seasons, during which the true x and y axes may differ
// from it by up to the full angle, as with any nominal attitude model.
#pragma once

#include <map>
#include <vector>

class GNSSpEph;
class antex;

// The two frequencies of a system whose offsets are combined instead of
// taking the first frequency's: ANTEX codes and carriers (Hz).  The offset
// used is their ionosphere-free combination, component by component,
//   (fa^2 a - fb^2 b) / (fa^2 - fb^2)   (mGNSSc::IonoFree),
// the point whose range the ionosphere-free combination of the two
// signals measures.  A satellite whose record lacks either frequency has
// no offset.
struct OffsetPair {
  const char* codeA;
  const char* codeB;
  long double fa, fb;
};
// By system letter; a system not in it takes its first frequency.
using OffsetPairs = std::map<char, OffsetPair>;

// Shifts every GPS, GLONASS and other-system position of eph with the
// offsets of atx and the Sun's direction.  Run at most once per store,
// after both files are read and before any interpolation.  A record without
// a position stays as it is (still missing to the interpolation); a record
// whose satellite has no valid antenna record keeps its centre-of-mass
// position, with two warnings for each such GPS or GLONASS record (the
// lookup's, on standard output, and one on standard error) and, for a
// satellite of another system, one warning on standard error after the
// pass that names it (E10) and counts its epochs without an antenna.
// print: a progress line per epoch on standard output.  pairs: the
// systems whose offset is that of a pair of frequencies.
// Returns the satellites some of whose positions kept their centre of mass
// for want of an offset, ascending.
std::vector<short> ApplyAntennaOffset(GNSSpEph& eph, antex& atx, bool print,
                                      const OffsetPairs& pairs = OffsetPairs());
