// Help texts of the program: what the program does, how it is called, and
// one paragraph per command-line option; and its version.
#pragma once

// Writes the help text in Slovenian (the program without options, or a
// word containing "help") to standard output.
void OrbikaPrintHelp();

// Writes the help text in English (-h) to standard output.
void OrbikaPrintEnglishHelp();

// The one English line that ends the help of a run without options: where
// the English help is.
void OrbikaPrintEnglishPointer();

// "Orbika" and the version (--version) on standard output; the version is
// the project's, set in the build.
void OrbikaPrintVersion();
