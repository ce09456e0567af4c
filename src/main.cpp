// Orbika: GPS and GLONASS satellite positions, velocities and clock
// corrections from broadcast and precise ephemerides, printed as a table.
#include <cstdio>

#include "src/Orbika.h"
#include "src/Orbika_ApplyAtx.h"
#include "src/Orbika_CalcPos.h"
#include "src/Orbika_GetFiles.h"
#include "src/Orbika_PrintSet.h"
#include "src/Orbika_ReadFiles.h"

namespace {
// Standard output is written in large blocks: the table of a day at 1 s
// steps is about a gigabyte.  Messages on standard error still appear in
// order, since writing to it flushes standard output first.
constexpr std::size_t kOutputBuffer = 1 << 18;
}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOFBF, kOutputBuffer);
  Orbika gc;
  ParseArguments(gc, argc, argv);
  if (gc.GetRunProg()) {
    CheckArguments(gc);
    SetFiles(gc);
    ReadFiles(gc);
    SetProcParameters(gc);
    CheckBroadcast(gc);
    ApplyAtx(gc);
    PrintSet(gc);
    CalcPos(gc);
  }
  CheckStandardOutput();
  gc.EndProg();
  // The table is whole, but a file the user named was left out.
  return gc.isUnopened ? 1 : 0;
}
