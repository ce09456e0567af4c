#include "src/Orbika.h"

#include <cstdio>
#include <iostream>

#include "GNSS/base/satcode.h"
#include "PROGINC/report/ProgramError.h"

Orbika::Orbika()
    : gnavfile{},
      rnavfile{},
      sp3file{},
      atxfile{},
      dt(900),
      dtni(30),
      threads(1),
      verbose(false),
      isGLNnav(false),
      isGPSnav(false),
      isPEph(false),
      isAtx(false),
      isPRNList(false),
      isStart(false),
      isEnd(false),
      isUse(false),
      isMessages(false),
      isReceiver(false),
      isHelp(false),
      csv(false),
      isPairs(false),
      pairOffsets(false),
      isUnopened(false),
      RunProg(true) {
  for (char system : {'G', 'J', 'E', 'C', 'R'}) pairs[system] = signalpair::Default(system);
}

void Orbika::StartProg() {
  if (verbose)
    std::cerr << std::endl
              << "Orbika: ***** GNSS SATELLITE POSITIONING - STARTING APPLICATION *****"
              << std::endl;
}

void Orbika::EndProg() {
  if (verbose)
    std::cerr << "Orbika" << ": ***** SUCCESFULLY ENDING PROGRAM *****!" << std::endl
              << std::endl
              << std::endl;
}

bool SatelliteCode(short n, char& letter, short& number) {
  const char system = satcode::Letter(n);
  if (system == '\0') return false;
  letter = system;
  number = static_cast<short>(n % satcode::kPerSystem);
  return true;
}

void CheckOutput(const std::ostream& out) {
  if (!out) ProgramError("Orbika", "STANDARD OUTPUT CAN NOT BE WRITTEN - RESULTS INCOMPLETE!");
}

void CheckStandardOutput() {
  std::cout.flush();
  // The stream writes through the C library's buffer of standard output.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) std::cout.setstate(std::ios::badbit);
  CheckOutput(std::cout);
}
