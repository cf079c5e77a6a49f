// Test entry point: a headless QApplication, and a check that no test leaves a top-level widget
// behind (LeakSanitizer cannot see those, Qt keeps every widget in a list).
#include <QApplication>
#include <QMutex>
#include <QStringList>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Suites run with TS_TEST_QT_WARNINGS=fail fail a test during which a warning was printed. Excepted:
// the engine's page console (category "js": the pages' own output) and the headless platform
// plugin's note that it cannot pass size hints on.
QMutex g_warningsMutex;
QStringList g_warnings;
QtMessageHandler g_previousHandler = nullptr;

void RecordWarning(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if ((type == QtWarningMsg || type == QtCriticalMsg)
        && qstrcmp(context.category, "js") != 0
        && !message.startsWith(QLatin1String("This plugin does not support"))) {
        const QMutexLocker lock(&g_warningsMutex);
        g_warnings << message;
    }
    g_previousHandler(type, context, message);
}

class WarningCheck : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo &) override
    {
        const QMutexLocker lock(&g_warningsMutex);
        g_warnings.clear();
    }
    void OnTestEnd(const ::testing::TestInfo &info) override
    {
        const QMutexLocker lock(&g_warningsMutex);
        if (!g_warnings.isEmpty())
            ADD_FAILURE() << info.test_suite_name() << "." << info.name() << " printed "
                          << g_warnings.size() << " warning(s):\n"
                          << g_warnings.join(QLatin1Char('\n')).toStdString();
        g_warnings.clear();
    }
};

class TopLevelWidgetCheck : public ::testing::EmptyTestEventListener
{
    void OnTestEnd(const ::testing::TestInfo &info) override
    {
        const QWidgetList left = QApplication::topLevelWidgets();
        if (left.isEmpty())
            return;
        QStringList names;
        for (QWidget *w : left)
            names << QString::fromLatin1(w->metaObject()->className());
        ADD_FAILURE() << info.test_suite_name() << "." << info.name() << " left " << left.size()
                      << " top-level widget(s): " << names.join(QLatin1String(", ")).toStdString();
        qDeleteAll(left);
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (CTest's discovery) needs no application, and none of its environment.
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    QApplication app(argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new TopLevelWidgetCheck);
    if (qgetenv("TS_TEST_QT_WARNINGS") == "fail") {
        g_previousHandler = qInstallMessageHandler(&RecordWarning);
        ::testing::UnitTest::GetInstance()->listeners().Append(new WarningCheck);
    }
    return RUN_ALL_TESTS();
}
