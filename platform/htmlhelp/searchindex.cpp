#include "searchindex.h"
