#include "src/Orbika_GetFiles.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "GNSS/time/TimeConverse.h"
#include "GNSS/time/ymdhms.h"
#include "src/cli/ParseArgument.h"
#include "PROGINC/report/ProgramError.h"
#include "PROGINC/report/SatelliteMessages.h"
#include "src/cli/TestInputGNSSf.h"
#include "PROGINC/files/cfilef.h"
#include "src/Orbika_Help.h"

namespace {

const char* const kProg = "Orbika";

// Every option is a minus sign and two letters; its value starts after them.
constexpr int kValuePos = 3;

// One command-line word with bounds-checked access to its characters.
class Word {
 public:
  explicit Word(const char* text) : text_(text), len_(std::strlen(text)) {}
  // Character i, or the terminator for any position past the end.
  char operator[](size_t i) const { return i < len_ ? text_[i] : '\0'; }
  bool Contains(const char* part) const { return std::strstr(text_, part) != nullptr; }
  // The option letters as written, e.g. "-TS".
  std::string Option() const { return std::string(text_, std::min(len_, size_t(kValuePos))); }
  const char* Value() const { return text_ + std::min(len_, size_t(kValuePos)); }
  const char* Text() const { return text_; }

 private:
  const char* text_;
  size_t len_;
};

char Upper(char lower) { return static_cast<char>(lower - 'a' + 'A'); }

// c is the letter lower in either case.
bool Is(char c, char lower) { return c == lower || c == Upper(lower); }

// The option letters l1 l2, both in lower case or both in upper case.
bool IsSameCase(const Word& w, char l1, char l2) {
  return (w[1] == l1 && w[2] == l2) || (w[1] == Upper(l1) && w[2] == Upper(l2));
}

bool IsVerboseWord(const Word& w) { return Is(w[1], 'v'); }

bool IsHelpWord(const Word& w) {
  return w.Contains("Help") || w.Contains("HELP") || w.Contains("help");
}

// The English help: -h (or -H) as a word of its own.
bool IsEnglishHelpWord(const Word& w) {
  return w[0] == '-' && Is(w[1], 'h') && w[2] == '\0';
}

bool IsCsvWord(const Word& w) {
  return std::strcmp(w.Text(), "-csv") == 0 || std::strcmp(w.Text(), "-CSV") == 0;
}

// The options that take a value, matched as ParseWord matches them.
bool TakesValue(const Word& w) {
  const char a = w[1], b = w[2];
  return w[0] == '-' &&
         ((Is(a, 'e') && (Is(b, 'n') || Is(b, 'g') || Is(b, 'p'))) ||
          IsSameCase(w, 'p', 'v') || IsSameCase(w, 'p', 'r') || IsSameCase(w, 'c', 'p') ||
          IsSameCase(w, 't', 'h') ||
          (Is(a, 't') && (Is(b, 's') || Is(b, 'e') || Is(b, 'i'))) ||
          (Is(a, 'd') && Is(b, 't')) || (Is(a, 'n') && (Is(b, 'i') || Is(b, 'm'))));
}

// A word spelt with two minus signs (--csv, --dt, --dt=300) is read as the
// option with one; the '=' after a value option's letters is dropped.
std::string SingleDash(const char* text) {
  if (text[0] != '-' || text[1] != '-' || text[2] == '\0') return text;
  std::string w(text + 1);
  if (w.size() > kValuePos && w[kValuePos] == '=' && TakesValue(Word(w.c_str())))
    w.erase(kValuePos, 1);
  return w;
}

// The words after the program's name, each option that stands alone joined
// with the word after it when that is its value (-ep FILE is -epFILE): a
// word that does not begin with a minus sign.  Satellite codes standing
// alone right after the value of -pr join its list (-pr G01 G02).
std::vector<std::string> JoinValues(int nargc, const char** cargv) {
  std::vector<std::string> words;
  for (int i = 1; i < nargc; ++i) {
    words.push_back(SingleDash(cargv[i]));
    const Word w(words.back().c_str());
    const bool alone = w[kValuePos] == '\0';
    if (alone && TakesValue(w) && i + 1 < nargc && cargv[i + 1][0] != '-')
      words.back() += cargv[++i];
    if (IsSameCase(Word(words.back().c_str()), 'p', 'r'))
      while (i + 1 < nargc && IsSatelliteCodes(cargv[i + 1])) words.back() += cargv[++i];
  }
  return words;
}

// A file name option: the name is copied whole into file or the run ends.
template <size_t N>
void SetFileOption(Orbika& gc, const Word& w, char (&file)[N], bool& isFile,
                   const char* echo) {
  if (std::strlen(w.Value()) > N - 1) {
    const std::string msg = "FILE NAME OF OPTION " + w.Option() + " LONGER THAN " +
                            std::to_string(N - 1) + " CHARACTERS!";
    ProgramError(kProg, msg.c_str());
  }
  GetFileName(w.Text(), file, isFile, gc.verbose, kValuePos, echo);
}

void SetEphemerisFile(Orbika& gc, const Word& w) {
  if (Is(w[2], 'n')) {
    SetFileOption(gc, w, gc.gnavfile, gc.isGPSnav,
                  "Orbika::GetFiles():         GPS navigation file: ");
  } else if (Is(w[2], 'g')) {
    SetFileOption(gc, w, gc.rnavfile, gc.isGLNnav,
                  "Orbika::GetFiles():         GLONASS navigation file: ");
  } else if (Is(w[2], 'p')) {
    SetFileOption(gc, w, gc.sp3file, gc.isPEph,
                  "Orbika::GetFiles():         GNSS precise ephemeris file: ");
  } else {
    ProgramError(kProg, "EPHEMERIS FILE NOT SET CORRECTLY [ use -e[p|n|g]FILENAME ]!");
  }
}

void SetSatelliteList(Orbika& gc, const Word& w) {
  const char* value = w.Value();
  const size_t n = std::strlen(value);
  if (n % 3 != 0)
    ProgramWarning(kProg,
                   "LIST OF SATELLITES [-pr] WITH WRONG NUMBER OF CHARACTERS (3 PER SAT "
                   "EXPECTED)!");
  // Checked before the echo, so that an error stands on a line of its own.
  ParseSatList(w.Text(), gc.satprn, kValuePos);
  if (gc.verbose) {
    std::cerr << kProg << "::GetFiles():         satellites PRN's: " << value << " ->";
    for (size_t k = 0; k < n / 3; ++k) std::cerr << ' ' << std::string(value + 3 * k, 3);
    std::cerr << "!" << std::endl;
  }
  gc.isPRNList = true;
}

// A date option: epoch in GPS time, and the flag that it was given.
void SetEpoch(Orbika& gc, const Word& w, const char* echo, mjd& epoch, bool& isSet) {
  if (gc.verbose) std::cerr << kProg << echo;
  ymdhms dat;
  ParseDate(w.Text(), dat, kValuePos);
  if (gc.verbose) std::cerr << dat << "!" << std::endl;
  epoch = ymdhms2mjd(dat);
  isSet = true;
}

// A step in seconds.  Text that is not one number is refused whole (-dt5m
// would otherwise run at 5 s); zero, a negative value or no number at all
// would never advance the epoch loop or the integration, so it ends the run.
void SetStep(Orbika& gc, const Word& w, long double& step, const char* echo,
             const char* error) {
  if (!IsNumber(w.Text(), kValuePos)) {
    const std::string msg = "VALUE OF OPTION " + w.Option() + " IS NOT A NUMBER OF SECONDS: \"" +
                            w.Value() + "\"!";
    ProgramError(kProg, msg.c_str());
  }
  const long double value = ParseFloat(w.Text(), kValuePos);
  if (!(value > 0) || !std::isfinite(value)) ProgramError(kProg, error);
  step = value;
  if (gc.verbose) {
    // The stream's default format, whatever an earlier date echo left set.
    std::ostringstream text;
    text << step;
    std::cerr << kProg << echo << text.str() << "!" << std::endl;
  }
}

// Threads computing the satellites: a whole number from 1 to kMaxThreads.
constexpr long kMaxThreads = 64;

void SetThreads(Orbika& gc, const Word& w) {
  const char* value = w.Value();
  char* end = nullptr;
  const long n = std::isdigit(static_cast<unsigned char>(value[0])) ? std::strtol(value, &end, 10)
                                                                     : 0;
  if (end == nullptr || *end != '\0' || n < 1 || n > kMaxThreads)
    ProgramError(kProg, ("NUMBER OF THREADS [-th] MUST BE A WHOLE NUMBER FROM 1 TO " +
                         std::to_string(kMaxThreads) + ": \"" + value + "\"!")
                            .c_str());
  // Not echoed under -v: a run on threads says what the run on one says.
  gc.threads = static_cast<int>(n);
}

// The navigation message per system: a comma list of SYSTEM:MESSAGE words.
void SetMessages(Orbika& gc, const Word& w) {
  navmsg::Choice choice;
  const std::string wrong = choice.Parse(w.Value());
  if (!wrong.empty())
    ProgramError(kProg, ("NAVIGATION MESSAGES [-nm]: " + wrong +
                         " (G:LNAV|CNAV|CNV2, J:LNAV|CNAV|CNV2, E:INAV|FNAV, "
                         "C:D1D2|CNV1|CNV2|CNV3, I:LNAV, S:SBAS)!").c_str());
  gc.messages = choice;
  gc.isMessages = true;
  if (gc.verbose)
    std::cerr << kProg << "::GetFiles():         navigation messages: " << choice.Text() << "!"
              << std::endl;
}

// The signal pairs of -cp: a comma list of SYSTEM:PAIR ("C:B1I/B2I,E:E1/E5a");
// the systems not named keep their defaults.
void SetPairs(Orbika& gc, const Word& w) {
  std::stringstream list(w.Value());
  std::string item;
  bool any = false;
  while (std::getline(list, item, ',')) {
    const signalpair::Pair* pair =
        item.size() > 2 && item[1] == ':' ? signalpair::Find(item[0], item.substr(2)) : nullptr;
    if (pair == nullptr)
      ProgramError(kProg, ("SIGNAL PAIR [-cp] NOT KNOWN: '" + item + "' [KNOWN: " +
                           signalpair::Known() + "]!").c_str());
    gc.pairs[pair->system] = pair;
    any = true;
  }
  if (!any)
    ProgramError(kProg,
                 ("SIGNAL PAIR [-cp] NOT GIVEN [KNOWN: " + signalpair::Known() + "]!").c_str());
  gc.isPairs = true;
}

// One word of the command line (not word 0); the first rule that applies.
void ParseWord(Orbika& gc, const Word& w) {
  const char a = w[1], b = w[2];
  if (w[0] != '-') {
    ProgramWarning(kProg, (std::string(" - PARAMETHER MANDATORY ->  ") + w.Text()).c_str());
  } else if (Is(a, 'e')) {
    SetEphemerisFile(gc, w);
  } else if (IsSameCase(w, 'p', 'v')) {
    SetFileOption(gc, w, gc.atxfile, gc.isAtx,
                  "Orbika::GetFiles():         ANTEX - antenna phase variation file name: ");
  } else if (IsSameCase(w, 'p', 'r')) {
    SetSatelliteList(gc, w);
  } else if (IsSameCase(w, 'c', 'p')) {
    SetPairs(gc, w);
  } else if (IsSameCase(w, 'p', 'i') && w[kValuePos] == '\0') {
    gc.pairOffsets = true;
  } else if (Is(a, 't') && Is(b, 's')) {
    SetEpoch(gc, w, "::GetFiles():         START epoch: ", gc.stE, gc.isStart);
  } else if (Is(a, 't') && Is(b, 'e')) {
    SetEpoch(gc, w, "::GetFiles():         END epoch: ", gc.enE, gc.isEnd);
  } else if (Is(a, 't') && Is(b, 'i')) {
    SetEpoch(gc, w,
             "::GetFiles():         epoch to USE as reference in GPS/GLONASS navigation "
             "file: ",
             gc.useE, gc.isUse);
  } else if (IsSameCase(w, 't', 'h')) {
    SetThreads(gc, w);
  } else if (Is(a, 'd') && Is(b, 't')) {
    SetStep(gc, w, gc.dt, "::GetFiles():         time interval DT: ",
            "TIME INTERVAL [-dt] MUST BE A POSITIVE NUMBER OF SECONDS!");
  } else if (IsSameCase(w, 'r', 'x') && w[kValuePos] == '\0') {
    gc.isReceiver = true;
  } else if (Is(a, 'n') && Is(b, 'm')) {
    SetMessages(gc, w);
  } else if (Is(a, 'n') && Is(b, 'i')) {
    SetStep(gc, w, gc.dtni,
            "::GetFiles():         numerical integration time interval DT (GLONASS "
            "navigaion): ",
            "NUMERICAL INTEGRATION STEP [-ni] MUST BE A POSITIVE NUMBER OF SECONDS!");
  } else if (IsHelpWord(w)) {
    gc.isHelp = true;
  } else if (IsVerboseWord(w) || IsCsvWord(w)) {
    // verbose and csv are set by the pre-scan
  } else {
    ProgramWarning(kProg, (std::string("UNKNOWN PARAMETHER: ") + w.Text()).c_str());
  }
}

// Only the help text is wanted: no options at all, or nothing but -v and/or
// a help word.  A help word beside other options is ignored.
bool HelpOnly(const Orbika& gc, int nargc) {
  return nargc <= 1 || (gc.verbose && nargc <= 2) || (gc.isHelp && nargc <= 2) ||
         (gc.isHelp && gc.verbose && nargc <= 3);
}

// A named file that cannot be opened is dropped with a warning naming it;
// the run goes on without it and ends with status 1.
void DropUnopened(Orbika& gc, const char* name, bool& isFile, const char* kind) {
  if (name[0] == '\0' || FileExists(name)) return;
  isFile = false;
  gc.isUnopened = true;
  ProgramWarning(kProg, (std::string(kind) + " CAN NOT BE OPENED: " + name + "!").c_str());
}

// Every named ephemeris file failed to open: nothing could be computed.
[[noreturn]] void NoEphemerisOpens(const Orbika& gc) {
  std::string names;
  for (const char* name : {gc.sp3file, gc.gnavfile, gc.rnavfile})
    if (name[0] != '\0') names += (names.empty() ? "" : ", ") + std::string(name);
  ProgramError(kProg, ("NO EPHEMERIS FILE CAN BE OPENED: " + names + "!").c_str());
}

}  // namespace

