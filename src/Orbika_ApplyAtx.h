// Antenna step of the pipeline: moves the tabulated precise positions from
// the satellites' centres of mass to their antenna phase centres (first
// frequency, or with -pi the ionosphere-free combination of the offsets of
// each system's signal pair) when both an SP3 and an ANTEX file are in use,
// and keeps the satellites left without an offset (Orbika::withoutAntenna).
#pragma once

#include "src/Orbika.h"

void ApplyAtx(Orbika& gc);

// The same shift made ahead of its step, by a thread that reads files
// (-th), once the SP3 and ANTEX stores are read: its reports are kept in
// the run state, and ApplyAtx writes them in their place.
void ApplyAtxAhead(Orbika& gc);
