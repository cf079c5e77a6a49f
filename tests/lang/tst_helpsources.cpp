// The help projects and local pages link only to files they hold, and the build puts the compiled help
// files and the local pages into the data folder.
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

QByteArray Read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a file names: href/src of pages, Local of contents and index, [FILES] of the project file (these
// three relative to the project folder, where the sitemaps lie too). Links are ASCII in every encoding
// used here, so Latin-1 keeps them intact.
QStringList Links(const QString &path)
{
    const QString text = QString::fromLatin1(Read(path));
    QStringList links;
    if (path.endsWith(QLatin1String(".hhp"))) {
        const QStringList lines = text.mid(text.indexOf(QLatin1String("[FILES]")) + 7).split(QLatin1Char('\n'));
        for (const QString &line : lines) {
            if (line.trimmed().startsWith(QLatin1Char('[')))
                break;
            if (!line.trimmed().isEmpty())
                links << line.trimmed();
        }
        return links;
    }
    static const QRegularExpression link(
        QString::fromLatin1(R"re((?:href|src)\s*=\s*"([^"]*)"|name="Local"\s+value="([^"]*)")re"),
        QRegularExpression::CaseInsensitiveOption);
    for (auto it = link.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        links << match.captured(match.lastCapturedIndex());
    }
    return links;
}

// A project folder and the folder whose files the build lays under it (empty: none).
struct Project
{
    const char *folder;
    const char *shared;
};

class HelpSources : public ::testing::TestWithParam<Project> {};

TEST_P(HelpSources, LinksNameFilesOfTheProject)
{
    const QString root = QStringLiteral(TS_LANG_SOURCE_DIR "/") + QLatin1String(GetParam().folder);
    const QString shared = QStringLiteral(TS_LANG_SOURCE_DIR "/") + QLatin1String(GetParam().shared);
    static const QRegularExpression outside(QStringLiteral("^[a-z][a-z0-9+.-]*:"), QRegularExpression::CaseInsensitiveOption);
    int checked = 0;
    for (QDirIterator it(root, {"*.htm", "*.hhc", "*.hhk", "*.hhp"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString file = it.next();
        for (const QString &link : Links(file)) {
            if (outside.match(link).hasMatch()) // web, mail and other help files
                continue;
            const QString target = link.section(QLatin1Char('#'), 0, 0);
            const QString fragment = link.section(QLatin1Char('#'), 1);
            const QString resolved = target.isEmpty() ? file : QFileInfo(file).dir().filePath(target);
            QString clean = QFileInfo(resolved).absoluteFilePath();
            if (*GetParam().shared && clean.startsWith(root + QLatin1Char('/')) && !QFileInfo(clean).isFile())
                clean = shared + clean.mid(root.size());
            const bool exists = (clean.startsWith(root + QLatin1Char('/')) || clean.startsWith(shared + QLatin1Char('/')))
                && QFileInfo(clean).isFile();
            const bool anchored = fragment.isEmpty() || Read(clean).contains("name=\"" + fragment.toLatin1() + '"');
            if (!exists || !anchored)
                ADD_FAILURE() << file.mid(root.size() + 1).toStdString() << ": broken link " << link.toStdString();
            ++checked;
        }
    }
    EXPECT_GT(checked, 1) << "no links found in " << root.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Projects, HelpSources,
                         ::testing::Values(Project{"help/TsHelpEN", "help/shared"},
                                           Project{"help/TsCCHelpEN", "help/shared"},
                                           Project{"help/TsHelpGM", "help/shared"},
                                           Project{"help/TsHelpJP", "help/shared"}, Project{"local", ""},
                                           Project{"localcc", "local"}),
                         [](const auto &info) {
                             return QString::fromLatin1(info.param.folder).section('/', -1).toStdString();
                         });

TEST(HelpSources, BuildPutsHelpFilesAndLocalPagesIntoTheDataFolder)
{
    const struct { const char *file; const char *start; } rows[] = {
        {"TsHelpEN.chm", "ITSF"}, {"TsCCHelpEN.chm", "ITSF"}, {"TsHelpGM.chm", "ITSF"}, {"TsHelpJP.chm", "ITSF"},
        {"local/index.htm", "<!DOCTYPE"}, {"localcc/index.htm", "<!DOCTYPE"},
    };
    for (const auto &row : rows)
        EXPECT_TRUE(Read(QStringLiteral(TS_DATA_DIR "/") + QLatin1String(row.file)).startsWith(row.start)) << row.file;
}

} // namespace
