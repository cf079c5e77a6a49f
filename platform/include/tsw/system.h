#pragma once
#include "tsplatform_export.h"
#include "tsw/types.h"
