#include "GNSS/broadcast/GLNbEphHeader.h"

#include <cstring>
#include <vector>

#include "GNSS/broadcast/RinexNav.h"
#include "GNSS/broadcast/RinexNav3.h"
#include "GNSS/time/TimeConverse.h"

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

void GLNbEphHeader::ParseTimeCorr(const char* line) {
  if (std::strncmp(line, "GLUT", 4) != 0) return;
  TauC = rinexnav::HeaderNumber(line, 6, 17);
  const long week = rinexnav::FieldInt(line, 47, 4);
  const long second = rinexnav::FieldInt(line, 40, 6);
  // GLONASS has no week: the reference is written as week 0 or left out.
  if (week > 0 && week < 65536 && second >= 0 && second < 604800) {
    const ymdhms ref = GPSws2ymdhms(GPSws(static_cast<unsigned short>(week), second));
    RefTimeCorr.Set(ref.GetYear(), ref.GetMonth(), ref.GetDay(), 0, 0, 0);
  }
}

void GLNbEphHeader::ParseSto(const std::vector<std::string>& lines) {
  if (stoTauC || lines.size() < 3 || lines[0].compare(0, 5, "> STO") != 0 ||
      lines[1].size() < 28 || lines[1].compare(24, 4, "GLUT") != 0)
    return;
  stoTauC = true;
  TauC = rinexnav::HeaderNumber(lines[2].c_str(), 24, 19);
  const char* line = lines[1].c_str();
  RefTimeCorr.Set(static_cast<unsigned short>(rinexnav::FieldInt(line, 5, 4)),
                  static_cast<unsigned short>(rinexnav::FieldInt(line, 10, 2)),
                  static_cast<unsigned short>(rinexnav::FieldInt(line, 13, 2)), 0, 0, 0);
}

void GLNbEphHeader::ParseLeapS(const char* line) { leaps = rinexnav::ParseLeapSeconds(line); }

void GLNbEphHeader::GLNbEphHeaderWarning(const char* text) {
  rinexnav::ReaderWarning("GLNbEphHeader", text);
}

std::istream& operator>>(std::istream& in, GLNbEphHeader& head) {
  GLNbEphHeader& h = head;
  std::vector<rinexnav::HeaderLabel> labels = {
      {"RINEX VERSION / TYPE", [&h](const char* l) { h.ParseRVersionType(l); }},
      {"PGM / RUN BY / DATE", [&h](const char* l) { h.ParsePgmRunByDate(l); }},
      {"CORR TO SYSTEM TIME", [&h](const char* l) { h.ParseCorrSystemTime(l); }},
      {"LEAP SECONDS", [&h](const char* l) { h.ParseLeapS(l); }},
      {"COMMENT", nullptr},
      {"TIME SYSTEM CORR", [&h](const char* l) { h.ParseTimeCorr(l); }},
  };
  rinexnav::AddPassedLabels(labels);
  // The lines are parsed only once END OF HEADER has been seen.
  rinexnav::ReadHeader(in, labels, GLNbEphHeader::GLNbEphHeaderWarning);
  return in;
}
