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
  OffsetPairs pairs;
  if (gc.pairOffsets)
    for (const auto& system : gc.pairs)
      pairs[system.first] = {system.second->atxA, system.second->atxB, system.second->fa,
                             system.second->fb};
  gc.withoutAntenna = ApplyAntennaOffset(gc.pephM, gc.atx, false, pairs);
}
