// Pieces of small RINEX 2 navigation files shared by the GPS and GLONASS
// tests: header lines with their labels from column 61 and records whose
// numbers stand in D19.12 fields, three on the first line and four on each
// following line.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace rinexnavtest {

// A header line: content padded to 60 columns, then the label, padded to
// width columns in all when width is not 0.
inline std::string HeaderLine(const std::string& content, const std::string& label,
                              std::size_t width = 0) {
  std::string line = content;
  line.resize(60, ' ');
  line += label;
  if (width > line.size()) line.resize(width, ' ');
  return line + "\n";
}

// One number as a D19.12 field with the given exponent letter.
inline std::string Field(long double v, char letter = 'D') {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%19.12E", static_cast<double>(v));
  std::string s(buf);
  s[s.find('E')] = letter;
  return s;
}

// One record: the satellite number and the epoch "yy mm dd hh mi ss.s" in
// the RINEX columns, then the n numbers of p.
inline std::string Record(int sat, int yy, int mo, int dd, int hh, int mi, double ss,
                          const long double* p, std::size_t n, char letter) {
  char first[32];
  std::snprintf(first, sizeof first, "%2d %02d %2d %2d %2d %2d%5.1f", sat, yy, mo, dd, hh, mi, ss);
  std::string r = first;
  for (std::size_t k = 0; k < n; ++k) {
    if (k >= 3 && (k - 3) % 4 == 0) r += "\n   ";
    r += Field(p[k], letter);
  }
  return r + "\n";
}

}  // namespace rinexnavtest
