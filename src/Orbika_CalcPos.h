// Position loop: for every satellite of the list and every epoch of the
// window (start, start + dt, ... not later than the end), asks each usable
// store for the satellite's position, velocity and clock and writes one
// record per epoch, with precise-minus-broadcast differences when both kinds
// of source are loaded, and an empty line after each satellite.
//
// Record layout: the epoch and the satellite, then the precise position and
// velocity followed, with a navigation file of the satellite's system, by
// the precise-minus-broadcast position (and velocity, for GLONASS); without
// a precise file the broadcast position (and velocity, for GLONASS).  The
// fields, their widths and units: RecordWriter.h.  A -csv run writes the
// same values as CSV records instead (CsvWriter.h).
//
// Where the precise store cannot give a position (satellite not in its list,
// or a missing tabulated position in the interpolation window) the precise
// fields and the differences that depend on them are written as "nan" in
// their usual widths, so the table keeps its columns.  So are the broadcast
// fields and the differences of a satellite that a loaded navigation file
// does not hold (see CheckBroadcast), and those of a GLONASS epoch more than
// two days from its record, with one warning per satellite on standard
// error naming the first such epoch: "SAT: Rnn [date time] -> MORE THAN 2
// DAYS FROM ITS RECORD - BROADCAST COLUMNS WRITTEN AS nan!".
#pragma once

#include "src/Orbika.h"

// The sources of the list's satellites, before any output.  A satellite
// that the precise file lists but a loaded navigation file of its system
// does not draws the warning "SAT: Gnn IS NOT LISTED IN GPS NAVIGATION FILE
// <file> - BROADCAST COLUMNS WRITTEN AS nan!" (the system's name as it is)
// and the run goes on.  One that no loaded file lists: with a precise file,
// the warning "SAT: Enn (GALILEO) IS NOT LISTED IN ANY LOADED FILE - ITS
// COLUMNS WRITTEN AS nan!"; without one, the run ends, through the "IS NOT
// LISTED" error of the navigation store of its system (naming system and
// file) or, with none loaded, an error naming the option it lacks.  A list
// of which no satellite is in any loaded file ends the run.
void CheckBroadcast(Orbika& gc);

void CalcPos(Orbika& gc);
