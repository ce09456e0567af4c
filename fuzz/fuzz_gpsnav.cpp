// Fuzz target: RINEX 2, 3 and 4 navigation reader of the Keplerian systems
// (GPSbEph: GPS, Galileo, BeiDou, QZSS, NavIC) and of the SBAS records
// (SBASbEph), and the broadcast orbits computed from what they read.  The
// messages read are those the input's version 4 frames name first per
// system (CNAV, CNV1, ... where present), with NavIC and SBAS always.  See
// FuzzIsolate.h for how an input is run and what counts as a finding.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "GNSS/broadcast/GPSbEph.h"
#include "GNSS/broadcast/KeplerSystems.h"
#include "GNSS/broadcast/NavMessages.h"
#include "GNSS/broadcast/SBASbEph.h"
#include "GNSS/geometry/xyzt.h"
#include "fuzz/FuzzIsolate.h"

namespace {

// Records whose orbit is computed, and the offsets (s) from the record
// epoch at which it is computed.
constexpr int kRecordsComputed = 6;
constexpr long double kOffsets[] = {0.0L, 900.0L, -3600.0L, 7200.0L};

// A record whose elements could describe a satellite orbit: every number
// finite and the elements within wide bounds of an Earth orbit (CNAV and
// B-CNAV records: their rates of A and of the mean motion too).
bool SoundRecord(const GPSbEphData& g, int k) {
  const matrix<long double>& d = g.data;
  for (int j = 0; j < GPSbEphData::kNParam; ++j)
    if (!std::isfinite(d(k, j))) return false;
  const auto within = [&](int col, long double bound) { return fabsl(d(k, col)) <= bound; };
  const long double sqrtA = d(k, 10), e = d(k, 8);
  const navmsg::Kind kind = g.kind[static_cast<std::size_t>(k)];
  const char sys = kepler::Of(g.sat(k)) == nullptr ? 'G' : kepler::Of(g.sat(k))->letter;
  if (navmsg::LayoutOf(sys, kind)->cnav && !(within(3, 1) && within(20, 1e-12L))) return false;
  return sqrtA >= 2000 && sqrtA <= 20000 && e >= 0 && e <= 0.5L && within(0, 1) &&
         within(1, 1e-6L) && within(2, 1e-9L) && within(5, 1e-6L) && within(6, 10) &&
         within(7, 1) && within(9, 1) && within(4, 1e4L) && within(16, 1e4L) && within(12, 1) &&
         within(14, 1) && within(13, 10) && within(15, 10) && within(17, 10) &&
         within(18, 1e-5L) && within(19, 1e-5L) && within(11, 1e7L);
}

// Whether number j of record k is one of its message's group delays, which
// a blank field leaves absent (nan).
bool DelayPlace(const GPSbEphData& g, long k, int j) {
  const kepler::System* sys = kepler::Of(g.sat(k));
  const navmsg::Layout* layout =
      navmsg::LayoutOf(sys == nullptr ? 'G' : sys->letter, g.kind[static_cast<std::size_t>(k)]);
  for (int i = 0; layout != nullptr && i < navmsg::kMaxGroupDelays && layout->delays[i].name; ++i)
    if (layout->delays[i].place == j) return true;
  return false;
}

// The messages the input's frames name first per system, and NavIC and
// SBAS.
navmsg::Choice Messages(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::string list = "I:LNAV,S:SBAS", named;
  for (std::string line; std::getline(in, line);) {
    if (line.compare(0, 6, "> EPH ") != 0 || line.size() < 11) continue;
    const char sys = line[6];
    std::string name = line.substr(10);
    while (!name.empty() && (name.back() == '\r' || name.back() == ' ')) name.pop_back();
    navmsg::Kind k;
    if (std::string("GJCE").find(sys) == std::string::npos ||
        named.find(sys) != std::string::npos || !navmsg::KindOfName(sys, name, k))
      continue;
    named += sys;
    list += std::string(",") + sys + ':' + navmsg::LayoutOf(sys, k)->name;
  }
  navmsg::Choice choice;
  if (!choice.Parse(list).empty()) orbfuzz::Fail("frame names gave no sound choice");
  return choice;
}

// The SBAS records: read, and their orbits at and beyond the time-out.
void Sbas(const char* path, orbfuzz::Digest& dg) {
  SBASbEph sbas;
  sbas.SetFile(path);
  sbas.ReadFile();
  const matrix<short> list = sbas.GetSatList();
  dg.Add(static_cast<long>(sbas.GetNRecords()));
  for (long i = 0; i < list.Length() && i < kRecordsComputed; ++i)
    for (long double off : kOffsets) {
      mjd t(59021, 0);
      t += off;
      xyzt pos;
      sbas.CalcPosition(static_cast<unsigned short>(list(i)), t, t, pos);
      dg.Add(pos);
    }
}

void Body(const char* path, orbfuzz::Digest& dg) {
  GPSbEph nav;
  nav.SetMessages(Messages(path));
  nav.SetFile(path);
  nav.ReadFile();
  Sbas(path, dg);

  const GPSbEphData& data = nav.GetData();
  const long n = static_cast<long>(nav.GetNSat());
  if (n < 1) orbfuzz::Fail("store read without records");
  if (data.sat.Length() != n || data.mjdo.Length() != n || data.data.NRow() != n ||
      static_cast<long>(data.kind.size()) != n)
    orbfuzz::Fail("record count differs from the table sizes");
  const matrix<short> list = nav.GetSatList();
  for (long i = 0; i < list.Length(); ++i) {
    if (kepler::Of(list(i)) == nullptr)
      orbfuzz::Fail("satellite list holds no GPS, Galileo, BeiDou, QZSS or NavIC number");
    if (i > 0 && !(list(i - 1) < list(i))) orbfuzz::Fail("satellite list not ascending");
  }
  dg.Add(n);
  for (long k = 0; k < n; ++k) {
    const mjd t = nav.GetMJD(k);
    if (!(t.GetSecond() >= 0 && t.GetSecond() < 86400))
      orbfuzz::Fail("record epoch not a time of day");
    dg.Add(static_cast<long>(data.sat(k)));
    dg.Add(static_cast<long>(t.GetMJDay()));
    dg.Add(t.GetSecond());
    for (int j = 0; j < GPSbEphData::kNStored; ++j) {
      const long double v = data.data(k, j);
      if (!std::isfinite(v) && !(std::isnan(v) && DelayPlace(data, k, j)))
        orbfuzz::Fail("record holds a non-finite number");
      dg.Add(v);
    }
  }

  for (long k = 0; k < n && k < kRecordsComputed; ++k) {
    const unsigned short prn = static_cast<unsigned short>(data.sat(k));
    const bool sound = SoundRecord(data, static_cast<int>(k));
    for (long double off : kOffsets) {
      mjd t = nav.GetMJD(k);
      t += off;
      xyzt pos;
      long double tgd = 0;
      nav.CalcPosition(prn, t, t, pos, &tgd, 1, 0);
      dg.Add(pos);
      // A group delay is a delay of less than 1e-3 s, or absent.
      const GroupDelays g = nav.GetGroupDelays(prn, t);
      for (long double d : {g.gd1, g.gd2})
        if (!std::isnan(d) && !(std::fabs(d) < rinexnav::kAbsentGroupDelay))
          orbfuzz::Fail("group delay of 1e-3 s or more handed on");
      // The chosen record may be another one of the same satellite; only a
      // satellite whose records are all sound must give a finite result.
      bool allSound = sound;
      for (long r = 0; r < n && allSound; ++r)
        if (data.sat(r) == data.sat(k) && !SoundRecord(data, static_cast<int>(r))) allSound = false;
      if (allSound && !(std::isfinite(pos.GetX()) && std::isfinite(pos.GetY()) &&
                        std::isfinite(pos.GetZ()) && std::isfinite(pos.GetT())))
        orbfuzz::Fail("non-finite position or clock from sound records");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orbfuzz::Run(data, size, Body);
  return 0;
}
