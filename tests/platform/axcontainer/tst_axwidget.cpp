// The control container: the WebBrowser control's calls over the web engine.
#include "tsw/axwidget.h"

#include "navigationurl.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>
#include <gtest/gtest.h>

#include <memory>

namespace {

const char kWebBrowser[] = "{8856F961-340A-11D0-A96B-00C04FD705A2}";

TEST(NavigationUrl, WhatNavigateMakesOfItsArgument)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QDir::setCurrent(dir.path());
    QFile page(dir.filePath(QStringLiteral("here.htm")));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    const QString home = QDir(dir.path()).canonicalPath();
    struct Row
    {
        QString input;
        QString expected;
    } rows[] = {
        {QStringLiteral("http://example.com/a?b=1"), QStringLiteral("http://example.com/a?b=1")},
        {QStringLiteral("  https://example.com/  "), QStringLiteral("https://example.com/")},
        {QStringLiteral("about:blank"), QStringLiteral("about:blank")},
        {QStringLiteral("/opt/tessaro/local/index.htm"),
         QStringLiteral("file:///opt/tessaro/local/index.htm")},
        // Paths built for Windows: backslashes separate folders, also in file addresses.
        {QStringLiteral("/opt/tessaro\\local\\index.htm"),
         QStringLiteral("file:///opt/tessaro/local/index.htm")},
        {QStringLiteral("file:///opt/tessaro\\local\\index.htm"),
         QStringLiteral("file:///opt/tessaro/local/index.htm")},
        {QStringLiteral("/opt/a/../b/./c.htm"), QStringLiteral("file:///opt/b/c.htm")},
        {QStringLiteral("here.htm"), QUrl::fromLocalFile(home + QStringLiteral("/here.htm")).toString()},
        {QStringLiteral("example.com/page"), QStringLiteral("http://example.com/page")},
        {QString(), QString()},
        {QStringLiteral("   "), QString()},
    };
    for (const Row &row : rows) {
        const QUrl url = tsax::NavigationUrl(row.input);
        EXPECT_EQ(url.toString().toStdString(), row.expected.toStdString())
            << "input: " << row.input.toStdString();
    }
}

TEST(AxWidget, ControlsByClassIdOrProgramId)
{
    struct Row
    {
        const char *control;
        bool hosted;
    } rows[] = {
        {kWebBrowser, true},
        {"{8856f961-340a-11d0-a96b-00c04fd705a2}", true},
        {"Shell.Explorer.2", true},
        {"{00000000-0000-0000-0000-000000000000}", false},
        {"Excel.Sheet", false},
        {"", false},
    };
    for (const Row &row : rows) {
        QAxWidget widget;
        EXPECT_EQ(widget.setControl(QString::fromLatin1(row.control)) && *row.control, row.hosted)
            << row.control;
        EXPECT_EQ(widget.isNull(), !row.hosted) << row.control;
        EXPECT_EQ(widget.findChild<QWebEngineView *>() != nullptr, row.hosted) << row.control;
    }
}

TEST(AxWidget, ClearedOrEmptyContainerCallsNothing)
{
    QAxWidget widget(QString::fromLatin1(kWebBrowser));
    widget.clear();
    EXPECT_TRUE(widget.isNull());
    EXPECT_TRUE(widget.control().isEmpty());
    EXPECT_FALSE(widget.dynamicCall("Navigate(const QString&)", QStringLiteral("about:blank")).isValid());
}

// Navigate with a local path, as built for Windows, loads the file; the location properties follow
// and Back returns to the first page.
TEST(AxWidget, NavigatesLocalPathsAndKeepsHistory)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QDir().mkpath(dir.filePath(QStringLiteral("local")));
    const auto write = [&](const QString &name, const QByteArray &html) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(html);
    };
    write(QStringLiteral("local/one.htm"), "<html><head><title>First</title></head><body>1</body></html>");
    write(QStringLiteral("local/two.htm"), "<html><head><title>Second</title></head><body>2</body></html>");

    auto owner = std::make_unique<QWidget>();
    auto *widget = new QAxWidget(QString::fromLatin1(kWebBrowser), owner.get());
    owner->resize(320, 200);
    owner->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(owner.get()));
    QSignalSpy loaded(widget, &QAxWidget::documentComplete);

    const QString windowsStyle = dir.path() + QStringLiteral("\\local\\one.htm");
    EXPECT_FALSE(widget->dynamicCall("Navigate(const QString&)", windowsStyle).isValid());
    ASSERT_TRUE(loaded.wait(20000));
    const QString first = QUrl::fromLocalFile(dir.filePath(QStringLiteral("local/one.htm"))).toString();
    EXPECT_EQ(loaded.last().at(0).toString(), first);
    EXPECT_EQ(widget->dynamicCall("LocationURL").toString(), first);
    EXPECT_EQ(widget->dynamicCall("LocationName").toString(), QStringLiteral("First"));
    EXPECT_FALSE(widget->dynamicCall("Busy").toBool());

    widget->dynamicCall("Navigate2", dir.filePath(QStringLiteral("local/two.htm")));
    ASSERT_TRUE(loaded.wait(20000));
    EXPECT_EQ(widget->dynamicCall("LocationName").toString(), QStringLiteral("Second"));

    widget->dynamicCall("GoBack()");
    ASSERT_TRUE(loaded.wait(20000));
    EXPECT_EQ(widget->dynamicCall("LocationURL").toString(), first);

    EXPECT_FALSE(widget->dynamicCall("Quit()").isValid());
}

} // namespace
