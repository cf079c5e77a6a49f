#pragma once
#include "tsw/export.h"
#include "tsw/types.h"
