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

// Satellites of the list that a loaded navigation file does not hold: with a
// precise file each draws the warning "SAT: Gnn IS NOT LISTED IN GPS
// NAVIGATION FILE - BROADCAST COLUMNS WRITTEN AS nan!" (GLONASS alike, on
// standard error) and the run goes on; without one the navigation store's
// own "IS NOT LISTED" error ends the run.  Runs before any output.
void CheckBroadcast(Orbika& gc);

void CalcPos(Orbika& gc);
