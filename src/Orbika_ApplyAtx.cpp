#include "src/Orbika_ApplyAtx.h"

#include <iostream>

#include "GNSS/antenna/PhaseCentreShift.h"

void ApplyAtx(Orbika& gc) {
  if (!gc.isAtx || !gc.isPEph) return;
  if (gc.verbose)
    std::cerr << "Orbika"
              << "::ApplyAtx(): APPLYING ANTENNA PHASE CENTER OFFSETS FOR PRECISE EPHEMERIS!"
              << std::endl
              << "Orbika" << "::ApplyAtx():         GNSS precise ephemeris!" << std::endl;
  ApplyAntennaOffset(gc.pephM, gc.atx, false);
}
