// The library's class of its own name.
#pragma once

#include "foundation/tsuikitglobal.h"

/**
 * An empty class that carries the library's name. It holds nothing and does nothing.
 */
class TSUIKIT_EXPORT TsUIKit
{
public:
    TsUIKit();
    ~TsUIKit();
    TsUIKit &operator=(const TsUIKit &other);
};
