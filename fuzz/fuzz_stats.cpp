// Fuzz target: the table reader and the statistics of OrbikaStats.  They
// report a bad table by their return values and never exit, so an input
// runs in process; a crash, a sanitizer report or a hang is a finding.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "tools/stats/DiffStats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  orbstats::DiffTableReader reader(in, "fuzz");
  if (!reader.ReadHeader()) return 0;
  orbstats::DiffStats stats;
  orbstats::DiffRecord rec;
  while (reader.Next(rec)) stats.Add(rec);
  stats.Rows();
  return 0;
}
