// Reading ANTEX files: header, counts, records, frequency blocks, receiver
// completion, CR LF files, fatal type lines and damaged files.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "GNSS/antenna/AntennaPCV.h"
#include "GNSS/antenna/antexNew.h"
#include "tests/TestUtil.h"
#include "tests/GNSS/antenna/test_antex_util.h"

namespace {

using atxtest::ErrorFrame;
using atxtest::Header;
using atxtest::Line;
using atxtest::Record;
using atxtest::WarningFrame;

// Records of the mixed fixture, in file order.
enum MixedRecord {
  kG01First = 0,   // BLOCK IIA G01, valid until 2009-04-01 00:30
  kG01Second,      // BLOCK IIR-M G01, valid from 2009-04-01 00:30
  kG05,            // BLOCK IIR-A G05, no validity lines
  kR01,            // GLONASS-M R01
  kE11,            // GALILEO E11 with an E05 block
  kC11,            // BeiDou C11, C01 and C07 blocks
  kLeica,          // receiver antenna, DAZI 5.0, G01 and G02 only
  kTrimbleMean,    // receiver antenna, type mean
  kTrimbleSerial,  // receiver antenna, serial G07123
};

// Offset in metres as the reader forms it: millimetres read at double
// precision, then scaled in long double.
long double Metres(double mm) { return static_cast<long double>(mm) / 1000.0L; }

void ExpectOffset(const neu& p, double nmm, double emm, double umm) {
  EXPECT_EQ(p.GetN(), Metres(nmm));
  EXPECT_EQ(p.GetE(), Metres(emm));
  EXPECT_EQ(p.GetU(), Metres(umm));
}

class atxMixedFile : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    atx_ = new antex;
    atxtest::Load(*atx_, atxtest::MixedFixture());
  }
  static void TearDownTestSuite() {
    delete atx_;
    atx_ = nullptr;
  }
  static AntennaPCV Rec(long i) { return atx_->GetAntenna(i); }
  static antex* atx_;
};
antex* atxMixedFile::atx_ = nullptr;

// ---------------------------------------------------------------- header

TEST_F(atxMixedFile, HeaderGivesVersionSystemAndPCVType) {
  EXPECT_FLOAT_EQ(atx_->GetVersion(), 1.4f);
  EXPECT_EQ(atx_->GetSatSystem(), 'M');
  EXPECT_EQ(atx_->GetPCVType(), 'A');
}

TEST_F(atxMixedFile, CountsClassifyTypeLines) {
  EXPECT_EQ(atx_->GetNAntenna(), 9);
  EXPECT_EQ(atx_->GetNGPSSat(), 3);
  EXPECT_EQ(atx_->GetNGLNSat(), 1);
  EXPECT_EQ(atx_->GetNGALSat(), 1);
  EXPECT_EQ(atx_->GetNOtherSat(), 1);  // the BeiDou satellite
  // Two receiver types, three records.
  EXPECT_EQ(atx_->GetNRec(), 3);
}

// ---------------------------------------------------------------- type line

TEST_F(atxMixedFile, TypeLineGivesNameSerialTypeAndSatellite) {
  const AntennaPCV a = Rec(kG01First);
  EXPECT_STREQ(a.GetAntennaName(), "BLOCK IIA           ");
  EXPECT_STREQ(a.GetAntennaSerial(), "G01                 ");
  EXPECT_EQ(a.GetPCVType(), 3);
  EXPECT_EQ(a.GetSatID(), 1);

  EXPECT_EQ(Rec(kG01Second).GetPCVType(), 7);
  EXPECT_EQ(Rec(kG05).GetPCVType(), 5);
  EXPECT_EQ(Rec(kG05).GetSatID(), 5);
  EXPECT_EQ(Rec(kR01).GetPCVType(), 11);
  EXPECT_EQ(Rec(kR01).GetSatID(), 101);
  EXPECT_EQ(Rec(kE11).GetPCVType(), 14);
  EXPECT_EQ(Rec(kE11).GetSatID(), 211);
}