void ParseArguments(Orbika& gc, int nargc, const char** cargv) {
  // Before the two-minus rule, which would read it as -version (verbose).
  for (int i = 1; i < nargc; ++i)
    if (std::strcmp(cargv[i], "--version") == 0) {
      OrbikaPrintVersion();
      gc.RunProg = false;
      return;
    }
  const std::vector<std::string> words = JoinValues(nargc, cargv);
  for (const std::string& w : words)
    if (IsEnglishHelpWord(Word(w.c_str()))) {
      OrbikaPrintEnglishHelp();
      gc.RunProg = false;
      return;
    }
  // Verbose and csv first, so that the messages cover the whole parse and
  // go to their stream wherever -v and -csv stand.  Only the words after the
  // program's name count: word 0 is its path, and one like /var/... would
  // otherwise turn verbose on (and, alone, print the help and stop).
  for (const std::string& w : words) {
    if (IsVerboseWord(Word(w.c_str()))) gc.verbose = true;
    if (IsCsvWord(Word(w.c_str()))) gc.csv = true;
  }
  if (gc.csv) {
    KeepStandardOutputForData();
    satmsg::UseLines();
  }
  gc.StartProg();
  if (gc.verbose) std::cerr << kProg << "::GetFiles(): PARSING INPUT PARAMETERS!" << std::endl;

  for (const std::string& w : words) ParseWord(gc, Word(w.c_str()));

  // The help decision counts the words as joined, the program's name too.
  if (HelpOnly(gc, static_cast<int>(words.size()) + 1)) {
    OrbikaPrintHelp();
    if (words.empty()) OrbikaPrintEnglishPointer();
    gc.RunProg = false;
  }
}

