#include "src/Orbika_ApplyAtx.h"

#include <iostream>
#include <utility>

#include "GNSS/antenna/PhaseCentreShift.h"
#include "PROGINC/report/ProgramError.h"

namespace {

std::vector<short> Shift(Orbika& gc) {
  OffsetPairs pairs;
  if (gc.pairOffsets)
    for (const auto& system : gc.pairs)
      pairs[system.first] = {system.second->atxA, system.second->atxB, system.second->fa,
                             system.second->fb};
  return ApplyAntennaOffset(gc.pephM, gc.atx, false, pairs);
}

}  // namespace

void ApplyAtx(Orbika& gc) {
  if (!gc.isAtx || !gc.isPEph) return;
  if (gc.verbose)
    std::cerr << "Orbika"
              << "::ApplyAtx(): APPLYING ANTENNA PHASE CENTER OFFSETS FOR PRECISE EPHEMERIS!"
              << std::endl
              << "Orbika" << "::ApplyAtx():         GNSS precise ephemeris!" << std::endl;
  if (gc.antennaAhead) {
    for (const report::Kept& k : gc.antennaReports) ReplayReport(k);
    return;
  }
  gc.withoutAntenna = Shift(gc);
}

void ApplyAtxAhead(Orbika& gc) {
  report::Capture keep([&gc](report::Kept&& k) { gc.antennaReports.push_back(std::move(k)); });
  gc.antennaAhead = true;
  try {
    gc.withoutAntenna = Shift(gc);
  } catch (const report::Stopped&) {
    // The kept report ends the run where ApplyAtx writes it.
  }
}
