// Position loop: for every satellite of the list and every epoch of the
// window (start, start + dt, ... not later than the end), asks each usable
// store for the satellite's position, velocity and clock and writes one
// record per epoch, with precise-minus-broadcast differences when both kinds
// of source are loaded, and an empty line after each satellite.
//
// Record layout: date and time (22 characters), two blanks, MJD day (6) and
// second of day (8), the satellite (6 + 2); then per position x, y, z in
// metres (16 characters, 3 decimals each) and the clock correction in
// milliseconds (14 characters, 6 decimals); per velocity a blank and x, y, z
// in m/s (12 characters, 3 decimals each).
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
