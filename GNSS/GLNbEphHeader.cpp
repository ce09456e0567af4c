#include "GNSS/GLNbEphHeader.h"

#include <vector>

#include "GNSS/RinexNav.h"

void GLNbEphHeader::ParseRVersionType(const char* line) {
  rinexnav::ParseVersionType(line, version, type);
}

void GLNbEphHeader::ParsePgmRunByDate(const char* line) {
  rinexnav::ParsePgmRunByDate(line, pgm, runby, date);
}

void GLNbEphHeader::ParseCorrSystemTime(const char* line) {
  const auto field = [line](int col) {
    return static_cast<unsigned short>(rinexnav::FieldInt(line, col, 6));
  };
  RefTimeCorr.Set(field(1), field(7), field(13), 0, 0, 0);
  TauC = rinexnav::FieldMantExp(line, 21, 16, 38, 3);
}

void GLNbEphHeader::ParseLeapS(const char* line) { leaps = rinexnav::ParseLeapSeconds(line); }

void GLNbEphHeader::GLNbEphHeaderWarning(const char* text) {
  rinexnav::Warning("GLNbEphHeader", text);
}

std::istream& operator>>(std::istream& in, GLNbEphHeader& head) {
  GLNbEphHeader& h = head;
  const std::vector<rinexnav::HeaderLabel> labels = {
      {"RINEX VERSION / TYPE", [&h](const char* l) { h.ParseRVersionType(l); }},
      {"PGM / RUN BY / DATE", [&h](const char* l) { h.ParsePgmRunByDate(l); }},
      {"CORR TO SYSTEM TIME", [&h](const char* l) { h.ParseCorrSystemTime(l); }},
      {"LEAP SECONDS", [&h](const char* l) { h.ParseLeapS(l); }},
      {"COMMENT", nullptr},
  };
  // The lines are parsed only once END OF HEADER has been seen.
  rinexnav::ReadHeader(in, labels, GLNbEphHeader::GLNbEphHeaderWarning);
  return in;
}
