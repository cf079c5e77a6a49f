#include "foundation/waitcursor_p.h"

#include <QApplication>

namespace tsuikit {

WaitCursor::WaitCursor() : m_shown(true) { QApplication::setOverrideCursor(Qt::WaitCursor); }

WaitCursor::~WaitCursor() { Restore(); }

void WaitCursor::Restore()
{
    if (!m_shown)
        return;
    m_shown = false;
    QApplication::restoreOverrideCursor();
}

} // namespace tsuikit
