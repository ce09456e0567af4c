// Epochs of OrbikaStats: milliseconds from 0 h of MJD 0 in GPS time, read
// from and written as ISO 8601 text (2022-01-01T00:15:00.000).
#pragma once

#include <string>

namespace orbstats {

constexpr long long kMsPerDay = 86400000;

// ms of "YYYY-MM-DDThh:mm:ss" with an optional fraction of up to 9 digits
// (rounded to the millisecond); 'T' may be a blank.  False on any other
// text or on a field out of its range.
bool ParseIsoEpoch(const std::string& text, long long& ms);
// "YYYY-MM-DD" of the day mjd.
std::string DateText(long long mjd);
// "YYYY-MM-DDThh:mm:ss.sss" of ms.
std::string EpochText(long long ms);

}  // namespace orbstats
