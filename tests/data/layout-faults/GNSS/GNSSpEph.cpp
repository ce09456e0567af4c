#include "GNSS/xyz.h"
