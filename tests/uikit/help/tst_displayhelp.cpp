// Opening the help files in the help viewer: the file and page asked for, and the error box when
// the viewer cannot open the file.
#include "help/helpfiles.h"
#include "messageboxwatch.h"
#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using tstest::ScopedEnv;

namespace {

HWND Handle(QWidget *widget) { return reinterpret_cast<HWND>(widget); }

QWidget *FindViewer()
{
    for (QWidget *widget : QApplication::allWidgets())
        if (widget->objectName() == QLatin1String("HtmlHelpViewer"))
            return widget;
    return nullptr;
}

void CloseViewers()
{
    while (QWidget *viewer = FindViewer())
        delete viewer;
}

// An installation folder with the compiled test help under the names given.
class HelpInstall
{
public:
    explicit HelpInstall(const QStringList &names)
    {
        for (const QString &name : names)
            QFile::copy(QStringLiteral(TS_TEST_CHM), m_dir.filePath(name));
    }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

struct TopicRow {
    const char *name;
    void (*display)(HWND, const WString &);
    WString (*path)();
    const char16_t *topic;
    const char *storedTopic; // the viewer's "topic": the stored name of the page shown
};

TEST(DisplayLocalHelp, FileAndTopicReachTheViewer)
{
    ASSERT_TRUE(QFile::exists(QStringLiteral(TS_TEST_CHM)));
    HelpInstall install({QStringLiteral("TsHelpEN.chm"), QStringLiteral("TsCCHelpEN.chm"),
                         QStringLiteral("TsCCHelpGM.chm")});
    const QByteArray folder = QFile::encodeName(install.path());
    ScopedEnv dir("TS_INSTALL_DIR", folder.constData());
    const TopicRow rows[] = {
        {"main help, default page", &DisplayLocalHelp, &GetPathHelpFile, u"", "/index.htm"},
        // The main help honours the topic as the console's help does.
        {"main help, a page", &DisplayLocalHelp, &GetPathHelpFile, u"console.htm", "/console.htm"},
        {"console help, default page", &DisplayLocalCCHelp, &GetPathCCHelpFile, u"", "/index.htm"},
        {"console help, a page", &DisplayLocalCCHelp, &GetPathCCHelpFile, u"console.htm", "/console.htm"},
        {"console help, the start page by name", &DisplayLocalCCHelp, &GetPathCCHelpFile, u"index.htm",
         "/index.htm"},
    };
    for (const char *locale : {"en_US.UTF-8", "de_DE.UTF-8"}) {
        ScopedEnv language("LC_ALL", locale);
        for (const TopicRow &row : rows) {
            SCOPED_TRACE(std::string(locale) + ": " + row.name);
            QWidget owner;
            owner.show();
            bool boxShown = false;
            // A box would be a failure; answer it so the test goes on.
            QTimer guard;
            QObject::connect(&guard, &QTimer::timeout, [&boxShown] {
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                    boxShown = true;
                    box->reject();
                }
            });
            guard.start(50);
            row.display(Handle(&owner), row.topic);
            guard.stop();
            EXPECT_FALSE(boxShown);
            QWidget *viewer = FindViewer();
            ASSERT_NE(viewer, nullptr);
            // The file as passed to the viewer: the page in the notation of compiled help files.
            const WString topic(row.topic);
            const WString passed = topic.empty() ? row.path() : row.path() + u"::/" + topic;
            EXPECT_EQ(viewer->property("file").toString().toStdString(),
                      QStringFromWString(passed).toStdString());
            EXPECT_EQ(viewer->property("topic").toString().toStdString(), row.storedTopic);
            CloseViewers();
        }
    }
}

struct MissingRow {
    const char *name;
    void (*display)(HWND, const WString &);
    const char16_t *topic;
    const char *caption;
};

// No file at all (the English path is not checked): the viewer refuses, an error box says so.
TEST(DisplayLocalHelp, MissingFileShowsTheErrorBox)
{
    QTemporaryDir empty;
    const QByteArray folder = QFile::encodeName(empty.path());
    ScopedEnv dir("TS_INSTALL_DIR", folder.constData());
    const MissingRow rows[] = {
        {"main help", &DisplayLocalHelp, u"", "Tessaro"},
        {"main help with a page", &DisplayLocalHelp, u"console.htm", "Tessaro"},
        {"console help", &DisplayLocalCCHelp, u"", "Tessaro Management Console Help"},
        {"console help with a page", &DisplayLocalCCHelp, u"console.htm", "Tessaro Management Console Help"},
    };
    for (const MissingRow &row : rows) {
        SCOPED_TRACE(row.name);
        QWidget owner;
        owner.show();
        int boxes = 0;
        QString caption, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QWidget *parent = nullptr;
        tstest::OnNextBox(
            [&](QMessageBox *box) {
                ++boxes;
                caption = box->windowTitle();
                text = box->text();
                icon = box->icon();
                parent = box->parentWidget();
            },
            QMessageBox::Ok);
        row.display(Handle(&owner), row.topic);
        EXPECT_EQ(boxes, 1);
        EXPECT_EQ(caption, QString::fromUtf8(row.caption));
        EXPECT_EQ(text, QStringLiteral("The help file could not be opened."));
        EXPECT_EQ(icon, QMessageBox::Critical);
        EXPECT_EQ(parent, &owner);
        EXPECT_EQ(FindViewer(), nullptr);
        QApplication::processEvents(); // the watcher's timer, should no box have come
    }
}

} // namespace
