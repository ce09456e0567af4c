#include "GNSS/broadcast/GPSbEphHeader.h"

#include <cstring>
#include <vector>

#include "GNSS/broadcast/RinexNav.h"
#include "GNSS/broadcast/RinexNav3.h"

void GPSbEphHeader::ParseRVersionType(const char* line) {
  rinexnav::ParseVersionType(line, version, type);
}

void GPSbEphHeader::ParsePgmRunByDate(const char* line) {
  rinexnav::ParsePgmRunByDate(line, pgm, runby, date);
}

void GPSbEphHeader::ParseIon(const char* line, long double* target) {
  for (int k = 0; k < 4; ++k) target[k] = rinexnav::FieldMantExp(line, 3 + 12 * k, 8, 12 + 12 * k, 3);
}

void GPSbEphHeader::ParseDeltaUTC(const char* line) {
  a0 = rinexnav::FieldMantExp(line, 4, 15, 20, 3);
  a1 = rinexnav::FieldMantExp(line, 23, 15, 39, 3);
  T = static_cast<int>(rinexnav::FieldInt(line, 42, 9));
  W = static_cast<int>(rinexnav::FieldInt(line, 51, 9));
}

void GPSbEphHeader::ParseIonCorr(const char* line) {
  long double* target = std::strncmp(line, "GPSA", 4) == 0   ? alfa
                        : std::strncmp(line, "GPSB", 4) == 0 ? beta
                                                              : nullptr;
  if (target == nullptr) return;
  for (int k = 0; k < 4; ++k) target[k] = rinexnav::HeaderNumber(line, 6 + 12 * k, 12);
}

void GPSbEphHeader::ParseTimeCorr(const char* line) {
  if (std::strncmp(line, "GPUT", 4) != 0) return;
  a0 = rinexnav::HeaderNumber(line, 6, 17);
  a1 = rinexnav::HeaderNumber(line, 23, 16);
  T = static_cast<int>(rinexnav::FieldInt(line, 40, 6));
  W = static_cast<int>(rinexnav::FieldInt(line, 47, 4));
}

void GPSbEphHeader::ParseLeapS(const char* line) { leaps = rinexnav::ParseLeapSeconds(line); }

void GPSbEphHeader::GPSbEphHeaderWarning(const char* text) {
  rinexnav::ReaderWarning("GPSbEphHeader", text);
}

std::istream& operator>>(std::istream& in, GPSbEphHeader& h) {
  std::vector<rinexnav::HeaderLabel> labels = {
      {"RINEX VERSION / TYPE", [&h](const char* l) { h.ParseRVersionType(l); }},
      {"PGM / RUN BY / DATE", [&h](const char* l) { h.ParsePgmRunByDate(l); }},
      {"ION ALPHA", [&h](const char* l) { h.ParseIon(l, h.alfa); }},
      {"ION BETA", [&h](const char* l) { h.ParseIon(l, h.beta); }},
      {"DELTA-UTC: A0,A1,T,W", [&h](const char* l) { h.ParseDeltaUTC(l); }},
      {"LEAP SECONDS", [&h](const char* l) { h.ParseLeapS(l); }},
      {"COMMENT", nullptr},
      {"IONOSPHERIC CORR", [&h](const char* l) { h.ParseIonCorr(l); }},
      {"TIME SYSTEM CORR", [&h](const char* l) { h.ParseTimeCorr(l); }}};
  rinexnav::AddPassedLabels(labels);
  rinexnav::ReadHeader(in, labels, [&h](const char* text) { h.GPSbEphHeaderWarning(text); });
  return in;
}
