// Test entry point: a headless QApplication, and a check that no test leaves a top-level widget
// behind (LeakSanitizer cannot see those, Qt keeps every widget in a list).
#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

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
    return RUN_ALL_TESTS();
}
