// Fuzz target: the command line (ParseArguments, CheckArguments) and, when
// the run goes on, the rest of the pipeline on small files.  The input is
// the list of words after the program name, one per line (a NUL also ends
// a word).  The words run in a folder that holds the test files under short
// names, so that options can name them:
//   n  RINEX GPS navigation file      g  RINEX GLONASS navigation file
//   p  SP3 precise ephemeris file     a  ANTEX file
//   e  an empty file                  d  a folder
// See FuzzIsolate.h for how an input is run and what counts as a finding.
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/FuzzIsolate.h"
#include "src/Orbika.h"
#include "src/Orbika_ApplyAtx.h"
#include "src/Orbika_CalcPos.h"
#include "src/Orbika_GetFiles.h"
#include "src/Orbika_PrintSet.h"
#include "src/Orbika_ReadFiles.h"

namespace {

// At most this many words are passed.
constexpr std::size_t kMaxWords = 64;
// The position loop runs only on small, bounded work: output lines, and
// the GLONASS integration step and distance from the data (days).
constexpr long double kMaxLines = 100;
constexpr long double kMinGlonassStep = 10;
constexpr long double kMaxDaysFromData = 2;

// The folder with the files, beside the input file; made once.
std::string MakeFolder(const std::string& input) {
  const std::string folder = input.substr(0, input.rfind('/')) + "/cli";
  struct stat st;
  if (stat(folder.c_str(), &st) == 0) return folder;
  const std::string building = folder + ".new";
  mkdir(building.c_str(), 0700);
  mkdir((building + "/d").c_str(), 0700);
  const std::string fixtures = ORBIKA_FUZZ_FIXTURES;
  const struct {
    const char* name;
    std::string target;
  } links[] = {
      {"n", fixtures + "/gps_three.n"},
      {"g", fixtures + "/glo_leap2012.g"},
      {"p", ORBIKA_FUZZ_SP3},
      {"a", fixtures + "/antex_mixed.atx"},
  };
  for (const auto& l : links)
    if (symlink(l.target.c_str(), (building + "/" + l.name).c_str()) != 0)
      orbfuzz::Fail("no link to a fixture");
  std::FILE* e = std::fopen((building + "/e").c_str(), "w");
  if (e == nullptr) orbfuzz::Fail("no empty file");
  std::fclose(e);
  if (rename(building.c_str(), folder.c_str()) != 0) orbfuzz::Fail("no fixture folder");
  return folder;
}

// Days between t and the nearest of a and b.
long double DaysFrom(const mjd& t, const mjd& a, const mjd& b) {
  return std::fmin(fabsl(t - a), fabsl(t - b)) / 86400;
}

// The position loop's work is small and bounded.
bool SmallRun(Orbika& gc) {
  const long double span = gc.enE - gc.stE;
  if (!(span >= 0)) return true;  // no epoch at all
  const long double lines = (span / gc.dt + 1) * gc.satprn.Length();
  if (!(lines <= kMaxLines)) return false;
  if (gc.isGLNnav) {
    if (gc.dtni < kMinGlonassStep) return false;
    const mjd first = gc.glnnav.GetMJD(0), last = gc.glnnav.GetMJD(gc.glnnav.GetNSat() - 1);
    if (DaysFrom(gc.stE, first, last) > kMaxDaysFromData ||
        DaysFrom(gc.enE, first, last) > kMaxDaysFromData ||
        (gc.isUse && DaysFrom(gc.useE, first, last) > kMaxDaysFromData))
      return false;
  }
  return true;
}

// The words of the input: one per line, a NUL also ends a word.
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (std::size_t i = 0; i <= text.size() && words.size() < kMaxWords; ++i) {
    if (i == text.size() || text[i] == '\n' || text[i] == '\0') {
      if (i < text.size() || !word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += text[i];
    }
  }
  return words;
}

void Body(const char* path, orbfuzz::Digest& dg) {
  std::ifstream in(path, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  const std::vector<std::string> words = Words(text);
  if (chdir(MakeFolder(path).c_str()) != 0) orbfuzz::Fail("no fixture folder");
  std::vector<const char*> argv = {"Orbika"};
  for (const std::string& w : words) argv.push_back(w.c_str());
  Orbika gc;
  ParseArguments(gc, static_cast<int>(argv.size()), argv.data());
  dg.Add(static_cast<long>(gc.GetRunProg()));
  if (gc.GetRunProg()) {
    CheckArguments(gc);
    SetFiles(gc);
    ReadFiles(gc);
    SetProcParameters(gc);
    CheckBroadcast(gc);
    ApplyAtx(gc);
    PrintSet(gc);
    if (SmallRun(gc)) CalcPos(gc);
  }
  gc.EndProg();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Words are no file lines: the CR LF comparison of Run does not apply to
  // them, so Run is given the text with its line ends made NULs.
  std::string text(reinterpret_cast<const char*>(data), size);
  for (char& c : text)
    if (c == '\n') c = '\0';
  orbfuzz::Run(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), Body);
  return 0;
}
