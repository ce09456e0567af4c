// Fatal and non-fatal reports of the program's own modules.
//
// An error report ends the process with exit status 1 from where the
// condition is found; a warning report returns and leaves all state as it
// was.  Each report is four lines, each ended and flushed:
//
//   (empty line)
//   **** Orbika: Error -> <message> ****        #### Orbika: Warning -> <message> ####
//        Exiting Orbika ...                          Continuing Orbika ...
//   (empty line)
//
// prog is the origin of the report (the program's name).
#pragma once

// Error report on standard error, then exit status 1.
[[noreturn]] void ProgramError(const char* prog, const char* error);

// Error report on standard output, then exit status 1.
[[noreturn]] void ProgramErrorCout(const char* prog, const char* error);

// Warning report on standard error.
void ProgramWarning(const char* prog, const char* warn);

// Warning report on standard output.
void ProgramWarningCout(const char* prog, const char* warn);
