// The baseline of the start-up benchmark: the same program over plain Qt Widgets.
#include <QApplication>
#include <QLocale>
#include <QString>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString text = QLocale::system().formattedDataSize(123456789LL);
    std::printf("%d\n", text.isEmpty() ? 0 : 1);
    return 0;
}
