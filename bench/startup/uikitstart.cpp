// A program that starts with TsUIKit linked, formats one value and exits: what every console
// process pays before its first window.
#include "foundation/valueformat.h"

#include <QApplication>
#include <QString>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const ATL::CComBSTR text = ByteConvert(123456789ULL);
    // (printed so that the call cannot be left out)
    std::printf("%d\n", text.Length() > 0 ? 1 : 0);
    return 0;
}
