// satcode: the one satellite number of the program and its text code.
//
// A satellite number is a signed 16-bit integer that holds system and
// satellite: GPS PRN n is n, GLONASS slot n is 100 + n, Galileo 200 + n,
// BeiDou 300 + n, SBAS 400 + n (PRN 120 + n), QZSS 500 + n and IRNSS (NavIC)
// 600 + n, with n from 0 to 99.  Its text code is the system letter of the
// RINEX 3 / SP3-d satellite identifiers (G, R, E, C, S, J, I) and n as two
// digits with a leading zero: "G05", "R12", "S20".
//
// Every reader, the options and the output build and print satellites with
// these functions; which systems a step serves is that step's own choice.
#pragma once

namespace satcode {

// System letters by hundreds of the satellite number.
constexpr char kLetters[] = "GRECSJI";
// Satellite numbers of one system: offset + n, n = 0 ... kPerSystem - 1.
constexpr short kPerSystem = 100;
// Offsets of the systems.
constexpr short kGPS = 0, kGLONASS = 100, kGalileo = 200, kBeiDou = 300, kSBAS = 400,
                kQZSS = 500, kIRNSS = 600;
// Every satellite number lies below kEnd.
constexpr short kEnd = kPerSystem * static_cast<short>(sizeof kLetters - 1);
// The number of no satellite: a letter of no system, a code without digits.
constexpr short kNone = -1;

// Offset of the system of a letter; kNone for a letter of no system.
short Offset(char letter);
// Satellite number of a system letter and n (0 ... 99); kNone for a letter
// of no system or n out of range.
short Number(char letter, int n);
// System letter of a satellite number; '\0' outside 0 ... kEnd - 1.
char Letter(short sat);
// Satellite number of a code: a system letter and two digits ("G05");
// kNone for anything else in those three characters.
short Parse(const char* code);
// Name of the system of a satellite number in messages ("GPS", "GLONASS",
// "GALILEO", "BEIDOU", "SBAS", "QZSS", "IRNSS"); "" outside 0 ... kEnd - 1.
const char* Name(short sat);
// Code of a satellite number into code (4 characters with the terminator);
// false, and code untouched, outside 0 ... kEnd - 1.
bool Format(short sat, char* code);

}  // namespace satcode
