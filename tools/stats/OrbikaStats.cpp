// OrbikaStats: statistics of the precise-minus-broadcast differences in one
// or more Orbika tables (text or -csv), per satellite, per system and orbit
// type, and per day, with the signal-in-space range error (SISRE).
//
//   OrbikaStats [--csv[=TABLE]] [--all-health] TABLE...   (- reads standard input)
//
// Options may stand anywhere.  Exit status 0 when the statistics (or the
// help) are printed, 1 on wrong usage, on a table that cannot be read or
// used, and on a failed write.
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "PROGINC/report/ProgramError.h"
#include "tools/stats/Report.h"

namespace {

const char* const kProgram = "OrbikaStats";

const char* const kHelp =
    "OrbikaStats - statistics of the precise-minus-broadcast differences in Orbika tables\n"
    "\n"
    "Usage: OrbikaStats [--csv[=TABLE]] [--all-health] TABLE...\n"
    "       OrbikaStats -h | --help | --version\n"
    "\n"
    "Reads the tables that Orbika wrote with an SP3 file and a navigation file (the\n"
    "text table or the -csv table; - reads standard input), for example one per day\n"
    "of a month, and prints, for each satellite and for each system and orbit type\n"
    "(BeiDou as BDS-2 and BDS-3): the radial, along-track, cross-track and 3D\n"
    "differences in the orbit's own frame, the clock difference (on the signal\n"
    "pair of a -csv table's pair column) after the relativistic term and the\n"
    "epoch's median over the system, and the signal-in-space range error (SISRE,\n"
    "orbit-only and with the clock, RMS and 95th percentile; satellites without\n"
    "an antenna offset in rows of their own); then one line per day and system,\n"
    "the clock datum per day and system, and the outliers kept out of every\n"
    "figure (a 3D difference or a clock far from the epoch's median: the notes\n"
    "before the tables give the thresholds).  Lines that are not records\n"
    "(warnings, settings, blank lines) are skipped.  Use -csv tables: the text\n"
    "table rounds clocks to 1 ns and carries no signal-pair clocks.\n"
    "\n"
    "Options, in any position:\n"
    "  --csv          every table as CSV, each block opened by \"# <name>\"\n"
    "  --csv=TABLE    one table as plain CSV: satellites, systems, days, datum or\n"
    "                 outliers\n"
    "  --all-health   keep the records whose health field is not 0 (a -csv table's\n"
    "                 health column; by default they are left out and counted)\n"
    "  -h, --help     this help\n"
    "  --version      the program's name and version\n"
    "\n"
    "Examples:\n"
    "  Orbika -epigs21906.sp3 -enbrdc0010.22n -csv > day.csv\n"
    "  OrbikaStats day.csv\n"
    "  OrbikaStats --csv=days table_*.csv > days.csv\n"
    "\n"
    "Exit status 0 when the statistics are printed, 1 otherwise.\n"
    "Manual page: man OrbikaStats (in the source tree: man -l man/OrbikaStats.1).\n";

struct Options {
  bool help = false, version = false, csv = false, allHealth = false;
  std::string only;  // the one table of --csv=TABLE
  std::vector<std::string> tables;
  std::string error;
};

Options ParseOptions(const std::vector<std::string>& args) {
  Options o;
  long stdinTables = 0;
  for (const std::string& arg : args) {
    if (arg == "-h" || arg == "--help") {
      o.help = true;
    } else if (arg == "--version") {
      o.version = true;
    } else if (arg == "--all-health") {
      o.allHealth = true;
    } else if (arg == "--csv" || arg.rfind("--csv=", 0) == 0) {
      o.csv = true;
      o.only = arg.size() > 6 ? arg.substr(6) : "";
      bool known = o.only.empty();
      std::string names;
      for (const std::string& name : orbstats::TableNames()) {
        known = known || o.only == name;
        names += (names.empty()                             ? ""
                  : &name == &orbstats::TableNames().back() ? " or "
                                                            : ", ") +
                 name;
      }
      if (!known && o.error.empty()) o.error = arg + " names no table (" + names + ")";
    } else if (arg.size() > 1 && arg[0] == '-') {
      if (o.error.empty()) o.error = "unknown option " + arg;
    } else {
      o.tables.push_back(arg);
      stdinTables += arg == "-";
    }
  }
  if (o.error.empty() && o.tables.empty()) o.error = "no table named";
  if (o.error.empty() && stdinTables > 1) o.error = "standard input (-) named more than once";
  return o;
}

// Reads one table into stats; the message of what went wrong, or "".
std::string ReadTable(const std::string& name, orbstats::DiffStats& stats,
                      orbstats::Inputs& inputs) {
  std::ifstream file;
  if (name != "-") {
    file.open(name);
    if (!file) return "cannot read " + name;
  }
  orbstats::DiffTableReader reader(name == "-" ? std::cin : file, name);
  if (!reader.ReadHeader()) return reader.Error();
  const long long repeated = stats.Repeated();
  orbstats::DiffRecord rec;
  while (reader.Next(rec)) {
    const std::string tooMany = stats.Add(rec);
    if (!tooMany.empty())
      return name + " holds " + tooMany;
  }
  if (!reader.Error().empty()) return reader.Error();
  stats.EndTable();
  if (stats.Repeated() > repeated)
    std::cerr << kProgram << ": warning: " << name << ": " << stats.Repeated() - repeated
              << " records repeat earlier ones of their satellite and day and are counted once\n";
  inputs.names.push_back(name);
  inputs.noAntex += reader.AntexFile() == orbstats::Antex::kNone;
  inputs.antexUnknown += reader.AntexFile() == orbstats::Antex::kUnknown;
  inputs.messages += reader.Messages();
  return "";
}

// A failed write ends the run, framed as the program's other reports.
void CheckWritten() {
  if (!std::cout.flush()) ProgramError(kProgram, "cannot write the statistics to standard output");
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (options.version) {
    std::cout << kProgram << ' ' << ORBIKA_VERSION << '\n';
    CheckWritten();
    return 0;
  }
  if (options.help) {
    std::cout << kHelp;
    CheckWritten();
    return 0;
  }
  if (!options.error.empty()) {
    std::cerr << kProgram << ": " << options.error << "; OrbikaStats -h shows the usage\n";
    return 1;
  }
  orbstats::DiffStats stats(options.allHealth);
  orbstats::Inputs inputs;
  for (const std::string& name : options.tables) {
    const std::string error = ReadTable(name, stats, inputs);
    if (error.empty()) continue;
    std::cerr << kProgram << ": " << error << '\n';
    return 1;
  }
  const std::vector<std::string> notes = orbstats::Notes(stats, inputs);
  const std::vector<orbstats::Table> tables = orbstats::MakeTables(stats, inputs);
  if (options.csv)
    orbstats::WriteCsv(std::cout, notes, tables, options.only);
  else
    orbstats::WriteText(std::cout, notes, tables);
  CheckWritten();
  return 0;
}