TEST_F(atxMixedFile, BeiDouSatelliteIsNumberedAndKeepsEveryBlockOffset) {
  const AntennaPCV a = Rec(kC11);
  EXPECT_STREQ(a.GetAntennaName(), "BEIDOU-2M           ");
  EXPECT_EQ(a.GetPCVType(), antexns::BlockBeiDou);
  EXPECT_EQ(a.GetSatID(), 311);
  ASSERT_EQ(a.GetNFreqBlocks(), 2);
  EXPECT_STREQ(a.GetFreqCode(0), "C01");
  EXPECT_STREQ(a.GetFreqCode(1), "C07");
  neu first;
  ASSERT_TRUE(a.GetFirstOffset('C', first));
  ExpectOffset(first, 600.0, 0.0, 1100.0);
  EXPECT_FALSE(a.GetFirstOffset('G', first));
  // A satellite is not completed like a receiver antenna.
  EXPECT_EQ(a.GetPVZEN(antexns::G01).Length(), 0);

  // Galileo: all three blocks, E05 (tables not kept) included.
  const AntennaPCV e = Rec(kE11);
  ASSERT_EQ(e.GetNFreqBlocks(), 3);
  EXPECT_STREQ(e.GetFreqCode(1), "E05");
  ExpectOffset(e.GetFreqOffset(1), 999.0, 999.0, 9999.0);
  ASSERT_TRUE(e.GetFirstOffset('E', first));
  ExpectOffset(first, 200.0, 10.0, 800.0);
}

TEST_F(atxMixedFile, ReceiverSerialIsNoSatelliteNumber) {
  const AntennaPCV a = Rec(kTrimbleSerial);
  EXPECT_STREQ(a.GetAntennaName(), "TRM55971.00     NONE");
  EXPECT_STREQ(a.GetAntennaSerial(), "G07123              ");
  EXPECT_EQ(a.GetPCVType(), 0);
  EXPECT_EQ(a.GetSatID(), 0);
}

TEST(atxTypeLine, EveryBlockAndGenerationHasItsCode) {
  const struct {
    const char* type;
    short code;
  } cases[] = {
      {"BLOCK I", 1},       {"BLOCK II", 2},    {"BLOCK IIA", 3},   {"BLOCK IIR", 4},
      {"BLOCK IIR-A", 5},   {"BLOCK IIR-B", 6}, {"BLOCK IIR-M", 7}, {"BLOCK IIF", 8},
      {"BLOCK IIIA", 9},    {"GLONASS", 10},    {"GLONASS-M", 11},  {"GLONASS-K", 12},
      {"GLONASS-K1", 13},   {"GALILEO-2", 14},
      {"BEIDOU-3M", antexns::BlockBeiDou},  {"QZSS-2I", antexns::BlockQZSS},
      {"IRNSS-1I", antexns::BlockIRNSS},    {"GLONASS-K2", antexns::UnknownBlock},
      {"BLOCK IIIF", antexns::UnknownBlock}, {"LEIAR25", antexns::UnknownBlock},
  };
  for (const auto& c : cases) {
    std::string line = c.type;
    line.resize(20, ' ');
    line += "G12                 G099      2099-001A TYPE / SERIAL NO    ";
    AntennaPCV a;
    a.ParseSerialType(line.c_str());
    EXPECT_EQ(a.GetPCVType(), c.code) << c.type;
  }
  // Without a satellite code the same names are receiver antennas.
  AntennaPCV r;
  r.ParseSerialType("BLOCK IIA           G12A                G099");
  EXPECT_EQ(r.GetPCVType(), 0);
}

TEST(atxTypeLine, SerialFieldGivesSatelliteNumberBySystem) {
  const struct {
    const char* serial;
    short id;
  } cases[] = {{"G01", 1},   {"G32", 32},  {"R24", 124}, {"E05", 205}, {"C11", 311},
               {"S20", 420}, {"J03", 503}, {"I05", 605}, {"   ", 0},   {"X01", 0},
               {"G1 ", 0},   {"G07123", 0}};
  for (const auto& c : cases) {
    const std::string line = std::string("BLOCK IIA           ") + c.serial;
    AntennaPCV a;
    a.ParseSerialType(line.c_str());
    EXPECT_EQ(a.GetSatID(), c.id) << c.serial;
  }
}

