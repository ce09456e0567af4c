#include "GNSS/antenna/AntennaPCV.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "GNSS/time/TimeConverse.h"
#include "GNSS/base/satcode.h"
#include "GNSS/time/ymdhms.h"
#include "PROGINC/report/ProgramError.h"
#include "PROGINC/text/FieldNumber.h"
#include "PROGINC/files/cfilef.h"
#include "PROGINC/text/cstringf.h"

namespace {

const char kProg[] = "Orbika";

// Validity of a record that states none.
constexpr unsigned kDefaultValidFromDay = 44250;
constexpr unsigned kDefaultValidToDay = 85000;
// Smallest |DAZI| that is an azimuth grid rather than "no azimuth PCV".
constexpr double kAzimuthThreshold = 0.0001;
// The file gives offsets and variations in millimetres.
constexpr double kMmPerM = 1000.0;
// First column (1-based) of the variation values and their spacing.
constexpr int kFirstValueCol = 9;
constexpr int kValueColStep = 8;

// Block names of GPS satellites and GLONASS generations, with their codes.
struct TypeCode {
  const char* name;
  short code;
};
const TypeCode kNamedBlocks[] = {
    {"BLOCK I", 1},    {"BLOCK II", 2},    {"BLOCK IIA", 3},   {"BLOCK IIR", 4},
    {"BLOCK IIR-A", 5}, {"BLOCK IIR-B", 6}, {"BLOCK IIR-M", 7}, {"BLOCK IIF", 8},
    {"BLOCK IIIA", 9}, {"GLONASS", 10},    {"GLONASS-M", 11},  {"GLONASS-K", 12},
    {"GLONASS-K1", 13},
};
// Families coded as a whole, by the start of the name.
const TypeCode kBlockFamilies[] = {
    {"GALILEO", 14},
    {"BEIDOU", antexns::BlockBeiDou},
    {"QZSS", antexns::BlockQZSS},
    {"IRNSS", antexns::BlockIRNSS},
};
constexpr short kLastKnownType = antexns::UnknownBlock;

// Code of a satellite's block name (columns 1-20, blanks trimmed).
short BlockCode(const char* name) {
  for (const TypeCode& t : kNamedBlocks)
    if (std::strcmp(name, t.name) == 0) return t.code;
  for (const TypeCode& t : kBlockFamilies)
    if (std::strncmp(name, t.name, std::strlen(t.name)) == 0) return t.code;
  return antexns::UnknownBlock;
}

// Code of a frequency whose tables are kept (system letter in column 4,
// frequency digit in column 6), -1 for any other.
short KeptFrequency(char sys, char num) {
  if (sys == 'G' && num == '1') return antexns::G01;
  if (sys == 'G' && num == '2') return antexns::G02;
  if (sys == 'R' && num == '1') return antexns::R01;
  if (sys == 'R' && num == '2') return antexns::R02;
  if (sys == 'E' && num == '1') return antexns::E01;
  if (sys == 'E' && num == '7') return antexns::E07;
  return -1;
}

// Character at 0-based index i, or a blank beyond the end of the line.
char CharAt(const char* line, std::size_t len, std::size_t i) {
  return i < len ? line[i] : ' ';
}

// The number of the field from column col to the end of the line; a value
// beyond the range of double is no usable number of this file and gives 0.
double Number(const char* line, int col) {
  const double v = FieldNumber(line, col, 0);
  return std::isfinite(v) ? v : 0.0;
}

// Cell of value x in a grid of n nodes spaced step apart from x0: the lower
// node index, clamped so that the cell lies inside the grid.
long LowerNode(double x, double x0, double step, long n) {
  if (n < 2) return 0;
  const double t = (x - x0) / step;
  if (!(t > 0.0)) return 0;  // also catches NaN
  if (t >= static_cast<double>(n - 1)) return n - 2;
  return static_cast<long>(t);
}

// Position of x inside the cell that starts at node i, in [0, 1]: the ends of
// the grid clamp.
double CellFraction(double x, double x0, double step, long i, long n) {
  if (n < 2) return 0.0;
  const double f = (x - (x0 + static_cast<double>(i) * step)) / step;
  if (!(f > 0.0)) return 0.0;
  return f < 1.0 ? f : 1.0;
}

// Azimuth reduced to [0, 360) degrees.
double ReduceAzimuth(double azi) {
  double a = std::fmod(azi, 360.0);
  if (a < 0.0) a += 360.0;
  return a;
}

}  // namespace

