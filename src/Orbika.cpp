#include "src/Orbika.h"

#include <iostream>

#include "GNSS/satcode.h"

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
  // The run serves the systems below QZSS.  Numbers below GLONASS's, also
  // the negative ones that non-digit characters in -pr give, are GPS.
  if (n >= satcode::kQZSS) return false;
  letter = n < satcode::kGLONASS ? 'G' : satcode::Letter(n);
  number = static_cast<short>(n - satcode::Offset(letter));
  return true;
}