TEST(atxTypeLine, ShortLineCutsNameAndSerialWhereItEnds) {
  AntennaPCV a;
  a.ParseSerialType("BLOCK IIA  G");
  EXPECT_STREQ(a.GetAntennaName(), "BLOCK IIA  G");
  EXPECT_STREQ(a.GetAntennaSerial(), "");
  EXPECT_EQ(a.GetSatID(), 0);
}

// ---------------------------------------------------------------- validity

TEST_F(atxMixedFile, ValidityLinesGiveGPSTimeEpochs) {
  const AntennaPCV a = Rec(kG01First);
  EXPECT_EQ(a.GetValidFrom().GetMJDay(), 54762u);  // 2008-10-23
  EXPECT_EQ(a.GetValidFrom().GetSecond(), 0.0L);
  EXPECT_EQ(a.GetValidTo().GetMJDay(), atxtest::kDay);
  EXPECT_EQ(a.GetValidTo().GetSecond(), 1800.0L);
  // An open-ended record keeps the default end.
  EXPECT_EQ(Rec(kG01Second).GetValidTo().GetMJDay(), 85000u);
}

TEST_F(atxMixedFile, RecordWithoutValidityLinesIsValidFrom44250To85000) {
  const AntennaPCV a = Rec(kG05);
  EXPECT_EQ(a.GetValidFrom().GetMJDay(), 44250u);
  EXPECT_EQ(a.GetValidFrom().GetSecond(), 0.0L);
  EXPECT_EQ(a.GetValidTo().GetMJDay(), 85000u);
  EXPECT_EQ(a.GetValidTo().GetSecond(), 0.0L);
}

// ---------------------------------------------------------------- frequencies

TEST_F(atxMixedFile, FrequencyBlockGivesOffsetAndZenithTable) {
  const AntennaPCV a = Rec(kG01First);
  EXPECT_EQ(a.GetNFreq(), 2);
  EXPECT_EQ(a.GetNZen(), 15);
  EXPECT_FALSE(a.HasAzimuthPCV());
  ExpectOffset(a.GetOffset(antexns::G01), 279.0, 0.0, 2201.0);
  ExpectOffset(a.GetOffset(antexns::G02), 279.0, 0.0, 2201.0);
  const matrix<double>& z = a.GetPVZEN(antexns::G01);
  ASSERT_EQ(z.NRow(), 15);
  EXPECT_EQ(z.NCol(), 1);
  EXPECT_EQ(z(0), -0.80 / 1000.0);
  EXPECT_EQ(z(8), 1.40 / 1000.0);
  EXPECT_EQ(z(14), -0.90 / 1000.0);
  EXPECT_EQ(a.GetPVAZI(antexns::G01).Length(), 0);
  // A satellite record is not completed: its GLONASS and Galileo slots stay empty.
  ExpectOffset(a.GetOffset(antexns::R01), 0.0, 0.0, 0.0);
  EXPECT_EQ(a.GetPVZEN(antexns::R01).Length(), 0);
}

TEST_F(atxMixedFile, GLONASSRecordKeepsG01AndR01Apart) {
  const AntennaPCV a = Rec(kR01);
  ExpectOffset(a.GetOffset(antexns::G01), 111.0, 22.0, 1111.0);
  ExpectOffset(a.GetOffset(antexns::R01), -545.0, 0.0, 2300.0);
  ExpectOffset(a.GetOffset(antexns::R02), -545.0, 0.0, 2310.0);
}

TEST_F(atxMixedFile, E05BlockIsSkippedWithoutTrace) {
  const AntennaPCV a = Rec(kE11);
  ExpectOffset(a.GetOffset(antexns::E01), 200.0, 10.0, 800.0);
  ExpectOffset(a.GetOffset(antexns::E07), 210.0, 11.0, 810.0);
  for (short f : {antexns::G01, antexns::G02, antexns::R01, antexns::R02}) {
    ExpectOffset(a.GetOffset(f), 0.0, 0.0, 0.0);
    EXPECT_EQ(a.GetPVZEN(f).Length(), 0);
  }
  // E01 and E07 hold the same variations, not E05's 99 mm.
  const AntennaPCV g = Rec(kG01First);
  const matrix<double>& expected = g.GetPVZEN(antexns::G01);
  EXPECT_EQ(a.GetPVZEN(antexns::E01), expected);
  EXPECT_EQ(a.GetPVZEN(antexns::E07), expected);
}

