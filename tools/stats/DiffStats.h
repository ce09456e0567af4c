// DiffStats: statistics of the precise-minus-broadcast differences of one or
// more Orbika tables, per satellite, per system and orbit type, and per day.
//
// A table's records are held (compactly) until the table ends; then:
//  - clocks: the table's clock difference (on the signal pair where the
//    table has one) plus the periodic relativistic term of the precise
//    orbit, dt_rel = -2 r.v/c^2: IGS users add it to the precise clocks,
//    and the broadcast clocks of GPS, Galileo, BeiDou and QZSS hold it.
//    GLONASS users apply their broadcast clock as it is, but the table's
//    GLONASS broadcast clock holds the term too, so for GLONASS the term of
//    the broadcast orbit is added back as well.  Records whose precise
//    clock is the SP3 bad-clock marker have none;
//  - outliers: a record whose 3D difference exceeds kOutlier3d is one;
//  - messages: where the table has the record's message (msg), a satellite,
//    a system and a day give a row per message (GPS LNAV beside GPS CNAV):
//    records of different messages are different broadcast orbits and
//    clocks;
//  - health: a record whose health field is not 0 is left out (counted by
//    system and message) unless every record is kept (allHealth).  0 is
//    healthy for each system's field as RINEX writes it: GPS and QZSS
//    LNAV (6-bit SV health, IS-GPS-200 20.3.3.3.1.4) and CNAV-2 (L1C
//    health); CNAV the L1 and L2 health bits (IS-GPS-200 30.3.3.1.1.2) 0,
//    its L5 bit not looked at (the clocks are on L1/L2); Galileo, the SVHS and
//    DVS bits of every signal (Galileo OS SIS ICD 5.1.9.3); BeiDou SatH1 of
//    D1/D2 and the HS of B-CNAV (BDS-SIS-ICDs); GLONASS Bn (its l flags
//    too where the file writes them in the field); NavIC and SBAS as
//    written.  An empty field is kept;
//  - clock datum: at each epoch, for each system (BeiDou-2 and BeiDou-3
//    apart) and message (BeiDou's D1 and D2 as one: the same clock model
//    on the same signals, D2 for the GEO satellites), the median of the clock differences of the system's records
//    is removed; QZSS, where fewer than kDatumSatellites form its own,
//    takes the GPS one of its message (the table carries no QZSS-GPS time offset, so its
//    clocks keep it); an epoch without a datum of kDatumSatellites is left
//    out of the clock figures, and where there is one, a record whose
//    clock lies more than kOutlierClock from the median is an outlier too;
//  - every other record with a position difference enters the figures of
//    its satellite, of its system and orbit type, and of its day; records
//    of a satellite the ANTEX file has no offset for (their precise
//    position is the centre of mass, the broadcast one a phase centre)
//    only those of the satellite, listed apart (their clocks, which the
//    offset does not touch, still enter the datum);
//  - a record of a satellite and day that an earlier table gave (its epoch
//    within the first to last epoch that table gave for them), or that its
//    own table gave before (its epoch not later than the last one the table
//    gave for them: a table writes each satellite in time order) is counted
//    once: Add passes over it and Repeated() counts it, so one table given
//    twice, a file holding a table twice, a satellite listed twice and
//    overlapping tables count each record once; records of one satellite
//    and epoch in different messages are not repeats.
//  - accuracy: each satellite's kept records give the median of their
//    broadcast accuracy, and the share of those with a SISRE whose SISRE
//    exceeds the record's accuracy.
// Memory: one table's records at a time (at most kMaxTableRecords), and
// figures per satellite, per system and per day.  A day adds, per group,
// the figures of its days row, whose millimetre bins span at most the
// kOutlier3d limit (below 1 MB per group; a few kilobytes on real tables),
// and 24 bytes per satellite and table for the repeat check.
#pragma once

#include <map>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "tools/stats/DiffTable.h"
#include "tools/stats/Figures.h"
#include "tools/stats/Orbit.h"