void CheckArguments(Orbika& gc) {
  if (gc.verbose) {
    std::cerr << kProg << "::SetFiles(): CHECKING INPUT ARGUMENTS!" << std::endl;
    std::cerr << kProg << "::SetFiles():         Ephemeris files!" << std::endl;
  }
  // The names are tested, not the flags: an option with an empty name does
  // not count as a named file.
  if (gc.gnavfile[0] == '\0' && gc.sp3file[0] == '\0' && gc.rnavfile[0] == '\0')
    ProgramError(kProg, "NO EPHEMERIS FILE SET!");

  // All opening tests come before the format tests.
  DropUnopened(gc, gc.gnavfile, gc.isGPSnav, "GPS NAVIGATION FILE");
  DropUnopened(gc, gc.rnavfile, gc.isGLNnav, "GLONAS NAVIGATION FILE");
  DropUnopened(gc, gc.sp3file, gc.isPEph, "GNSS PRECISE EPHEMERIS FILE");
  if (!gc.isGPSnav && !gc.isGLNnav && !gc.isPEph) NoEphemerisOpens(gc);

  if (gc.isPEph && !TestSP3Format(gc.sp3file))
    ProgramError(kProg, "GNSS PRECISE EPHEMERIS FILE NOT A SP3 FORMAT!");
  if (gc.isGPSnav && !TestRINEXNavf(gc.gnavfile, 'G'))
    ProgramError(kProg, "GPS NAVIGATION FILE IS NOT GPS RINEX NAVIGATION FORMAT!");
  if (gc.isGLNnav && !TestRINEXNavf(gc.rnavfile, 'R'))
    ProgramError(kProg, "GLONAS NAVIGATION FILE IS NOT GLONASS RINEX NAVIGATION FORMAT!");

  if (gc.verbose)
    std::cerr << kProg << "::SetFiles():         ANTEX - antenna phase variation file!"
              << std::endl;
  DropUnopened(gc, gc.atxfile, gc.isAtx, "ANTEX FILE");
  if (gc.isAtx && !TestAntexf(gc.atxfile)) {
    gc.isAtx = false;
    ProgramWarning(kProg, "ANTEX FILE IS NOT ANTEX FORMAT!");
  }
}
