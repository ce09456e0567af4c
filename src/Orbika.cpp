#include "src/Orbika.h"

#include <iostream>

Orbika::Orbika()
    : gnavfile{},
      rnavfile{},
      sp3file{},
      atxfile{},
      dt(900),
      dtni(30),
      verbose(false),
      isGLNnav(false),
      isGPSnav(false),
      isPEph(false),
      isAtx(false),
      isPRNList(false),
      isStart(false),
      isEnd(false),
      isUse(false),
      isHelp(false),
      RunProg(true) {}

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
  static const char kLetters[] = {'G', 'R', 'E', 'C', 'S', 'J', 'I'};
  if (n < 0 || n >= 700) return false;
  const int system = n <= 99 ? 0 : n / 100;
  letter = kLetters[system];
  number = static_cast<short>(n - 100 * system);
  return true;
}
