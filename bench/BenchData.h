// Input files of the benchmarks: the real file of the data folder when it is
// there, otherwise a synthetic file of the same shape, written once to /tmp.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <string>

namespace benchdata {

// Path of realName in the data folder, or of a temporary file filled by
// write when the data folder lacks it.
inline std::string File(const char* realName, void (*write)(std::ostream&)) {
  const std::string real = std::string(ORBIKA_DATA_DIR) + "/" + realName;
  if (std::ifstream(real)) return real;
  char name[] = "/tmp/orbika_bench_XXXXXX";
  const int fd = mkstemp(name);
  if (fd < 0) std::abort();
  close(fd);
  std::ofstream out(name);
  write(out);
  return name;
}

// One RINEX navigation record: the first line's text and three numbers,
// then the other numbers four to a line, each as a D19.12 field.
inline void NavRecord(std::ostream& out, const char* first, const double* p, int n) {
  auto field = [&out](double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%19.12E", v);
    std::string s(buf);
    s[s.find('E')] = 'D';
    out << s;
  };
  out << first;
  for (int k = 0; k < 3; ++k) field(p[k]);
  for (int k = 3; k < n; ++k) {
    if ((k - 3) % 4 == 0) out << "\n   ";
    field(p[k]);
  }
  out << "\n";
}

}  // namespace benchdata
