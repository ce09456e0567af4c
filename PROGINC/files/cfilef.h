// cfilef, the file functions shared by the readers and the driver: the
// existence test of an input file and the reading of one text line into a
// fixed buffer.
//
// FileExists tells whether a file can be opened for reading.  ReadLine reads
// one line of a text file into a fixed buffer the way a text-mode stream gives
// it: the line end is not stored, and neither is a carriage return just
// before it, so a file with CR LF line ends reads exactly like one with LF.
#pragma once

#include <istream>

// True when a file of that name can be read (InputReadable of InputFile.h):
// a directory or a file without read permission counts as missing.
bool FileExists(const char* f);

// Outcome of one ReadLine call.
enum class LineRead {
  Ok,       // a line was stored (possibly empty)
  End,      // end of file: nothing was left to read
  TooLong,  // the line did not fit; the buffer holds its first size-1
            // characters and the rest of the line has been consumed
};

// Reads one line into buf, which holds size characters including the
// terminator.  The last line of a file needs no line end.
LineRead ReadLine(std::istream& in, char* buf, int size);