TEST_F(atxMixedFile, FreeTextOfCommentIsNoLabel) {
  // Its comment quotes START OF FREQUENCY behind "G01"; the real block
  // that follows must still be read as such.
  const AntennaPCV a = Rec(kG05);
  ExpectOffset(a.GetOffset(antexns::G01), 0.0, 0.0, 2600.0);
  EXPECT_EQ(a.GetPVZEN(antexns::G01)(0), -0.80 / 1000.0);
}

TEST_F(atxMixedFile, Dazi5GivesNineteenZenithNodesAnd73AzimuthRows) {
  const AntennaPCV a = Rec(kLeica);
  EXPECT_TRUE(a.HasAzimuthPCV());
  EXPECT_EQ(a.GetDAzi(), 5.0);
  EXPECT_EQ(a.GetZen1(), 0.0);
  EXPECT_EQ(a.GetZen2(), 90.0);
  EXPECT_EQ(a.GetDZen(), 5.0);
  EXPECT_EQ(a.GetNZen(), 19);
  EXPECT_EQ(a.GetNAzi(), 73);
  const matrix<double>& z = a.GetPVZEN(antexns::G01);
  ASSERT_EQ(z.Length(), 19);
  EXPECT_EQ(z(18), 18.0 / 1000.0);
  const matrix<double>& t = a.GetPVAZI(antexns::G01);
  ASSERT_EQ(t.NRow(), 73);
  ASSERT_EQ(t.NCol(), 19);
  // Row a holds azimuth 5a, column k zenith 5k: 0.1 zen + 0.01 azi (mm).
  for (int row : {0, 1, 36, 72})
    for (int k : {0, 1, 18})
      EXPECT_NEAR(t(row, k), (0.5 * k + 0.05 * row) / 1000.0, 1e-15) << row << "," << k;
  // The G02 block after the 73 rows is read as its own block.
  ExpectOffset(a.GetOffset(antexns::G02), -0.24, 0.21, 155.55);
  EXPECT_NEAR(a.GetPVAZI(antexns::G02)(72, 18), -(9.0 + 3.6) / 1000.0, 1e-15);
}

TEST_F(atxMixedFile, ReceiverWithG01AndG02OnlyIsCompleted) {
  const AntennaPCV a = Rec(kLeica);
  for (short f : {antexns::R01, antexns::E01}) {
    EXPECT_EQ(a.GetOffset(f), a.GetOffset(antexns::G01)) << f;
    EXPECT_EQ(a.GetPVZEN(f), a.GetPVZEN(antexns::G01)) << f;
    EXPECT_EQ(a.GetPVAZI(f), a.GetPVAZI(antexns::G01)) << f;
  }
  for (short f : {antexns::R02, antexns::E07}) {
    EXPECT_EQ(a.GetOffset(f), a.GetOffset(antexns::G02)) << f;
    EXPECT_EQ(a.GetPVZEN(f), a.GetPVZEN(antexns::G02)) << f;
    EXPECT_EQ(a.GetPVAZI(f), a.GetPVAZI(antexns::G02)) << f;
  }
  // Without azimuth variations only the offset and the zenith table move.
  const AntennaPCV b = Rec(kTrimbleMean);
  ExpectOffset(b.GetOffset(antexns::R02), 3.0, 4.0, 70.0);
  EXPECT_EQ(b.GetPVZEN(antexns::E01), b.GetPVZEN(antexns::G01));
  EXPECT_EQ(b.GetPVAZI(antexns::E01).Length(), 0);
}

TEST(atxCompletion, ReceiverWithOnlyG01FillsEverySlotFromIt) {
  const std::string path = orbtest::WriteTempFile(
      Header() + Record("NOV702          NONE", "      1.00      2.00     50.00"), ".atx");
  antex atx;
  atxtest::Load(atx, path);
  const AntennaPCV a = atx.GetAntenna(0);
  for (short f = antexns::G02; f < antexns::NFreqKept; ++f) {
    ExpectOffset(a.GetOffset(f), 1.0, 2.0, 50.0);
    EXPECT_EQ(a.GetPVZEN(f), a.GetPVZEN(antexns::G01));
  }
}

// ---------------------------------------------------------------- line ends

