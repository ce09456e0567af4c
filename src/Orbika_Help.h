// Help texts of the program: what the program does, how it is called, and
// one paragraph per command-line option.
#pragma once

// Writes the help text in Slovenian (the program without options, or a
// word containing "help") to standard output.
void OrbikaPrintHelp();

// Writes the help text in English (-h) to standard output.
void OrbikaPrintEnglishHelp();
