// Orbika: GPS and GLONASS satellite positions, velocities and clock
// corrections from broadcast and precise ephemerides, printed as a table.
#include "src/Orbika.h"
#include "src/Orbika_ApplyAtx.h"
#include "src/Orbika_CalcPos.h"
#include "src/Orbika_GetFiles.h"
#include "src/Orbika_PrintSet.h"
#include "src/Orbika_ReadFiles.h"

int main(int argc, char** argv) {
  Orbika gc;
  ParseArgumetns(gc, argc, argv);
  if (gc.GetRunProg()) {
    CheckArgumetns(gc);
    SetFiles(gc);
    ReadFiles(gc);
    SetProcParameters(gc);
    ApplyAtx(gc);
    PrintSet(gc);
    CalcPos(gc);
  }
  gc.EndProg();
  return 0;
}
