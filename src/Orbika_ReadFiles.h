// Loading steps of the pipeline: hand each usable store its file name, read
// the files, and complete the processing window and the satellite list from
// the loaded data (precise file first, then GPS, then GLONASS navigation).
#pragma once

#include "src/Orbika.h"

// Gives each store whose flag is set its file name.
void SetFiles(Orbika& gc);
// Reads every usable file into its store, giving back the memory of an
// input held in memory once the last store that reads it is built; verbose
// mode reports the counts.
void ReadFiles(Orbika& gc);
// Completes the start and end epochs (GPS time, or the SP3 file's own time
// scale) and the satellite list that the command line left open, and hands
// the GLONASS integration step to its store.  An output interval too short
// to move an epoch of the window, or so long that it wraps the day count,
// ends the run before anything is written; so does a run that would write
// nothing: an empty satellite list, a start later than the end, or a window
// of which no epoch lies within reach of a loaded file (the SP3 table and
// one interval on either side, two days from a broadcast record).
void SetProcParameters(Orbika& gc);
