// Reading of the SP3 epoch blocks: the epoch lines place the blocks on the
// table's grid, and each record is placed by its satellite code.  Damage is
// reported once per block and the run goes on; what a damaged block lacks
// is missing in the table.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "GNSS/precise/GNSSpEph.h"
#include "GNSS/precise/GNSSpEphText.h"
#include "GNSS/base/satcode.h"
#include "PROGINC/text/FieldNumber.h"

using sp3text::Col;
using sp3text::FileError;
using sp3text::FileWarning;
using sp3text::kEpochTextSize;

namespace {

// Largest accepted epoch interval, s.
constexpr long double kMaxInterval = 1e6;
// An epoch within this of a grid point (s) lies on it: epoch lines and the
// header give seconds to 8 decimals.
constexpr long double kGridTolerance = 1e-5;
// Grid indices beyond this are off any table.
constexpr long double kMaxGridIndex = 1e15;
// Records of the gaps between blocks that the table may hold beyond the
// lines of the file (memory stays bounded whatever the epoch lines say).
constexpr long kMaxGapRecords = 250000;
// Share of a table's epochs, in percent, that may lack a block.
constexpr long kMaxGapPercent = 90;

// Last columns of the position and clock fields of a position record: a
// line that ends before them lacks those values.
constexpr int kPositionEnd = 46;
constexpr int kClockEnd = 60;

// Farthest a tabulated position may lie from the Earth's centre, m: far
// beyond the highest orbit of the systems (42,164 km, geostationary).
constexpr long double kMaxRadius = 1e8;

// The SP3 bad-clock value (microseconds) and the marker stored for it (s).
constexpr long double kBadClockValue = 999999.0;
constexpr long double kBadClockTolerance = 2.0;
constexpr long double kBadClockMarker = 999999.0;

// How many of the sorted spacings lie within the grid tolerance of d.
long Met(const std::vector<long double>& spacings, long double d) {
  return std::upper_bound(spacings.begin(), spacings.end(), d + kGridTolerance) -
         std::lower_bound(spacings.begin(), spacings.end(), d - kGridTolerance);
}

// The smallest of the sorted spacings met at least twice; 0 when none is.
long double SmallestMetTwice(const std::vector<long double>& spacings) {
  for (size_t k = 1; k < spacings.size(); ++k)
    if (spacings[k] - spacings[k - 1] <= kGridTolerance) return spacings[k - 1];
  return 0;
}

// Index k of epoch t on the grid of origin o and step d; false when t is
// not on the grid.
bool OnGrid(const mjd& t, const mjd& o, long double d, long& k) {
  const long double q = (t - o) / d;
  if (!(std::fabs(q) < kMaxGridIndex)) return false;
  const long double whole = std::nearbyint(q);
  if (std::fabs((t - o) - whole * d) > kGridTolerance) return false;
  k = static_cast<long>(whole);
  return true;
}

// Velocity and correlation records are not read; they take no place of the
// list.
bool NotRead(const char* line) {
  return line[0] == 'V' || (line[0] == 'E' && (line[1] == 'P' || line[1] == 'V'));
}

bool Blank(const char* line) {
  for (; *line != '\0'; ++line)
    if (*line != ' ' && *line != '\t') return false;
  return true;
}

// Items of one warning, joined as "A", "A AND B", "A, B AND C".
std::string Joined(const std::vector<std::string>& items) {
  std::string s;
  for (size_t k = 0; k < items.size(); ++k) {
    if (k > 0) s += (k + 1 == items.size()) ? " AND " : ", ";
    s += items[k];
  }
  return s;
}

// "n WORD" with an S for more than one.
std::string Counted(long n, const char* word) {
  return std::to_string(n) + " " + word + (n == 1 ? "" : "S");
}

// A list of codes of AddCode without its last blank.
std::string Codes(std::string list) {
  if (!list.empty()) list.pop_back();
  return list;
}

}  // namespace

// What was wrong in one epoch block.
struct GNSSpEph::BlockDamage {
  long blank = 0;         // blank lines
  long strange = 0;       // lines that are no record
  bool disorder = false;  // records out of the list's order
  std::string unlisted;   // codes of records of satellites not in the list
  std::string repeated;   // codes of records given twice
  std::string cut;        // codes of records whose line ends inside a value
  std::string far;        // codes of records of positions beyond kMaxRadius
  bool endsInside = false;  // the file ends inside the block's last record
};

