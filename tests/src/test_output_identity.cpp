// The whole program's output on real data (skipped when absent) is byte for
// byte the output recorded from the released program: every change to the
// computations, the text formatting, the readers or the output path must
// leave it alone.  Outputs are compared through their SHA-256 and length.
// All runs are made in the data folder (or a set's subfolder), so that the
// file names in the settings header carry no folder.  And a value too wide
// for its field is written as nan.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "GNSS/broadcast/GPSbEph.h"
#include "GNSS/geometry/xyzt.h"
#include "src/RecordWriter.h"
#include "tests/GNSS/broadcast/test_gpsnav_util.h"
#include "tests/TestUtil.h"

namespace {

// SHA-256 (FIPS 180-4) of a byte string, as 64 lower-case hex digits.
std::string Sha256(const std::string& data) {
  static const std::uint32_t k[64] = {
      0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4,
      0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe,
      0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f,
      0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7,
      0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc,
      0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b,
      0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116,
      0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
      0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
      0xc67178f2};
  std::array<std::uint32_t, 8> h = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                    0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  const auto rotr = [](std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); };

  // The message, a 1 bit, zeros, and the bit length: whole 64-byte blocks.
  std::string msg = data;
  msg += static_cast<char>(0x80);
  while (msg.size() % 64 != 56) msg += '\0';
  const std::uint64_t bits = static_cast<std::uint64_t>(data.size()) * 8;
  for (int i = 7; i >= 0; --i) msg += static_cast<char>((bits >> (8 * i)) & 0xff);

  for (std::size_t block = 0; block < msg.size(); block += 64) {
    std::uint32_t w[64];
    for (int t = 0; t < 16; ++t) {
      w[t] = 0;
      for (int b = 0; b < 4; ++b)
        w[t] = (w[t] << 8) | static_cast<unsigned char>(msg[block + 4 * t + b]);
    }
    for (int t = 16; t < 64; ++t) {
      const std::uint32_t s0 = rotr(w[t - 15], 7) ^ rotr(w[t - 15], 18) ^ (w[t - 15] >> 3);
      const std::uint32_t s1 = rotr(w[t - 2], 17) ^ rotr(w[t - 2], 19) ^ (w[t - 2] >> 10);
      w[t] = w[t - 16] + s0 + w[t - 7] + s1;
    }
    std::array<std::uint32_t, 8> v = h;
    for (int t = 0; t < 64; ++t) {
      const std::uint32_t S1 = rotr(v[4], 6) ^ rotr(v[4], 11) ^ rotr(v[4], 25);
      const std::uint32_t ch = (v[4] & v[5]) ^ (~v[4] & v[6]);
      const std::uint32_t t1 = v[7] + S1 + ch + k[t] + w[t];
      const std::uint32_t S0 = rotr(v[0], 2) ^ rotr(v[0], 13) ^ rotr(v[0], 22);
      const std::uint32_t maj = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
      const std::uint32_t t2 = S0 + maj;
      v = {t1 + t2, v[0], v[1], v[2], v[3] + t1, v[4], v[5], v[6]};
    }
    for (int i = 0; i < 8; ++i) h[i] += v[i];
  }

  std::string hex;
  for (std::uint32_t word : h) {
    char part[9];
    std::snprintf(part, sizeof part, "%08x", word);
    hex += part;
  }
  return hex;
}

