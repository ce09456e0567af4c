#include "GNSS/time/ymdhms.h"
