// MessageBoxW: button sets, the answers they give, and the owner window.
#include "messageboxwatch.h"

#include "tswin.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

using tstest::OnNextBox;

TEST(MessageBoxW, ButtonsAndResults)
{
    struct Row { UINT type; QMessageBox::StandardButton press; int expected; };
    const Row rows[] = {
        {MB_OK, QMessageBox::Ok, IDOK},
        {MB_OK, QMessageBox::NoButton, IDOK},
        {MB_OKCANCEL, QMessageBox::Cancel, IDCANCEL},
        {MB_OKCANCEL, QMessageBox::NoButton, IDCANCEL},
        {MB_YESNO, QMessageBox::No, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON2, QMessageBox::Yes, IDYES},
        {MB_ABORTRETRYIGNORE, QMessageBox::Ignore, IDIGNORE},
        {MB_RETRYCANCEL, QMessageBox::Retry, IDRETRY},
    };
    for (const Row &row : rows) {
        OnNextBox([](QMessageBox *) {}, row.press);
        EXPECT_EQ(MessageBoxW(nullptr, u"text", u"caption", row.type), row.expected) << "type " << row.type;
    }
    EXPECT_EQ(MessageBoxW(nullptr, u"text", u"caption", 0x0F), 0) << "unknown button set";

    QWidget owner;
    QString ownerTitle;
    QWidget *parent = nullptr;
    OnNextBox([&](QMessageBox *box) { parent = box->parentWidget(); ownerTitle = box->windowTitle(); },
              QMessageBox::Ok);
    EXPECT_EQ(MessageBoxW(reinterpret_cast<HWND>(&owner), u"täxt", nullptr, MB_OK), IDOK);
    EXPECT_EQ(parent, &owner);
    EXPECT_TRUE(ownerTitle.isEmpty());

    int bogus = 0;
    OnNextBox([&](QMessageBox *box) { parent = box->parentWidget(); }, QMessageBox::Ok);
    EXPECT_EQ(MessageBoxW(reinterpret_cast<HWND>(&bogus), u"x", u"y", MB_OK), IDOK);
    EXPECT_EQ(parent, nullptr) << "an unknown window handle is not used";
}

// The box is the owner's child: destroying the owner while the box waits for an answer takes the
// box with it. No answer was given, so the call reports none (0).
TEST(MessageBoxW, OwnerDestroyedWhileOpenGivesNoAnswer)
{
    for (UINT type : {UINT(MB_OK), UINT(MB_YESNOCANCEL)}) {
        SCOPED_TRACE(type);
        auto *owner = new QWidget;
        owner->setObjectName(QStringLiteral("owner"));
        QPointer<QMessageBox> box;
        QTimer::singleShot(0, [&] {
            box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            EXPECT_NE(box, nullptr);
            if (box) {
                EXPECT_TRUE(QTest::qWaitForWindowExposed(box));
            }
            delete owner;
        });
        EXPECT_EQ(MessageBoxW(reinterpret_cast<HWND>(owner), u"text", u"caption", type), 0);
        EXPECT_TRUE(box.isNull());
    }
}
