// RecordFields: the own fields of the broadcast record a satellite's values
// at an epoch come from, as the stores hand them to the CSV.
//
//   msg       the message's RINEX 4 name (LNAV, INAV, FNAV, D1, D2, CNAV,
//             CNV2, CNV1, CNV3, FDMA, SBAS); nullptr: no record
//   iod       issue of data as the message has it (GPS, QZSS, NavIC IODE,
//             Galileo IODnav, BeiDou D1/D2 AODE, B-CNAV1/2 IODE, SBAS
//             IODN, GLONASS tb: the 15-min interval of the Moscow day,
//             GLONASS ICD); NaN where the message has none (CNAV, B-CNAV3)
//   toc, toe  record epoch and ephemeris reference time, GPS time
//   ttr       transmission time, GPS time; day 0 where the file has none
//   health    the health field as written
//   accuracy  URA, SISA or SISAI in metres (AccuracyMetres); NaN: none
#pragma once

#include <limits>

#include "GNSS/time/mjd.h"

struct RecordFields {
  const char* msg = nullptr;
  long double iod = std::numeric_limits<long double>::quiet_NaN();
  mjd toc, toe, ttr;
  long double health = std::numeric_limits<long double>::quiet_NaN();
  long double accuracy = std::numeric_limits<long double>::quiet_NaN();
};
