// Exact texts that the command-line tests expect on the standard streams.
#pragma once

#include <string>

#include "tests/TestUtil.h"

namespace clitest {

// Fatal report of the program (standard error).
inline std::string ErrorText(const std::string& msg) {
  return "\n**** Orbika: Error -> " + msg + " ****\n     Exiting Orbika ... \n\n";
}

// Warning report of the program (standard error).
inline std::string WarningText(const std::string& msg) {
  return "\n#### Orbika: Warning -> " + msg + " ####\n     Continuing Orbika ... \n\n";
}

// Report of an invalid calendar date (standard output).
inline std::string DateErrorText(const std::string& msg) {
  return "\n**** ymdhms: Error -> " + msg + " ****\n     Exiting class ymdhms ... \n";
}

// Start banner and parse line of a verbose run.
inline const std::string kVerboseStart =
    "\nOrbika: ***** GNSS SATELLITE POSITIONING - STARTING APPLICATION *****\n"
    "Orbika::GetFiles(): PARSING INPUT PARAMETERS!\n";
// Closing banner of a verbose run.
inline const std::string kVerboseEnd = "Orbika: ***** SUCCESFULLY ENDING PROGRAM *****!\n\n\n";
// First lines of the input checks in a verbose run.
inline const std::string kVerboseCheck =
    "Orbika::SetFiles(): CHECKING INPUT ARGUMENTS!\n"
    "Orbika::SetFiles():         Ephemeris files!\n";
inline const std::string kVerboseAntex =
    "Orbika::SetFiles():         ANTEX - antenna phase variation file!\n";

// A fixture kept in tests/data.
inline std::string Fixture(const std::string& name) {
  return orbtest::FixtureDir() + "/" + name;
}

}  // namespace clitest
