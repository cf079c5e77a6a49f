#include "chmfile.h"
