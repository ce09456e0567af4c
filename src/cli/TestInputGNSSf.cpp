#include "src/cli/TestInputGNSSf.h"

#include <cstdlib>
#include <cstring>

#include "PROGINC/text/FieldNumber.h"
#include "PROGINC/files/InputFile.h"
#include "PROGINC/files/cfilef.h"
#include "PROGINC/text/cstringf.h"

namespace {

// Room for the examined characters, one more, and the terminator.
constexpr int kLineBuffer = kFirstLineLength + 2;

// Reads the first line of fname into line (at most kFirstLineLength
// characters); false when the file cannot be opened.  An empty file gives
// an empty line.
bool ReadFirstLine(const char* fname, char (&line)[kLineBuffer]) {
  line[0] = '\0';
  // Only the bytes the line may take are read (or decompressed).
  InputFile in;
  in.OpenHead(fname, kLineBuffer);
  if (!in) return false;
  ReadLine(in, line, kFirstLineLength + 1);  // a longer line is cut here
  return true;
}

// The first line of fname contains label anywhere.
bool FirstLineHas(const char* fname, const char* label) {
  char line[kLineBuffer];
  return ReadFirstLine(fname, line) && std::strstr(line, label) != nullptr;
}

constexpr int kRINEXTypeColumn = 20;   // 0-based index of column 21
constexpr int kRINEXSystemColumn = 40;  // 0-based index of column 41 (versions 3, 4)
constexpr int kRINEXVersionWidth = 9;   // the version in columns 1-9
constexpr double kFirstVersion3 = 3.0;  // versions read in the 3/4 layouts
constexpr double kEndVersion4 = 5.0;
constexpr size_t kSP3LineLength = 60;  // first line of an SP3-c or SP3-d header

}  // namespace

bool TestRINEXf(const char* fname, char type) {
  char line[kLineBuffer];
  if (!ReadFirstLine(fname, line)) return false;
  return std::strstr(line, "RINEX VERSION / TYPE") != nullptr &&
         std::strlen(line) > kRINEXTypeColumn && line[kRINEXTypeColumn] == type;
}

bool TestRINEXNavf(const char* fname, char system) {
  char line[kLineBuffer];
  if (!ReadFirstLine(fname, line)) return false;
  if (std::strstr(line, "RINEX VERSION / TYPE") == nullptr) return false;
  const size_t n = std::strlen(line);
  const double v = FieldNumber(line, 1, kRINEXVersionWidth);
  if (v >= kFirstVersion3 && v < kEndVersion4)
    return n > kRINEXSystemColumn && line[kRINEXTypeColumn] == 'N' &&
           (line[kRINEXSystemColumn] == system || line[kRINEXSystemColumn] == 'M');
  // Version 2 (and older): the type letter alone names the system.
  return n > kRINEXTypeColumn && line[kRINEXTypeColumn] == (system == 'R' ? 'G' : 'N');
}

bool TestSP3Format(const char* fname) {
  char line[kLineBuffer];
  if (!ReadFirstLine(fname, line)) return false;
  trim(line);
  return std::strlen(line) == kSP3LineLength && line[0] == '#' &&
         (line[1] == 'c' || line[1] == 'd') && (line[2] == 'P' || line[2] == 'V');
}

bool TestAntexf(const char* fname) { return FirstLineHas(fname, "ANTEX VERSION / SYST"); }

bool TestIONEXf(const char* fname) { return FirstLineHas(fname, "IONEX VERSION / TYPE"); }