namespace antexns {

short SatelliteAt(const char* line) {
  const std::size_t len = std::strlen(line);
  const char code[] = {CharAt(line, len, 20), CharAt(line, len, 21), CharAt(line, len, 22), '\0'};
  for (std::size_t i = 23; i < 40; ++i)
    if (CharAt(line, len, i) != ' ') return satcode::kNone;
  return satcode::Parse(code);
}

bool GetAtxLine(std::istream& in, char* buf, bool& tooLong) {
  const LineRead r = ReadLine(in, buf, LineMax + 1);
  tooLong = (r == LineRead::TooLong);
  return r != LineRead::End;
}

}  // namespace antexns

AntennaPCV::AntennaPCV()
    : SatID(0),
      AntennaName{},
      AntennaSerial{},
      PCVType(-1),
      dazi(0.0),
      zen1(0.0),
      zen2(0.0),
      dzen(0.0),
      nZen(0),
      nAzi(0),
      nFreq(0),
      ixZen(-1),
      ixAzm(-1),
      thres(kAzimuthThreshold),
      hasAzimuthPCV(false),
      blocks{},
      nBlocks(0) {
  ValidFrom.Set(kDefaultValidFromDay, 0.0L);
  ValidTo.Set(kDefaultValidToDay, 0.0L);
  ResetCompletion();
}

void AntennaPCV::ResetCompletion() {
  for (short f = 0; f < antexns::NFreqKept; ++f) pcFrom[f] = zenFrom[f] = aziFrom[f] = f;
}

AntennaPCV::Frequency AntennaPCV::Freq(short freq) {
  Own(freq);  // an unknown code ends the run here
  return {Own(pcFrom[freq]).pc, Own(zenFrom[freq]).pvzen, Own(aziFrom[freq]).pvazi};
}

AntennaPCV::Frequency AntennaPCV::Own(short freq) {
  switch (freq) {
    case antexns::G01: return {&PC_G01, &PVZEN_G01, &PVAZI_G01};
    case antexns::G02: return {&PC_G02, &PVZEN_G02, &PVAZI_G02};
    case antexns::R01: return {&PC_R01, &PVZEN_R01, &PVAZI_R01};
    case antexns::R02: return {&PC_R02, &PVZEN_R02, &PVAZI_R02};
    case antexns::E01: return {&PC_E01, &PVZEN_E01, &PVAZI_E01};
    case antexns::E07: return {&PC_E07, &PVZEN_E07, &PVAZI_E07};
    default: ProgramError(kProg, "FREQUENCY TYPE NOT PROPER!");
  }
}

const neu& AntennaPCV::GetOffset(short freq) const {
  return *const_cast<AntennaPCV*>(this)->Freq(freq).pc;
}

const matrix<double>& AntennaPCV::GetPVZEN(short freq) const {
  return *const_cast<AntennaPCV*>(this)->Freq(freq).pvzen;
}

const matrix<double>& AntennaPCV::GetPVAZI(short freq) const {
  return *const_cast<AntennaPCV*>(this)->Freq(freq).pvazi;
}

