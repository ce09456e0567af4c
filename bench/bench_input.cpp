// Compressed input: loading a whole-day mixed RINEX 4 navigation file (GPS
// and GLONASS stores, as a run with the file given to -en and -eg) from the
// plain file and from its gzip copy, and the decompression alone.  The day
// is made from the one-hour file of the data folder's set D, its records
// repeated every 26 min with shifted epochs (55 copies: about 20,000
// records); the benchmarks skip when that file is absent.  Then the real
// merged RINEX 3.04 day of set E loaded the same way, and the number
// conversion of the readers' fields by itself.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <vector>
#include <fstream>
#include <iterator>
#include <string>

#include "GNSS/broadcast/GLNbEph.h"
#include "GNSS/broadcast/GPSbEph.h"
#include "PROGINC/files/InputFile.h"
#include "PROGINC/files/cfilef.h"
#include "PROGINC/text/FieldNumber.h"

namespace {

const char* const kHourFile = "/setD/KMS300DNK_R_20221591000_01H_MN.rnx.gz";
constexpr int kCopies = 55;
constexpr long kStep = 26 * 60;        // s between copies
constexpr long kFirstShift = -36000;   // the hour starts at 10 h: the day at 0 h
constexpr int kEpochColumn = 4;        // "G01 2022 06 08 10 00 00" and "    2022 ..."
constexpr int kEpochLength = 19;

// The epoch line with its date and time moved by shift seconds.
std::string Shifted(const std::string& line, long shift) {
  std::tm t{};
  if (line.size() < kEpochColumn + kEpochLength ||
      std::sscanf(line.c_str() + kEpochColumn, "%d %d %d %d %d %d", &t.tm_year, &t.tm_mon,
                  &t.tm_mday, &t.tm_hour, &t.tm_min, &t.tm_sec) != 6)
    return line;
  t.tm_year -= 1900;
  t.tm_mon -= 1;
  const std::time_t moved = timegm(&t) + shift;
  std::tm m{};
  gmtime_r(&moved, &m);
  char text[48];  // room for any int the format may meet
  std::snprintf(text, sizeof text, "%04d %02d %02d %02d %02d %02d", m.tm_year + 1900,
                m.tm_mon + 1, m.tm_mday, m.tm_hour, m.tm_min, m.tm_sec);
  return line.substr(0, kEpochColumn) + text + line.substr(kEpochColumn + kEpochLength);
}

// The gzip day is written under two names: loads alternate between them, so
// that each load decompresses once, as one run of the program does (the
// content of the last compressed file opened is kept for its second pass).
// The files are removed when the benchmarks end.
struct DayFiles {
  std::string plain, gzip[2];
  long records = 0;
  ~DayFiles() {
    for (const std::string* name : {&plain, &gzip[0], &gzip[1]})
      if (!name->empty()) std::remove(name->c_str());
  }
};

// The hour file's header and records; false without set D.
bool ReadHour(std::string& header, std::string& records) {
  const std::string hour = std::string(ORBIKA_DATA_DIR) + kHourFile;
  if (!FileExists(hour.c_str())) return false;
  InputFile in(hour.c_str());
  char line[256];
  bool inHeader = true;
  while (ReadLine(in, line, sizeof line) != LineRead::End) {
    (inHeader ? header : records) += std::string(line) + "\n";
    if (inHeader && std::string(line).find("END OF HEADER") != std::string::npos)
      inHeader = false;
  }
  return true;
}

// Writes the day, plain and gzip-compressed; leaves f empty without set D.
void WriteDay(DayFiles& f) {
  std::string header, records;
  if (!ReadHour(header, records)) return;
  std::string day = header;
  for (int k = 0; k < kCopies; ++k) {
    const long shift = kFirstShift + k * kStep;
    bool epochNext = false;
    for (std::size_t at = 0; at < records.size();) {
      const std::size_t end = records.find('\n', at);
      const std::string l = records.substr(at, end - at);
      day += (epochNext ? Shifted(l, shift) : l) + "\n";
      epochNext = l.compare(0, 2, "> ") == 0;
      if (epochNext) ++f.records;
      at = end + 1;
    }
  }
  char name[] = "/tmp/orbika_bench_day_XXXXXX";
  const int fd = mkstemp(name);
  if (fd < 0) std::abort();
  close(fd);
  f.plain = name;
  std::ofstream(f.plain, std::ios::binary) << day;
  for (int k = 0; k < 2; ++k) {
    f.gzip[k] = f.plain + std::to_string(k) + ".gz";
    gzFile gz = gzopen(f.gzip[k].c_str(), "wb");
    gzwrite(gz, day.data(), static_cast<unsigned>(day.size()));
    gzclose(gz);
  }
}

const DayFiles& Day() {
  static DayFiles files;
  static const bool written = (WriteDay(files), true);
  (void)written;
  return files;
}

// The GPS and GLONASS stores of one mixed file, as -en and -eg load them;
// returns their records.
long LoadBothStores(const std::string& path) {
  GPSbEph gps;
  gps.SetFile(path.c_str());
  gps.ReadFile();
  GLNbEph glo;
  glo.SetFile(path.c_str());
  glo.ReadFile();
  return static_cast<long>(gps.GetNSat()) + glo.GetNSat();
}

// GPS and GLONASS stores loaded from one mixed file.
void Load(benchmark::State& state, bool compressed) {
  const DayFiles& f = Day();
  if (f.plain.empty()) {
    state.SkipWithError("set D of the data folder is absent");
    return;
  }
  int n = 0;
  for (auto _ : state) {
    const std::string& path = compressed ? f.gzip[++n % 2] : f.plain;
    benchmark::DoNotOptimize(LoadBothStores(path));
  }
  state.counters["records"] = static_cast<double>(f.records);
}

void BM_LoadMixedRinex4DayPlain(benchmark::State& state) { Load(state, false); }
BENCHMARK(BM_LoadMixedRinex4DayPlain)->Unit(benchmark::kMillisecond);

void BM_LoadMixedRinex4DayGzip(benchmark::State& state) { Load(state, true); }
BENCHMARK(BM_LoadMixedRinex4DayGzip)->Unit(benchmark::kMillisecond);

// Decompression alone, into memory.
void BM_GunzipMixedRinex4Day(benchmark::State& state) {
  const DayFiles& f = Day();
  if (f.plain.empty()) {
    state.SkipWithError("set D of the data folder is absent");
    return;
  }
  std::ifstream in(f.gzip[0], std::ios::binary);
  const std::string packed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (auto _ : state) {
    std::string out;
    const char* why = nullptr;
    if (!Decompress(packed.data(), packed.size(), Compression::Gzip, out, why)) std::abort();
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_GunzipMixedRinex4Day)->Unit(benchmark::kMillisecond);

// Set E's merged RINEX 3.04 day (about 25,000 records of every system), as
// a run reads it for -en and -eg: decompressed by the first load, its
// content kept for the loads after it.
void BM_LoadMergedRinex3SetE(benchmark::State& state) {
  const std::string path =
      std::string(ORBIKA_DATA_DIR) + "/setE/BRDC00IGS_R_20220010000_01D_MN.rnx.gz";
  if (!FileExists(path.c_str())) {
    state.SkipWithError("set E of the data folder is absent");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(LoadBothStores(path));
}
BENCHMARK(BM_LoadMergedRinex3SetE)->Unit(benchmark::kMillisecond);

// Fields of random values as the readers meet them: D19.12 fields over the
// magnitudes of broadcast orbits (RINEX) or F14.6 coordinates in km (SP3).
std::vector<std::string> Fields(bool rinex) {
  std::mt19937_64 g(1);
  std::uniform_real_distribution<double> unit(-1, 1);
  std::uniform_int_distribution<int> power(-30, 8);
  std::vector<std::string> fields(4096);
  for (std::string& f : fields) {
    char text[48];
    if (rinex) std::snprintf(text, sizeof text, "%19.12E", unit(g) * std::pow(10.0, power(g)));
    else std::snprintf(text, sizeof text, "%14.6f", unit(g) * 30000);
    f = text;
    if (rinex) f[f.find('E')] = 'D';
  }
  return fields;
}

// The number of an SP3 coordinate field (FieldNumber), per field.
void BM_FieldNumberSp3Field(benchmark::State& state) {
  const std::vector<std::string> fields = Fields(false);
  std::size_t k = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FieldNumber(fields[k].c_str(), 1, 14));
    k = (k + 1) % fields.size();
  }
}
BENCHMARK(BM_FieldNumberSp3Field);

// A field's mantissa times ten to its exponent (ScaledNumber), per field.
void BM_ScaledNumberRinexField(benchmark::State& state) {
  const std::vector<std::string> fields = Fields(true);
  std::vector<std::size_t> letters;
  std::vector<long> exponents;
  for (const std::string& f : fields) {
    letters.push_back(f.find('D'));
    exponents.push_back(std::atol(f.c_str() + letters.back() + 1));
  }
  std::size_t k = 0;
  for (auto _ : state) {
    const char* f = fields[k].data();
    double v;
    ScaledNumber(f, f + letters[k], exponents[k], v);
    benchmark::DoNotOptimize(v);
    k = (k + 1) % fields.size();
  }
}
BENCHMARK(BM_ScaledNumberRinexField);

}  // namespace
