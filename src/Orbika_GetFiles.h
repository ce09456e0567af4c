// First two steps of a run: the command line, then the input files.
//
// ParseArguments fills the run state from the command-line words (file
// names, satellite list, processing window in GPS time, output interval and
// GLONASS integration step in seconds, verbose flag, -csv) or prints the
// version (--version anywhere, before anything else) or the help text and
// marks the run as finished: the English help for -h anywhere on the line,
// before anything else is parsed; the run without words ends the help with
// a line pointing to -h.  A word beginning with two minus signs is the
// option with one (--dt=300 is -dt300).  An option that takes a value and
// stands alone takes the next word as its value unless that begins with a
// minus sign; words of satellite codes right after -pr's value join its
// list.  -csv sends every report to standard error from the start.
// Unknown and malformed words are warned about and skipped; a malformed
// ephemeris option, a date not written in full or not in digits, an
// interval or step that is not one positive number and an over-long file
// name end the run.
//
// CheckArguments requires at least one named ephemeris file, drops named
// files that cannot be opened (with a warning naming each; the run then ends
// with status 1 after the table), and then tests the first line of each
// remaining file for its format: a wrong ephemeris format ends the run, an
// ANTEX file of the wrong format is only dropped.
#pragma once

#include "src/Orbika.h"

// nargc and cargv as main receives them; word 0 is the program's name.
void ParseArguments(Orbika& gc, int nargc, const char** cargv);
inline void ParseArguments(Orbika& gc, int nargc, char** cargv) {
  ParseArguments(gc, nargc, const_cast<const char**>(cargv));
}

void CheckArguments(Orbika& gc);