AtxRecordStatus AntennaPCV::ReadFile(std::istream& in) {
  hasAzimuthPCV = false;
  ResetCompletion();
  nBlocks = 0;
  char line[antexns::LineMax + 1];
  char pending[4] = "";  // code of a block whose offset line is still to come
  bool tooLong = false;
  bool ended = false;
  while (antexns::GetAtxLine(in, line, tooLong)) {
    if (tooLong) return AtxRecordStatus::LineTooLong;
    if (std::strstr(line, "END OF ANTENNA") != nullptr) {
      ended = true;
      break;
    }
    // The next record begins: this one lost its end line.
    if (std::strstr(line, "START OF ANTENNA") != nullptr) return AtxRecordStatus::NoEnd;
    // Comment text is free text; a label quoted in it is no label.
    if (std::strstr(line, "COMMENT") != nullptr) continue;

    if (std::strstr(line, "TYPE / SERIAL NO") != nullptr) ParseSerialType(line);
    if (std::strstr(line, "DAZI") != nullptr) {
      dazi = Number(line, 3);
      hasAzimuthPCV = std::fabs(dazi) > thres;
    }
    if (std::strstr(line, "ZEN1 / ZEN2 / DZEN") != nullptr) {
      zen1 = Number(line, 3);
      zen2 = Number(line, 9);
      dzen = Number(line, 15);
    }
    if (std::strstr(line, "# OF FREQUENCIES") != nullptr)
      nFreq = static_cast<int>(FieldInteger(line, 1, 0));
    if (std::strstr(line, "VALID FROM") != nullptr) ParseValid(line, ValidFrom);
    if (std::strstr(line, "VALID UNTIL") != nullptr) ParseValid(line, ValidTo);
    // The offset of a block whose tables are not kept.
    if (pending[0] != '\0' && std::strstr(line, "NORTH / EAST / UP") != nullptr) {
      KeepOffset(pending, ParseOffset(line));
      pending[0] = '\0';
    }
    if (std::strstr(line, "START OF FREQUENCY") != nullptr) {
      const AtxRecordStatus s = StartFrequency(in, line, pending);
      if (s != AtxRecordStatus::Ok) return s;
    }
    if (std::strstr(line, "END OF FREQUENCY") != nullptr) pending[0] = '\0';
  }
  if (!ended) return AtxRecordStatus::NoEnd;

  if (PCVType == 0) {
    CompleteFrequencies();
  } else if (PCVType < 1 || PCVType > kLastKnownType) {
    ProgramWarning(kProg, "TYPE OF ANTENNA SENSOR NOT DEFINED [RECEIVER|GPS|GLONASS|GALILEO]!");
  }
  return AtxRecordStatus::Ok;
}

AtxRecordStatus AntennaPCV::StartFrequency(std::istream& in, const char* line, char* pending) {
  // Frequency code in columns 4-6.
  const std::size_t len = std::strlen(line);
  const char code[4] = {CharAt(line, len, 3), CharAt(line, len, 4), CharAt(line, len, 5), '\0'};
  pending[0] = '\0';
  const short kept = KeptFrequency(code[0], code[2]);
  if (kept < 0) {
    if (code[0] != ' ') std::memcpy(pending, code, sizeof code);
    return AtxRecordStatus::Ok;
  }
  const Frequency f = Own(kept);
  const AtxRecordStatus s = ReadPCVData(in, *f.pc, *f.pvzen, *f.pvazi);
  if (s == AtxRecordStatus::Ok) KeepOffset(code, *f.pc);
  return s;
}

void AntennaPCV::ParseSerialType(const char* line) {
  char name[21];
  substr(line, 0, 20, name);
  std::memcpy(AntennaName, name, sizeof AntennaName);
  substr(line, 20, 20, AntennaSerial);

  // A receiver antenna's serial number is no satellite code, whatever
  // letter it begins with: the code stands alone in its field.
  const short sat = antexns::SatelliteAt(line);
  if (sat == satcode::kNone) {
    PCVType = 0;
    SatID = 0;
    return;
  }
  SatID = sat;
  trim(name);
  PCVType = BlockCode(name);
}