TEST(atxLineEnds, CRLFFileReadsExactlyLikeLF) {
  std::string text = orbtest::ReadFileText(atxtest::MixedFixture());
  ASSERT_FALSE(text.empty());
  std::string crlf;
  for (char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  antex lf, dos;
  atxtest::Load(lf, atxtest::MixedFixture());
  atxtest::Load(dos, orbtest::WriteTempFile(crlf, ".atx"));
  EXPECT_EQ(dos.GetNAntenna(), lf.GetNAntenna());
  EXPECT_EQ(dos.GetNGPSSat(), lf.GetNGPSSat());
  EXPECT_EQ(dos.GetNRec(), lf.GetNRec());
  EXPECT_EQ(dos.GetPCVType(), 'A');
  for (long i = 0; i < lf.GetNAntenna(); ++i) {
    const AntennaPCV a = lf.GetAntenna(i), b = dos.GetAntenna(i);
    EXPECT_STREQ(b.GetAntennaName(), a.GetAntennaName()) << i;
    EXPECT_STREQ(b.GetAntennaSerial(), a.GetAntennaSerial()) << i;
    EXPECT_EQ(b.GetSatID(), a.GetSatID()) << i;
    EXPECT_EQ(b.GetPCVType(), a.GetPCVType()) << i;
    EXPECT_TRUE(b.GetValidFrom() == a.GetValidFrom()) << i;
    EXPECT_TRUE(b.GetValidTo() == a.GetValidTo()) << i;
    for (short f = 0; f < antexns::NFreqKept; ++f) {
      EXPECT_EQ(b.GetOffset(f), a.GetOffset(f)) << i << "/" << f;
      EXPECT_EQ(b.GetPVZEN(f), a.GetPVZEN(f)) << i << "/" << f;
      EXPECT_EQ(b.GetPVAZI(f), a.GetPVAZI(f)) << i << "/" << f;
    }
  }
}

// ---------------------------------------------------------------- type lines and dates

orbtest::RunResult ReadText(const std::string& text) {
  const std::string path = orbtest::WriteTempFile(text, ".atx");
  return orbtest::RunCaptured([&] {
    antex atx;
    atxtest::Load(atx, path);
  });
}

TEST(atxWarnings, RecordWithoutTypeLineIsReportedAndKept) {
  const std::string text = Header() + Line("", "START OF ANTENNA") +
                           Line("     0.0", "DAZI") + Line("", "END OF ANTENNA") +
                           Record("NOV702          NONE", "      1.00      2.00     50.00");
  const std::string path = orbtest::WriteTempFile(text, ".atx");
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    antex atx;
    atxtest::Load(atx, path);
    std::printf("%ld >%s<\n", atx.GetNAntenna(), atx.GetAntenna(0).GetAntennaName());
  });
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, WarningFrame("TYPE OF ANTENNA SENSOR NOT DEFINED [RECEIVER|GPS|GLONASS|GALILEO]!"));
  // Only type lines are counted: the one slot goes to the first record,
  // which has no name, and the run goes on.
  EXPECT_EQ(r.out, "1 ><\n");
}

TEST(atxFatalDate, InvalidValidityDateEndsTheRunThroughTheDateCheck) {
  const orbtest::RunResult r = ReadText(
      Header() + Record("BLOCK IIA           G01                 G032      1992-079A",
                        "      0.00      0.00   2000.00",
                        Line("  2009    13     1     0     0    0.0000000", "VALID FROM")));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find(": LINE 9: MONTH not valid! ****"), std::string::npos) << r.err;
}

// ---------------------------------------------------------------- damaged files

