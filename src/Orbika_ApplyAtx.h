// Antenna step of the pipeline: moves the tabulated precise positions from
// the satellites' centres of mass to their antenna phase centres (first
// frequency) when both an SP3 and an ANTEX file are in use.
#pragma once

#include "src/Orbika.h"

void ApplyAtx(Orbika& gc);
