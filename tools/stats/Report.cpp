#include "tools/stats/Report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/stats/Epoch.h"

namespace orbstats {

namespace {

struct Column {
  const char* csv;
  const char* text;
  bool left;
};

// The columns of the satellite and system rows after their first ones.
const Column kFigureColumns[] = {{"records", "records", false},
                                 {"no_diff", "no diff", false},
                                 {"outliers", "outliers", false},
                                 {"bad_clock", "bad clock", false},
                                 {"clocks", "clocks", false},
                                 {"radial_mean_m", "R mean", false},
                                 {"radial_rms_m", "R rms", false},
                                 {"along_mean_m", "A mean", false},
                                 {"along_rms_m", "A rms", false},
                                 {"cross_mean_m", "C mean", false},
                                 {"cross_rms_m", "C rms", false},
                                 {"median_3d_m", "3D median", false},
                                 {"rms_3d_m", "3D rms", false},
                                 {"clock_mean_ns", "clock mean", false},
                                 {"clock_rms_ns", "clock rms", false},
                                 {"orbit_sisre_rms_m", "orbit SISRE rms", false},
                                 {"orbit_sisre_p95_m", "orbit SISRE p95", false},
                                 {"sisre_rms_m", "SISRE rms", false},
                                 {"sisre_p95_m", "SISRE p95", false},
                                 {"sisre_no_offsets_rms_m", "SISRE no offsets rms", false}};

// Why a satellite's row is kept out of the system and day figures.
const char* const kNoOffset = "no antenna offset";

const int kMedian = 50, kP95 = 95;  // percentiles printed

// The datum of the QZSS epochs that take the GPS one.
const char* const kOnGps = "own; GPS's where too few; no QZSS-GPS time offset in the table";

// Fixed-point text of x, "nan" when it has none, never "-0.000".
std::string Fixed(long double x, int decimals) {
  if (!std::isfinite(x)) return "nan";
  char text[64];
  std::snprintf(text, sizeof text, "%.*Lf", decimals, x);
  std::string s = text;
  if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
  return s;
}
std::string Metres(long double x) { return Fixed(x, 3); }
std::string Nanoseconds(long double x) { return Fixed(x, 2); }

Table Start(const char* name, const char* title, std::vector<Column> columns) {
  Table table{name, title, {}, {}, {}, {}};
  for (const Column& c : columns) {
    table.csv.push_back(c.csv);
    table.text.push_back(c.text);
    table.left.push_back(c.left);
  }
  return table;
}

std::vector<std::string> FigureCells(const SummaryRow& row) {
  const Figures& f = row.figures;
  std::vector<std::string> cells;
  for (long long n : {f.Records(), f.noDiff, f.outliers, f.badClock, f.clockNs.n})
    cells.push_back(std::to_string(n));
  for (const Moment& m : f.rac) {
    cells.push_back(Metres(m.Mean()));
    cells.push_back(Metres(m.Rms()));
  }
  cells.push_back(Metres(f.d3.Percentile(kMedian)));
  cells.push_back(Metres(f.Rms3d()));
  cells.push_back(Nanoseconds(f.clockNs.Mean()));
  cells.push_back(Nanoseconds(f.clockNs.Rms()));
  cells.push_back(Metres(f.orbitSisre.Rms()));
  cells.push_back(Metres(f.orbitBins.Percentile(kP95)));
  cells.push_back(Metres(f.sisre.Rms()));
  cells.push_back(Metres(f.sisreBins.Percentile(kP95)));
  const long long n = f.sisre.n;
  cells.push_back(Metres(n ? std::sqrt(row.offsetFreeSumSq / n) : NAN));
  return cells;
}

// Puts a column at position at, cells[i] into row i.
void InsertColumn(Table& table, size_t at, const Column& column,
                  const std::vector<std::string>& cells) {
  table.csv.insert(table.csv.begin() + at, column.csv);
  table.text.insert(table.text.begin() + at, column.text);
  table.left.insert(table.left.begin() + at, column.left);
  for (size_t i = 0; i < table.rows.size(); ++i)
    table.rows[i].insert(table.rows[i].begin() + at, cells[i]);
}

const Column kMsgColumn{"msg", "msg", true};

// The message column, after the first at columns, where the tables have one.
template <class Row, class Msg>
void AddMessages(Table& table, size_t at, const std::vector<Row>& rows, bool messages, Msg msg) {
  if (!messages) return;
  std::vector<std::string> cells;
  for (const Row& row : rows) cells.push_back(msg(row));
  InsertColumn(table, at, kMsgColumn, cells);
}

// The median broadcast accuracy and the share of SISRE above it [%].
void AddAccuracy(Table& table, const std::vector<SummaryRow>& rows, bool messages) {
  if (!messages) return;
  std::vector<std::string> median, share;
  for (const SummaryRow& row : rows) {
    const Figures& f = row.figures;
    const bool any = f.accuracy.Count() > 0;
    median.push_back(any ? Metres(f.accuracy.Percentile(kMedian)) : "");
    share.push_back(!any ? ""
                    : f.sisreAccuracy ? Fixed(100.0L * f.overAccuracy / f.sisreAccuracy, 1)
                                      : "nan");
  }
  InsertColumn(table, table.csv.size(), {"accuracy_median_m", "accuracy median", false}, median);
  InsertColumn(table, table.csv.size(), {"sisre_over_accuracy_pct", "SISRE > accuracy %", false},
               share);
}

// A table of summary rows: the first columns, from cells of each row, and
// the figures.
Table SummaryTable(const char* name, const char* title, std::vector<Column> columns,
                   const std::vector<SummaryRow>& rows,
                   std::vector<std::string> (*first)(const SummaryRow&)) {
  columns.insert(columns.end(), std::begin(kFigureColumns), std::end(kFigureColumns));
  Table table = Start(name, title, columns);
  for (const SummaryRow& row : rows) {
    std::vector<std::string> cells = first(row);
    for (std::string& cell : FigureCells(row)) cells.push_back(std::move(cell));
    table.rows.push_back(std::move(cells));
  }
  return table;
}

Table SatelliteTable(const DiffStats& stats, bool messages) {
  Table table = SummaryTable(
      "satellites", "Satellites over the period",
      {{"sat", "sat", true}, {"system", "system", true}, {"type", "type", true}},
      stats.Satellites(), [](const SummaryRow& row) -> std::vector<std::string> {
        return {row.sat, GroupName(row.group), TypeName(row.group.type)};
      });
  // The rows kept out of the system and day figures say why.
  table.csv.push_back("kept_out");
  table.text.push_back("kept out");
  table.left.push_back(true);
  const std::vector<SummaryRow> rows = stats.Satellites();
  for (size_t i = 0; i < rows.size(); ++i) table.rows[i].push_back(rows[i].apart ? kNoOffset : "");
  AddAccuracy(table, rows, messages);
  AddMessages(table, 1, rows, messages, [](const SummaryRow& row) { return row.group.msg; });
  return table;
}

Table SystemTable(const DiffStats& stats, bool messages) {
  const std::vector<SummaryRow> rows = stats.Systems();
  Table table = SummaryTable(
      "systems", "Systems over the period",
      {{"system", "system", true}, {"type", "type", true}, {"satellites", "satellites", false}},
      rows, [](const SummaryRow& row) -> std::vector<std::string> {
        return {GroupName(row.group), TypeName(row.group.type), std::to_string(row.satellites)};
      });
  AddAccuracy(table, rows, messages);
  AddMessages(table, 1, rows, messages, [](const SummaryRow& row) { return row.group.msg; });
  return table;
}

Table DayTable(const DiffStats& stats, bool messages) {
  Table table = Start("days", "Days",
                      {{"date", "date", true},
                       {"system", "system", true},
                       {"type", "type", true},
                       {"records", "records", false},
                       {"median_3d_m", "3D median", false},
                       {"orbit_sisre_rms_m", "orbit SISRE rms", false},
                       {"sisre_rms_m", "SISRE rms", false}});
  for (const DayRow& row : stats.Days()) {
    const Figures& f = *row.figures;
    table.rows.push_back({DateText(row.mjd), GroupName(row.group), TypeName(row.group.type),
                          std::to_string(f.Records()), Metres(f.d3.Percentile(kMedian)),
                          Metres(f.orbitSisre.Rms()), Metres(f.sisre.Rms())});
  }
  AddMessages(table, 2, stats.Days(), messages, [](const DayRow& row) { return row.group.msg; });
  return table;
}

Table DatumTable(const DiffStats& stats, bool messages) {
  Table table = Start("datum", "Clock datum: epochs, and the satellites that formed it",
                      {{"date", "date", true},
                       {"system", "system", true},
                       {"epochs", "epochs", false},
                       {"left_out", "left out", false},
                       {"on_gps", "on GPS", false},
                       {"fewest", "fewest", false},
                       {"most", "most", false},
                       {"datum", "datum", true}});
  for (const DatumRow& row : stats.Datum())
    table.rows.push_back({DateText(row.mjd), GroupName(row.system), std::to_string(row.epochs),
                          std::to_string(row.leftOut), std::to_string(row.joined),
                          std::to_string(row.fewest), std::to_string(row.most),
                          row.joined ? kOnGps : "own"});
  AddMessages(table, 2, stats.Datum(), messages,
              [](const DatumRow& row) { return row.system.msg; });
  return table;
}

Table OutlierTable(const DiffStats& stats, bool messages) {
  Table table = Start("outliers", "Outliers by satellite and day",
                      {{"sat", "sat", true},
                       {"date", "date", true},
                       {"orbit", "3D", false},
                       {"clock", "clock", false},
                       {"first", "first", true},
                       {"last", "last", true},
                       {"max_3d_m", "3D max", false},
                       {"max_clock_ns", "clock max", false}});
  for (const OutlierRow& row : stats.Outliers())
    table.rows.push_back({row.sat, DateText(row.mjd), std::to_string(row.orbit),
                          std::to_string(row.clock), EpochText(row.first), EpochText(row.last),
                          Metres(row.orbit ? row.max3d : NAN),
                          Nanoseconds(row.clock ? row.maxClock * 1e9 : NAN)});
  AddMessages(table, 1, stats.Outliers(), messages, [](const OutlierRow& row) { return row.msg; });
  return table;
}

}  // namespace

const std::vector<std::string>& TableNames() {
  static const std::vector<std::string> names{"satellites", "systems", "days", "datum", "outliers"};
  return names;
}

std::vector<Table> MakeTables(const DiffStats& stats, const Inputs& inputs) {
  const bool m = inputs.messages > 0;
  return {SatelliteTable(stats, m), SystemTable(stats, m), DayTable(stats, m),
          DatumTable(stats, m), OutlierTable(stats, m)};
}

namespace {

// "n of m tables".
std::string Of(long long n, size_t m) {
  return std::to_string(n) + " of " + std::to_string(m) + " tables";
}


// Which signal each system's clocks are on.
std::string SignalNote(const DiffStats& stats) {
  const std::vector<SignalRow> signals = stats.Signals();
  bool broadcast = false, glonassL1 = false, paired = false;
  std::string text;
  for (size_t i = 0; i < signals.size(); ++i) {
    const SignalRow& row = signals[i];
    const bool first = i == 0 || signals[i - 1].system != row.system;
    const bool alone = first && (i + 1 == signals.size() || signals[i + 1].system != row.system);
    text += first ? (i ? "; " : "") + SystemName(row.system) + " " : ", ";
    text += row.signal;
    if (!alone) text += " (" + std::to_string(row.records) + (row.records == 1 ? " record)" : " records)");
    broadcast = broadcast || row.signal == kBroadcastSignal;
    glonassL1 = glonassL1 || (row.system == 'R' && row.signal == kGlonassL1);
    paired = paired || row.signal != kBroadcastSignal;
  }
  if (!paired)
    return "Clock signals: the table brings no broadcast clock to a signal pair (a text table"
           " never does), so the clocks are on each system's broadcast signal and each"
           " satellite's clock mean holds its group delays, large for BeiDou.";
  text = "Clock signals, the broadcast clock brought to the pair of the precise clocks as the"
         " table says: " + text + ".";
  if (glonassL1)
    text += " GLONASS records without dTau_n have no pair: those GLONASS clocks stay on L1.";
  if (broadcast)
    text += " On the broadcast signal a satellite's clock mean holds its group delays.";
  return text;
}

// What was done with the records' health, where the tables give it.
std::string HealthNote(const DiffStats& stats) {
  if (stats.AllHealth()) return "Health: records of every health are kept (--all-health).";
  std::string counts;
  long long total = 0;
  for (const UnhealthyRow& row : stats.Unhealthy()) {
    counts += (counts.empty() ? "" : ", ") + SystemName(row.system) +
              (row.msg.empty() ? "" : " " + row.msg) + " " + std::to_string(row.records);
    total += row.records;
  }
  return "Health: " + std::to_string(total) + (total == 1 ? " record" : " records") +
         " whose health field is not 0 left out" +
         (counts.empty() ? "" : " (" + counts + ")") +
         "; 0 is healthy in every system's field: GPS and QZSS LNAV SV health and CNAV-2 L1C"
         " health, CNAV the L1 and L2 bits (its L5 bit not looked at), Galileo SVHS and DVS bits, BeiDou SatH1 and B-CNAV HS, GLONASS Bn, NavIC and"
         " SBAS as written; an empty field is kept; --all-health keeps every record.";
}

// The satellites kept out of the system and day figures.
std::string ApartNote(const DiffStats& stats) {
  std::string sats;
  for (const SummaryRow& row : stats.Satellites())
    if (row.apart) sats += (sats.empty() ? "" : " ") + row.sat;
  if (sats.empty()) return "";
  return "Kept out of the system and day figures, in rows of their own (\"kept out\"), as the"
         " ANTEX file has no offset for them (their precise positions stay at the centre of"
         " mass, the broadcast ones are antenna phase centres): " +
         sats + ".";
}

}  // namespace

std::vector<std::string> Notes(const DiffStats& stats, const Inputs& inputs) {
  long long records = 0, badClock = 0;
  for (const SummaryRow& row : stats.Systems()) {
    records += row.figures.Records();
    badClock += row.figures.badClock;
  }
  const std::vector<DayRow> days = stats.Days();
  const std::string span =
      days.empty() ? "no day" : DateText(days.front().mjd) + " to " + DateText(days.back().mjd);
  const std::string from =
      inputs.names.size() == 1 ? inputs.names[0] : std::to_string(inputs.names.size()) + " tables";
  const std::string least = std::to_string(kDatumSatellites);
  std::vector<std::string> notes{
      "Precise minus broadcast in " + from + ", " + span + ": " + std::to_string(records) +
          " records kept; R radial, A along-track, C cross-track in the orbit's own frame (from"
          " the inertial velocity), 3D length of the difference [m].",
      "Clock [ns]: the table's difference plus -2 (r . v) / c^2 of the precise orbit (IGS users"
      " add this periodic relativistic term to the precise clocks; the broadcast clocks hold"
      " it); for GLONASS plus that of the broadcast orbit too (the table's GLONASS broadcast"
      " clock holds it, GLONASS users apply none); records whose precise clock is the SP3"
      " bad-clock marker have none (" +
          std::to_string(badClock) + " kept).",
      SignalNote(stats),
      "Clock datum: at each epoch the median over the system's satellites is removed, BDS-2 and"
      " BDS-3 each their own; where fewer than " + least + " QZSS satellites form one, QZSS"
      " takes the GPS one (the table has no QZSS-GPS time offset, so none is applied); epochs"
      " without a datum of " + least + " satellites are left out of the clock figures (table"
      " \"datum\").",
      "Outliers: " + std::to_string(stats.OutlierCount()) +
          " records whose 3D difference exceeds " + Fixed(kOutlier3d, 0) +
          " m, or whose clock lies more than " + Fixed(kOutlierClock * 1e6, 0) +
          " us from the epoch's median, are kept out of every figure (table \"outliers\").",
      "SISRE [m]: orbit-only sqrt((wR R)^2 + wAC^2 (A^2 + C^2)) and sqrt((wR R - c dt)^2 + wAC^2"
      " (A^2 + C^2)), weights of Montenbruck, Steigenberger and Hauschild (2018) by system and"
      " orbit type; the system rows are global averages over all their satellite-epoch values;"
      " \"SISRE no offsets\" removes each satellite's mean of wR R - c dt over the period.",
      "Medians and 95th percentiles (p95): nearest rank, from bins of 1 mm."};
  if (inputs.messages) {
    notes.push_back(
        "Messages: each satellite, system, day and clock datum has a row per broadcast message"
        " (msg); accuracy median is that of the records' broadcast accuracy (accuracy_m: URA,"
        " SISA) and SISRE > accuracy the share of records with both whose SISRE exceeds the"
        " record's own accuracy [%], empty where the table gives no accuracy.");
    notes.push_back(HealthNote(stats));
  }
  const std::string apart = ApartNote(stats);
  if (!apart.empty()) notes.push_back(apart);
  const size_t tables = inputs.names.size();
  if (inputs.noAntex)
    notes.push_back(
        (tables == 1 ? std::string("The table names") : Of(inputs.noAntex, tables) + " name") +
        " no ANTEX file: the precise positions are the centres of mass, so the radial"
        " term carries the antenna offsets.");
  if (inputs.antexUnknown)
    notes.push_back(
        (tables == 1 ? std::string("The table does") : Of(inputs.antexUnknown, tables) + " do") +
        " not say whether an ANTEX file was used.");
  return notes;
}

namespace {

// Columns padded to their widest cell, text to the left, numbers to the right.
void WriteAligned(std::ostream& out, const Table& table) {
  std::vector<size_t> width(table.text.size());
  for (size_t i = 0; i < width.size(); ++i) width[i] = table.text[i].size();
  for (const auto& cells : table.rows)
    for (size_t i = 0; i < cells.size(); ++i) width[i] = std::max(width[i], cells[i].size());
  std::vector<const std::vector<std::string>*> lines{&table.text};
  for (const auto& cells : table.rows) lines.push_back(&cells);
  for (const auto* cells : lines) {
    std::string line;
    for (size_t i = 0; i < cells->size(); ++i) {
      const std::string& cell = (*cells)[i];
      const std::string pad(width[i] - cell.size(), ' ');
      line += (i ? "  " : "") + (table.left[i] ? cell + pad : pad + cell);
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    if (!(out << line << '\n')) return;
  }
}

void WriteRow(std::ostream& out, const std::vector<std::string>& cells) {
  for (size_t i = 0; i < cells.size(); ++i) out << (i ? "," : "") << cells[i];
  out << '\n';
}

}  // namespace

void WriteText(std::ostream& out, const std::vector<std::string>& notes,
               const std::vector<Table>& tables) {
  for (const std::string& note : notes) out << "# " << note << '\n';
  for (const Table& table : tables) {
    if (!(out << '\n' << table.title << '\n')) return;
    if (table.rows.empty())
      out << "(none)\n";
    else
      WriteAligned(out, table);
  }
}

void WriteCsv(std::ostream& out, const std::vector<std::string>& notes,
              const std::vector<Table>& tables, const std::string& only) {
  if (only.empty())
    for (const std::string& note : notes) out << "# " << note << '\n';
  bool first = true;
  for (const Table& table : tables) {
    if (!only.empty() && table.name != only) continue;
    if (only.empty()) out << (first ? "" : "\n") << "# " << table.name << '\n';
    first = false;
    WriteRow(out, table.csv);
    for (const auto& cells : table.rows) {
      WriteRow(out, cells);
      if (!out) return;
    }
  }
}

}  // namespace orbstats