namespace orbstats {

// The outlier rules and the smallest clock datum.
constexpr double kOutlier3d = 100;      // [m]: far beyond any working broadcast orbit
constexpr double kOutlierClock = 1e-6;  // [s]: 300 m of range
constexpr int kDatumSatellites = 4;
// Records one table may hold: 48 bytes each, so at most 192 MB (a day of
// 46 satellites every second, or of 125 every 3 s).
// The signal of a clock difference on the broadcast signal (no pair), and
// of a GLONASS record without dTau_n (its clock stays on L1).
extern const char* const kBroadcastSignal;
extern const char* const kGlonassL1;
constexpr size_t kMaxTableRecords = 4000000;
// Messages the tables may name, over all tables: a system has at most four.
constexpr size_t kMaxMessages = 32;

// A system, BeiDou split into BDS-2 and BDS-3, and an orbit type: the
// groups that the system rows and day rows report.
struct Group {
  size_t rank;     // order of the system letter
  int generation;  // 2 or 3 for BeiDou, else 0
  OrbitType type;
  std::string msg;  // the broadcast message; empty where the table has none
  bool operator<(const Group& o) const {
    return std::tie(rank, generation, type, msg) < std::tie(o.rank, o.generation, o.type, o.msg);
  }
};
std::string GroupName(const Group& group);  // "GPS", "BDS-3"
std::string SystemName(char system);        // "GPS", "BeiDou"

struct SummaryRow {
  std::string sat;  // empty on a system's row
  Group group;
  bool apart = false;  // a satellite's records without an antenna offset
  long long satellites = 0;  // system rows: satellites with kept records
  Figures figures;
  long double offsetFreeSumSq = 0;  // see Figures::OffsetFreeSumSq
};
struct DayRow {
  long long mjd;
  Group group;
  const Figures* figures;
};
struct DatumRow {
  long long mjd;
  Group system;                       // its orbit type unused
  long long epochs = 0, leftOut = 0;  // epochs with clocks; of them without a datum
  long long joined = 0;               // epochs on the GPS datum (QZSS)
  int fewest = 0, most = 0;           // satellites of the system at an epoch
};
struct SignalRow {
  char system;
  std::string signal;
  long long records;
};
struct OutlierRow {
  std::string sat;
  long long mjd;
  std::string msg;
  long long orbit = 0, clock = 0;  // records by rule
  long long first = 0, last = 0;   // epochs [ms]
  double max3d = 0;                // [m]
  double maxClock = 0;             // largest clock distance from the median [s]
};

struct UnhealthyRow {
  char system;
  std::string msg;
  long long records;
};

class DiffStats {
 public:
  // allHealth: records of any health enter the figures.
  explicit DiffStats(bool allHealth = false) : allHealth_(allHealth) {}
  // Holds a record of the current table; where it cannot, what the table
  // holds too many of ("more than ...", with the remedy), else "".
  std::string Add(const DiffRecord& rec);
  // Ends the current table: forms the datum, picks the outliers, sums up.
  void EndTable();

  // Each satellite's records in the system and day figures, and in a row
  // of their own (apart) those without an antenna offset.
  std::vector<SummaryRow> Satellites() const;
  // Over all satellites of each group.
  std::vector<SummaryRow> Systems() const;
  std::vector<DayRow> Days() const;
  std::vector<DatumRow> Datum() const;
  std::vector<OutlierRow> Outliers() const;
  long long OutlierCount() const { return outlierCount_; }
  // Records passed over as given before, over all tables.
  long long Repeated() const { return repeated_; }
  bool AllHealth() const { return allHealth_; }
  // Records left out by their health, by system and message.
  std::vector<UnhealthyRow> Unhealthy() const;
  // Clock differences by system and signal (a pair such as "B1I/B3I",
  // kGlonassL1 or kBroadcastSignal), in the order of the systems.
  std::vector<SignalRow> Signals() const;

 private:
  struct Satellite {
    std::string code;
    std::string msg;
    std::uint32_t message;  // index of msg's datum message in messages_
    Moment radius, inclination;  // of every record with a precise orbit
    Figures figures;
    Figures apart;  // of the records without an antenna offset
  };
  struct Pending {
    double rac[3];
    double dclock;  // with the relativistic term [s]
    std::uint32_t sat, epoch;
    float accuracy;  // the record's [m]; nan without
    Clock clock;
    bool apart;  // no antenna offset
  };
  struct DatumValue {
    double median;
    int count;
  };
  // The first and last epoch [ms] that a table gave for a satellite and day.
  struct Span {
    long long first, last;
    int table;
  };
  // Keys of the spans: the day times this, plus the satellite's index.
  static constexpr long long kSpanKeys = 1 << 16;
  struct BySystem {
    bool operator()(const std::string& a, const std::string& b) const;
  };

  using DatumMap = std::unordered_map<long long, DatumValue>;

  // The index of a satellite's records of a message, added when new.
  std::uint32_t SatelliteOf(const std::string& code, const std::string& msg);
  bool Healthy(const DiffRecord& rec) const;
  long long DatumSystemOf(const Satellite& sat) const;
  // An earlier table, or this one, gave sat at ms; else ms joins this
  // table's span.
  bool Repeats(std::uint32_t sat, long long ms);
  Group GroupOf(const Satellite& sat) const;
  double ClockOf(const DiffRecord& rec) const;
  long long DatumKey(const Pending& p) const;
  DatumMap FormDatum();
  void NoteDatum(const DatumMap& datum);
  // The datum of p's epoch and system, QZSS on GPS's where its own is too
  // small; nullptr where there is none of kDatumSatellites.
  const DatumValue* DatumOf(const Pending& p, const DatumMap& datum) const;
  void Keep(const Pending& p, const DatumMap& datum);
  void Outlier(const Pending& p, double d3, double clock);

  std::map<std::string, std::uint32_t, BySystem> index_;
  std::vector<Satellite> sats_;
  std::vector<Pending> pending_;
  std::unordered_map<long long, std::uint32_t> epochIndex_;
  std::vector<long long> epochs_;
  std::map<std::pair<long long, Group>, Figures> days_;
  std::map<std::pair<long long, Group>, DatumRow> datum_;
  std::map<std::pair<std::uint32_t, long long>, OutlierRow> outliers_;  // by satellite and day
  std::map<std::pair<char, std::string>, long long> signals_;
  long long outlierCount_ = 0;
  std::unordered_map<long long, std::vector<Span>> spans_;
  int table_ = 0;  // tables ended so far
  long long repeated_ = 0;
  bool allHealth_;
  std::vector<std::string> messages_;  // of the datum, as DatumMessage gives them
  std::map<std::pair<size_t, std::string>, long long> unhealthy_;  // by system rank and message
};

}  // namespace orbstats