// The table's grid from the epoch lines (ChooseGrid), each block's place on
// it, with the stray blocks put back in sequence, and the table's start and
// count from the first and last placed block.
void GNSSpEph::PlaceBlocks() {
  const mjd hStart = StartEpoch;
  const long double hInterval = interval;
  const long hCount = nepoch;
  const mjd origin = ChooseGrid(hStart);
  for (EpochBlock& b : blocks)
    b.index = (b.readable && OnGrid(b.t, origin, interval, b.index)) ? b.index : LONG_MIN;
  PlaceStrayBlocks();
  if (blocks.size() >= 3) {
    mjd hEnd = hStart;
    hEnd += static_cast<long double>(hCount - 1) * hInterval;
    PlaceEndBlock(0, 1, HeaderIndex(origin, hStart, hInterval));
    PlaceEndBlock(blocks.size() - 1, blocks.size() - 2, HeaderIndex(origin, hEnd, hInterval));
  }
  SpanTable();
  WarnHeader(hStart, hInterval, hCount);
  WarnSkippedBlocks();
}

// Origin of the grid, and its interval: the header's when most blocks lie
// on its grid and the header's interval is met between consecutive blocks
// as often as twice (or no spacing is); else the regular spacing of the
// epoch lines, the smallest spacing of consecutive blocks met twice (a typo
// in one epoch line makes spacings met once), from the first two blocks so
// spaced; else the spacing of the first two blocks.
mjd GNSSpEph::ChooseGrid(const mjd& hStart) {
  long nReadable = 0, onHeaderGrid = 0, k = 0;
  const EpochBlock* firstTwo[2] = {nullptr, nullptr};
  for (const EpochBlock& b : blocks) {
    if (!b.readable) continue;
    if (nReadable < 2) firstTwo[nReadable] = &b;
    ++nReadable;
    if (OnGrid(b.t, hStart, interval, k)) ++onHeaderGrid;
  }
  if (nReadable < 2) NeedTwoEpochs(nReadable);
  const std::vector<long double> spacings = Spacings();
  const long double regular = SmallestMetTwice(spacings);
  const bool headerKept = regular == 0 || Met(spacings, interval) >= 2;
  if (headerKept && 2 * onHeaderGrid >= nReadable) return hStart;
  if (regular > 0) {
    if (!headerKept) interval = regular;
    if (const EpochBlock* from = FirstSpaced(interval)) return from->t;
  }
  interval = firstTwo[1]->t - firstTwo[0]->t;
  if (!(interval > 0 && interval <= kMaxInterval)) {
    char what[200];
    std::snprintf(what, sizeof what, "EPOCH LINES %ld AND %ld GIVE NO VALID INTERVAL (%.8Lf S)!",
                  firstTwo[0]->line, firstTwo[1]->line, interval);
    FileError(sp3file, what);
  }
  return firstTwo[0]->t;
}

// Spacings of consecutive readable blocks that may be an interval, sorted.
std::vector<long double> GNSSpEph::Spacings() const {
  std::vector<long double> spacings;
  const EpochBlock* before = nullptr;
  for (const EpochBlock& b : blocks) {
    if (!b.readable) continue;
    const long double d = before != nullptr ? b.t - before->t : 0;
    if (d > 0 && d <= kMaxInterval) spacings.push_back(d);
    before = &b;
  }
  std::sort(spacings.begin(), spacings.end());
  return spacings;
}

// The first readable block whose next readable block lies d later; nullptr
// when there is none.
const GNSSpEph::EpochBlock* GNSSpEph::FirstSpaced(long double d) const {
  const EpochBlock* before = nullptr;
  for (const EpochBlock& b : blocks) {
    if (!b.readable) continue;
    if (before != nullptr && std::fabs((b.t - before->t) - d) <= kGridTolerance) return before;
    before = &b;
  }
  return nullptr;
}

