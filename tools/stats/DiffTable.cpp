#include "tools/stats/DiffTable.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace orbstats {

namespace {

// A clock that the SP3 file marks bad prints as this many milliseconds.
const long double kBadClockMs = 1000;

// Word positions of a record.
enum Word { kDate, kTime, kDay, kSecond, kSat, kX, kDt = kX + 3, kVx, kDx = kVx + 3, kDdt = kDx + 3 };
// Word counts: a record with differences, and with the GLONASS velocity
// difference too; fewer words carry no difference (no broadcast source for
// the satellite's system, or only the epoch for a system Orbika cannot compute).
const size_t kDiffWords = kDdt + 1, kGlonassWords = kDiffWords + 3;
const size_t kNoDiffWords[] = {kSat + 1, kDt + 1, kVx + 3};

// The number that fills the word of the given length at text.
bool ToNumber(const char* text, size_t length, long double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);  // read at double precision, then widened
  return end == text + length;
}

long double Dot(const long double a[3], const long double b[3]) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Unit vector along a x b.
void UnitCross(const long double a[3], const long double b[3], long double out[3]) {
  long double c[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
  const long double n = std::sqrt(Dot(c, c));
  for (int i = 0; i < 3; ++i) out[i] = c[i] / n;
}

// Radial, along-track and cross-track components of d in the frame of r, v.
void ToRac(const long double r[3], const long double v[3], const long double d[3], long double rac[3]) {
  const long double n = std::sqrt(Dot(r, r));
  const long double radial[3] = {r[0] / n, r[1] / n, r[2] / n};
  long double cross[3], along[3];
  UnitCross(r, v, cross);         // C = (r x v) / |r x v|
  UnitCross(cross, radial, along);  // A = C x R (already unit)
  rac[0] = Dot(d, radial);
  rac[1] = Dot(d, along);
  rac[2] = Dot(d, cross);
}

bool AllFinite(const long double* v, int n) {
  for (int i = 0; i < n; ++i)
    if (!std::isfinite(v[i])) return false;
  return true;
}

}  // namespace

bool DiffTableReader::GetLine(std::string& line) {
  if (!std::getline(in_, line)) return false;
  ++lineNo_;
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
  return true;
}

bool DiffTableReader::ReadHeader() {
  std::string line;
  const bool read = in_ && GetLine(line);
  if (!read && in_.bad()) {
    error_ = "cannot read " + name_;
    return false;
  }
  if (!read || line != "#PROGRAM: Orbika") {
    error_ = name_ + " is not an Orbika table (its first line is not \"#PROGRAM: Orbika\")";
    return false;
  }
  // The header ends with the line of column names.
  while (GetLine(line) && !line.empty() && line[0] == '#') {
    if (line.find("PRN") == std::string::npos) continue;
    if (line.find("DX[m]") != std::string::npos) return true;
    break;
  }
  error_ = name_ + " has no precise-minus-broadcast columns (run Orbika with an SP3 file"
                   " and a navigation file)";
  return false;
}

bool DiffTableReader::Next(DiffRecord& rec) {
  std::string line;
  while (GetLine(line)) {
    if (line.find_first_not_of(' ') == std::string::npos) continue;
    if (Parse(line, rec)) return true;
    error_ = name_ + " line " + std::to_string(lineNo_) + " is not a record of an Orbika table";
    return false;
  }
  if (in_.bad()) error_ = "cannot read " + name_;
  return false;
}

bool DiffTableReader::Parse(const std::string& line, DiffRecord& rec) {
  // Word starts and lengths, without copying the line.
  const size_t kMaxWords = kGlonassWords + 1;
  size_t start[kMaxWords], length[kMaxWords], n = 0;
  for (size_t i = line.find_first_not_of(' '); i != std::string::npos && n < kMaxWords; ++n) {
    const size_t end = std::min(line.find(' ', i), line.size());
    start[n] = i;
    length[n] = end - i;
    i = line.find_first_not_of(' ', end);
  }
  bool known = n == kDiffWords || n == kGlonassWords;
  for (size_t k : kNoDiffWords) known = known || n == k;
  if (!known || length[kSat] != 3) return false;
  long double v[kMaxWords];
  for (size_t i = kDay; i < n; ++i)
    if (i != kSat && !ToNumber(line.c_str() + start[i], length[i], v[i])) return false;
  rec.sat.assign(line, start[kSat], 3);
  rec.epoch.assign(line, start[kDate], start[kTime] + length[kTime] - start[kDate]);
  rec.tenths = std::llround(v[kDay] * 864000 + v[kSecond] * 10);
  rec.orbit = rec.clock = false;
  if (n < kDiffWords) return true;
  rec.orbit = AllFinite(&v[kX], 3) && AllFinite(&v[kVx], 3) && AllFinite(&v[kDx], 3);
  if (rec.orbit) ToRac(&v[kX], &v[kVx], &v[kDx], rec.rac);
  rec.orbit = rec.orbit && AllFinite(rec.rac, 3);  // no frame at r = 0 or v along r
  rec.clock = std::isfinite(v[kDt]) && std::isfinite(v[kDdt]) && v[kDt] != kBadClockMs;
  rec.clockNs = v[kDdt] * 1000000;  // ms to ns
  return true;
}

}  // namespace orbstats
