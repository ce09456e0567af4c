#include "GNSS/mjd.h"
