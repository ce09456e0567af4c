// OrbikaStats: statistics of the precise-minus-broadcast differences in an
// Orbika output table, per satellite and per system, as aligned text or CSV.
//
//   OrbikaStats [--csv] TABLE      (TABLE - reads standard input)
//
// Exit status 0 when the statistics are printed, 1 on a table that cannot be
// read or used, 2 on wrong usage.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tools/stats/DiffStats.h"

namespace {

using orbstats::StatsRow;
using Table = std::vector<std::vector<std::string>>;

const char* const kUsage = "usage: OrbikaStats [--csv] TABLE\n";

std::string SystemName(char system) {
  switch (system) {
    case 'G': return "GPS";
    case 'R': return "GLONASS";
    case 'E': return "Galileo";
    case 'C': return "BeiDou";
    case 'S': return "SBAS";
    case 'J': return "QZSS";
    case 'I': return "NavIC";
    default: return std::string(1, system);
  }
}

// Fixed-point text of x, "nan" when it has none, never "-0.000".
std::string Fixed(long double x, int decimals) {
  if (!std::isfinite(x)) return "nan";
  char text[64];
  std::snprintf(text, sizeof text, "%.*Lf", decimals, x);
  std::string s = text;
  if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
  return s;
}

std::vector<std::string> Cells(const StatsRow& row, const std::string& label) {
  std::vector<std::string> cells{label, std::to_string(row.epochs), std::to_string(row.nan)};
  for (int i = 0; i < 3; ++i) {
    cells.push_back(Fixed(row.mean[i], 3));
    cells.push_back(Fixed(row.rms[i], 3));
  }
  for (long double x : {row.rms3d, row.median3d, row.max3d}) cells.push_back(Fixed(x, 3));
  cells.push_back(row.maxEpoch.empty() ? "-" : row.maxEpoch);
  cells.push_back(Fixed(row.clockMean, 2));
  cells.push_back(Fixed(row.clockRms, 2));
  return cells;
}

void PrintCsv(const std::vector<StatsRow>& rows) {
  std::cout << "system,sat,epochs,nan,radial_mean,radial_rms,along_mean,along_rms,"
               "cross_mean,cross_rms,rms_3d,median_3d,max_3d,max_3d_epoch,clock_mean_ns,"
               "clock_rms_ns\n";
  for (const StatsRow& row : rows) {
    std::cout << row.system;
    for (const std::string& cell : Cells(row, row.sat.empty() ? "all" : row.sat))
      std::cout << ',' << cell;
    std::cout << '\n';
  }
}

// Columns padded to their widest cell: the first and the epoch to the left,
// numbers to the right; an empty row prints as a blank line.
void PrintAligned(const Table& table) {
  const size_t kEpochColumn = 12;
  std::vector<size_t> width(table[0].size(), 0);
  for (const auto& cells : table)
    for (size_t i = 0; i < cells.size(); ++i) width[i] = std::max(width[i], cells[i].size());
  for (const auto& cells : table) {
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i) {
      const std::string pad(width[i] - cells[i].size(), ' ');
      const bool left = i == 0 || i == kEpochColumn;
      line += (i ? "  " : "") + (left ? cells[i] + pad : pad + cells[i]);
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    std::cout << line << '\n';
  }
}

void PrintText(const std::vector<StatsRow>& rows, const std::string& name) {
  std::cout << "# Precise minus broadcast in " << name
            << ": R radial, A along-track, C cross-track, 3D length [m].\n"
               "# nan: records without a position difference.  Clock [ns]: mean, and RMS"
               " after removing each epoch's mean over the system.\n";
  Table table{{"sat", "epochs", "nan", "R mean", "R rms", "A mean", "A rms", "C mean", "C rms",
               "3D rms", "3D median", "3D max", "3D max at", "clock mean", "clock rms"}};
  for (const StatsRow& row : rows) {
    table.push_back(Cells(row, row.sat.empty() ? SystemName(row.system) : row.sat));
    if (row.sat.empty() && &row != &rows.back()) table.emplace_back();
  }
  PrintAligned(table);
}

int Fail(const std::string& message) {
  std::cerr << "OrbikaStats: " << message << '\n';
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const bool csv = !args.empty() && args[0] == "--csv";
  if (csv) args.erase(args.begin());
  if (args.size() != 1 || (args[0] != "-" && args[0][0] == '-')) {
    std::cerr << kUsage;
    return 2;
  }
  const std::string& name = args[0];
  std::ifstream file;
  if (name != "-") {
    file.open(name);
    if (!file) return Fail("cannot read " + name);
  }
  orbstats::DiffTableReader reader(name == "-" ? std::cin : file, name);
  if (!reader.ReadHeader()) return Fail(reader.Error());
  orbstats::DiffStats stats;
  orbstats::DiffRecord rec;
  while (reader.Next(rec)) stats.Add(rec);
  if (!reader.Error().empty()) return Fail(reader.Error());
  if (csv)
    PrintCsv(stats.Rows());
  else
    PrintText(stats.Rows(), name);
  return 0;
}
