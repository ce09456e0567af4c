#include "PROGINC/ProgramError.h"

#include <cstdlib>
#include <iostream>
#include <ostream>

namespace {

[[noreturn]] void ErrorReport(std::ostream& os, const char* prog, const char* error) {
  os << std::endl
     << "**** " << prog << ": Error -> " << error << " ****" << std::endl
     << "     Exiting " << prog << " ... " << std::endl
     << std::endl;
  std::exit(1);
}

void WarningReport(std::ostream& os, const char* prog, const char* warn) {
  os << std::endl
     << "#### " << prog << ": Warning -> " << warn << " ####" << std::endl
     << "     Continuing " << prog << " ... " << std::endl
     << std::endl;
}

}  // namespace

void ProgramError(const char* prog, const char* error) { ErrorReport(std::cerr, prog, error); }

void ProgramErrorCout(const char* prog, const char* error) { ErrorReport(std::cout, prog, error); }

void ProgramWarning(const char* prog, const char* warn) { WarningReport(std::cerr, prog, warn); }

void ProgramWarningCout(const char* prog, const char* warn) { WarningReport(std::cout, prog, warn); }
