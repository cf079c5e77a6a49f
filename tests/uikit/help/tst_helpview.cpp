// The help dock: its make-up, the page kept while hidden, pages not loaded twice, and closing.
#include "help/helpview.h"

#include <QAbstractButton>
#include <QMainWindow>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A main window with the dock beside its central widget, and a count of pages the view loaded.
class HelpWindow
{
public:
    HelpWindow()
    {
        m_window.setCentralWidget(new QWidget);
        m_view = new CHelpView(&m_window);
        m_window.addDockWidget(Qt::RightDockWidgetArea, m_view);
        m_text = m_view->findChild<QTextEdit *>(QStringLiteral("helpText"));
        if (m_text)
            QObject::connect(m_text, &QTextEdit::textChanged, [this] { ++m_loads; });
        m_window.resize(600, 400);
    }
    CHelpView *view() const { return m_view; }
    QTextEdit *text() const { return m_text; }
    QMainWindow &window() { return m_window; }
    int loads() const { return m_loads; }
    QString shown() const { return m_text ? m_text->toPlainText() : QString(); }

private:
    QMainWindow m_window;
    CHelpView *m_view = nullptr;
    QTextEdit *m_text = nullptr;
    int m_loads = 0;
};

TEST(HelpView, MakeUp)
{
    CHelpView view;
    EXPECT_EQ(view.features(), QDockWidget::DockWidgetClosable);
    EXPECT_EQ(view.minimumWidth(), 150);
    EXPECT_TRUE(view.windowTitle().isEmpty());
    auto *text = view.findChild<QTextEdit *>(QStringLiteral("helpText"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(view.widget(), text);
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_TRUE(text->toPlainText().isEmpty());
    view.SetTitle(u"Hilfe \u00fcber Volumes");
    EXPECT_EQ(view.windowTitle(), QStringLiteral("Hilfe \u00fcber Volumes"));

    const QMetaObject *meta = view.metaObject();
    EXPECT_STREQ(meta->className(), "CHelpView");
    ASSERT_EQ(meta->methodCount() - meta->methodOffset(), 1);
    const QMetaMethod signal = meta->method(meta->methodOffset());
    EXPECT_EQ(signal.methodType(), QMetaMethod::Signal);
    EXPECT_EQ(signal.methodSignature(), QByteArray("showView(bool)"));
    EXPECT_EQ(signal.parameterNames(), QList<QByteArray>{"show"});
    EXPECT_EQ(meta->propertyCount(), meta->propertyOffset());
}

// Each step sets a page (or shows/hides the dock); the view must then show `shown` after `loads`
// loads in all.
TEST(HelpView, PagesWhileHiddenAndShown)
{
    enum Action { Set, Show, Hide };
    struct Step {
        Action action;
        const char16_t *html;
        const char *shown;
        int loads;
    };
    const Step steps[] = {
        {Set, u"<p>Volumes</p>", "", 0},                 // hidden: nothing on screen
        {Set, u"<p>Schedules</p>", "", 0},               // the last page asked for counts
        {Show, nullptr, "Schedules", 1},                 // shown with the dock
        {Set, u"<P>SCHEDULES</P>", "Schedules", 1},      // same text but for case: not loaded again
        {Set, u"<p>schedules</p>", "Schedules", 1},
        {Set, u"<p>Schedules </p>", "Schedules ", 2},    // one space more is another page
        {Set, u"<p>\u00c9tat</p>", "\u00c9tat", 3},
        {Set, u"<p>\u00e9TAT</p>", "\u00c9tat", 3},      // case beyond ASCII
        {Hide, nullptr, "\u00c9tat", 3},
        {Show, nullptr, "\u00c9tat", 3},                 // the page on screen is not loaded again
        {Hide, nullptr, "\u00c9tat", 3},
        {Set, u"<p>Reports</p>", "\u00c9tat", 3},        // hidden again: kept for later
        {Show, nullptr, "Reports", 4},
        {Set, u"", "", 5},                               // an empty page is put on screen...
        {Set, u"<p>Reports</p>", "Reports", 6},          // ... and the next one is loaded
    };
    HelpWindow help;
    ASSERT_NE(help.text(), nullptr);
    help.view()->hide();
    help.window().show();
    int index = 0;
    for (const Step &step : steps) {
        switch (step.action) {
        case Set:
            help.view()->SetHelpPage(step.html);
            break;
        case Show:
            help.view()->show();
            break;
        case Hide:
            help.view()->hide();
            break;
        }
        EXPECT_EQ(help.shown(), QString::fromUtf8(step.shown)) << "step " << index;
        EXPECT_EQ(help.loads(), step.loads) << "step " << index;
        ++index;
    }
}

TEST(HelpView, CloseButtonEmitsOnceAndHides)
{
    HelpWindow help;
    help.view()->SetHelpPage(u"<p>Page</p>");
    help.window().show();
    QSignalSpy spy(help.view(), &CHelpView::showView);
    auto *close = help.view()->findChild<QAbstractButton *>(QStringLiteral("qt_dockwidget_closebutton"));
    ASSERT_NE(close, nullptr);
    ASSERT_TRUE(close->isVisible());
    close->click();
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toBool(), false);
    EXPECT_FALSE(help.view()->isVisible());
    EXPECT_TRUE(help.window().isVisible());
    // Hidden by the user, the dock still takes the next page for when it comes back.
    help.view()->SetHelpPage(u"<p>Next</p>");
    EXPECT_EQ(help.shown(), QStringLiteral("Page"));
    help.view()->show();
    EXPECT_EQ(help.shown(), QStringLiteral("Next"));
    EXPECT_EQ(spy.count(), 1) << "showing again emits nothing";
}

// The view clears its text before the dock and its child go.
TEST(HelpView, DestructorClearsTheText)
{
    auto view = std::make_unique<CHelpView>();
    view->show();
    view->SetHelpPage(u"<p>Page</p>");
    auto *text = view->findChild<QTextEdit *>(QStringLiteral("helpText"));
    ASSERT_NE(text, nullptr);
    std::vector<QString> seen;
    QObject::connect(text, &QTextEdit::textChanged, [&seen, text] { seen.push_back(text->toPlainText()); });
    view.reset();
    EXPECT_EQ(seen, std::vector<QString>{QString()});
}

} // namespace
