// Help text of the program (in Slovenian): what the program does, how it is
// called, and one paragraph per command-line option.
#pragma once

// Writes the help text to standard output.
void OrbikaPrintHelp();