void AntennaPCV::ParseValid(const char* line, mjd& t) {
  ymdhms d;
  d.Set(static_cast<unsigned short>(FieldInteger(line, 1, 0)),
        static_cast<unsigned short>(FieldInteger(line, 7, 0)),
        static_cast<unsigned short>(FieldInteger(line, 13, 0)),
        static_cast<unsigned short>(FieldInteger(line, 19, 0)),
        static_cast<unsigned short>(FieldInteger(line, 25, 0)),
        static_cast<long double>(Number(line, 31)));
  t = ymdhms2mjd(d);
}

neu AntennaPCV::ParseOffset(const char* line) {
  // Read at double precision, then scaled in long double like every other
  // quantity of the correction.
  const long double mmPerM = kMmPerM;
  neu pc;
  pc.Set(Number(line, 1) / mmPerM, Number(line, 11) / mmPerM,
         Number(line, 21) / mmPerM);
  return pc;
}

void AntennaPCV::KeepOffset(const char* code, const neu& offset) {
  if (nBlocks >= antexns::MaxFreqBlocks) return;
  for (int i = 0; i < nBlocks; ++i)
    if (std::strcmp(blocks[i].code, code) == 0) return;
  std::memcpy(blocks[nBlocks].code, code, sizeof blocks[nBlocks].code);
  blocks[nBlocks].offset = offset;
  ++nBlocks;
}

bool AntennaPCV::GetFirstOffset(char system, neu& dpos) const {
  int best = -1;
  for (int i = 0; i < nBlocks; ++i) {
    if (blocks[i].code[0] != system) continue;
    // Lowest frequency number: compare the two characters after the letter.
    if (best < 0 || std::strcmp(blocks[i].code + 1, blocks[best].code + 1) < 0) best = i;
  }
  if (best < 0) return false;
  dpos = blocks[best].offset;
  return true;
}

bool AntennaPCV::GetOffsetOf(const char* code, neu& dpos) const {
  for (int i = 0; i < nBlocks; ++i)
    if (std::strcmp(blocks[i].code, code) == 0) {
      dpos = blocks[i].offset;
      return true;
    }
  return false;
}

AtxRecordStatus AntennaPCV::ReadPCVData(std::istream& in, neu& pc, matrix<double>& pvzen,
                                        matrix<double>& pvazi) {
  char line[antexns::LineMax + 1];
  bool tooLong = false;

  // NORTH / EAST / UP, millimetres.
  if (!antexns::GetAtxLine(in, line, tooLong)) return AtxRecordStatus::NoEnd;
  if (tooLong) return AtxRecordStatus::LineTooLong;
  pc = ParseOffset(line);

  // The zenith grid must be usable before its rows are sized.
  if (!(dzen > 0.0) || !(zen2 >= zen1) ||
      !((zen2 - zen1) / dzen < static_cast<double>(antexns::MaxZenNodes)))
    return AtxRecordStatus::BadZenithGrid;
  nZen = static_cast<long>((zen2 - zen1) / dzen) + 1;

  // NOAZI row.
  if (!antexns::GetAtxLine(in, line, tooLong)) return AtxRecordStatus::NoEnd;
  if (tooLong) return AtxRecordStatus::LineTooLong;
  pvzen.Resize(static_cast<int>(nZen), 1, 0.0);
  for (long k = 0; k < nZen; ++k)
    pvzen(static_cast<int>(k)) =
        Number(line, kFirstValueCol + kValueColStep * static_cast<int>(k)) / kMmPerM;

  if (std::fabs(dazi) > thres) {
    if (!(dazi > 0.0) || !(360.0 / dazi < static_cast<double>(antexns::MaxAziNodes)))
      return AtxRecordStatus::BadAzimuthGrid;
    nAzi = static_cast<long>(360.0 / dazi) + 1;
    pvazi.Resize(static_cast<int>(nAzi), static_cast<int>(nZen), 0.0);
    // One row per azimuth; the azimuth itself (columns 1-8) is implied.
    for (long a = 0; a < nAzi; ++a) {
      if (!antexns::GetAtxLine(in, line, tooLong)) return AtxRecordStatus::NoEnd;
      if (tooLong) return AtxRecordStatus::LineTooLong;
      for (long k = 0; k < nZen; ++k)
        pvazi(static_cast<int>(a), static_cast<int>(k)) =
            Number(line, kFirstValueCol + kValueColStep * static_cast<int>(k)) /
            kMmPerM;
    }
  }
  return AtxRecordStatus::Ok;
}

