// Fuzz target: the table reader, the statistics and the report of
// OrbikaStats.  They report a bad table by their return values and never
// exit, so an input runs in process; a crash, a sanitizer report or a hang
// is a finding.  The input is read twice, as two tables of one run.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "tools/stats/Report.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  // Odd sizes keep every record whatever its health.
  orbstats::DiffStats stats(size % 2 == 1);
  orbstats::Inputs inputs;
  for (int table = 0; table < 2; ++table) {
    std::istringstream in(text);
    orbstats::DiffTableReader reader(in, "fuzz");
    if (!reader.ReadHeader()) return 0;
    orbstats::DiffRecord rec;
    while (reader.Next(rec))
      if (!stats.Add(rec).empty()) return 0;
    stats.EndTable();
    inputs.names.push_back("fuzz");
    inputs.messages += reader.Messages();
  }
  std::ostringstream out;
  const std::vector<orbstats::Table> tables = orbstats::MakeTables(stats, inputs);
  orbstats::WriteText(out, orbstats::Notes(stats, inputs), tables);
  orbstats::WriteCsv(out, {}, tables, "");
  return 0;
}
