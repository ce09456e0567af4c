// Reading SP3 files: header, satellite list, records, accuracies, and the
// reports on files that cannot be read.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "GNSS/precise/GNSSpEph.h"
#include "tests/TestUtil.h"
#include "tests/GNSS/precise/test_sp3_util.h"

namespace {

using sp3test::ExpTail;
using sp3test::PosLine;

// A plain record of satellite k at epoch i: a distinct position per record.
std::string Plain(const sp3test::File& f, long i, size_t k) {
  return PosLine(f.sats[k], 15000.0 + 10 * k + 0.001 * i, -12000.0 - i, 20000.0 + 0.5 * k,
                 100.0 + i);
}

// A file of n epochs of the given satellites with plain records.
sp3test::File PlainFile(const std::vector<std::string>& sats, long n) {
  sp3test::File f;
  f.sats = sats;
  sp3test::Fill(f, n, [&f](long i, size_t k) { return Plain(f, i, k); });
  return f;
}

// Standard deviation base^exponent * unit, as the reader forms it at run
// time (a constant folded by the compiler may round differently).
long double Sig(long double base, int exponent, double unit) {
  volatile long double b = base;
  return std::pow(b, static_cast<long double>(exponent)) * unit;
}

GNSSpEph Load(const std::string& text) {
  const std::string path = orbtest::WriteTempFile(text, ".sp3");
  GNSSpEph e;
  e.SetFile(path.c_str());
  e.ReadFile();
  return e;
}

// Framed fatal report of a precise ephemeris file.
std::string ErrorReport(const std::string& path, const std::string& what) {
  return "\n**** Orbika: Error -> GNSS PRECISE EPHEMERIS FILE " + path + ": " + what +
         " ****\n     Exiting Orbika ... \n\n";
}

// Reads a file in a child process, as the program would.
orbtest::RunResult ReadCaptured(const std::string& path) {
  return orbtest::RunCaptured([&path] {
    GNSSpEph e;
    e.SetFile(path.c_str());
    e.ReadFile();
  });
}

TEST(sp3Header, ReadsCountsEpochsAndBases) {
  sp3test::File f = PlainFile({"G01", "G02", "R03"}, 3);
  f.frac = 0.75;
  f.interval = 300.0;
  f.posBase = 1.25;
  f.clkBase = 1.025;
  GNSSpEph e = Load(sp3test::Build(f));
  EXPECT_EQ(e.GetNEpoch(), 3);
  EXPECT_EQ(e.GetNSatList(), 3);
  EXPECT_EQ(e.GetNSat(), 9);
  EXPECT_EQ(e.GetInterval(), 300.0L);
  EXPECT_EQ(e.GetPositionBase(), 1.25L);
  EXPECT_EQ(e.GetClockBase(), static_cast<long double>(1.025));
  // Epochs are the start (day 54922 at 18:00) plus whole intervals.
  for (long i = 0; i < 3; ++i) {
    EXPECT_EQ(e.GetMJD(i).GetMJDay(), 54922u);
    EXPECT_EQ(e.GetMJD(i).GetSecond(), 64800.0L + 300.0L * i);
  }
}

TEST(sp3Header, SatelliteLetterCodes) {
  // G 5: blank tens digit; J: QZSS offset 500; S: SBAS offset 400.
  sp3test::File f = PlainFile({"G 5", "R24", "J07", "S20", "E11", "C03", "G32"}, 2);
  GNSSpEph e = Load(sp3test::Build(f));
  const std::vector<short> want = {5, 124, 507, 420, 211, 303, 32};
  const matrix<short> list = e.GetSatList();
  ASSERT_EQ(list.NRow(), 7);
  for (int k = 0; k < 7; ++k) {
    EXPECT_EQ(list(k), want[k]) << "entry " << k;
    EXPECT_EQ(e.GetSatList(k), want[k]);
    // The records carry their own satellite numbers, coded the same way.
    EXPECT_EQ(e.GetSat(7 + k), want[k]) << "record of epoch 1, slot " << k;
  }
}

TEST(sp3Header, ThirtyFiveSatellitesOverThreeListLines) {
  std::vector<std::string> sats;
  std::vector<int> sig;
  for (int k = 0; k < 35; ++k) {
    char b[4];
    std::snprintf(b, sizeof b, "%c%02d", k < 20 ? 'G' : 'R', k + 1);
    sats.push_back(b);
    sig.push_back(k % 9 + 1);
  }
  sp3test::File f = PlainFile(sats, 2);
  f.sigExp = sig;
  // Entries beyond the satellite count (rest of line 3, lines 4 and 5) are
  // filled with a real-looking satellite that must not be read.
  f.listFill = "G99";
  f.sigExp.resize(85, 77);
  GNSSpEph e = Load(sp3test::Build(f));
  ASSERT_EQ(e.GetNSatList(), 35);
  for (int k = 0; k < 35; ++k) {
    EXPECT_EQ(e.GetSatList(k), k < 20 ? k + 1 : 100 + k + 1) << "entry " << k;
    EXPECT_EQ(e.GetSatListSig(k), k % 9 + 1) << "entry " << k;
  }
  EXPECT_EQ(e.GetNSat(), 70);
  EXPECT_EQ(e.GetSat(69), 135);  // entry 34, first of the third line
}

TEST(sp3Records, PositionsInMetresClocksInSeconds) {
  sp3test::File f;
  f.sats = {"G32", "R02"};
  f.epochs = {{PosLine("G32", -8588.723867, -20090.643282, 15669.151907, 280.381686),
               PosLine("R02", 11307.943329, -2098.017190, -22773.084008, -101.959939)},
              {PosLine("G32", 1, 2, 3, 0), PosLine("R02", 4, 5, 6, 0)}};
  GNSSpEph e = Load(sp3test::Build(f));
  // Converted at double precision, then scaled in extended precision.
  const xyzt p = e.GetPosition(0);
  EXPECT_EQ(p.GetX(), static_cast<long double>(-8588.723867) * 1000);
  EXPECT_EQ(p.GetY(), static_cast<long double>(-20090.643282) * 1000);
  EXPECT_EQ(p.GetZ(), static_cast<long double>(15669.151907) * 1000);
  EXPECT_EQ(p.GetT(), static_cast<long double>(280.381686) * 1e-6);
  EXPECT_EQ(e.GetPosition(1).GetT(), static_cast<long double>(-101.959939) * 1e-6);
  EXPECT_EQ(e.GetSat(1), 102);
  EXPECT_EQ(e.GetPosition(3).GetZ(), 6000.0L);
}

TEST(sp3Records, BadClockWithFilledExponentsHasNoDeviations) {
  sp3test::File f;
  f.sats = {"G01", "G02"};
  f.epochs = {{PosLine("G01", 1000, 2000, 3000, 999999.999999, ExpTail(5, 6, 7, 120)),
               PosLine("G02", 1000, 2000, 3000, 12.5, ExpTail(5, 6, 7, 120))},
              {PosLine("G01", 1000, 2000, 3000, 999998.5, ExpTail(5, 6, 7, 120)),
               PosLine("G02", 1000, 2000, 3000, 999997.0, ExpTail(5, 6, 7, 120))}};
  GNSSpEph e = Load(sp3test::Build(f));
  for (long r : {0, 2}) {
    EXPECT_EQ(e.GetPosition(r).GetT(), 999999.0L) << "record " << r;
    const xyzt s = e.GetPositionSig(r);
    EXPECT_EQ(s.GetX(), 0);
    EXPECT_EQ(s.GetY(), 0);
    EXPECT_EQ(s.GetZ(), 0);
    EXPECT_EQ(s.GetT(), 0);
  }
  // 999997 is farther than 2 from the bad-clock value: an ordinary clock.
  EXPECT_EQ(e.GetPosition(3).GetT(), static_cast<long double>(999997.0) * 1e-6);
  const xyzt s = e.GetPositionSig(1);
  EXPECT_EQ(s.GetX(), Sig(1.25L, 5, 0.001));
  EXPECT_EQ(s.GetY(), Sig(1.25L, 6, 0.001));
  EXPECT_EQ(s.GetZ(), Sig(1.25L, 7, 0.001));
  EXPECT_EQ(s.GetT(), Sig(1.025, 120, 1e-12));
}

TEST(sp3Records, LineLengthDecidesWhichDeviationsAreRead) {
  sp3test::File f;
  f.sats = {"G01", "G02", "G03", "G04"};
  const std::string full = ExpTail(4, 5, 6, 100);  // " 4  5  6 100 ..."
  f.epochs = {{PosLine("G01", 1000, 2000, 3000, 1),                     // 60 characters
               PosLine("G02", 1000, 2000, 3000, 1, full.substr(0, 3)),  // 63: x only
               PosLine("G03", 1000, 2000, 3000, 1, full.substr(0, 9)),  // 69: x, y, z
               PosLine("G04", 1000, 2000, 3000, 1, full.substr(0, 13))}, // 73: all four
              {PosLine("G01", 1, 1, 1, 1), PosLine("G02", 1, 1, 1, 1),
               PosLine("G03", 1, 1, 1, 1), PosLine("G04", 1, 1, 1, 1)}};
  ASSERT_EQ(f.epochs[0][0].size(), 60u);
  ASSERT_EQ(f.epochs[0][1].size(), 63u);
  GNSSpEph e = Load(sp3test::Build(f));
  const long double sx = Sig(1.25L, 4, 0.001);
  const long double sy = Sig(1.25L, 5, 0.001);
  const long double sz = Sig(1.25L, 6, 0.001);
  const long double st = Sig(1.025, 100, 1e-12);
  const std::vector<std::vector<long double>> want = {
      {0, 0, 0, 0}, {sx, 0, 0, 0}, {sx, sy, sz, 0}, {sx, sy, sz, st}};
  for (long r = 0; r < 4; ++r) {
    const xyzt s = e.GetPositionSig(r);
    EXPECT_EQ(s.GetX(), want[r][0]) << "record " << r;
    EXPECT_EQ(s.GetY(), want[r][1]) << "record " << r;
    EXPECT_EQ(s.GetZ(), want[r][2]) << "record " << r;
    EXPECT_EQ(s.GetT(), want[r][3]) << "record " << r;
  }
}

TEST(sp3Records, BlankExponentFieldMeansBaseToThePowerZero) {
  sp3test::File f;
  f.sats = {"G01"};
  // y and clock exponents blank, in an 80-character line.
  f.epochs = {{PosLine("G01", 1000, 2000, 3000, 1, "  7     9               ")},
              {PosLine("G01", 1000, 2000, 3000, 1)}};
  GNSSpEph e = Load(sp3test::Build(f));
  const xyzt s = e.GetPositionSig(0);
  EXPECT_EQ(s.GetX(), Sig(1.25L, 7, 0.001));
  EXPECT_EQ(s.GetY(), 1.0L * 0.001);
  EXPECT_EQ(s.GetZ(), Sig(1.25L, 9, 0.001));
  EXPECT_EQ(s.GetT(), 1.0L * 1e-12);
}

TEST(sp3Records, ALineThatIsNoRecordLeavesItsSatelliteMissing) {
  sp3test::File f = PlainFile({"G01", "G02"}, 2);
  f.epochs[1][1] = "EG02  15000.000000 -12000.000000  20000.000000    100.000000";
  GNSSpEph e = Load(sp3test::Build(f));
  EXPECT_EQ(e.GetSat(3), 0);
  EXPECT_EQ(e.GetPosition(3).GetX(), 0);
  EXPECT_EQ(e.GetPosition(3).GetT(), 0);
  EXPECT_NE(e.GetPosition(2).GetX(), 0);
}

TEST(sp3Records, WindowsLineEndsReadLikeUnixLineEnds) {
  sp3test::File f = PlainFile({"G01", "R02"}, 3);
  f.epochs[1][0] = PosLine("G01", 1, 2, 3, 4, ExpTail(3, 4, 5, 6));
  const GNSSpEph lf = Load(sp3test::Build(f));
  f.eol = "\r\n";
  const GNSSpEph crlf = Load(sp3test::Build(f));
  ASSERT_EQ(crlf.GetNEpoch(), lf.GetNEpoch());
  ASSERT_EQ(crlf.GetNSat(), lf.GetNSat());
  EXPECT_EQ(crlf.GetPositionBase(), lf.GetPositionBase());
  EXPECT_EQ(crlf.GetClockBase(), lf.GetClockBase());
  for (long r = 0; r < lf.GetNSat(); ++r) {
    EXPECT_TRUE(crlf.GetPosition(r) == lf.GetPosition(r)) << "record " << r;
    EXPECT_TRUE(crlf.GetPositionSig(r) == lf.GetPositionSig(r)) << "record " << r;
    EXPECT_EQ(crlf.GetSat(r), lf.GetSat(r));
  }
  // An 80-character line stays 80 characters: the carriage return is not
  // a blank exponent column.
  EXPECT_EQ(crlf.GetPositionSig(2).GetT(), Sig(1.025, 6, 1e-12));
}

TEST(sp3Records, ExtraHeaderLinesBeforeTheFirstEpochAreSkipped) {
  sp3test::File f = PlainFile({"G01"}, 2);
  std::string text = sp3test::Build(f);
  const size_t at = text.find("\n*");
  text.insert(at + 1, "/ an unexpected header line\n\n");
  GNSSpEph e = Load(text);
  EXPECT_EQ(e.GetPosition(1).GetX(), static_cast<long double>(15000.001) * 1000);
}

TEST(sp3Files, HeaderCountingMoreEpochsThanTheFileHoldsIsCutWithAWarning) {
  sp3test::File f = PlainFile({"G01", "G02"}, 3);
  f.nepochHeader = 96;
  const std::string path = orbtest::WriteTempFile(sp3test::Build(f), ".sp3");
  const orbtest::RunResult res = orbtest::RunCaptured([&path] {
    GNSSpEph e;
    e.SetFile(path.c_str());
    e.ReadFile();
    std::printf("%ld\n", e.GetNEpoch());
  });
  EXPECT_EQ(res.status, 0);
  EXPECT_EQ(res.out, "3\n");
  EXPECT_EQ(res.err, "\n#### Orbika: Warning -> GNSS PRECISE EPHEMERIS FILE " + path +
                         ": HEADER DISAGREES WITH THE EPOCH LINES: 96 EPOCHS IN THE HEADER, 3 EPOCHS"
                         " IN THE EPOCH LINES - THE TABLE FOLLOWS THE EPOCH LINES! ####\n"
                         "     Continuing Orbika ... \n\n");
}

TEST(sp3Files, FewerEpochsInTheHeaderThanInTheFileReadsEveryBlock) {
  sp3test::File f = PlainFile({"G01"}, 4);
  f.nepochHeader = 2;
  GNSSpEph e = Load(sp3test::Build(f));
  EXPECT_EQ(e.GetNEpoch(), 4);
  EXPECT_EQ(e.GetNSat(), 4);
}

TEST(sp3Files, TruncatedLastBlockLeavesZeroPositions) {
  sp3test::File f = PlainFile({"G01", "G02", "G03"}, 3);
  f.epochs[2].resize(1);
  f.withEof = false;
  GNSSpEph e = Load(sp3test::Build(f));
  EXPECT_NE(e.GetPosition(6).GetX(), 0);
  EXPECT_EQ(e.GetPosition(7).GetX(), 0);
  EXPECT_EQ(e.GetPosition(8).GetX(), 0);
  EXPECT_EQ(e.GetSat(8), 0);
}

TEST(sp3Files, NoEpochLineIsFatal) {
  sp3test::File f = PlainFile({"G01"}, 0);
  const std::string path = orbtest::WriteTempFile(sp3test::Build(f), ".sp3");
  const orbtest::RunResult res = ReadCaptured(path);
  EXPECT_EQ(res.status, 1);
  EXPECT_EQ(res.out, "");
  EXPECT_EQ(res.err, ErrorReport(path, "NO EPOCH LINE FOUND!"));
}

TEST(sp3Files, HeaderShorterThanItsLayoutIsFatal) {
  sp3test::File f = PlainFile({"G01"}, 2);
  std::string text = sp3test::Build(f);
  // Drop the two %i lines: the header is 8 + 10 + 4 lines, 2 missing.
  for (int k = 0; k < 2; ++k) {
    const size_t at = text.find("%i");
    text.erase(at, text.find('\n', at) + 1 - at);
  }
  const std::string path = orbtest::WriteTempFile(text, ".sp3");
  const orbtest::RunResult res = ReadCaptured(path);
  EXPECT_EQ(res.status, 1);
  EXPECT_EQ(res.err, ErrorReport(path, "HEADER SHORTER THAN ITS FIXED LAYOUT (20 LINES, 22 NEEDED)!"));
}

TEST(sp3Files, NoSatelliteListIsFatal) {
  sp3test::File f = PlainFile({"G01"}, 2);
  f.nListLines = 0;
  const std::string path = orbtest::WriteTempFile(sp3test::Build(f), ".sp3");
  const orbtest::RunResult res = ReadCaptured(path);
  EXPECT_EQ(res.status, 1);
  EXPECT_EQ(res.err, ErrorReport(path, "NO SATELLITE LIST IN HEADER!"));
}

TEST(sp3Files, SatelliteCountBeyondTheListIsFatal) {
  sp3test::File f = PlainFile({"G01"}, 2);
  f.nsatHeader = 86;  // five lines hold 85 entries
  const std::string path = orbtest::WriteTempFile(sp3test::Build(f), ".sp3");
  const orbtest::RunResult res = ReadCaptured(path);
  EXPECT_EQ(res.status, 1);
  EXPECT_EQ(res.err,
            ErrorReport(path, "NUMBER OF SATELLITES 86 NOT VALID FOR 5 SATELLITE LIST LINES!"));
  f.nsatHeader = 0;
  const std::string path0 = orbtest::WriteTempFile(sp3test::Build(f), ".sp3");
  EXPECT_EQ(ReadCaptured(path0).err,
            ErrorReport(path0, "NUMBER OF SATELLITES 0 NOT VALID FOR 5 SATELLITE LIST LINES!"));
}

TEST(sp3Files, SingleEpochIsFatal) {
  sp3test::File f = PlainFile({"G01"}, 1);
  const std::string path = orbtest::WriteTempFile(sp3test::Build(f), ".sp3");
  const orbtest::RunResult res = ReadCaptured(path);
  EXPECT_EQ(res.status, 1);
  EXPECT_EQ(res.err, ErrorReport(path, "1 EPOCHS, AT LEAST 2 NEEDED!"));
}

TEST(sp3Files, IntervalOfZeroIsFatal) {
  sp3test::File f = PlainFile({"G01"}, 3);
  f.interval = 0;
  const std::string path = orbtest::WriteTempFile(sp3test::Build(f), ".sp3");
  const orbtest::RunResult res = ReadCaptured(path);
  EXPECT_EQ(res.status, 1);
  EXPECT_EQ(res.err, ErrorReport(path, "EPOCH INTERVAL 0.00000000 NOT VALID!"));
}

TEST(sp3Files, OverlongLinesAreFatal) {
  sp3test::File f = PlainFile({"G01", "G02"}, 2);
  f.epochs[1][1] += std::string(60, ' ');  // 120 characters
  const std::string path = orbtest::WriteTempFile(sp3test::Build(f), ".sp3");
  const orbtest::RunResult res = ReadCaptured(path);
  EXPECT_EQ(res.status, 1);
  // 22 header lines, then epoch line and two records, epoch line, two records.
  EXPECT_EQ(res.err, ErrorReport(path, "DATA LINE 28 LONGER THAN 114 CHARACTERS!"));

  sp3test::File g = PlainFile({"G01"}, 2);
  std::string text = sp3test::Build(g);
  text.insert(text.find("/*"), "/*" + std::string(600, 'C') + "\n");
  const std::string path2 = orbtest::WriteTempFile(text, ".sp3");
  EXPECT_EQ(ReadCaptured(path2).err,
            ErrorReport(path2, "HEADER LINE 19 LONGER THAN 511 CHARACTERS!"));
}

TEST(sp3Files, EpochLinesSpanningAHugeTableAreFatal) {
  // One-second interval, the second block 30 days after the first: a table
  // of 2592001 epochs would be mostly gap.
  sp3test::File f = PlainFile({"G01"}, 2);
  f.interval = 1;
  f.epochLines = {sp3test::EpochLine(f, 0), "*  2009  5  1  0  0  0.00000000"};
  const std::string path = orbtest::WriteTempFile(sp3test::Build(f), ".sp3");
  const orbtest::RunResult res = ReadCaptured(path);
  EXPECT_EQ(res.status, 1);
  EXPECT_EQ(res.err, ErrorReport(path, "EPOCH LINES SPAN 2592001 EPOCHS OF 1 SATELLITES, TOO MANY "
                                       "FOR ITS 27 LINES!"));
}

// The time value's own check, reported with the file and the line.
TEST(sp3Files, InvalidStartEpochNamesFileAndLine) {
  sp3test::File f = PlainFile({"G01"}, 2);
  f.mjday = 200000;
  const std::string path = orbtest::WriteTempFile(sp3test::Build(f), ".sp3");
  const orbtest::RunResult res = ReadCaptured(path);
  EXPECT_EQ(res.status, 1);
  EXPECT_EQ(res.out, "");
  EXPECT_EQ(res.err, ErrorReport(path, "LINE 2: MJDAY not valid!"));
}

TEST(sp3Files, OverlongFileNameIsFatal) {
  const std::string name(300, 'x');
  const orbtest::RunResult res = orbtest::RunCaptured([&name] {
    GNSSpEph e;
    e.SetFile(name.c_str());
  });
  EXPECT_EQ(res.status, 1);
  EXPECT_EQ(res.err,
            "\n**** Orbika: Error -> GNSS PRECISE EPHEMERIS FILE NAME LONGER THAN 255 "
            "CHARACTERS! ****\n     Exiting Orbika ... \n\n");
}

TEST(sp3Files, RealFilesReadCompletely) {
  ORBIKA_REQUIRE_DATA();
  GNSSpEph esa;
  const std::string esaPath = orbtest::DataFile("esa15253.sp3");
  esa.SetFile(esaPath.c_str());
  esa.ReadFile();
  EXPECT_EQ(esa.GetNEpoch(), 96);
  EXPECT_EQ(esa.GetNSatList(), 48);
  EXPECT_EQ(esa.GetSatList(0), 32);
  EXPECT_EQ(esa.GetSatList(47), 108);
  EXPECT_EQ(esa.GetMJD(95).GetSecond(), 95 * 900.0L);
  // Last record of the file: PR08 -2825.556900 25094.789996 -3585.526999 -101.959939
  const xyzt last = esa.GetPosition(96 * 48 - 1);
  EXPECT_EQ(esa.GetSat(96 * 48 - 1), 108);
  EXPECT_EQ(last.GetY(), static_cast<long double>(25094.789996) * 1000);
  EXPECT_EQ(last.GetT(), static_cast<long double>(-101.959939) * 1e-6);

  GNSSpEph grg;
  const std::string grgPath = orbtest::DataFile("grg21553.sp3");
  grg.SetFile(grgPath.c_str());
  grg.ReadFile();
  EXPECT_EQ(grg.GetNEpoch(), 55);
  EXPECT_EQ(grg.GetNSatList(), 51);
  EXPECT_EQ(grg.GetSatList(0), 101);
  EXPECT_EQ(grg.GetMJD(0).GetSecond(), 64800.0L);
  EXPECT_EQ(grg.GetInterval(), 300.0L);
}

TEST(sp3VersionD, TimeSystemBringsTheEpochsToGpsTime) {
  // The small SP3-d fixture (94 satellites of six systems over six list
  // lines, velocity
  // records) starts at 2009-04-01 0 h; GPS - UTC was 15 s that day.
  const std::string text =
      orbtest::ReadFileText(orbtest::FixtureDir() + "/sp3d_mixed.sp3");
  const struct {
    const char* system;
    long double second;  // of the first epoch, GPS time
    std::uint32_t day;
  } cases[] = {{"GPS", 0, 54922},     {"GAL", 0, 54922},    {"BDT", 14, 54922},
               {"TAI", 86381, 54921}, {"UTC", 15, 54922},   {"GLO", 75615, 54921}};
  for (const auto& c : cases) {
    std::string t = text;
    t.replace(t.find("%c M  cc GPS") + 9, 3, c.system);
    GNSSpEph e = Load(t);
    EXPECT_EQ(e.GetMJD(0).GetMJDay(), c.day) << c.system;
    EXPECT_EQ(e.GetMJD(0).GetSecond(), c.second) << c.system;
    EXPECT_EQ(e.GetNEpoch(), 3);
    EXPECT_EQ(e.GetNSatList(), 94);
  }
  // Version c keeps its epochs as written.
  std::string c = text;
  c[1] = 'c';
  c.replace(c.find("%c M  cc GPS") + 9, 3, "UTC");
  EXPECT_EQ(Load(c).GetMJD(0).GetSecond(), 0);
}

}  // namespace
