#include "foundation/tsuikit.h"

TsUIKit::TsUIKit() {}

TsUIKit::~TsUIKit() {}

TsUIKit &TsUIKit::operator=(const TsUIKit &)
{
    return *this;
}
