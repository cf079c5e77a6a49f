// The product data model's interface, as far as the library calls it.
#pragma once

#include "tswin.h"

// {6F0B2C1E-4A7D-4E59-9C3B-2D81A5E6F4C7}
inline constexpr IID IID_ITsAbstractData = {
    0x6f0b2c1e, 0x4a7d, 0x4e59, {0x9c, 0x3b, 0x2d, 0x81, 0xa5, 0xe6, 0xf4, 0xc7}};

/**
 * A value source of the product's data model. The library only calls it; the data model
 * implements it.
 */
struct ITsAbstractData : public IUnknown {
    /**
     * Looks up the value named by @p first and @p second and stores it in @p value, which arrives
     * initialised (the caller clears it). Returns a success code (S_OK, S_FALSE) or an error.
     */
    virtual HRESULT GetCallBackValue(BSTR first, BSTR second, VARIANT *value) = 0;

protected:
    ~ITsAbstractData() = default;
};