// Runs the reader on text and expects the run to end with "ANTEX FILE
// <path>: <what>" on standard error.
void ExpectFileError(const std::string& text, const std::string& what) {
  const std::string path = orbtest::WriteTempFile(text, ".atx");
  const orbtest::RunResult r = orbtest::RunCaptured([&] {
    antex atx;
    atxtest::Load(atx, path);
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, ErrorFrame("ANTEX FILE " + path + ": " + what));
}

const char kSat[] = "BLOCK IIA           G01                 G032      1992-079A";
const char kNeu[] = "    279.00      0.00   2201.00";

TEST(atxDamagedFile, EmptyFileHasNoEndOfHeader) { ExpectFileError("", "END OF HEADER NOT FOUND!"); }

TEST(atxDamagedFile, HeaderWithoutEndIsReported) {
  ExpectFileError(Line("     1.4            M", "ANTEX VERSION / SYST") +
                      Line("A", "PCV TYPE / REFANT"),
                  "END OF HEADER NOT FOUND!");
}

TEST(atxDamagedFile, TypeLineOutsideARecordIsReported) {
  ExpectFileError(Header() + Line(kSat, "TYPE / SERIAL NO"),
                  "START OF ANTENNA NOT FOUND FOR ANTENNA 1 OF 1!");
}

TEST(atxDamagedFile, RecordCutAtEndOfFileIsReported) {
  std::string rec = Record(kSat, kNeu);
  rec.erase(rec.rfind(Line("", "END OF ANTENNA")));
  ExpectFileError(Header() + rec, "ANTENNA 1 >BLOCK IIA<: END OF ANTENNA NOT FOUND!");
}

TEST(atxDamagedFile, RecordRunningIntoTheNextIsReported) {
  std::string first = Record(kSat, kNeu);
  first.erase(first.rfind(Line("", "END OF ANTENNA")));
  ExpectFileError(Header() + first + Record(kSat, kNeu),
                  "ANTENNA 1 >BLOCK IIA<: END OF ANTENNA NOT FOUND!");
}

TEST(atxDamagedFile, FrequencyBlockCutShortIsReported) {
  const std::string text = Header() + Line("", "START OF ANTENNA") +
                           Line(kSat, "TYPE / SERIAL NO") + Line("     5.0", "DAZI") +
                           Line("     0.0  10.0   5.0", "ZEN1 / ZEN2 / DZEN") +
                           Line("   G01", "START OF FREQUENCY") + Line(kNeu, "NORTH / EAST / UP") +
                           "   NOAZI    1.00    2.00    3.00\n" + "     0.0    1.00    2.00    3.00\n";
  ExpectFileError(text, "ANTENNA 1 >BLOCK IIA<: END OF ANTENNA NOT FOUND!");
}

TEST(atxDamagedFile, MissingZenithGridIsReported) {
  std::string rec = Record(kSat, kNeu);
  const std::string zen = Line("     0.0  10.0   5.0", "ZEN1 / ZEN2 / DZEN");
  rec.erase(rec.find(zen), zen.size());
  ExpectFileError(Header() + rec, "ANTENNA 1 >BLOCK IIA<: ZEN1 / ZEN2 / DZEN NOT USABLE!");
}

TEST(atxDamagedFile, ReversedZenithGridIsReported) {
  std::string rec = Record(kSat, kNeu);
  const std::string zen = Line("     0.0  10.0   5.0", "ZEN1 / ZEN2 / DZEN");
  rec.replace(rec.find(zen), zen.size(), Line("    10.0   0.0   5.0", "ZEN1 / ZEN2 / DZEN"));
  ExpectFileError(Header() + rec, "ANTENNA 1 >BLOCK IIA<: ZEN1 / ZEN2 / DZEN NOT USABLE!");
}

TEST(atxDamagedFile, NegativeOrTinyAzimuthStepIsReported) {
  for (const char* dazi : {"    -5.0", "  0.0002"}) {
    std::string rec = Record(kSat, kNeu);
    const std::string line = Line("     0.0", "DAZI");
    rec.replace(rec.find(line), line.size(), Line(dazi, "DAZI"));
    ExpectFileError(Header() + rec, "ANTENNA 1 >BLOCK IIA<: DAZI NOT USABLE!");
  }
}

TEST(atxDamagedFile, OverlongLineIsReported) {
  std::string rec = Record(kSat, kNeu);
  const std::string noazi = "   NOAZI    1.00    2.00    3.00\n";
  rec.replace(rec.find(noazi), noazi.size(), noazi.substr(0, noazi.size() - 1) +
                                                 std::string(antexns::LineMax, ' ') + "\n");
  ExpectFileError(Header() + rec, "ANTENNA 1 >BLOCK IIA<: LINE TOO LONG!");

  const std::string longComment = std::string(antexns::LineMax, 'x') + "COMMENT\n";
  ExpectFileError(longComment + Header() + Record(kSat, kNeu), "HEADER LINE TOO LONG!");
  ExpectFileError(Header() + longComment + Record(kSat, kNeu),
                  "LINE LONGER THAN 8191 CHARACTERS BEFORE ANTENNA 1!");
}

TEST(atxDamagedFile, FileWithoutRecordsIsEmpty) {
  antex atx;
  atxtest::Load(atx, orbtest::WriteTempFile(Header(), ".atx"));
  EXPECT_EQ(atx.GetNAntenna(), 0);
  EXPECT_EQ(atx.GetNRec(), 0);
}

TEST(atxMissingFile, SetFileEndsTheRun) {
  const orbtest::RunResult r = orbtest::RunCaptured([] {
    antex atx;
    atx.SetFile("/nonexistent/igs05.atx");
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, ErrorFrame("ANTEX FILE DOES NOT EXISTS!"));
}

// ---------------------------------------------------------------- real data

// Classifies the type lines of a file by a plain scan of the block names,
// independently of the reader (igs05.atx names every satellite's block).
struct TypeLineCounts {
  long all = 0, gps = 0, glonass = 0, galileo = 0, other = 0;
};
TypeLineCounts CountTypeLines(const std::string& path) {
  TypeLineCounts c;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.find("TYPE / SERIAL NO") == std::string::npos) continue;
    ++c.all;
    const std::string type = line.substr(0, 20);
    if (type.find("BLOCK") != std::string::npos)
      ++c.gps;
    else if (type.find("GLONASS") != std::string::npos)
      ++c.glonass;
    else if (type.find("GALILEO") != std::string::npos)
      ++c.galileo;
    else
      ++c.other;
  }
  return c;
}

