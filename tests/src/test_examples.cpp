// The sample set in examples/: it is what the generator writes, it documents
// what it holds, and the program run on it prints, in every record, the
// precise-minus-broadcast offsets that examples/README.md promises.  Also the
// plot script on the program's output.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "GNSS/base/mGNSSc.h"
#include "tests/TestUtil.h"
#include "tools/example_set.h"

namespace {

const std::string kExamples = ORBIKA_EXAMPLES_DIR;
const char* const kSetFiles[] = {examples::kGpsNavFile, examples::kGlonassNavFile,
                                 examples::kSp3File, examples::kAntexFile};

using orbtest::RunProgram;

// ---- The documented offsets ----------------------------------------------

struct Documented {
  double radial, along, cross;  // m
  double clockNs;               // ns
  double antennaUp;             // m
};

// The table of examples/README.md, by satellite code ("G02").
std::map<std::string, Documented> ReadmeTable() {
  std::map<std::string, Documented> table;
  for (const std::string& line :
       orbtest::SplitLines(orbtest::ReadFileText(kExamples + "/README.md"))) {
    if (line.rfind("| G", 0) != 0 && line.rfind("| R", 0) != 0) continue;
    std::vector<std::string> cells;
    std::stringstream s(line.substr(1));
    for (std::string cell; std::getline(s, cell, '|');) cells.push_back(cell);
    if (cells.size() < 6) continue;
    const std::string sat = cells[0].substr(1, 3);
    table[sat] = {std::atof(cells[1].c_str()), std::atof(cells[2].c_str()),
                  std::atof(cells[3].c_str()), std::atof(cells[4].c_str()),
                  std::atof(cells[5].c_str())};
  }
  return table;
}

std::string SatCode(short sat) {
  char code[8];
  std::snprintf(code, sizeof code, "%c%02d", sat > 100 ? 'R' : 'G', sat % 100);
  return code;
}

// ---- Records of the output table -----------------------------------------

struct Vec {
  double x = 0, y = 0, z = 0;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec operator*(double k, Vec a) { return {k * a.x, k * a.y, k * a.z}; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec Unit(Vec a) { return (1 / std::sqrt(Dot(a, a))) * a; }
double MaxAbs(Vec a) { return std::max({std::fabs(a.x), std::fabs(a.y), std::fabs(a.z)}); }

// One record with both sources: precise position and velocity, the position
// difference and, for GLONASS, the velocity difference.
struct Record {
  std::string sat;
  double t = 0;  // s from 0 h of the set's day
  Vec pos, vel, dpos, dvel;
  double clockMs = 0, dclockMs = 0;
  bool hasDvel = false;
};

double Field(const std::string& line, size_t from, size_t width) {
  return std::atof(line.substr(from, width).c_str());
}
// A position group (3 x 16 m, clock 14 ms) and a velocity group (blank,
// 3 x 12 m/s) starting at column `from` (0-based).
Vec Position(const std::string& l, size_t from) {
  return {Field(l, from, 16), Field(l, from + 16, 16), Field(l, from + 32, 16)};
}
Vec Velocity(const std::string& l, size_t from) {
  return {Field(l, from + 1, 12), Field(l, from + 13, 12), Field(l, from + 25, 12)};
}

constexpr size_t kSat = 46, kPos = 62, kVel = 37;

// The records of a table; a record without the difference columns fails.
std::vector<Record> Records(const std::string& out) {
  std::vector<Record> records;
  for (const std::string& line : orbtest::SplitLines(out)) {
    if (line.empty() || line[0] == '#') continue;
    const bool glonass = line.size() >= kSat && line[kSat - 3] == 'R';
    const size_t want = kSat + kPos + kVel + kPos + (glonass ? kVel : 0);
    EXPECT_EQ(line.size(), want) << line;
    if (line.size() != want) continue;
    Record r;
    r.sat = line.substr(43, 3);
    r.t = (Field(line, 24, 6) - examples::kMJD) * 86400 + Field(line, 30, 8);
    r.pos = Position(line, kSat);
    r.clockMs = Field(line, kSat + 48, 14);
    r.vel = Velocity(line, kSat + kPos);
    r.dpos = Position(line, kSat + kPos + kVel);
    r.dclockMs = Field(line, kSat + kPos + kVel + 48, 14);
    r.hasDvel = glonass;
    if (glonass) r.dvel = Velocity(line, kSat + 2 * kPos + kVel);
    records.push_back(r);
  }
  return records;
}

// The documented offset of a record in X, Y, Z, in the orbit frame of its
// printed precise position and velocity (made inertial by the Earth's
// rotation w); extraRadial is added to the radial part.
Vec ExpectedDifference(const Record& r, const Documented& d, double extraRadial = 0) {
  const double w = static_cast<double>(GPSc::OMEGAe);
  const Vec inertial = r.vel + Vec{-w * r.pos.y, w * r.pos.x, 0};
  const Vec radial = Unit(r.pos);
  const Vec cross = Unit(Cross(r.pos, inertial));
  const Vec along = Cross(cross, radial);
  return (d.radial + extraRadial) * radial + d.along * along + d.cross * cross;
}

// ---- Interpolation of the 1 mm rounding ------------------------------------

// The program interpolates the SP3 table over 14 epochs around the wanted
// one, pinned to the first or last 14 at the ends of the table.  An error e
// in each tabulated value reaches the interpolated value multiplied by at
// most the Lebesgue function sum_j |l_j(u)|, and its rate by at most
// sum_j |l_j'(u)| / interval.  u is the epoch in intervals from the window's
// first node.
constexpr int kNodes = 14;

double WindowPosition(double t) {
  const double step = examples::kSp3Step;
  const long g = static_cast<long>(t / step);
  long first = std::max(g - kNodes / 2 + 1, 0L);
  if (first + kNodes > examples::kSp3Epochs) first = examples::kSp3Epochs - kNodes;
  return t / step - first;
}

// sum_j |l_j(u)| (derivative false) or sum_j |l_j'(u)| (derivative true).
double Lebesgue(double u, bool derivative) {
  double sum = 0;
  for (int j = 0; j < kNodes; ++j) {
    double denominator = 1;
    for (int k = 0; k < kNodes; ++k)
      if (k != j) denominator *= j - k;
    double numerator = 0;
    if (!derivative) {
      numerator = 1;
      for (int k = 0; k < kNodes; ++k)
        if (k != j) numerator *= u - k;
    } else {
      for (int m = 0; m < kNodes; ++m) {
        if (m == j) continue;
        double p = 1;
        for (int k = 0; k < kNodes; ++k)
          if (k != j && k != m) p *= u - k;
        numerator += p;
      }
    }
    sum += std::fabs(numerator / denominator);
  }
  return sum;
}

constexpr double kRounding = 0.0005;    // m: SP3 file and printed positions
constexpr double kPrintedRate = 0.0005;  // m/s: printed velocities
constexpr double kPrintedClock = 0.5e-6;  // ms: printed clocks
// ms: the term from printed positions and velocities, and its
// eccentric-anomaly form in the broadcast GPS clocks, agree to a few ps.
constexpr double kTermForms = 0.005e-6;

// Position tolerance at epoch t: the file's rounding as interpolated, the
// printing, and 0.02 mm for the frame taken from printed values.
double PositionTolerance(double t) {
  return kRounding * Lebesgue(WindowPosition(t), false) + kRounding + 0.00002;
}

// The periodic relativistic clock term -2 (r . v) / c^2 of a record's
// precise orbit, s.  The broadcast clocks hold it and the sample's precise
// clocks, like real ones, do not: the clock difference is the documented
// offset less this term.
double RelativisticTerm(const Record& r) {
  constexpr double c = 299792458.0;
  return -2 * Dot(r.pos, r.vel) / (c * c);
}

// ---- Running the program on the set ---------------------------------------

orbtest::RunResult RunOnSet(const std::vector<std::string>& extra, bool antex = true) {
  std::vector<std::string> args{std::string("-en") + examples::kGpsNavFile,
                                std::string("-eg") + examples::kGlonassNavFile,
                                std::string("-ep") + examples::kSp3File};
  if (antex) args.push_back(std::string("-pv") + examples::kAntexFile);
  args.insert(args.end(), extra.begin(), extra.end());
  return orbtest::RunOrbika(args, 120, kExamples);
}

// Checks every record of a run with the ANTEX file against the documented
// offsets; returns the records.
std::vector<Record> CheckRun(const orbtest::RunResult& run, long interval) {
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  const std::vector<Record> records = Records(run.out);
  const std::map<std::string, Documented> doc = ReadmeTable();
  const long perSat = (examples::kSp3Epochs - 1) * examples::kSp3Step / interval + 1;
  EXPECT_EQ(records.size(), doc.size() * perSat);

  std::map<std::string, std::vector<const Record*>> bySat;
  for (const Record& r : records) bySat[r.sat].push_back(&r);
  EXPECT_EQ(bySat.size(), doc.size());
  for (const auto& [sat, list] : bySat) {
    EXPECT_EQ(doc.count(sat), 1u) << sat;
    EXPECT_EQ(list.size(), static_cast<size_t>(perSat)) << sat;
    if (doc.count(sat) != 1) continue;
    const Documented& d = doc.at(sat);
    for (size_t i = 0; i < list.size(); ++i) {
      const Record& r = *list[i];
      EXPECT_DOUBLE_EQ(r.t, static_cast<double>(i * interval)) << sat;
      const Vec miss = r.dpos - ExpectedDifference(r, d);
      EXPECT_LE(MaxAbs(miss), PositionTolerance(r.t)) << sat << " at " << r.t << " s";
      EXPECT_NEAR(r.dclockMs, (d.clockNs * 1e-9 - RelativisticTerm(r)) * 1e3,
                  kPrintedClock + kTermForms)
          << sat << " at " << r.t << " s";
      // The velocity difference is the rate of the offset vector, taken here
      // from the neighbouring records.
      if (r.hasDvel && i > 0 && i + 1 < list.size()) {
        const Vec rate = (1.0 / (2.0 * interval)) * (ExpectedDifference(*list[i + 1], d) -
                                                    ExpectedDifference(*list[i - 1], d));
        const double tolerance = kPrintedRate +
                                 kRounding * Lebesgue(WindowPosition(r.t), true) /
                                     examples::kSp3Step +
                                 0.00002;
        EXPECT_LE(MaxAbs(r.dvel - rate), tolerance) << sat << " at " << r.t << " s";
      }
    }
  }
  return records;
}

// ---- The set itself ---------------------------------------------------------

TEST(ExampleSet, GeneratorWritesTheCommittedFiles) {
  const std::string dir = orbtest::MakeTempDir();
  const orbtest::RunResult run = RunProgram(ORBIKA_MAKE_EXAMPLES, {dir});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_EQ(run.err, "");
  for (const char* name : kSetFiles) {
    const std::string made = orbtest::ReadFileText(dir + "/" + name);
    EXPECT_FALSE(made.empty()) << name;
    EXPECT_TRUE(made == orbtest::ReadFileText(kExamples + "/" + name))
        << name << " differs from what tools/make_examples writes";
  }
}

TEST(ExampleSet, StaysSmall) {
  size_t total = 0;
  for (const char* name : kSetFiles) total += orbtest::ReadFileText(kExamples + "/" + name).size();
  total += orbtest::ReadFileText(kExamples + "/README.md").size();
  EXPECT_LT(total, 300u * 1024u);
}

TEST(ExampleSet, ReadmeDocumentsTheGeneratorsOffsets) {
  const std::map<std::string, Documented> doc = ReadmeTable();
  ASSERT_EQ(doc.size(), std::size(examples::kOffsets));
  for (const examples::Offset& o : examples::kOffsets) {
    const std::string sat = SatCode(o.sat);
    ASSERT_EQ(doc.count(sat), 1u) << sat;
    const Documented& d = doc.at(sat);
    EXPECT_DOUBLE_EQ(d.radial, static_cast<double>(o.radial)) << sat;
    EXPECT_DOUBLE_EQ(d.along, static_cast<double>(o.along)) << sat;
    EXPECT_DOUBLE_EQ(d.cross, static_cast<double>(o.cross)) << sat;
    EXPECT_DOUBLE_EQ(d.clockNs, static_cast<double>(o.clockNs)) << sat;
    EXPECT_DOUBLE_EQ(d.antennaUp, static_cast<double>(o.sat > 100 ? examples::kGlonassAntennaUp
                                                                  : examples::kGpsAntennaUp))
        << sat;
  }
}

// ---- The program on the set -------------------------------------------------

TEST(ExampleRun, HeadNamesTheFilesAndTheDay) {
  const orbtest::RunResult run = RunOnSet({});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = orbtest::SplitLines(run.out);
  ASSERT_GT(lines.size(), 17u);
  const std::vector<std::string> head(lines.begin(), lines.begin() + 17);
  const std::vector<std::string> want{
      "#PROGRAM: Orbika",
      "#         Calculation and comparison of GNSS satellites positions in "
      "IGS/ITRF/WGS84/PZ90 system",
      "#",
      "#DATA:",
      "#Ephemeris files:",
      "# GNSS precise ephemeris     : orb23143.sp3",
      "# GPS broadcast ephemeris    : brdc1360.24n",
      "# GLONASS broadcast ephemeris: brdc1360.24g",
      "#ANTEX file                  : orbika.atx",
      "#Satellites                  :  G02 G07 G13 G24 R03 R11 R20",
      "#Start epoch                 :  2024-05-15 00:00:00.000 [ 60445     0.000]  (from "
      "ephemeris file)",
      "#End epoch                   :  2024-05-15 23:45:00.000 [ 60445 85500.000]  (from "
      "ephemeris file)",
      "#Time interval               :  900.000",
      "#Integration step            :   30.000 (default:  30.0)",
      "#Verbose mode                : NO",
      "#",
      "#     DATUM     CLOCK     MDAY    MSEC     PRN          X[m]            Y[m]            "
      "Z[m]        DT[msec]      VX[m/s]     VY[m/s]     VZ[m/s]           DX[m]           "
      "Dy[m]           DZ[m]     DDT[msec]"};
  EXPECT_EQ(head, want);
  // The first record: G02 at 0 h, 46 characters up to the satellite.
  EXPECT_EQ(lines[17].substr(0, 46), " 2024-05-15 00:00:00.0   60445     0.0     G02");
}

TEST(ExampleRun, DifferencesAreTheDocumentedOffsetsAtTabulatedEpochs) {
  const std::vector<Record> records = CheckRun(RunOnSet({"-dt900"}), 900);
  // Every epoch is a tabulated one, so every record was held to 1 mm (plus
  // 0.02 mm for the frame).
  for (const Record& r : records) EXPECT_DOUBLE_EQ(PositionTolerance(r.t), 0.00102);
}

TEST(ExampleRun, DifferencesAreTheDocumentedOffsetsBetweenTabulatedEpochs) {
  const std::vector<Record> records = CheckRun(RunOnSet({"-dt300"}), 300);
  // Where the window lies around the epoch, from 1:30 to 22:15, the rounding
  // is hardly amplified: the records there are held to 1.35 mm.
  size_t central = 0;
  for (const Record& r : records) {
    if (r.t < 5400 || r.t >= 80100) continue;
    ++central;
    EXPECT_LE(PositionTolerance(r.t), 0.00135);
  }
  EXPECT_EQ(central, 7u * 249u);
}

TEST(ExampleRun, WithoutAntexTheRadialDifferenceGrowsByTheAntennaOffset) {
  const orbtest::RunResult run = RunOnSet({}, false);
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  const std::map<std::string, Documented> doc = ReadmeTable();
  const std::vector<Record> records = Records(run.out);
  ASSERT_EQ(records.size(), 7u * 96u);
  for (const Record& r : records) {
    const Documented& d = doc.at(r.sat);
    const Vec miss = r.dpos - ExpectedDifference(r, d, d.antennaUp);
    EXPECT_LE(MaxAbs(miss), 0.00102) << r.sat << " at " << r.t << " s";
  }
}

// ---- The plot script ----------------------------------------------------------

bool HaveGnuplot() { return std::system("command -v gnuplot > /dev/null 2>&1") == 0; }

// The sample day (7 satellites, a legend by satellite) and, when the real
// data is there, set A (48 satellites, a legend by system).
TEST(PlotScript, DrawsThePngOfADifferenceTable) {
  if (!HaveGnuplot()) GTEST_SKIP() << "gnuplot is not installed (Debian package gnuplot-nox)";
  std::vector<orbtest::RunResult> runs{RunOnSet({"-dt300"})};
  if (!orbtest::DataDir().empty())
    runs.push_back(orbtest::RunOrbika({"-epesa15253.sp3", "-enbrdc0910.09n", "-egbrdc0910.09g"},
                                      60, orbtest::DataDir()));
  for (const orbtest::RunResult& run : runs) {
    ASSERT_EQ(run.status, 0);
    const std::string table = orbtest::WriteTempFile(run.out, ".txt");
    const std::string png = orbtest::MakeTempDir() + "/differences.png";
    const orbtest::RunResult plot = RunProgram(ORBIKA_PLOT_SCRIPT, {table, png});
    ASSERT_EQ(plot.status, 0) << plot.err;
    EXPECT_EQ(plot.err, "");
    const std::string image = orbtest::ReadFileText(png);
    ASSERT_GT(image.size(), 1000u);
    EXPECT_EQ(image.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  }
}

TEST(PlotScript, RefusesATableWithoutDifferences) {
  // Broadcast GPS alone: the records hold only the position.
  const orbtest::RunResult gps =
      orbtest::RunOrbika({std::string("-en") + examples::kGpsNavFile}, 60, kExamples);
  ASSERT_EQ(gps.status, 0);
  const std::string noColumns = orbtest::WriteTempFile(gps.out, ".txt");
  // A satellite missing from the SP3 file: nan in every record.
  std::string nan = RunOnSet({}).out;
  nan = nan.substr(0, nan.find("\n 2024")) + "\n" +
        " 2024-05-15 00:00:00.0   60445     0.0     G05" + std::string(11, ' ') +
        "nan nan nan nan nan nan nan nan nan nan nan\n";
  const std::string allNan = orbtest::WriteTempFile(nan, ".txt");
  const std::pair<std::string, std::string> cases[] = {
      {noColumns, noColumns + " has no precise-minus-broadcast columns (run Orbika with an SP3 "
                              "file and a navigation file)"},
      {allNan, "every difference in " + allNan + " is nan"}};
  for (const auto& [table, message] : cases) {
    const std::string png = orbtest::MakeTempDir() + "/none.png";
    const orbtest::RunResult plot = RunProgram(ORBIKA_PLOT_SCRIPT, {table, png});
    EXPECT_EQ(plot.status, 1);
    EXPECT_EQ(plot.err, "plot-differences: " + message + "\n");
    EXPECT_EQ(orbtest::ReadFileText(png), "");
  }
}

TEST(PlotScript, RejectsWrongUsage) {
  const orbtest::RunResult plot = RunProgram(ORBIKA_PLOT_SCRIPT, {});
  EXPECT_EQ(plot.status, 1);
  EXPECT_EQ(plot.err,
            "usage: plot-differences [OPTION...] TABLE [PICTURE]   (plot-differences -h: the options)\n");
}

// ---- The statistics program --------------------------------------------------

// The satellite rows of OrbikaStats --csv=satellites, by satellite and column.
std::map<std::string, std::map<std::string, double>> StatsSatellites(const std::string& table) {
  const orbtest::RunResult stats = RunProgram(ORBIKA_STATS_EXE, {"--csv=satellites", table});
  EXPECT_EQ(stats.status, 0) << stats.err;
  std::map<std::string, std::map<std::string, double>> rows;
  std::vector<std::string> names;
  for (const std::string& line : orbtest::SplitLines(stats.out)) {
    std::vector<std::string> cells;
    std::stringstream s(line);
    for (std::string cell; std::getline(s, cell, ',');) cells.push_back(cell);
    if (names.empty()) {
      names = cells;
      continue;
    }
    for (size_t i = 0; i < cells.size() && i < names.size(); ++i)
      rows[cells[0]][names[i]] = std::atof(cells[i].c_str());
  }
  return rows;
}

// The figures of the sample day are its documented offsets.  The clock
// datum removes each epoch's median over the system: zero for GPS, whose
// four offsets have median zero, while GLONASS, with three satellites, has
// none, so its satellites have no clock figures.  A GPS clock figure may be
// off by the printed clock's 0.5 ns and the median's 0.5 ns.
TEST(StatsProgram, ReproducesTheDocumentedOffsetsOfTheSampleDay) {
  const orbtest::RunResult run = RunOnSet({"-dt900"});
  ASSERT_EQ(run.status, 0);
  const auto rows = StatsSatellites(orbtest::WriteTempFile(run.out, ".txt"));
  const std::map<std::string, Documented> doc = ReadmeTable();
  ASSERT_EQ(rows.size(), doc.size());
  std::vector<double> gpsClocks;
  for (const auto& [sat, d] : doc)
    if (sat[0] == 'G') gpsClocks.push_back(d.clockNs);
  std::sort(gpsClocks.begin(), gpsClocks.end());
  ASSERT_EQ(gpsClocks.size(), 4u);
  ASSERT_EQ(gpsClocks[1] + gpsClocks[2], 0) << "the GPS clock offsets' median is not zero";
  const char* const means[] = {"radial_mean_m", "along_mean_m", "cross_mean_m"};
  const char* const rms[] = {"radial_rms_m", "along_rms_m", "cross_rms_m"};
  for (const auto& [sat, d] : doc) {
    const std::map<std::string, double>& row = rows.at(sat);
    EXPECT_EQ(row.at("records"), 96) << sat;
    EXPECT_EQ(row.at("no_diff"), 0) << sat;
    const double offset[3] = {d.radial, d.along, d.cross};
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(row.at(means[i]), offset[i], 0.0011) << sat << " direction " << i;
      EXPECT_NEAR(row.at(rms[i]), std::fabs(offset[i]), 0.0011) << sat << " direction " << i;
    }
    const double length = std::sqrt(d.radial * d.radial + d.along * d.along + d.cross * d.cross);
    EXPECT_NEAR(row.at("rms_3d_m"), length, 0.002) << sat;
    EXPECT_NEAR(row.at("median_3d_m"), length, 0.002) << sat;
    if (sat[0] == 'R') {
      EXPECT_EQ(row.at("clocks"), 0) << sat;
      EXPECT_TRUE(std::isnan(row.at("clock_mean_ns"))) << sat;
      continue;
    }
    EXPECT_EQ(row.at("clocks"), 96) << sat;
    EXPECT_NEAR(row.at("clock_mean_ns"), d.clockNs, 1.0) << sat;
    EXPECT_NEAR(row.at("clock_rms_ns"), std::fabs(d.clockNs), 1.0) << sat;
  }
}

}  // namespace