// A block between two blocks whose places lie two epochs apart belongs in
// the one epoch they leave for it: when its epoch line says otherwise (a
// typo of its day, month or year, or no valid time) it is placed there, with
// one warning naming its line and what the line says.  Only the places the
// epoch lines give are compared, and a placed block is no neighbour: two
// stray blocks in a row stay as read.
void GNSSpEph::PlaceStrayBlocks() {
  std::vector<long> given(blocks.size());
  for (size_t k = 0; k < blocks.size(); ++k) given[k] = blocks[k].index;
  bool placedBefore = false;
  for (size_t k = 1; k + 1 < blocks.size(); ++k) {
    const long before = given[k - 1], after = given[k + 1];
    const bool stray = !placedBefore && before != LONG_MIN && after != LONG_MIN &&
                       after - before == 2 && given[k] != before + 1;
    placedBefore = stray;
    if (!stray) continue;
    EpochBlock& b = blocks[k];
    mjd slot = blocks[k - 1].t;
    slot += interval;
    char what[256], said[kEpochTextSize], at[kEpochTextSize];
    sp3text::EpochText(slot, at);
    if (b.readable) {
      sp3text::EpochText(b.t, said);
      std::snprintf(what, sizeof what,
                    "EPOCH %s (LINE %ld) BREAKS THE SEQUENCE OF ITS NEIGHBOURS - BLOCK PLACED AT "
                    "%s!",
                    said, b.line, at);
    } else {
      std::snprintf(what, sizeof what,
                    "EPOCH LINE %ld HOLDS NO VALID DATE AND TIME - BLOCK PLACED AT %s BETWEEN "
                    "ITS NEIGHBOURS!",
                    b.line, at);
    }
    FileWarning(sp3file, what);
    b.readable = true;
    b.t = slot;
    b.index = before + 1;
  }
}

// Grid index of epoch t of the header, or LONG_MIN when the header's
// interval is not the grid's or t is off the grid.
long GNSSpEph::HeaderIndex(const mjd& origin, const mjd& t, long double hInterval) const {
  long k = LONG_MIN;
  if (std::fabs(hInterval - interval) > kGridTolerance || !OnGrid(t, origin, interval, k))
    return LONG_MIN;
  return k;
}

// The first or last block k, next to block neighbour: when its epoch line
// breaks the sequence (a typo of its day, month or year) and the header
// gives the slot next to the neighbour (headerIndex), it is placed there;
// a block out of order that the header does not place is skipped.  One
// warning either way.
void GNSSpEph::PlaceEndBlock(std::size_t k, std::size_t neighbour, long headerIndex) {
  EpochBlock& b = blocks[k];
  const EpochBlock& n = blocks[neighbour];
  if (n.index == LONG_MIN) return;
  const long side = k < neighbour ? -1 : 1;
  const long slot = n.index + side;
  if (b.index == slot) return;
  if (headerIndex == slot) {
    mjd at = n.t;
    at += static_cast<long double>(side) * interval;
    char what[256], said[kEpochTextSize], t[kEpochTextSize];
    sp3text::EpochText(at, t);
    if (b.readable) sp3text::EpochText(b.t, said);
    std::snprintf(what, sizeof what,
                  "EPOCH %s (LINE %ld) BREAKS THE SEQUENCE OF THE BLOCKS %s IT - BLOCK PLACED "
                  "AT %s, AS THE HEADER SAYS!",
                  b.readable ? said : "NOT VALID", b.line, side < 0 ? "AFTER" : "BEFORE", t);
    FileWarning(sp3file, what);
    b.readable = true;
    b.t = at;
    b.index = slot;
    return;
  }
  if (b.index != LONG_MIN && (b.index - n.index) * side <= 0) {
    b.index = LONG_MIN;
    b.outOfSequence = true;
  }
}

// Start and count of the table from the first and last placed block.  A
// table far larger than the file, or mostly gaps, is refused.
void GNSSpEph::SpanTable() {
  long kmin = LONG_MAX, kmax = LONG_MIN;
  const EpochBlock* firstBlock = nullptr;
  for (const EpochBlock& b : blocks) {
    if (b.index == LONG_MIN) continue;
    if (b.index < kmin) firstBlock = &b;
    kmin = std::min(kmin, b.index);
    kmax = std::max(kmax, b.index);
  }
  if (kmin == LONG_MAX) NeedTwoEpochs(0);
  nepoch = kmax - kmin + 1;
  if (nepoch < 2) NeedTwoEpochs(nepoch);
  if (nepoch > (nFileLines + kMaxGapRecords) / nsat) {
    char what[200];
    std::snprintf(what, sizeof what,
                  "EPOCH LINES SPAN %ld EPOCHS OF %d SATELLITES, TOO MANY FOR ITS %ld LINES!",
                  nepoch, nsat, nFileLines);
    FileError(sp3file, what);
  }
  // The first block's epoch line gives the start: the header's fraction of
  // a day may be rounded.
  StartEpoch = firstBlock->t;
  for (EpochBlock& b : blocks)
    if (b.index != LONG_MIN) b.index -= kmin;
  RefuseMostlyGaps();
}

