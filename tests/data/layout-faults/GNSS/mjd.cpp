#include "src/Orbika.h"
