// Builders of small SP3-c files for the precise ephemeris tests: a header
// laid out column by column as the format prescribes, position records of
// any length, and tables filled from a function of epoch and satellite.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace sp3test {

// One position record: "P", the satellite as written ("G05", "G 5", ...),
// x, y, z in km and the clock in microseconds (60 characters), then tail.
inline std::string PosLine(const std::string& sat, double xkm, double ykm, double zkm,
                           double clkus, const std::string& tail = "") {
  char buf[128];
  std::snprintf(buf, sizeof buf, "P%3.3s%14.6f%14.6f%14.6f%14.6f", sat.c_str(), xkm, ykm, zkm,
                clkus);
  return buf + tail;
}

// Accuracy exponents as written after column 60: x, y, z (2 digits each)
// and clock (3 digits), each after a blank; padded to 80 characters.
inline std::string ExpTail(int ex, int ey, int ez, int ec) {
  char buf[64];
  std::snprintf(buf, sizeof buf, " %2d %2d %2d %3d       ", ex, ey, ez, ec);
  return buf;
}

// What a test file holds.  Every field has a sound default, so a test sets
// only what it is about.
struct File {
  long mjday = 54922;          // start epoch: MJD day ...
  double frac = 0.0;           // ... and fraction of day
  double interval = 900.0;     // s
  long nepochHeader = -1;      // epoch count written in line 1; -1: epochs.size()
  long nsatHeader = -1;        // satellite count of line 3; -1: sats.size()
  std::vector<std::string> sats;  // list entries as written ("G05", "G 5", ...)
  std::vector<int> sigExp;     // accuracy exponents of the list (default 0)
  int nListLines = 5;          // satellite-list lines, at least the needed ones
  std::string listFill = "  0";  // entry written after the last satellite
  double posBase = 1.25;
  double clkBase = 1.025;
  int nComments = 4;
  std::vector<std::vector<std::string>> epochs;  // record lines per epoch
  std::vector<std::string> epochLines;  // epoch lines; generated when empty
  std::string eol = "\n";
  bool withEof = true;         // closing "EOF" line
};

// Epoch line of epoch i: the header's start plus i intervals as a calendar
// date (civil date of the day number, Fliegel and Van Flandern).
inline std::string EpochLine(const File& f, size_t i) {
  const double sec = f.frac * 86400 + static_cast<double>(i) * f.interval;
  const long s = static_cast<long>(sec);
  long l = f.mjday + s / 86400 + 2400001 + 68569;
  const long n = 4 * l / 146097;
  l -= (146097 * n + 3) / 4;
  const long y = 4000 * (l + 1) / 1461001;
  l = l - 1461 * y / 4 + 31;
  const long m = 80 * l / 2447;
  const long d = l - 2447 * m / 80;
  l = m / 11;
  char buf[64];
  std::snprintf(buf, sizeof buf, "*  %4ld %2ld %2ld %2ld %2ld %11.8f", 100 * (n - 49) + y + l,
                m + 2 - 12 * l, d, (s / 3600) % 24, (s / 60) % 60,
                static_cast<double>(s % 60) + (sec - static_cast<double>(s)));
  return buf;
}

// Text of the whole file.
inline std::string Build(const File& f) {
  std::string out;
  char buf[256];
  auto line = [&](const std::string& l) { out += l + f.eol; };
  const long nep = f.nepochHeader >= 0 ? f.nepochHeader : static_cast<long>(f.epochs.size());
  std::snprintf(buf, sizeof buf, "#cP2009  4  1  0  0  0.00000000 %7ld ORBIT IGS05 FIT TEST", nep);
  line(buf);
  std::snprintf(buf, sizeof buf, "## 1525 %15.8f %14.8f %5ld %15.13f", 259200.0, f.interval,
                f.mjday, f.frac);
  line(buf);
  const long nsat = f.nsatHeader >= 0 ? f.nsatHeader : static_cast<long>(f.sats.size());
  for (int q = 0; q < f.nListLines; ++q) {
    if (q == 0)
      std::snprintf(buf, sizeof buf, "+  %3ld   ", nsat);
    else
      std::snprintf(buf, sizeof buf, "+        ");
    std::string l = buf;
    for (size_t k = 17 * static_cast<size_t>(q); k < 17 * static_cast<size_t>(q + 1); ++k)
      l += k < f.sats.size() ? f.sats[k] : f.listFill;
    line(l);
  }
  for (int q = 0; q < f.nListLines; ++q) {
    std::string l = "++       ";
    for (size_t k = 17 * static_cast<size_t>(q); k < 17 * static_cast<size_t>(q + 1); ++k) {
      std::snprintf(buf, sizeof buf, "%3d", k < f.sigExp.size() ? f.sigExp[k] : 0);
      l += buf;
    }
    line(l);
  }
  line("%c M  cc GPS ccc cccc cccc cccc cccc ccccc ccccc ccccc ccccc");
  line("%c cc cc ccc ccc cccc cccc cccc cccc ccccc ccccc ccccc ccccc");
  std::snprintf(buf, sizeof buf, "%%f %10.7f %12.9f  0.00000000000  0.000000000000000", f.posBase,
                f.clkBase);
  line(buf);
  line("%f  0.0000000  0.000000000  0.00000000000  0.000000000000000");
  line("%i    0    0    0    0      0      0      0      0         0");
  line("%i    0    0    0    0      0      0      0      0         0");
  for (int c = 0; c < f.nComments; ++c) line("/* TEST TABLE FOR THE PRECISE EPHEMERIS STORE");
  for (size_t i = 0; i < f.epochs.size(); ++i) {
    line(i < f.epochLines.size() ? f.epochLines[i] : EpochLine(f, i));
    for (const auto& r : f.epochs[i]) line(r);
  }
  if (f.withEof) line("EOF");
  return out;
}

// Fills f.epochs with nepoch blocks of records for f.sats; rec(i, k) gives
// record k of epoch i.
inline void Fill(File& f, long nepoch,
                 const std::function<std::string(long, size_t)>& rec) {
  f.epochs.assign(nepoch, {});
  for (long i = 0; i < nepoch; ++i)
    for (size_t k = 0; k < f.sats.size(); ++k) f.epochs[i].push_back(rec(i, k));
}

}  // namespace sp3test
