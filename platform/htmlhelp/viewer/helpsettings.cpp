#include "helpsettings.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace tshelp {

namespace {

constexpr qint64 kIdentitySpan = 64 * 1024;
constexpr int kMaxFavorites = 1000; // (the settings file is outside input as well)

QSettings Settings()
{
    return QSettings(QStringLiteral("Morlen"), QStringLiteral("Tessaro Help"));
}

QString FileGroup(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath().isEmpty() ? info.absoluteFilePath()
                                                                  : info.canonicalFilePath();
    return QStringLiteral("files/")
        + QString::fromLatin1(
              QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex());
}

// Opens the file's group when it holds entries of this very file; otherwise (nothing kept, or kept for
// a file that was at this path before) false.
bool OpenFileGroup(QSettings &settings, const QString &path)
{
    settings.beginGroup(FileGroup(path));
    const QByteArray identity = HelpSettings::fileIdentity(path);
    return !identity.isEmpty() && settings.value(QStringLiteral("identity")).toByteArray() == identity;
}

// Starts the file's group for writing: entries of another file at this path go.
void StartFileGroup(QSettings &settings, const QString &path)
{
    const QByteArray identity = HelpSettings::fileIdentity(path);
    if (!OpenFileGroup(settings, path)) {
        settings.remove(QString());
        settings.setValue(QStringLiteral("identity"), identity);
    }
}

} // namespace

QByteArray HelpSettings::fileIdentity(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const qint64 size = file.size();
    hash.addData(QByteArray::number(size));
    hash.addData(file.read(kIdentitySpan));
    if (size > kIdentitySpan && file.seek(qMax(kIdentitySpan, size - kIdentitySpan)))
        hash.addData(file.read(kIdentitySpan));
    return hash.result().toHex();
}

QVector<Favorite> HelpSettings::favorites(const QString &path)
{
    QSettings settings = Settings();
    QVector<Favorite> list;
    if (!OpenFileGroup(settings, path))
        return list;
    const int count = qMin(settings.beginReadArray(QStringLiteral("favorites")), kMaxFavorites);
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        const Favorite favorite{settings.value(QStringLiteral("title")).toString(),
                                settings.value(QStringLiteral("topic")).toString()};
        if (!favorite.topic.isEmpty())
            list.push_back(favorite);
    }
    settings.endArray();
    return list;
}

void HelpSettings::setFavorites(const QString &path, const QVector<Favorite> &favorites)
{
    QSettings settings = Settings();
    StartFileGroup(settings, path);
    settings.remove(QStringLiteral("favorites"));
    settings.beginWriteArray(QStringLiteral("favorites"), favorites.size());
    for (int i = 0; i < favorites.size(); ++i) {
        settings.setArrayIndex(i);
        settings.setValue(QStringLiteral("title"), favorites.at(i).title);
        settings.setValue(QStringLiteral("topic"), favorites.at(i).topic);
    }
    settings.endArray();
}

QByteArray HelpSettings::characterSet(const QString &path)
{
    QSettings settings = Settings();
    if (!OpenFileGroup(settings, path))
        return {};
    return settings.value(QStringLiteral("characterSet")).toByteArray().left(64);
}

void HelpSettings::setCharacterSet(const QString &path, const QByteArray &name)
{
    QSettings settings = Settings();
    StartFileGroup(settings, path);
    if (name.isEmpty())
        settings.remove(QStringLiteral("characterSet"));
    else
        settings.setValue(QStringLiteral("characterSet"), name);
}

bool HelpSettings::navigationVisible()
{
    return Settings().value(QStringLiteral("viewer/navigationVisible"), true).toBool();
}

void HelpSettings::setNavigationVisible(bool visible)
{
    Settings().setValue(QStringLiteral("viewer/navigationVisible"), visible);
}

QByteArray HelpSettings::splitterState()
{
    return Settings().value(QStringLiteral("viewer/splitter")).toByteArray();
}

void HelpSettings::setSplitterState(const QByteArray &state)
{
    Settings().setValue(QStringLiteral("viewer/splitter"), state);
}

} // namespace tshelp
