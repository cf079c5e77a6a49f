#include "foundation/bstrconvert.h"

ATL::CComBSTR QStringToBSTR(const QString &text)
{
    ATL::CComBSTR result;
    if (text.isEmpty())
        return result;
    BSTR copy = SysAllocStringLen(reinterpret_cast<const OLECHAR *>(text.utf16()), UINT(text.size()));
    if (!copy)
        ATL::AtlThrow(E_OUTOFMEMORY);
    result.Attach(copy);
    return result;
}

QString BSTRToQString(BSTR text)
{
    if (!text)
        return QString();
    int length = 0;
    while (text[length])
        ++length;
    // Not fromUtf16: that would take a leading U+FEFF for a byte-order mark and drop it.
    return QString(reinterpret_cast<const QChar *>(text), length);
}
