// NavMessages: the navigation messages a RINEX 3/4 navigation file holds for
// the systems of the broadcast stores, the layout of each one's record, and
// the choice of one message per system that a run evaluates.
//
// Messages (RINEX 4.00 names; a version 3 file holds GPS and QZSS LNAV,
// Galileo I/NAV and F/NAV, BeiDou D1/D2, NavIC LNAV and SBAS records):
//   GPS, QZSS  LNAV (IS-GPS-200, IS-QZSS-PNT), CNAV (IS-GPS-200 section 30,
//              IS-QZSS-PNT L2C/L5), CNV2 (IS-GPS-800, IS-QZSS-PNT L1C)
//   Galileo    INAV, FNAV (Galileo OS SIS ICD)
//   BeiDou     D1D2 (the D1 and D2 records, BDS-SIS-ICD-B1I), CNV1
//              (B-CNAV1, BDS-SIS-ICD-B1C), CNV2 (B-CNAV2, BDS-SIS-ICD-B2a),
//              CNV3 (B-CNAV3, BDS-SIS-ICD-B2b)
//   NavIC      LNAV (NavIC SPS ICD)
//   SBAS       SBAS (GEO navigation message, RTCA DO-229)
//
// Record layouts: index j of a record's numbers in file order (0-2 on the
// first line after the epoch, then four per line, 3 + 4 (line - 1) + field),
// as the RINEX 4.00 format description's record table of each message.
// The Keplerian elements af0..IDOT (0-19) share their places in every
// Keplerian message, except that the
// CNAV messages put A-dot in place 3 (LNAV: IODE) and Delta n0-dot in 20,
// GPS and QZSS CNAV and CNAV-2 hold t_op in place 11 (their Toe is the
// record epoch), and B-CNAV records hold the satellite type in 21 (1 GEO,
// 2 IGSO, 3 MEO).  Each layout names the places of the record's own fields
// (issue of data, transmission time, health, accuracy) and group delays, so
// that they can be written beside the orbit; -1 where the message has none.
#pragma once

#include <string>

namespace navmsg {

enum class Kind : unsigned char {
  LNAV, INAV, FNAV, D1D2, CNAV, CNAV2, BCNAV1, BCNAV2, BCNAV3, NavICLNAV, SBAS
};

// Place of TGD, the first group delay of the GPS and QZSS LNAV, CNAV and
// CNAV-2 records and of NavIC LNAV (RINEX 4.00 record tables).
constexpr int kTGD = 25;

// One group delay of a record: its name in the interface document and its
// place among the record's numbers.
struct GroupDelay {
  const char* name;
  int place;
};
constexpr int kMaxGroupDelays = 6;

struct Layout {
  Kind kind;
  char system;        // satellite code letter
  const char* name;   // RINEX 4 message name (D1D2 for the D1 and D2 records)
  int lines;          // lines of a record, the first one included
  int needed;         // numbers 0..needed-1 must be present
  int required;       // and the number at this place too (-1: none)
  bool cnav;          // A-dot and Delta n0-dot elements (CNAV, CNAV-2, B-CNAV)
  bool toeIsEpoch;    // Toe is the record epoch (GPS and QZSS CNAV, CNAV-2)
  int iod, ttr, health, accuracy;  // places of the record's own fields, -1: none
  GroupDelay delays[kMaxGroupDelays];  // up to the first without a name
};

// The layout of message kind k of system letter s (GPS and QZSS share
// theirs, BeiDou CNV2 is B-CNAV2); nullptr for a pair no file holds.
const Layout* LayoutOf(char system, Kind k);
// The accuracy (m) of a record of layout l whose accuracy field reads
// field: as written for LNAV, I/NAV, F/NAV, D1/D2, NavIC and SBAS (RINEX
// writes these in metres); a CNAV or CNAV-2 URA_ED index N through
// UraMetres; NaN for B-CNAV, whose SISAI_oe index is not converted.
long double AccuracyMetres(const Layout& l, long double field);
// The nominal URA of index N, m (IS-GPS-200 20.3.3.3.1.3, used for CNAV's
// URA_ED in 30.3.3.1.1.4): 2^(1 + N/2) for N <= 6, 2^(N - 2) for
// 6 < N < 15; NaN for N >= 15 (no accuracy prediction) and non-integers.
long double UraMetres(long double index);
// The message of a version 4 frame's name for system s (D1 and D2 give
// D1D2); false for names of other messages.
bool KindOfName(char system, const std::string& name, Kind& k);

// The message chosen per system.  Without a choice a store reads what it
// always has: GPS and QZSS LNAV, Galileo I/NAV and F/NAV (the F/NAV record
// within the Galileo validity, else the I/NAV one), BeiDou D1/D2, and no
// NavIC or SBAS record.
class Choice {
 public:
  Choice();
  // Reads a comma list of SYSTEM:MESSAGE words (G:CNAV,C:CNV1,...).  Returns
  // an empty text when it is sound, else what is wrong with it.
  std::string Parse(const std::string& list);
  // Whether records of system s are evaluated at all.
  bool Serves(char system) const;
  // Whether a record of system s and message k is evaluated.
  bool Wants(char system, Kind k) const;
  // Whether system s was named in the list.
  bool Named(char system) const;
  // The RINEX 4 name of the message of system s ("FNAV/INAV": Galileo's
  // rule without a choice).
  std::string NameOf(char system) const;
  // "G:CNAV E:FNAV/INAV C:D1D2 J:LNAV" and I, S where named: the messages of
  // the run, for the settings report.
  std::string Text() const;

 private:
  static constexpr const char* kSystems = "GECJIS";
  static int Slot(char system);
  // Per system of kSystems: named, and the message (Galileo unnamed: both).
  bool named[6];
  Kind kind[6];
};

}  // namespace navmsg
