#include "GNSS/antenna/antexNew.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "GNSS/base/satcode.h"
#include "GNSS/time/TimeText.h"
#include "PROGINC/files/InputFile.h"
#include "PROGINC/report/ProgramError.h"
#include "PROGINC/text/FieldNumber.h"
#include "PROGINC/files/cfilef.h"
#include "PROGINC/text/cstringf.h"

namespace antexns {
short PrintWarns = 1;
}  // namespace antexns

namespace {

const char kProg[] = "Orbika";

// Type codes of the GPS block IIR family (IIR, IIR-A, IIR-B, IIR-M).
constexpr short kFirstBlockIIR = 4;
constexpr short kLastBlockIIR = 7;
// Length of an antenna type name.
constexpr std::size_t kAntennaNameLength = 20;

bool Contains(const char* line, const char* label) {
  return std::strstr(line, label) != nullptr;
}

bool ValidAt(const AntennaPCV& rec, const mjd& eph) {
  return rec.GetValidFrom() <= eph && eph <= rec.GetValidTo();
}

// The warning for an antenna (what: SATELLITE or ANTENNA) the file lacks.
void WarnNotFound(const char* what, const char* name) {
  if (antexns::PrintWarns != 1) return;
  char msg[160];
  std::snprintf(msg, sizeof msg,
                "%s: %s NOT FOUND IN ANTEX FILE - SETING ALL CALIBRATION PARAMETERS TO ZERO!", what,
                name);
  ProgramWarningCout(kProg, msg);
}

}  // namespace

antex::antex()
    : antfile{},
      version(0.0f),
      satsystem('\0'),
      pvctype('\0'),
      nAntenna(0),
      nGPSSat(0),
      nGLNSat(0),
      nGALSat(0),
      nOtherSat(0),
      nRec(0),
      IxAnt(-1),
      ixZen(-1),
      ixAzm(-1) {}

void antex::FileError(const char* what) const {
  char msg[sizeof antfile + 256];
  std::snprintf(msg, sizeof msg, "ANTEX FILE %s: %s", antfile, what);
  ProgramError(kProg, msg);
}

void antex::SetFile(const char* file) {
  if (std::strlen(file) >= sizeof antfile) ProgramError(kProg, "ANTEX FILE NAME TOO LONG!");
  std::strcpy(antfile, file);
  if (!FileExists(antfile)) ProgramError(kProg, "ANTEX FILE DOES NOT EXISTS!");
}

void antex::ReadFile() {
  InputFile in(antfile);
  if (!in) FileError("CAN NOT BE OPENED!");
  ReadHeader(in);
  CheckData(in);
  in.close();

  AT_PCV.Resize(static_cast<int>(nAntenna));

  in.clear();
  in.open(antfile);
  if (!in) FileError("CAN NOT BE OPENED!");
  timeutil::ReadingContext reading("ANTEX FILE", antfile);
  reading.SetStream(in);
  ReadHeader(in);
  ReadData(in);
  in.close();
}

void antex::ReadHeader(std::istream& in) {
  char line[antexns::LineMax + 1];
  bool tooLong = false;
  while (antexns::GetAtxLine(in, line, tooLong)) {
    if (tooLong) FileError("HEADER LINE TOO LONG!");
    if (Contains(line, "END OF HEADER")) return;
    if (Contains(line, "ANTEX VERSION / SYST")) ParseRVersionType(line);
    if (Contains(line, "PCV TYPE / REFANT")) pvctype = line[0];
  }
  FileError("END OF HEADER NOT FOUND!");
}

void antex::ParseRVersionType(const char* line) {
  version = static_cast<float>(FieldNumber(line, 1, 9));
  satsystem = std::strlen(line) > 20 ? line[20] : ' ';
}

void antex::CheckData(std::istream& in) {
  nAntenna = nGPSSat = nGLNSat = nGALSat = nOtherSat = nRec = 0;
  char line[antexns::LineMax + 1];
  bool tooLong = false;
  while (antexns::GetAtxLine(in, line, tooLong)) {
    if (!Contains(line, "TYPE / SERIAL NO")) continue;
    ++nAntenna;
    switch (satcode::Letter(antexns::SatelliteAt(line))) {
      case 'G': ++nGPSSat; break;
      case 'R': ++nGLNSat; break;
      case 'E': ++nGALSat; break;
      case '\0': ++nRec; break;
      default: ++nOtherSat; break;
    }
  }
}

void antex::ReadData(std::istream& in) {
  char line[antexns::LineMax + 1];
  char what[256];
  bool tooLong = false;
  for (long i = 0; i < nAntenna; ++i) {
    bool started = false;
    while (antexns::GetAtxLine(in, line, tooLong)) {
      if (tooLong) {
        std::snprintf(what, sizeof what, "LINE LONGER THAN %d CHARACTERS BEFORE ANTENNA %ld!",
                      antexns::LineMax, i + 1);
        FileError(what);
      }
      if (Contains(line, "START OF ANTENNA")) {
        started = true;
        break;
      }
    }
    if (!started) {
      std::snprintf(what, sizeof what, "START OF ANTENNA NOT FOUND FOR ANTENNA %ld OF %ld!",
                    i + 1, nAntenna);
      FileError(what);
    }

    AntennaPCV& rec = AT_PCV(static_cast<int>(i));
    const AtxRecordStatus status = rec.ReadFile(in);
    if (status == AtxRecordStatus::Ok) {
      if (rec.GetPCVType() == antexns::UnknownBlock) WarnUnknownBlock(rec);
      continue;
    }
    const char* problem = "";
    switch (status) {
      case AtxRecordStatus::NoEnd: problem = "END OF ANTENNA NOT FOUND"; break;
      case AtxRecordStatus::BadZenithGrid: problem = "ZEN1 / ZEN2 / DZEN NOT USABLE"; break;
      case AtxRecordStatus::BadAzimuthGrid: problem = "DAZI NOT USABLE"; break;
      case AtxRecordStatus::LineTooLong: problem = "LINE TOO LONG"; break;
      case AtxRecordStatus::Ok: break;
    }
    char name[21];
    std::strcpy(name, rec.GetAntennaName());
    trim(name);
    std::snprintf(what, sizeof what, "ANTENNA %ld >%s<: %s!", i + 1, name, problem);
    FileError(what);
  }
}

