// Report: the tables of OrbikaStats as aligned text or CSV.
//
// Five tables: satellites and systems over the period, one line per day and
// system, the clock datum per day and system, and the outliers per
// satellite and day.  The text form opens with '#' lines that say what was
// done, then each table under its title; --csv writes the same '#' lines
// and each table as a block ("# <name>", its header row, its rows) with a
// blank line between blocks; --csv=<name> writes one table alone.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tools/stats/DiffStats.h"

namespace orbstats {

// What the notes say about the tables read.
struct Inputs {
  std::vector<std::string> names;
  long long noAntex = 0, antexUnknown = 0;  // tables by their ANTEX line
  long long messages = 0;                   // tables with the msg column
};

struct Table {
  std::string name;                    // the CSV block's name
  std::string title;                   // the text's heading
  std::vector<std::string> csv, text;  // column names of each form
  std::vector<bool> left;              // text columns aligned left
  std::vector<std::vector<std::string>> rows;
};

// The names of the tables --csv=<name> takes, in output order.
const std::vector<std::string>& TableNames();
std::vector<Table> MakeTables(const DiffStats& stats, const Inputs& inputs);
std::vector<std::string> Notes(const DiffStats& stats, const Inputs& inputs);

// Writes the notes and every table, or only the table named only.  Stops
// at a failed write.
void WriteText(std::ostream& out, const std::vector<std::string>& notes,
               const std::vector<Table>& tables);
void WriteCsv(std::ostream& out, const std::vector<std::string>& notes,
              const std::vector<Table>& tables, const std::string& only);

}  // namespace orbstats
