#include "helpentry.h"

#include "helpdocument.h"
#include "helplink.h"
#include "helpschemes.h"
#include "helpviewer.h"
#include "ownerwidget_p.h"
#include "tsw/htmlhelp.h"

#include <QApplication>
#include <QPointer>
#include <QVector>

#include <utility>

namespace {

// Viewers still open, so that a file asked for again by the same owner comes up in its viewer.
QVector<QPointer<tshelp::HelpViewer>> &Viewers()
{
    static QVector<QPointer<tshelp::HelpViewer>> viewers;
    viewers.removeAll(nullptr);
    return viewers;
}

} // namespace

extern "C" __attribute__((visibility("default"))) HWND TswHtmlHelpViewer(HWND owner, LPCWSTR file,
                                                                          UINT command,
                                                                          DWORD_PTR data)
{
    static_assert(std::is_same_v<decltype(&TswHtmlHelpViewer), tshelp::HtmlHelpFn>);
    if (command == HH_CLOSE_ALL) {
        const QVector<QPointer<tshelp::HelpViewer>> open = std::exchange(Viewers(), {});
        for (const QPointer<tshelp::HelpViewer> &viewer : open) {
            if (viewer)
                viewer->close(); // deletes itself
        }
        return nullptr;
    }
    if (command != HH_DISPLAY_TOPIC || data != 0 || !file
        || !qobject_cast<QApplication *>(QCoreApplication::instance()))
        return nullptr;
    const tshelp::HelpLink link = tshelp::ParseHelpLink(QString::fromUtf16(file));
    // (pages of schemes that the engine does not know would not resolve their links)
    if (!link.valid || !tshelp::RegisterHelpSchemes())
        return nullptr;
    QWidget *ownerWidget = tsplatform::OwnerWidget(owner);
    if (owner && !ownerWidget)
        return nullptr; // a window that no longer exists owns nothing

    std::shared_ptr<tshelp::HelpDocument> document = tshelp::HelpDocument::open(link.file);
    if (!document)
        return nullptr;
    tshelp::HelpViewer *viewer = nullptr;
    for (const QPointer<tshelp::HelpViewer> &open : Viewers()) {
        // (a viewer the user closed is on its way out)
        if (open && open->isVisible() && open->parentWidget() == ownerWidget
            && open->document() == document.get())
            viewer = open;
    }
    if (!viewer) {
        viewer = new tshelp::HelpViewer(document, QString::fromUtf16(file), ownerWidget);
        Viewers().push_back(viewer);
    }
    viewer->showTopic(link.topic);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return reinterpret_cast<HWND>(static_cast<QWidget *>(viewer));
}
