#include "PROGINC/TestInputGNSSf.h"

#include <cstring>

#include "PROGINC/InputFile.h"
#include "PROGINC/cfilef.h"
#include "PROGINC/cstringf.h"

namespace {

// Room for the examined characters, one more, and the terminator.
constexpr int kLineBuffer = kFirstLineLength + 2;

// Reads the first line of fname into line (at most kFirstLineLength
// characters); false when the file cannot be opened.  An empty file gives
// an empty line.
bool ReadFirstLine(const char* fname, char (&line)[kLineBuffer]) {
  line[0] = '\0';
  // A directory opens as a stream but fails on the first read.
  if (!FileExists(fname)) return false;
  InputFile in(fname);
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
constexpr size_t kSP3LineLength = 60;  // first line of an SP3-c header

}  // namespace

bool TestRINEXf(const char* fname, char type) {
  char line[kLineBuffer];
  if (!ReadFirstLine(fname, line)) return false;
  return std::strstr(line, "RINEX VERSION / TYPE") != nullptr &&
         std::strlen(line) > kRINEXTypeColumn && line[kRINEXTypeColumn] == type;
}

bool TestSP3Format(const char* fname) {
  char line[kLineBuffer];
  if (!ReadFirstLine(fname, line)) return false;
  trim(line);
  return std::strlen(line) == kSP3LineLength && line[0] == '#' && line[1] == 'c' &&
         (line[2] == 'P' || line[2] == 'V');
}

bool TestAntexf(const char* fname) { return FirstLineHas(fname, "ANTEX VERSION / SYST"); }

bool TestIONEXf(const char* fname) { return FirstLineHas(fname, "IONEX VERSION / TYPE"); }