void antex::WarnUnknownBlock(const AntennaPCV& rec) {
  char name[21];
  std::strcpy(name, rec.GetAntennaName());
  trim(name);
  if (!warnedBlocks.insert(name).second) return;
  char msg[128];
  std::snprintf(msg, sizeof msg,
                "SATELLITE BLOCK >%s< NOT KNOWN - ITS ANTENNAS ARE USED WITHOUT A BLOCK CODE!",
                name);
  ProgramWarning(kProg, msg);
}

AntennaPCV antex::GetAntenna(long i) const {
  return AT_PCV(static_cast<int>(i));
}

bool antex::FindSatellite(short prn, const mjd& eph) {
  IxAnt = -1;
  // Number 0 is no satellite; receiver antennas carry it.
  if (prn == 0) return false;
  for (long i = 0; i < nAntenna; ++i) {
    const AntennaPCV& rec = AT_PCV(static_cast<int>(i));
    if (rec.GetSatID() == prn && ValidAt(rec, eph)) {
      IxAnt = i;
      return true;
    }
  }
  return false;
}

void antex::SetSatellite(short prn, const mjd& eph) {
  if (!FindSatellite(prn, eph)) {
    char number[8];
    std::snprintf(number, sizeof number, "%d", prn);
    WarnNotFound("SATELLITE", number);
  }
}

void antex::GetAntennaOffset(neu& dpos, short freq) const {
  dpos.Set(0.0L, 0.0L, 0.0L);
  if (IxAnt == -1) return;
  if (freq < 0 || freq >= antexns::NFreqKept) {
    ProgramWarningCout(kProg, "FREQUENCY TYPE NOT PROPER (GETTING ANTENNA OFFSET)!");
    return;
  }
  dpos = AT_PCV(static_cast<int>(IxAnt)).GetOffset(freq);
}

bool antex::GetFirstOffset(neu& dpos, char system) const {
  dpos.Set(0.0L, 0.0L, 0.0L);
  if (IxAnt == -1) return false;
  return AT_PCV(static_cast<int>(IxAnt)).GetFirstOffset(system, dpos);
}

bool antex::GetOffsetOf(neu& dpos, const char* code) const {
  dpos.Set(0.0L, 0.0L, 0.0L);
  if (IxAnt == -1) return false;
  return AT_PCV(static_cast<int>(IxAnt)).GetOffsetOf(code, dpos);
}

void antex::SetAntenna(const char* ant) { SelectAntenna(ant, nullptr, nullptr); }

void antex::SetAntenna(const char* ant, const char* ser) { SelectAntenna(ant, ser, nullptr); }

void antex::SetAntenna(const char* ant, const char* ser, const mjd& eph) {
  SelectAntenna(ant, ser, &eph);
}

void antex::SelectAntenna(const char* ant, const char* ser, const mjd* eph) {
  IxAnt = -1;
  if (std::strlen(ant) != kAntennaNameLength) {
    if (antexns::PrintWarns == 1) ProgramError(kProg, "ANTENNA NAME MUST HAVE 20 CHARACTERS!");
    return;
  }
  // Serial numbers compare without their padding.
  char want[64] = "";
  if (ser != nullptr) {
    std::snprintf(want, sizeof want, "%s", ser);
    trim(want);
  }
  for (long i = 0; i < nAntenna && IxAnt == -1; ++i) {
    const AntennaPCV& rec = AT_PCV(static_cast<int>(i));
    if (std::strcmp(rec.GetAntennaName(), ant) != 0) continue;
    if (ser != nullptr) {
      char have[21];
      std::strcpy(have, rec.GetAntennaSerial());
      trim(have);
      if (std::strcmp(have, want) != 0) continue;
    }
    if (eph != nullptr && !ValidAt(rec, *eph)) continue;
    IxAnt = i;
  }
  if (IxAnt == -1) WarnNotFound("ANTENNA", ant);
}

void antex::GetAntennaPCV(double zen, double azi, matrix<double>& pcv) {
  if (IxAnt == -1) {
    pcv.Resize(antexns::NFreqKept, 1, 0.0);
    ixZen = ixAzm = -1;
    return;
  }
  AntennaPCV& rec = AT_PCV(static_cast<int>(IxAnt));
  rec.GetAntennaPCV(zen, azi, pcv);
  ixZen = rec.GetIxZen();
  ixAzm = rec.GetIxAzm();
}

bool antex::IsBlockIIR() const {
  if (IxAnt == -1) return false;
  const short type = AT_PCV(static_cast<int>(IxAnt)).GetPCVType();
  return type >= kFirstBlockIIR && type <= kLastBlockIIR;
}
