// cstringf, the C-string functions of the readers: fixed-column extraction
// and blank trimming on character buffers.
//
// The readers cut fields out of a line at fixed columns with substr and clean
// them with trim.  All functions work in place on NUL-terminated buffers owned
// by the caller; they never allocate, and the destination must hold the result
// and its terminator.  They never read beyond the terminator of the source.
#pragma once

// Copies at most len characters of str1 from index pos (0-based) into str2,
// stopping early at the end of str1, and terminates str2.  A len of 0 or
// less, a negative pos or a pos beyond the end of str1 gives an empty str2.
void substr(const char* str1, int pos, int len, char* str2);

// Copies str1 from index pos up to and including its terminator into str2
// (empty when pos is negative or beyond the end of str1).  str2 may be str1.
void substr(const char* str1, int pos, char* str2);

// Removes trailing blanks.  Only the space character is a blank: tabs and
// line ends are kept.
void trimr(char* text);

// Removes leading blanks by moving the rest of the text to the front.
void triml(char* text);

// trimr, then triml.
void trim(char* text);