TEST(atxRealData, Igs05CountsMatchItsTypeLines) {
  ORBIKA_REQUIRE_DATA();
  const std::string path = orbtest::DataFile("igs05.atx");
  const TypeLineCounts c = CountTypeLines(path);
  ASSERT_GT(c.gps, 0);
  ASSERT_GT(c.glonass, 0);
  ASSERT_GT(c.other, 0);
  antex atx;
  atxtest::Load(atx, path);
  EXPECT_EQ(atx.GetNAntenna(), c.all);
  EXPECT_EQ(atx.GetNGPSSat(), c.gps);
  EXPECT_EQ(atx.GetNGLNSat(), c.glonass);
  EXPECT_EQ(atx.GetNGALSat(), c.galileo);
  EXPECT_EQ(atx.GetNRec(), c.other);
  EXPECT_FLOAT_EQ(atx.GetVersion(), 1.4f);
  EXPECT_EQ(atx.GetPCVType(), 'A');
}

TEST(atxRealData, Igs05FirstRecordAndAnAzimuthCalibration) {
  ORBIKA_REQUIRE_DATA();
  antex atx;
  atxtest::Load(atx, orbtest::DataFile("igs05.atx"));
  const AntennaPCV a = atx.GetAntenna(0);
  EXPECT_STREQ(a.GetAntennaName(), "BLOCK IIA           ");
  EXPECT_EQ(a.GetSatID(), 1);
  ExpectOffset(a.GetOffset(antexns::G01), 279.0, 0.0, 2201.0);
  EXPECT_EQ(a.GetValidTo().GetMJDay(), 54755u);  // 2008-10-16 23:59:59.9999999
  EXPECT_NEAR(static_cast<double>(a.GetValidTo().GetSecond()), 86399.9999999, 1e-9);

  // Every receiver type is completed and every azimuth grid is whole.
  for (long i = 0; i < atx.GetNAntenna(); ++i) {
    const AntennaPCV r = atx.GetAntenna(i);
    if (r.GetPCVType() != 0) continue;
    EXPECT_EQ(r.GetPVZEN(antexns::R01), r.GetPVZEN(antexns::G01)) << r.GetAntennaName();
    if (r.HasAzimuthPCV()) {
      EXPECT_EQ(r.GetPVAZI(antexns::G02).NRow(), r.GetNAzi()) << r.GetAntennaName();
      EXPECT_EQ(r.GetPVAZI(antexns::G02).NCol(), r.GetNZen()) << r.GetAntennaName();
    }
  }
}

}  // namespace
