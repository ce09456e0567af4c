// The whole program's output on a day of real data (skipped when absent) is
// byte for byte the output recorded before any speed work: every change to
// the computations, the text formatting or the output path must leave it
// alone.  The output is compared through its SHA-256 and its length.  And a
// record whose numbers are too large for the in-memory text is still the
// text the stream writes.
//
// The recorded values were produced by the program as built at commit
// c754f03 (Release), run in the data folder so that the file names in the
// settings header carry no folder:
//   Orbika -epesa15253.sp3 -enbrdc0910.09n -egbrdc0910.09g -pvigs05.atx -dt30
//   Orbika -epesa15253.sp3 -enbrdc0910.09n -egbrdc0910.09g -pvigs05.atx -dt1
//          -ts2009-04-01,12:00:00 -te2009-04-01,12:59:59
// (With the names given as /work/shared/data/... the same two runs give
// 96b1f44dd2be31c7a33964329c9a568d137be393a876f3124230f72ca66fa8b9, 30364344
// bytes, and 6703fa29d977758c5ea75b0ad6a3ece28d420090e38d7fc6eb9e65813ad480ad,
// 38341180 bytes.)
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "GNSS/GPSbEph.h"
#include "GNSS/xyzt.h"
#include "tests/TestUtil.h"
#include "tests/test_gpsnav_util.h"

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

// A broadcast orbit of absurd size (as a damaged file may give): its numbers
// pass 2^63, which the in-memory text leaves to the stream, and the record
// must still read exactly as the stream writes the vector.
TEST(RecordText, HugeNumbersAreWrittenAsTheStreamWritesThem) {
  gpsnavtest::Params p = gpsnavtest::RealisticOrbit();
  p[0] = 1e20L;   // clock offset, s
  p[10] = 1e10L;  // sqrt(A): A = 1e20 m
  const std::string dir = orbtest::MakeTempDir();
  const std::string nav = dir + "/huge.13n";
  std::ofstream(nav, std::ios::binary)
      << gpsnavtest::Header() + gpsnavtest::Record(1, 13, 1, 5, 0, 0, 0.0, p);

  const auto run = orbtest::RunOrbika({"-en" + nav, "-te2013-01-05,00:00:00"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> records;
  for (const auto& l : orbtest::SplitLines(run.out))
    if (!l.empty() && l[0] != '#') records.push_back(l);
  ASSERT_EQ(records.size(), 1u) << run.out;

  // The same position from the store, written through a stream under the
  // position loop's settings.
  GPSbEph store;
  store.SetFile(nav.c_str());
  store.ReadFile();
  const mjd t(56297, 0);
  xyzt pos;
  long double tgd = 0;
  store.CalcOrbikaition(1, t, t, pos, &tgd, 0, 0);
  ASSERT_GE(std::fabs(pos.GetT() * 1000), 0x1p63L);
  xyztns::NDec = 3;
  xyztns::Width = 16;
  xyztns::WidthT = 14;
  xyztns::NDecT = 6;
  xyztns::UnitT = 1000;
  xyztns::PrintTime = 1;
  std::ostringstream vector;
  vector << pos;
  EXPECT_EQ(records[0], " 2013-01-05 00:00:00.0   56297     0.0     G01" + vector.str());
  // The clock field holds every digit: 1e23 ms and six decimals.
  EXPECT_NE(records[0].find("100000000000000000000000.000000"), std::string::npos) << records[0];
}

}  // namespace
