// The values of one output record as the position loop computes them, and
// the interface of the writers that turn them into text: the table
// (RecordWriter, through the loop) and the CSV records (CsvWriter).  Both
// writers get the same values, so the two outputs cannot disagree.
#pragma once

#include <cstddef>

#include "GNSS/broadcast/SignalPairs.h"
#include "GNSS/geometry/OrbitFrame.h"
#include "GNSS/geometry/xyzt.h"
#include "GNSS/time/mjd.h"

// One group of values: a position with its clock and, where the source
// gives one, a velocity.  A component that is NaN is a value the source
// could not give.
struct ValueGroup {
  bool present = false;      // the run has a source for the group
  xyzt position;             // m, clock in s
  bool hasVelocity = false;  // the source gives velocities
  xyzt velocity;             // m/s
  bool clockValid = true;    // false: a bad clock (the table keeps its marker)
};

struct RecordValues {
  std::size_t k = 0;  // the epoch's place in the series, from 0
  mjd t;              // epoch, GPS time
  char letter = 'G';  // system letter
  short number = 0;   // number within the system
  ValueGroup precise, broadcast;
  ValueGroup difference;  // precise minus broadcast

  // Filled for the CSV records only (the table has no columns for them).
  // With a broadcast group: the record's group delays, the signal its clock
  // is brought to (nullptr: no pair for the system) and that clock, s.
  GroupDelays delays;
  const char* pair = nullptr;
  long double broadcastPairClock = 0;
  long double differencePairClock = 0;  // precise minus that clock, s
  // 1: the precise positions are at the antenna, 0: the ANTEX file has no
  // offset for the satellite, -1: no ANTEX file, no precise group or no
  // precise position in this record.
  int antenna = -1;
  // The position difference in the orbit frame of the precise position and
  // velocity, m (with a difference group).
  OrbitFrameDiff orbitFrame{};
};

// A writer of the records of one run.
class RecordSink {
 public:
  virtual ~RecordSink() = default;
  virtual void Record(const RecordValues& r) = 0;
  // After the last record of a satellite.
  virtual void EndSatellite() {}
};
