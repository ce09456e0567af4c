#include "GNSS/time/mjd.h"
