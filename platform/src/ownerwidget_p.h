// The widget behind a window handle of the platform layer. Handles are widget pointers or native
// window ids; a handle is compared, never dereferenced, so a stale one finds nothing.
#pragma once
#include "tsw/types.h"

#include <QApplication>
#include <QWidget>

namespace tsplatform {

inline QWidget *OwnerWidget(HWND owner)
{
    if (!owner)
        return nullptr;
    const QWidgetList widgets = QApplication::allWidgets();
    for (QWidget *w : widgets) {
        if (reinterpret_cast<HWND>(w) == owner)
            return w;
    }
    for (QWidget *w : widgets) {
        if (w->internalWinId() && WId(reinterpret_cast<quintptr>(owner)) == w->internalWinId())
            return w;
    }
    return nullptr;
}

} // namespace tsplatform
