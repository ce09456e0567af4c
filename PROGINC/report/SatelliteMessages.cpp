#include "PROGINC/report/SatelliteMessages.h"

#include <cstddef>
#include <iostream>
#include <map>
#include <utility>
#include <vector>

#include "PROGINC/report/ReportCapture.h"

namespace satmsg {
namespace {

bool lines = false;

// The occurrences of one condition for one satellite.
struct Count {
  std::string what, sat, first, last;
  long n = 0;
};

// Counts in the order of first occurrence, found by (condition, satellite).
std::vector<Count> counts;
std::map<std::pair<std::string, std::string>, std::size_t> where;

// Text without leading and trailing blanks, tabs and frame marks.
std::string Strip(const std::string& s) {
  const char* const kMarks = " \t*#";
  const std::size_t b = s.find_first_not_of(kMarks);
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(kMarks) - b + 1);
}

bool StartsWith(const std::string& s, const char* head) { return s.rfind(head, 0) == 0; }

}  // namespace

void UseLines() { lines = true; }

bool Lines() { return lines; }

bool Note(const char* origin, const std::string& what, const std::string& sat,
          const std::string& epoch, bool asLines) {
  if (!lines && !asLines) return true;
  if (auto* keep = report::Keeper()) {
    report::Kept k;
    k.kind = report::Kept::Kind::Note;
    k.text = {origin, what, sat, epoch};
    k.asLines = asLines;
    (*keep)(std::move(k));
    return false;
  }
  const auto key = std::make_pair(what, sat);
  auto found = where.find(key);
  if (found == where.end()) {
    found = where.emplace(key, counts.size()).first;
    counts.push_back({what, sat, epoch, epoch, 0});
    std::cerr << origin << ": Warning -> " << sat << ' ' << epoch << ": " << what << std::endl;
  }
  Count& c = counts[found->second];
  c.last = epoch;
  ++c.n;
  return false;
}

void WriteSummary(const char* origin, std::ostream& os) {
  for (const Count& c : counts)
    os << origin << ": Summary -> " << c.sat << ": " << c.what << ": " << c.n
       << (c.n == 1 ? " time, " : " times, ") << c.first << " to " << c.last << '\n';
  os.flush();
}

std::string OneLine(const std::string* text, std::size_t n) {
  std::string line;
  for (std::size_t i = 0; i < n; ++i) {
    std::string part = Strip(text[i]);
    if (part.empty() || StartsWith(part, "Continuing ") || StartsWith(part, "Exiting ")) continue;
    for (char& ch : part)
      if (ch == '\n' || ch == '\t') ch = ' ';
    if (!line.empty()) line += ' ';
    line += part;
  }
  return line;
}

}  // namespace satmsg