void AntennaPCV::CopyFrequency(short from, short to) {
  pcFrom[to] = pcFrom[from];
  zenFrom[to] = zenFrom[from];
  if (hasAzimuthPCV) aziFrom[to] = aziFrom[from];
}

void AntennaPCV::CompleteFrequencies() {
  // A frequency is missing when it has no variation row of its own.  R02
  // comes after G02, so that it sees G02 completed.
  struct Fill {
    short missing;
    short from;
  };
  const Fill fills[] = {
      {antexns::G02, antexns::G01}, {antexns::R01, antexns::G01},
      {antexns::R02, antexns::G02}, {antexns::E01, antexns::G01},
      {antexns::E07, antexns::G02},
  };
  for (const Fill& f : fills)
    if (Freq(f.missing).pvzen->Length() <= 1) CopyFrequency(f.from, f.missing);
}

void AntennaPCV::SetIX(double zen, double azi) {
  ixZen = LowerNode(zen, zen1, dzen, nZen);
  ixAzm = hasAzimuthPCV ? LowerNode(ReduceAzimuth(azi), 0.0, dazi, nAzi) : -1;
}

double AntennaPCV::GetAntennaPCV_ZEN(const matrix<double>& pvzen, double zen) const {
  const long n = pvzen.Length();
  if (n == 0) return 0.0;
  const long i = LowerNode(zen, zen1, dzen, n);
  const double f = CellFraction(zen, zen1, dzen, i, n);
  const double v0 = pvzen(static_cast<int>(i));
  if (n < 2) return v0;
  const double v1 = pvzen(static_cast<int>(i + 1));
  // Linear interpolation between the two zenith nodes.
  return v0 + f * (v1 - v0);
}

double AntennaPCV::GetAntennaPCV_AZI(const matrix<double>& pvazi, double zen,
                                     double azi) const {
  const long na = pvazi.NRow();
  const long nz = pvazi.NCol();
  if (na == 0 || nz == 0) return 0.0;
  const double a = ReduceAzimuth(azi);
  const long iz = LowerNode(zen, zen1, dzen, nz);
  const long ia = LowerNode(a, 0.0, dazi, na);
  const double fz = CellFraction(zen, zen1, dzen, iz, nz);
  const double fa = CellFraction(a, 0.0, dazi, ia, na);
  const int iz1 = static_cast<int>(nz < 2 ? iz : iz + 1);
  const int ia1 = static_cast<int>(na < 2 ? ia : ia + 1);
  // Bilinear interpolation: along zenith on both azimuth rows, then between
  // the rows.
  const double lo = pvazi(static_cast<int>(ia), static_cast<int>(iz)) +
                    fz * (pvazi(static_cast<int>(ia), iz1) -
                          pvazi(static_cast<int>(ia), static_cast<int>(iz)));
  const double hi = pvazi(ia1, static_cast<int>(iz)) +
                    fz * (pvazi(ia1, iz1) - pvazi(ia1, static_cast<int>(iz)));
  return lo + fa * (hi - lo);
}

void AntennaPCV::GetAntennaPCV(double zen, double azi, matrix<double>& pcv) {
  pcv.Resize(antexns::NFreqKept, 1, 0.0);
  SetIX(zen, azi);
  for (short k = 0; k < antexns::NFreqKept; ++k) {
    const Frequency f = Freq(k);
    pcv(k) = hasAzimuthPCV && f.pvazi->Length() > 0 ? GetAntennaPCV_AZI(*f.pvazi, zen, azi)
                                                    : GetAntennaPCV_ZEN(*f.pvzen, zen);
  }
}
