// SetHeaderColumnsSize on arbitrary stored texts, applied to a real header of four sections.
// Invariants: every section ends up between 0 and the largest size a section can take, and the
// text that GetHeaderColumnsSize writes back reads again to the same widths.
#include "widgets/headercolumns.h"

#include <QApplication>
#include <QHeaderView>
#include <QStandardItemModel>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QHeaderView *Header()
{
    static int argc = 1;
    static char name[] = "fuzz_headercolumns";
    static char *argv[] = {name, nullptr};
    static QApplication *app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    Q_UNUSED(app);
    static QStandardItemModel model(1, 4);
    static QHeaderView *header = [] {
        auto *view = new QHeaderView(Qt::Horizontal);
        view->setModel(&model);
        view->setMinimumSectionSize(0);
        return view;
    }();
    return header;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QHeaderView *header = Header();
    for (int i = 0; i < header->count(); ++i)
        header->resizeSection(i, 77);
    WString text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.push_back(char16_t(data[i] | (data[i + 1] << 8)));
    SetHeaderColumnsSize(text, header);
    for (int i = 0; i < header->count(); ++i)
        if (header->sectionSize(i) < 0 || header->sectionSize(i) > header->maximumSectionSize())
            std::abort();
    const WString saved = GetHeaderColumnsSize(header);
    SetHeaderColumnsSize(saved, header);
    if (GetHeaderColumnsSize(header) != saved)
        std::abort();
    return 0;
}
