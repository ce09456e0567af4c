#include "src/Orbika_Help.h"

#include <iostream>

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

}  // namespace

void OrbikaPrintHelp() {
  for (const char* line : kHelpLines) std::cout << line << '\n';
  std::cout.flush();
}
