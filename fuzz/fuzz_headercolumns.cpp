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

QApplication *s_app = nullptr;
QStandardItemModel *s_model = nullptr;
QHeaderView *s_header = nullptr;

} // namespace

// The application and the header live for the whole run. One text is applied before fuzzing starts,
// so that Qt's font set-up (whose caches the font library never frees) is not taken for a leak of
// the first input.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    s_app = new QApplication(*argc, *argv);
    s_model = new QStandardItemModel(1, 4);
    s_header = new QHeaderView(Qt::Horizontal);
    s_header->setModel(s_model);
    s_header->setMinimumSectionSize(0);
    SetHeaderColumnsSize(WString(u"120;80;200;"), s_header);
    GetHeaderColumnsSize(s_header);
    // Torn down before the leak check at exit, as a program would: the font library frees its
    // caches only when the application's font database goes.
    std::atexit([] {
        delete s_header;
        delete s_model;
        delete s_app;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QHeaderView *header = s_header;
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
