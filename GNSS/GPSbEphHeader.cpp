#include "GNSS/GPSbEphHeader.h"

#include "GNSS/RinexNav.h"

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

void GPSbEphHeader::ParseLeapS(const char* line) { leaps = rinexnav::ParseLeapSeconds(line); }

void GPSbEphHeader::GLNbEphHeaderWarning(const char* text) { rinexnav::Warning("GPSbEphHeader", text); }

std::istream& operator>>(std::istream& in, GPSbEphHeader& h) {
  rinexnav::ReadHeader(
      in,
      {{"RINEX VERSION / TYPE", [&h](const char* l) { h.ParseRVersionType(l); }},
       {"PGM / RUN BY / DATE", [&h](const char* l) { h.ParsePgmRunByDate(l); }},
       {"ION ALPHA", [&h](const char* l) { h.ParseIon(l, h.alfa); }},
       {"ION BETA", [&h](const char* l) { h.ParseIon(l, h.beta); }},
       {"DELTA-UTC: A0,A1,T,W", [&h](const char* l) { h.ParseDeltaUTC(l); }},
       {"LEAP SECONDS", [&h](const char* l) { h.ParseLeapS(l); }},
       {"COMMENT", nullptr}},
      [&h](const char* text) { h.GLNbEphHeaderWarning(text); });
  return in;
}
