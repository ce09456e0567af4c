#include "GNSS/time/mjd.h"
#include "src/Orbika.h"
