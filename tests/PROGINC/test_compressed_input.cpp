// Compressed input files: every reader reads gzip and Unix compress files as
// their content, whatever their names, and a cut or damaged one ends the run
// before the table with a report naming the file.
#include <sys/resource.h>

#include <algorithm>
#include <istream>
#include <memory>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PROGINC/files/InputFile.h"
#include "PROGINC/files/cfilef.h"
#include "tests/TestUtil.h"
#include "tests/src/test_cli_text.h"
#include "tests/PROGINC/test_compress_util.h"
#include "tests/src/test_damaged_util.h"

namespace {

enum class Packing { Gzip, CompressZ };

std::string Pack(Packing p, const std::string& text) {
  return p == Packing::Gzip ? packed::Gzip(text) : packed::CompressZ(text);
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// Gzip members of zeros, appended to a gzip file: its content then passes
// the cap of content held in memory (1 GiB) by 1 MiB.
void PastTheCap(std::string& bytes) {
  constexpr std::size_t kMember = std::size_t{1} << 20;
  // The fastest level: its content inflates faster than a denser one's.
  static const std::string member = packed::Gzip(std::string(kMember, '\0'), Z_BEST_SPEED);
  for (std::size_t n = 0; n <= kMaxContent / kMember; ++n) bytes += member;
}

}  // namespace

// Each real file of set A, gzip-compressed as "<name>.gz" and
// Unix-compressed under its own name, gives the plain file's run byte for
// byte, the name in the settings head aside.
TEST(CompressedInput, RealFilesReadLikeTheirContent) {
  ORBIKA_REQUIRE_DATA();
  const std::string precise = "-ep" + orbtest::DataFile("esa15253.sp3");
  const struct {
    const char* option;
    const char* file;
    std::vector<std::string> others;
  } cases[] = {{"-en", "brdc0910.09n", {}},
               {"-eg", "brdc0910.09g", {}},
               {"-ep", "esa15253.sp3", {}},
               {"-ep", "igl15253.sp3", {}},
               {"-pv", "igs05.atx", {precise}}};
  const std::string dir = orbtest::MakeTempDir();
  for (const auto& c : cases) {
    const auto run = [&](const std::string& name, const std::string& cwd) {
      std::vector<std::string> args = {c.option + name};
      args.insert(args.end(), c.others.begin(), c.others.end());
      return orbtest::RunOrbika(args, 60, cwd);
    };
    const orbtest::RunResult plain = run(c.file, orbtest::DataDir());
    ASSERT_EQ(plain.status, 0) << c.file << "\n" << plain.err;
    const std::string text = orbtest::ReadFileText(orbtest::DataFile(c.file));
    for (Packing p : {Packing::Gzip, Packing::CompressZ}) {
      const std::string name = p == Packing::Gzip ? std::string(c.file) + ".gz" : c.file;
      damaged::WriteFile(dir + "/" + name, Pack(p, text));
      const orbtest::RunResult r = run(name, dir);
      EXPECT_EQ(r.status, plain.status) << name;
      EXPECT_EQ(r.err, plain.err) << name;
      EXPECT_NE(r.out.find(": " + name + "\n"), std::string::npos) << name << ": not in the head";
      EXPECT_TRUE(ReplaceAll(r.out, name, c.file) == plain.out) << name << ": output differs";
    }
  }
}

// The distributed gzip files of set D (RINEX 3.05 and 4 navigation, SP3)
// give the same runs as their content written out plainly by the test.
TEST(CompressedInput, DistributedGzipFilesReadLikeTheirContent) {
  ORBIKA_REQUIRE_DATA();
  const std::vector<std::vector<std::string>> runs = {
      {"-en", "ESBC00DNK_R_20201770000_01D_MN.rnx", "-eg", "ESBC00DNK_R_20201770000_01D_MN.rnx",
       "-ep", "GRG0MGXFIN_20201770000_01D_15M_ORB.SP3"},
      {"-en", "KMS300DNK_R_20221591000_01H_MN.rnx", "-eg", "KMS300DNK_R_20221591000_01H_MN.rnx"}};
  const std::string dir = orbtest::MakeTempDir();
  for (const std::vector<std::string>& words : runs) {
    std::vector<std::string> plain = {"-dt3600"}, zipped = {"-dt3600"};
    for (std::size_t k = 0; k < words.size(); k += 2) {
      const std::string& name = words[k + 1];
      const std::string gz = orbtest::DataDir() + "/setD/" + name + ".gz";
      damaged::WriteFile(dir + "/" + name, packed::Gunzip(orbtest::ReadFileText(gz)));
      plain.push_back(words[k] + dir + "/" + name);
      zipped.push_back(words[k] + gz);
    }
    const orbtest::RunResult p = orbtest::RunOrbika(plain), g = orbtest::RunOrbika(zipped);
    EXPECT_EQ(p.status, 0) << words[1];
    EXPECT_EQ(g.status, p.status) << words[1];
    EXPECT_EQ(g.err, p.err) << words[1];
    std::string out = g.out;
    for (std::size_t k = 1; k < words.size(); k += 2)
      out = ReplaceAll(out, orbtest::DataDir() + "/setD/" + words[k] + ".gz", dir + "/" + words[k]);
    EXPECT_TRUE(out == p.out) << words[1] << ": output differs";
  }
}

// A cut or damaged compressed file, or one whose content passes the cap,
// given to each option, ends the run with the report naming it and no
// table.
TEST(CompressedInput, CutOrDamagedFilesEndTheRun) {
  const std::string sp3 = "-ep" + clitest::Fixture("cli_sp3c.sp3");
  using Damage = void (*)(std::string&);
  const struct {
    const char* option;
    const char* fixture;
    Packing packing;
    const char* label;
    Damage damage;
    const char* what;
  } cases[] = {
      {"-en", "cli_gps.09n", Packing::Gzip, "cut in half",
       [](std::string& b) { b.resize(b.size() / 2); }, "GZIP DATA CUT SHORT"},
      // The gzip trailer is CRC-32 then length, 4 bytes each.
      {"-eg", "cli_glonass.09g", Packing::Gzip, "CRC-32 changed",
       [](std::string& b) { b[b.size() - 8] ^= 1; }, "GZIP DATA DAMAGED"},
      // The third byte of a .Z file holds the largest code width (9 to 16).
      {"-ep", "cli_sp3c.sp3", Packing::CompressZ, "code width 31 bits",
       [](std::string& b) { b[2] = static_cast<char>(b[2] | 0x1f); },
       "COMPRESS (.Z) DATA DAMAGED"},
      {"-pv", "cli_antex.atx", Packing::Gzip, "cut in its header",
       [](std::string& b) { b.resize(6); }, "GZIP DATA CUT SHORT"},
#if !defined(__SANITIZE_ADDRESS__)  // a gigabyte of content: too slow there
      {"-ep", "cli_sp3c.sp3", Packing::Gzip, "content past the cap", PastTheCap,
       "MORE THAN 1 GiB (1073741824 BYTES) OF CONTENT"},
#endif
  };
  const std::string dir = orbtest::MakeTempDir();
  for (const auto& c : cases) {
    std::string bytes = Pack(c.packing, orbtest::ReadFileText(clitest::Fixture(c.fixture)));
    c.damage(bytes);
    const std::string path = dir + "/" + c.fixture + ".packed";
    damaged::WriteFile(path, bytes);
    std::vector<std::string> args = {c.option + path};
    if (std::string(c.option) == "-pv") args.push_back(sp3);
    const orbtest::RunResult r = orbtest::RunOrbika(args);
    EXPECT_EQ(r.status, 1) << c.fixture << ", " << c.label;
    EXPECT_EQ(r.out, "") << c.fixture << ", " << c.label;
    EXPECT_EQ(r.err, clitest::ErrorText("COMPRESSED FILE " + path + ": " + c.what + "!"))
        << c.fixture << ", " << c.label;
  }
#if !defined(__SANITIZE_ADDRESS__)
  // The largest of these runs, the one past the cap, held the cap of
  // content and little more: no copy of it while it grew.
  constexpr long kPeakBoundKiB = 1300L << 10;
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  EXPECT_LT(usage.ru_maxrss, kPeakBoundKiB);
#endif
}

// Content held in pieces reads as one text: lines that cross the pieces'
// edges, seeks to either side of an edge, and the bytes given back to the
// budget when it is gone.
TEST(CompressedInput, ContentInPiecesReadsAsOneText) {
  const std::size_t heldBefore = ContentHeld();
  std::string text;
  for (int k = 0; text.size() < 2 * Content::kPieceBytes + 12345; ++k)
    text += std::string(static_cast<std::size_t>(k % 97), 'a' + k % 26) + "\n";
  auto content = std::make_shared<Content>();
  // Appended in uneven parts, as decompression and pipes hand them over.
  for (std::size_t at = 0, part = 1; at < text.size(); at += part, part = part * 7 % 65521 + 1)
    ASSERT_TRUE(content->Append(text.data() + at, std::min(part, text.size() - at)));
  ASSERT_EQ(content->size(), text.size());
  ASSERT_EQ(content->NPieces(), 3u);
  EXPECT_EQ(ContentHeld(), heldBefore + text.size());

  MemoryBuf buf;
  buf.Assign(content);
  std::istream in(&buf);
  std::string read;
  char line[128];
  while (ReadLine(in, line, sizeof line) != LineRead::End) read += std::string(line) + "\n";
  EXPECT_EQ(read, text);

  const std::size_t edge = Content::kPieceBytes;
  for (std::size_t at : {std::size_t{0}, edge - 1, edge, edge + 1, 2 * edge, text.size() - 1}) {
    in.clear();
    in.seekg(static_cast<std::streamoff>(at));
    EXPECT_EQ(in.tellg(), std::streampos(static_cast<std::streamoff>(at)));
    EXPECT_EQ(in.get(), static_cast<unsigned char>(text[at])) << at;
  }
  in.clear();
  in.seekg(0, std::ios::end);
  EXPECT_EQ(in.tellg(), std::streampos(static_cast<std::streamoff>(text.size())));
  EXPECT_EQ(in.get(), EOF);

  buf.Release();
  content.reset();
  EXPECT_EQ(ContentHeld(), heldBefore);
}