// A table of which more than kMaxGapPercent of the epochs have no block
// would print little but missing values.
void GNSSpEph::RefuseMostlyGaps() const {
  std::vector<char> given(static_cast<size_t>(nepoch), 0);
  for (const EpochBlock& b : blocks)
    if (b.index != LONG_MIN) given[static_cast<size_t>(b.index)] = 1;
  const long gaps = static_cast<long>(std::count(given.begin(), given.end(), 0));
  if (gaps * 100 <= nepoch * kMaxGapPercent) return;
  char what[200];
  std::snprintf(what, sizeof what,
                "EPOCH LINES SPAN %ld EPOCHS, %ld OF THEM WITHOUT A BLOCK (MORE THAN %ld%%)!",
                nepoch, gaps, kMaxGapPercent);
  FileError(sp3file, what);
}

[[noreturn]] void GNSSpEph::NeedTwoEpochs(long n) const {
  char what[128];
  std::snprintf(what, sizeof what, "%ld EPOCHS, AT LEAST 2 NEEDED!", n);
  FileError(sp3file, what);
}

// One warning when the header's start, interval or count differ from what
// the blocks show.
void GNSSpEph::WarnHeader(const mjd& hStart, long double hInterval, long hCount) const {
  std::vector<std::string> said, shown;
  char a[kEpochTextSize], b[kEpochTextSize];
  if (std::fabs(StartEpoch - hStart) > kGridTolerance) {
    sp3text::EpochText(hStart, a);
    sp3text::EpochText(StartEpoch, b);
    said.push_back(std::string("START ") + a);
    shown.push_back(std::string("START ") + b);
  }
  if (interval != hInterval) {
    char text[64];
    std::snprintf(text, sizeof text, "INTERVAL %.8Lf S", hInterval);
    said.push_back(text);
    std::snprintf(text, sizeof text, "INTERVAL %.8Lf S", interval);
    shown.push_back(text);
  }
  if (nepoch != hCount) {
    said.push_back(Counted(hCount, "EPOCH"));
    shown.push_back(Counted(nepoch, "EPOCH"));
  }
  if (said.empty()) return;
  const std::string what = "HEADER DISAGREES WITH THE EPOCH LINES: " + Joined(said) +
                           " IN THE HEADER, " + Joined(shown) +
                           " IN THE EPOCH LINES - THE TABLE FOLLOWS THE EPOCH LINES!";
  FileWarning(sp3file, what.c_str());
}

// Blocks without a place in the table: an epoch line without a valid time,
// an epoch off the grid, an epoch given twice.  One warning each, and one
// for the epochs of the table that no block gives (gaps).
void GNSSpEph::WarnSkippedBlocks() {
  std::vector<char> taken(static_cast<size_t>(nepoch), 0);
  for (EpochBlock& b : blocks) {
    char what[256], t[kEpochTextSize];
    if (b.readable) sp3text::EpochText(b.t, t);
    if (!b.readable) {
      std::snprintf(what, sizeof what,
                    "EPOCH LINE %ld HOLDS NO VALID DATE AND TIME - BLOCK SKIPPED!", b.line);
    } else if (b.outOfSequence) {
      std::snprintf(what, sizeof what,
                    "EPOCH %s (LINE %ld) OUT OF THE ORDER OF THE BLOCKS - BLOCK SKIPPED!", t,
                    b.line);
    } else if (b.index == LONG_MIN) {
      std::snprintf(what, sizeof what,
                    "EPOCH %s (LINE %ld) OFF THE %.8Lf S GRID OF THE TABLE - BLOCK SKIPPED!", t,
                    b.line, interval);
    } else if (taken[static_cast<size_t>(b.index)]) {
      std::snprintf(what, sizeof what, "EPOCH %s (LINE %ld) REPEATED - BLOCK SKIPPED!", t, b.line);
      b.index = LONG_MIN;
    } else {
      taken[static_cast<size_t>(b.index)] = 1;
      continue;
    }
    FileWarning(sp3file, what);
  }
  const long gaps = static_cast<long>(std::count(taken.begin(), taken.end(), 0));
  if (gaps == 0) return;
  mjd first = StartEpoch;
  first +=
      static_cast<long double>(std::find(taken.begin(), taken.end(), 0) - taken.begin()) * interval;
  char t[kEpochTextSize];
  sp3text::EpochText(first, t);
  const std::string what = Counted(gaps, "EPOCH") + " OF THE TABLE WITHOUT A BLOCK (THE FIRST " +
                           t + ") - THEIR RECORDS ARE MISSING!";
  FileWarning(sp3file, what.c_str());
}

