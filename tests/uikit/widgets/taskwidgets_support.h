// Helpers of the task-widget suites: texts of the language module, a window that really has the
// focus, and events as the platform would deliver them.
#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

#include "tslang.h"
#include "tswin.h"

namespace tstest {

// The entry `id` of the language module the library picked (same choice as the library's).
inline QString LangText(UINT id)
{
    static const HINSTANCE module = LoadTsLang(GetUserDefaultLangID(), 0);
    WCHAR buffer[512];
    const int length = LoadStringW(module, id, buffer, 512);
    return QString::fromUtf16(buffer, length);
}

// Shows `window` and makes it the active window, so focus changes are real.
inline bool ShowActive(QWidget &window)
{
    window.show();
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
}

inline void SendEnter(QWidget *widget)
{
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(widget, &enter);
}

inline void SendLeave(QWidget *widget)
{
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(widget, &leave);
}

} // namespace tstest
