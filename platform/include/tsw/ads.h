// The directory service's system-information object, as the network view reaches it.
#pragma once
#include "tsw/types.h"
#include "tsw/com.h"

// The ADSystemInfo class and its interface.
inline constexpr CLSID CLSID_ADSystemInfo = {0x50B6327F, 0xAFD1, 0x11D2,
                                            {0x9C, 0xB9, 0x00, 0x00, 0xF8, 0x7A, 0x36, 0x9E}};
inline constexpr IID IID_IADsADSystemInfo = {0x5BB11929, 0xAFD1, 0x11D2,
                                             {0x9C, 0xB9, 0x00, 0x00, 0xF8, 0x7A, 0x36, 0x9E}};

// Only the calls made here: the automation (IDispatch) half and the other properties are left out.
struct IADsADSystemInfo : public IUnknown {
    // The DNS names of every tree of the forest, as a VT_ARRAY | VT_VARIANT of BSTR variants in
    // `trees` (which the caller initialised and clears).
    virtual HRESULT GetTrees(VARIANT *trees) = 0;

protected:
    ~IADsADSystemInfo() = default;
};