// One line of the data section; false at the end of the file.
bool GNSSpEph::NextDataLine(sp3text::LineCursor& cur) {
  const LineRead rd = cur.Next(sp3text::kDataLineSize);
  if (rd == LineRead::End) return false;
  if (rd == LineRead::TooLong) {
    char what[128];
    std::snprintf(what, sizeof what, "DATA LINE %ld LONGER THAN %d CHARACTERS!", cur.lineNo,
                  sp3text::kDataLineSize - 1);
    FileError(sp3file, what);
  }
  return true;
}

// Data section: the blocks in file order, each into the epoch its epoch
// line gives.  Epochs without a block (gaps) keep missing records.
void GNSSpEph::ReadFileData(sp3text::LineCursor& cur) {
  mjd t = StartEpoch;
  for (long i = 0; i < nepoch; ++i) {
    epoch(i) = t;
    t += interval;
  }
  listIndex.assign(satcode::kEnd, -1);
  for (long k = nsat - 1; k >= 0; --k)
    if (satList(k) >= 0 && satList(k) < satcode::kEnd) listIndex[satList(k)] = k;

  bool more = NextDataLine(cur);  // the first epoch line
  for (size_t b = 0; more && b < blocks.size(); ++b) more = ReadEpochBlock(cur, blocks[b]);
}

// The lines of block b after its epoch line, up to the next epoch line
// (read; true) or the end of the data (false).
bool GNSSpEph::ReadEpochBlock(sp3text::LineCursor& cur, const EpochBlock& b) {
  BlockDamage dmg;
  std::vector<char> seen(static_cast<size_t>(nsat), 0);
  long last = -1;  // list entry of the record before
  bool more = false, ended = true, lastCut = false;
  while ((ended = !NextDataLine(cur)) == false) {
    if (cur.line[0] == '*') {
      more = true;
      break;
    }
    if (sp3text::IsEofLine(cur.line)) break;
    if (b.index == LONG_MIN || NotRead(cur.line)) continue;
    lastCut = false;
    if (Blank(cur.line)) {
      ++dmg.blank;
    } else if (cur.line[0] != 'P') {
      ++dmg.strange;
    } else {
      lastCut = cur.len < kClockEnd;
      PlaceRecord(cur, b.index, seen, last, dmg);
    }
  }
  // A file cut inside its last line leaves that record short.
  dmg.endsInside = ended && lastCut;
  if (b.index != LONG_MIN) WarnBlock(b, seen, dmg);
  return more;
}

// A position record of epoch i, at the list entry of its satellite.
void GNSSpEph::PlaceRecord(const sp3text::LineCursor& cur, long i, std::vector<char>& seen,
                           long& last, BlockDamage& dmg) {
  const char code[4] = {Col(cur.line, cur.len, 2), Col(cur.line, cur.len, 3),
                        Col(cur.line, cur.len, 4), '\0'};
  const short s = sp3text::SatNumber(code[0], code[1], code[2]);
  // Systems without numbers were reported with the header.
  if (s == satcode::kNone && unnumberedLetters.find(code[0]) != std::string::npos) return;
  const long k = (s >= 0 && s < satcode::kEnd) ? listIndex[s] : -1;
  if (k < 0) return sp3text::AddCode(dmg.unlisted, code);
  if (seen[k]) return sp3text::AddCode(dmg.repeated, code);
  if (k < last) dmg.disorder = true;
  seen[k] = 1;
  last = k;
  const long r = i * nsat + k;
  sat(r) = s;
  StoreRecord(cur, r);
  if (cur.len < kClockEnd) sp3text::AddCode(dmg.cut, code);
  xyzt& p = sPos(r);
  if (std::hypot(std::hypot(p.GetX(), p.GetY()), p.GetZ()) > kMaxRadius) {
    p.Set(0, 0, 0, p.GetT());
    sp3text::AddCode(dmg.far, code);
  }
}

