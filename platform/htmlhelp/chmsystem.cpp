#include "chmsystem.h"
