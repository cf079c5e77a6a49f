// Answers the next modal message box from the event loop, for suites that call code which shows one.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace tstest {

// Runs `inspect` on the next modal message box, then presses its button `press` (or closes it).
inline void OnNextBox(std::function<void(QMessageBox *)> inspect, QMessageBox::StandardButton press)
{
    QTimer::singleShot(0, [inspect, press] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        inspect(box);
        if (press == QMessageBox::NoButton)
            box->reject();
        else
            box->button(press)->click();
    });
}

} // namespace tstest