TEST(Sha256, KnownAnswers) {
  // FIPS 180-4 examples: one block, two blocks, and the empty message.
  EXPECT_EQ(Sha256("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Sha256("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(Sha256(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  // A message that needs a padding block of its own.
  EXPECT_EQ(Sha256(std::string(56, 'a')),
            "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a");
}

class OutputIdentity : public ::testing::Test {
 protected:
  void SetUp() override {
    ORBIKA_REQUIRE_DATA();
#ifdef ORBIKA_SANITIZED
    GTEST_SKIP() << "whole-day runs are left to the unsanitized builds";
#endif
  }

  // Runs the program in the data folder on set A with the extra options.
  static orbtest::RunResult RunSetA(std::vector<std::string> extra) {
    std::vector<std::string> args = {"-epesa15253.sp3", "-enbrdc0910.09n", "-egbrdc0910.09g",
                                     "-pvigs05.atx"};
    args.insert(args.end(), extra.begin(), extra.end());
    return orbtest::RunOrbika(args, 300, orbtest::DataDir());
  }
};

TEST_F(OutputIdentity, DayAtThirtySecondsIsUnchanged) {
  const auto run = RunSetA({"-dt30"});
  ASSERT_EQ(run.status, 0) << run.err.substr(0, 2000);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out.size(), 30364272u);
  EXPECT_EQ(Sha256(run.out), "0219e347f562bc0b9682f4819a92f181fea1260ec8d34e5978343a431c9d8a37");
}

TEST_F(OutputIdentity, HourAtOneSecondIsUnchanged) {
  const auto run = RunSetA({"-dt1", "-ts2009-04-01,12:00:00", "-te2009-04-01,12:59:59"});
  ASSERT_EQ(run.status, 0) << run.err.substr(0, 2000);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out.size(), 38341108u);
  EXPECT_EQ(Sha256(run.out), "7284e91e4f96024f47ed5c56b6ec986807aaecebf837d476fac28793daadd1c5");
}

// One run over real files and what it gave: exit status, the length and
// SHA-256 of standard output, and the SHA-256 of standard error.
struct RecordedRun {
  const char* folder;  // inside the data folder
  std::vector<std::string> args;
  int status;
  std::size_t out_size;
  const char* out_sha;
  const char* err_sha;
};

// Every kind of run on the RINEX 2 and SP3-c files of sets A to C: precise
// with both broadcast kinds and antenna offsets, verbose, each store alone,
// -ti, -ni, a satellite list with a satellite missing from the GLONASS file
// (refused before the table, the store's error naming the file),
// far-from-record warnings and a missing antenna offset.
const std::vector<RecordedRun>& RecordedRuns() {
  static const std::vector<RecordedRun> runs = {
    {".", {"-epesa15253.sp3", "-enbrdc0910.09n", "-egbrdc0910.09g", "-pvigs05.atx"},
     0, 1023522, "faa60977987f28da787fa570b3ce88f5692f9fa4fef8d94c29ca13e31586bcc6",
     "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {".", {"-epesa15253.sp3", "-enbrdc0910.09n", "-egbrdc0910.09g", "-pvigs05.atx", "-v", "-dt3600"},
     0, 256723, "67d4cd6198a926f66a912af94bb4155f8c5998223dcb5358ee15c48163070d96",
     "1b1eb5d0675cfe0e523fa85604c9d8cb9f116803e1279cd6ed9a1d39e0727f7a"},
    {".", {"-epigl15253.sp3", "-egbrdc0910.09g", "-pvigs05.atx", "-dt300", "-ni10"},
     0, 1262224, "f95d5f09d2d242612fc4a2f23204812e1f27080321b6c2cd8df2600606842fd6",
     "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {".", {"-epesa15253.sp3", "-enbrdc0910.09n", "-ti2009-04-01,12:00:00", "-dt600"},
     0, 1269233, "9a2d05396c22346c24661979beefc1825fd18b8055337c8e08c659f51df797aa",
     "8f5619926d07c2de771d05901f634787e7e6e401e3ede998deaba0d007be4520"},
    {".", {"-enbrdc0910.09n", "-dt60"},
     0, 5023642, "0d9ea8746d4ce4a0cb602209e4aa96c700700514e59cd4dbc8adc7fd2ceb876e",
     "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {".", {"-egbrdc0910.09g", "-dt60"},
     0, 3995454, "1259139fd2def67547146cfc4f4a9b3446682a520a4ea896599628860590b293",
     "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {".", {"-enbrdc0910.09n", "-egbrdc0910.09g", "-prG05R07G31R24", "-ts2009-04-01,06:00:00", "-te2009-04-01,18:00:00", "-dt45"},
     1, 121, "5eedc2f467d1cfa85862e856eab3eb22e274b64cc14e0671ad46f3c3f513f1c0",
     "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {".", {"-epgrg21553.sp3", "-enbrdc1180.21n", "-dt60"},
     0, 2539852, "ddf8fee84b744b159d335457b2349046af71058f65bf54fb18e95d66616b8911",
     "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {".", {"-enbrdc1180.21n"},
     0, 335770, "7dad4bcfec906b29ee1a127df585876912abd898a3f2cf8d23312cf286c0d9dd",
     "50fa36984b806545f1a85bd146abdab484700b62ed814ee0702ff5f8fc28985d"},
    {".", {"-epgrg21553.sp3", "-pvigs05.atx", "-dt300"},
     0, 418454, "e2642e2a66f64a47ac2a42d8f42cf9c2c79f54ef3bec625c5885128e025dd094",
     "53321dd092a37943ea331e05a0970a3b29471c95c4cd92b92108979cc9aab570"},
    {"setC", {"-enbrdc1360.20n", "-egbrdc1360.20g", "-prG01G02R01R02"},
     0, 49787, "ea440f624ada96806614a57affa222cb7500fcf34d3715f38b2c1d29c406bfdd",
     "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {"setC", {"-enbrdc1360.20n", "-egbrdc1360.20g", "-dt300"},
     0, 2056836, "9d8c2b86c9c0da333d0833f5b872ed6e67da79ce754ca0e69a7d7c66423d3af7",
     "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
  };
  return runs;
}

// Each recorded run as recorded, and again on threads (-th): the same bytes
// on both streams, reports and the error before the table included.
TEST_F(OutputIdentity, EveryRecordedRunIsUnchanged) {
  for (const char* threads : {"", "-th3"}) {
    for (const RecordedRun& r : RecordedRuns()) {
      std::vector<std::string> args = r.args;
      if (*threads != '\0') args.push_back(threads);
      std::string line;
      for (const auto& a : args) line += " " + a;
      SCOPED_TRACE(std::string(r.folder) + ":" + line);
      const auto run = orbtest::RunOrbika(args, 300, orbtest::DataDir() + "/" + r.folder);
      EXPECT_EQ(run.status, r.status);
      EXPECT_EQ(run.out.size(), r.out_size);
      EXPECT_EQ(Sha256(run.out), r.out_sha);
      EXPECT_EQ(Sha256(run.err), r.err_sha) << run.err.substr(0, 2000);
    }
  }
}

// Runs on two threads write what the run on one writes, on both streams:
// today's multi-GNSS day (set E: every system, the SP3 table's antenna
// offsets, satellites without one), as table and CSV; set D's station file;
// the DLR RINEX 4 file with SBAS and NavIC records, a receiver's choice and
// progress messages; a window reaching past the SP3 table (its warnings).
TEST_F(OutputIdentity, ThreadsWriteWhatOneThreadWrites) {
  const std::string data = orbtest::DataDir() + "/", e = data + "setE/", d = data + "setD/";
  const std::string igs = e + "BRDC00IGS_R_20220010000_01D_MN.rnx.gz";
  const std::string dlr = e + "BRD400DLR_S_20220010000_01D_MN.rnx.gz";
  const std::string station = d + "ESBC00DNK_R_20201770000_01D_MN.rnx.gz";
  const std::vector<std::string> setE = {"-ep" + e + "GFZ0MGXRAP_20220010000_01D_05M_ORB.SP3.gz",
                                         "-en" + igs, "-eg" + igs,
                                         "-pv" + data + "igs14_sats_only.atx", "-dt30"};
  std::vector<std::string> setECsv = setE;
  setECsv.push_back("-csv");
  const std::vector<std::vector<std::string>> runs = {
      setE,
      setECsv,
      {"-ep" + d + "GRG0MGXFIN_20201770000_01D_15M_ORB.SP3.gz", "-en" + station,
       "-eg" + station, "-dt30"},
      {"-en" + dlr, "-eg" + dlr, "-nmS:SBAS,I:LNAV,G:CNAV", "-rx", "-dt300", "-v"},
      {"-ep" + data + "esa15253.sp3", "-en" + data + "brdc0910.09n", "-ts2009-03-31,22:00:00",
       "-te2009-04-02,02:00:00", "-dt600"},
  };
  for (const auto& one : runs) {
    std::vector<std::string> two = one;
    two.push_back("-th2");
    std::string line;
    for (const auto& a : one) line += " " + a.substr(0, 24);
    SCOPED_TRACE(line);
    const auto a = orbtest::RunOrbika(one, 300), b = orbtest::RunOrbika(two, 300);
    ASSERT_EQ(a.status, 0) << a.err.substr(0, 2000);
    EXPECT_EQ(b.status, a.status);
    EXPECT_GT(a.out.size(), 100000u);
    EXPECT_TRUE(b.out == a.out) << "standard output differs";
    EXPECT_EQ(b.err, a.err);
  }
}

// A value whose text would leave no blank in its field (an orbit far from
// its data, a damaged file) is written as nan in that field, so that fields
// never run together; a value that just leaves one keeps every digit.
TEST(RecordText, ValuesThatFillTheirFieldAreNan) {
  const struct {
    xyzt value;  // x, y, z in m or m/s, clock in s
    bool position;
    const char* text;  // the piece after the satellite
  } rows[] = {
      {xyzt(999999999999.999L, -99999999999.999L, 1e12L, 9999.999999L), true,
       "             nan             nan             nan           nan"},
      {xyzt(99999999999.999L, -9999999999.999L, -1e11L, 999.999999L), true,
       " 99999999999.999 -9999999999.999             nan 999999.999000"},
      {xyzt(-999999999999.999L, 0.0L, 1e300L, -9999.999999L), true,
       "             nan           0.000             nan           nan"},
      {xyzt(99999999.999L, -999999.999L, 4209984.444L, 1e30L), false,
       "          nan -999999.999 4209984.444"},
  };
  for (const auto& r : rows) {
    std::ostringstream out;
    RecordWriter record(out);
    record.Satellite('G', 1);
    if (r.position)
      record.Position(r.value);
    else
      record.Velocity(r.value);
    record.Write();
    EXPECT_EQ(out.str(), std::string("     G01") + r.text + "\n");
  }
}

// G01's broadcast position at the first epoch of the records written by
// gpsnavtest::Record(1, 13, 1, 5, ...), from the store itself.
xyzt StorePosition(const std::string& nav) {
  GPSbEph store;
  store.SetFile(nav.c_str());
  store.ReadFile();
  const mjd t(56297, 0);
  xyzt pos;
  long double tgd = 0;
  store.CalcPosition(1, t, t, pos, &tgd, 0, 0);
  return pos;
}

// The same in a CSV record: numbers past the fast text's length are written
// whole, every digit of the store's value, and the record keeps its fields.
TEST(CsvText, HugeNumbersAreWrittenWhole) {
  gpsnavtest::Params p = gpsnavtest::RealisticOrbit();
  p[0] = 1e99L;  // clock offset, s; the orbit stays one a satellite can have
  const std::string nav = orbtest::MakeTempDir() + "/huge.13n";
  std::ofstream(nav, std::ios::binary)
      << gpsnavtest::Header() + gpsnavtest::Record(1, 13, 1, 5, 0, 0, 0.0, p);

  const auto run = orbtest::RunOrbika({"-csv", "-en" + nav, "-te2013-01-05,00:00:00"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = orbtest::SplitLines(run.out);
  ASSERT_EQ(lines.size(), 2u) << run.out;
  std::vector<std::string> fields(1);
  for (char c : lines[1]) {
    if (c == ',')
      fields.emplace_back();
    else
      fields.back().push_back(c);
  }
  ASSERT_EQ(fields.size(), 42u) << lines[1];
  const xyzt pos = StorePosition(nav);
  EXPECT_GT(fields[14].size(), 100u);  // bclock_s, past the fast text
  EXPECT_EQ(std::stold(fields[14]), pos.GetT());
}

}  // namespace
