// Settings report: the block of '#' lines that heads the output table (input
// files, satellites, processing window, interval, integration step) and the
// column header matching the stores in use.
#pragma once

#include "src/Orbika.h"

// Writes the report to standard output.  Leaves three decimals of seconds in
// the date print settings and fixed notation with precision 3 on the stream.
// A -csv run has no such report: its standard output is the CSV alone.
void PrintSet(Orbika& gc);
