#include "src/Orbika_Help.h"

#include <iostream>
#include <iterator>

namespace {

// The help text, one entry per line; some lines keep a trailing blank.
const char* const kHelpLines[] = {
    "==========================================================================",
    "PROGRAM: Orbika.exe",
    "NAMEN:   Program za izracun polozajev satelitov GNSS na osnovi efemerid.",
    "==========================================================================",
    "",
    "UPORABA:",
    "========",
    "Program Orbika.exe je konzolni program za izracun polozajev satelitov GNSS",
    "na osnovi razlicnih vrst efemerid, s satelita oddanih in preciznih efeme-",
    "rid. Program deluje za sistema GPS in GLONASS.",
    "Program deluje tako, da se ga klice iz ukazne vrstice DOS-a s podanimi",
    "parametri. V izogib klicanju programa iz DOS-a je mozno napisati datoteko",
    "s koncnico *.bat (angl. batch file), kamor vnesemo ukaze za DOS.",
    "",
    "Program se uporablja na sledeci nacin:",
    "Orbika.exe -e[n|g|p]DATOTEKA_EFEMERID -pvATX_FILE -prSATELLITE_LIST",
    "          -tsSTART_EPOCH -teEND_EPOCH -dtTIME_INTERVAL -tiREF_BRDC_EPOCH",
    "          -niNUM_INTEG_STEP -h -v  > REZULTATI.TXT",
    "          ",
    "          ",
    "Rezultati se vedno izpisejo na ekran. Z ukazom > REZULTATI.TXT se le-ti",
    "preusmerijo v datoteko REZULTATI.TXT.",
    "",
    "PARAMETRI:",
    "==========",
    "",
    "-ep            Podaja datoteko s preciznimi efemeridami GNSS",
    "",
    "-en            Podaja datoteko s satelita oddanimi efemeridami za satelite GPS",
    "",
    "-eg            Podaja datoteko s satelita oddanimi efemeridami za satelite GLONASS",
    "",
    "-pv            Podaja datoteko kalibracijskih parametrov za antene satelitov",
    "               (-pvigs08.atx)",
    "",
    "-pr            podane PRN vrednosti satelitov (3 znaka na satelit), kot npr:",
    "               -prG01G03G12G31 za GPS ali -prR01R05R21R22 za GLONASS",
    "",
    "-ts            podana zacetna epoha racunanja polozajev satelitov (osnovna ",
    "               nastavitev: iz datoteke efemerid), kot -ts2013-02-31,01:00:00",
    "",
    "-te            podana konca epoha racunanja polozajev satelitov (osnovna ",
    "               nastavitev: iz datoteke efemerid), kot -te2013-02-31,18:00:00",
    "",
    "-dt            interval, kako pogoste se racuna polozaje satelitov, podan v sekundah",
    "               npr. -dt300.0",
    "",
    "-ti            Vsiljena epoha za tocno dolocene parametre s satelita oddanih efemerid",
    "               (-ti2013-02-31,12:00:00) - a samo za satelite GPS!",
    "",
    "-ni            Korak za numericno integracijo pri satelitih GLONASS in s satelita",
    "               oddanih efemerid, podan v sekundah (-ni30.0)",
    "",
    "-h             Izpis pomoci (ta vsebina)",
    "",
    "-v             T.i. \"verbose mode\" - podrobnejsi izpis postopka ",
    "               obdelave",
    "",
    "",
};

// The English help, one entry per line.
const char* const kEnglishHelpLines[] = {
    "Orbika - GNSS satellite positions from broadcast and precise ephemerides",
    "",
    "For every selected satellite and every epoch of a regular series Orbika",
    "computes the position (Earth-fixed, m), the velocity (m/s) and the clock",
    "correction from broadcast ephemerides (RINEX navigation files) and from",
    "precise ephemerides (SP3 files), and the differences precise minus",
    "broadcast.  Systems: GPS, GLONASS, Galileo, BeiDou and QZSS; SBAS and",
    "NavIC from SP3 files, or from the -en file with -nm.  The epochs of the",
    "output are GPS time.  The records go to standard output as a text",
    "table, or as CSV with -csv, which sends every message to standard error.",
    "",
    "Usage: Orbika OPTIONS > TABLE",
    "",
    "Files (read as they are, or compressed with gzip or compress):",
    "  -enFILE   RINEX 2, 3 or 4 navigation file: GPS records, and in a mixed",
    "            file also the Galileo, BeiDou and QZSS (and NavIC and SBAS)",
    "            records",
    "  -egFILE   RINEX 2, 3 or 4 navigation file: GLONASS records",
    "  -epFILE   SP3-c or SP3-d precise orbit and clock file",
    "  -pvFILE   ANTEX file: the precise positions are moved from the centre",
    "            of mass to the antenna phase centre",
    "  -pi       with -pv: the ionosphere-free combination of the offsets of",
    "            each system's signal pair (-cp), not its first frequency",
    "Selection:",
    "  -prLIST   satellites, three characters each (G01R05E11C20J02); default:",
    "            those of the SP3 file, else of the navigation files",
    "  -tsEPOCH  start epoch, YYYY-MM-DD,hh:mm:ss; default: from the files",
    "  -teEPOCH  end epoch, the same form; default: from the files",
    "  -dtSEC    interval between the epochs in seconds; default 900",
    "  -tiEPOCH  fixed epoch that chooses the broadcast record of every epoch",
    "  -nmLIST   navigation message per system, SYSTEM:MESSAGE words in RINEX 4",
    "            names: G or J LNAV|CNAV|CNV2, E INAV|FNAV, C D1D2|CNV1|CNV2|CNV3,",
    "            I LNAV, S SBAS (NavIC and SBAS only when named), e.g.",
    "            -nmG:CNAV,C:CNV1",
    "  -rx       the record a receiver would have: the latest one transmitted",
    "            whose fit interval holds the epoch",
    "  -niSEC    GLONASS integration step in seconds; default 30",
    "Output:",
    "  -csv      the records as CSV: a header row naming every column with its",
    "            unit, the same 42 columns in every row; standard output holds",
    "            the CSV alone",
    "  -cpLIST   the signal pair per system of the CSV's pair clocks, e.g.",
    "            C:B1I/B2I,E:E1/E5a; defaults G:L1/L2 J:L1/L2 E:E1/E5a",
    "            C:B1I/B3I R:L1/L2",
    "  -thN      compute on N threads (1 to 64; default 1): the same output,",
    "            sooner on a machine with N cores",
    "  -v        progress messages on standard error",
    "  -h        this help; -help prints the help in Slovenian",
    "  --version the program's name and version",
    "",
    "A value follows its option directly (-dt300) or as the next word",
    "(-dt 300); satellite codes after -pr's value join the list (-pr G01 G05).",
    "An option may be spelt with two minus signs (--csv, --dt 300, --dt=300).",
    "At least one of -en, -eg and -ep is needed.",
    "",
    "Examples:",
    "  Orbika -enbrdc1360.24n -egbrdc1360.24g -eporb23143.sp3 -pvorbika.atx",
    "  Orbika -en brdc1360.24n -prG02G07 -ts2024-05-15,06:00:00 -dt 60",
    "  Orbika -csv -ep GFZ0MGXRAP_20220010000_01D_05M_ORB.SP3.gz",
    "         -en BRDC00IGS_R_20220010000_01D_MN.rnx.gz",
    "         -eg BRDC00IGS_R_20220010000_01D_MN.rnx.gz > orbits.csv",
    "",
    "Manual page: man Orbika (man/Orbika.1 in the source tree).",
};

void PrintLines(const char* const* begin, const char* const* end) {
  for (const char* const* line = begin; line != end; ++line) std::cout << *line << '\n';
  std::cout.flush();
}

}  // namespace

void OrbikaPrintHelp() { PrintLines(std::begin(kHelpLines), std::end(kHelpLines)); }

void OrbikaPrintEnglishHelp() {
  PrintLines(std::begin(kEnglishHelpLines), std::end(kEnglishHelpLines));
}

void OrbikaPrintEnglishPointer() {
  std::cout << "In English: Orbika -h\n";
  std::cout.flush();
}

void OrbikaPrintVersion() {
  std::cout << "Orbika " << ORBIKA_VERSION << '\n';
  std::cout.flush();
}
