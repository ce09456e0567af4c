#include "src/Orbika_PrintSet.h"

#include <iomanip>
#include <iostream>

#include "GNSS/time/TimeConverse.h"
#include "GNSS/time/ymdhms.h"

namespace {

void PrintFile(std::ostream& out, const char* label, bool used, const char* name) {
  out << label << (used ? name : " ---") << std::endl;
}

void PrintEpoch(std::ostream& out, const char* label, mjd& t, bool manual) {
  ymdhms datum = mjd2ymdhms(t);
  out << label << datum << " [" << t << "]"
      << (manual ? "  (manually set)" : "  (from ephemeris file)") << std::endl;
}

// The signal pair of each system, in the order G, J, E, C, R.
void PrintPairs(std::ostream& out, const Orbika& gc) {
  out << "#Clock signal pairs          :";
  for (char system : {'G', 'J', 'E', 'C', 'R'})
    out << ' ' << system << ':' << gc.pairs.at(system)->name;
  out << std::endl;
}

}  // namespace

void PrintSet(Orbika& gc) {
  ymdhmsns::NDecSecond = 3;
  mjdns::NDecSecond = 3;
  if (gc.verbose) std::cerr << "Orbika" << "::PrintSet(): WRITTING PROCESSING SETTINGS!" << std::endl;

  // A -csv run's standard output holds the CSV records alone.
  if (gc.csv) return;
  std::ostream& out = std::cout;
  out << "#PROGRAM: Orbika" << std::endl;
  out << "#         Calculation and comparison of GNSS satellites positions in "
         "IGS/ITRF/WGS84/PZ90 system"
      << std::endl;
  out << "#" << std::endl;
  out << "#DATA:" << std::endl;
  out << "#Ephemeris files:" << std::endl;
  PrintFile(out, "# GNSS precise ephemeris     : ", gc.isPEph, gc.sp3file);
  PrintFile(out, "# GPS broadcast ephemeris    : ", gc.isGPSnav, gc.gnavfile);
  PrintFile(out, "# GLONASS broadcast ephemeris: ", gc.isGLNnav, gc.rnavfile);
  PrintFile(out, "#ANTEX file                  : ", gc.isAtx, gc.atxfile);
  // Lines of the options that change no column of the table, only when given.
  if (gc.isAtx && gc.pairOffsets)
    out << "#Antenna offsets             : ionosphere-free signal pair" << std::endl;
  if (gc.isPairs) PrintPairs(out, gc);

  out << "#Satellites                  : ";
  for (long i = 0; i < gc.satprn.Length(); ++i) {
    char letter;
    short number;
    if (!SatelliteCode(gc.satprn(i), letter, number)) continue;
    out << std::setw(2) << letter << std::setw(2) << std::setfill('0') << number
        << std::setfill(' ');
  }
  out << std::endl;

  PrintEpoch(out, "#Start epoch                 : ", gc.stE, gc.isStart);
  PrintEpoch(out, "#End epoch                   : ", gc.enE, gc.isEnd);
  // The date output above has left the stream in fixed notation.
  out << "#Time interval               :" << std::setw(9) << std::setprecision(3) << gc.dt
      << std::endl;
  out << "#Integration step            :" << std::setw(9) << std::setprecision(3) << gc.dtni
      << " (default:  30.0)" << std::endl;
  out << "#Verbose mode                : " << (gc.verbose ? "YES" : "NO") << std::endl;
  out << "#" << std::endl;

  out << "#     DATUM     CLOCK     MDAY    MSEC     PRN          X[m]            Y[m]"
         "            Z[m]        DT[msec]";
  if (gc.isPEph || gc.isGLNnav) out << "      VX[m/s]     VY[m/s]     VZ[m/s]";
  if (gc.isPEph && (gc.isGPSnav || gc.isGLNnav))
    out << "           DX[m]           Dy[m]           DZ[m]     DDT[msec]";
  out << std::endl;
}
