// What the help viewer's suites share: the viewer as callers see it (the window that HtmlHelpW
// returns, its properties, its parts by name), and waiting for what the engine does.
#pragma once
#include "tsw/htmlhelp.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <string>

namespace helpviewertest {

using HelpViewer = QWidget;

inline QWebEngineView *View(HelpViewer *viewer)
{
    return viewer->findChild<QWebEngineView *>(QStringLiteral("HelpPageView"));
}

inline QString Topic(HelpViewer *viewer)
{
    return viewer->property("topic").toString();
}

inline HelpViewer *Open(const QString &file, QWidget *owner = nullptr)
{
    const std::u16string text = file.toStdU16String();
    return reinterpret_cast<QWidget *>(
        HtmlHelpW(reinterpret_cast<HWND>(owner), text.c_str(), HH_DISPLAY_TOPIC, 0));
}

inline bool WaitLoaded(HelpViewer *viewer)
{
    QSignalSpy loaded(viewer, SIGNAL(pageLoaded(bool)));
    return loaded.wait(20000) && loaded.last().at(0).toBool();
}

// Does what the user does and waits for the page that it loads.
template<typename Action>
bool Loads(HelpViewer *viewer, Action action)
{
    QSignalSpy loaded(viewer, SIGNAL(pageLoaded(bool)));
    action();
    return (!loaded.isEmpty() || loaded.wait(20000)) && loaded.last().at(0).toBool();
}

inline QVariant Evaluate(QWebEnginePage *page, const QString &script)
{
    QVariant result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant &value) {
        result = value;
        done = true;
    });
    for (int i = 0; i < 400 && !done; ++i)
        QTest::qWait(10);
    return result;
}

inline QVariant Evaluate(HelpViewer *viewer, const QString &script)
{
    return Evaluate(View(viewer)->page(), script);
}

inline QString PageText(HelpViewer *viewer)
{
    return Evaluate(viewer, QStringLiteral("document.body.innerText")).toString();
}

// Closes every viewer and lets their deletion (and the line edits' clear-button animations, which
// delete themselves on their next tick) run, so that nothing is left at exit.
inline void CloseAll()
{
    HtmlHelpW(nullptr, nullptr, HH_CLOSE_ALL, 0);
    QTest::qWait(100);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace helpviewertest