// Position record r: position in km, clock in microseconds, and the
// accuracy exponents of a line longer than 60 characters.
void GNSSpEph::StoreRecord(const sp3text::LineCursor& cur, long r) {
  const char* line = cur.line;
  const int len = cur.len;
  xyzt& pos = sPos(r);
  pos.SetX(static_cast<long double>(FieldNumber(line, 5, 14)) * 1000);
  pos.SetY(static_cast<long double>(FieldNumber(line, 19, 14)) * 1000);
  pos.SetZ(static_cast<long double>(FieldNumber(line, 33, 14)) * 1000);
  const long double clk = FieldNumber(line, 47, 14);
  pos.SetT(clk * 1e-6);
  if (!std::isfinite(pos.GetX()) || !std::isfinite(pos.GetY()) || !std::isfinite(pos.GetZ()) ||
      !std::isfinite(clk)) {
    char what[128];
    std::snprintf(what, sizeof what, "LINE %ld: NUMBER OUT OF RANGE!", cur.lineNo);
    FileError(sp3file, what);
  }
  // A line cut short lacks its last values: a position without all three
  // coordinates is missing, a clock without its field is a bad clock.
  if (len < kPositionEnd) pos.Set(0, 0, 0, kBadClockMarker);
  if (len < kClockEnd) pos.SetT(kBadClockMarker);
  if (len <= kClockEnd) return;

  xyzt& sig = sPosSig(r);
  if (std::fabs(clk - kBadClockValue) < kBadClockTolerance) {
    pos.SetT(kBadClockMarker);
    sig.Set(0, 0, 0, 0);
    return;
  }
  // Standard deviations: base^exponent in mm and ps.
  sig.SetX(len > 62 ? std::pow(posBase, static_cast<long double>(FieldNumber(line, 62, 2))) * 0.001
                    : 0);
  sig.SetY(len > 65 ? std::pow(posBase, static_cast<long double>(FieldNumber(line, 65, 2))) * 0.001
                    : 0);
  sig.SetZ(len > 68 ? std::pow(posBase, static_cast<long double>(FieldNumber(line, 68, 2))) * 0.001
                    : 0);
  sig.SetT(len > 72 ? std::pow(clkBase, static_cast<long double>(FieldNumber(line, 71, 3))) * 1e-12
                    : 0);
}

// One warning for a damaged block: what was skipped, and the listed
// satellites without a record, which are missing at this epoch.
void GNSSpEph::WarnBlock(const EpochBlock& b, const std::vector<char>& seen,
                         const BlockDamage& dmg) const {
  std::vector<std::string> items;
  if (dmg.blank > 0) items.push_back(Counted(dmg.blank, "BLANK LINE") + " SKIPPED");
  if (dmg.strange > 0) items.push_back(Counted(dmg.strange, "UNREADABLE LINE") + " SKIPPED");
  if (!dmg.unlisted.empty())
    items.push_back("RECORDS OF SATELLITES NOT IN THE LIST SKIPPED (" + Codes(dmg.unlisted) + ")");
  if (!dmg.repeated.empty())
    items.push_back("REPEATED RECORDS SKIPPED (" + Codes(dmg.repeated) + ")");
  if (dmg.disorder) items.push_back("RECORDS OUT OF THE LIST'S ORDER PLACED BY SATELLITE");
  if (!dmg.far.empty())
    items.push_back("POSITIONS FARTHER THAN " + std::to_string(static_cast<long>(kMaxRadius / 1000)) +
                    " KM FROM THE EARTH'S CENTRE (" + Codes(dmg.far) + "), MISSING HERE");
  if (dmg.endsInside)
    items.push_back("FILE ENDS INSIDE THE RECORD OF " + Codes(dmg.cut) +
                    ", WHAT IT LACKS IS MISSING");
  else if (!dmg.cut.empty())
    items.push_back("RECORDS CUT SHORT (" + Codes(dmg.cut) + "), WHAT THEY LACK IS MISSING");
  std::string missing;
  long nMissing = 0;
  for (long k = 0; k < nsat; ++k) {
    if (seen[k]) continue;
    char code[4];
    satcode::Format(satList(k), code);
    sp3text::AddCode(missing, code);
    ++nMissing;
  }
  if (nMissing > 0)
    items.push_back("NO RECORD OF " + Counted(nMissing, "LISTED SATELLITE") + " (" +
                    Codes(missing) + "), MISSING HERE");
  if (items.empty()) return;
  char t[kEpochTextSize];
  sp3text::EpochText(b.t, t);
  std::string what = std::string("EPOCH ") + t + " (LINE " + std::to_string(b.line) + "): ";
  for (size_t k = 0; k < items.size(); ++k) what += (k > 0 ? "; " : "") + items[k];
  what += "!";
  FileWarning(sp3file, what.c_str());
}
