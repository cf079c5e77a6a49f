#include "networkbackend.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cstdlib>
#include <mutex>

namespace tsnet {
namespace {

std::atomic<unsigned long> s_calls{0};

struct Cache {
    QString path;
    qint64 size = -1;
    QDateTime modified;
    std::shared_ptr<const Network> network;
};

std::shared_ptr<const Network> Unreadable(const QString &path)
{
    auto n = std::make_shared<Network>();
    n->loadError = ERROR_FILE_NOT_FOUND;
    n->loadMessage = "cannot read " + path.toStdString();
    return n;
}

} // namespace

std::shared_ptr<const Network> CurrentNetwork()
{
    static std::mutex mutex;
    static Cache cache;
    const char *env = std::getenv("TS_NETWORK_FILE");
    const QString path = env && *env ? QFile::decodeName(env) : QStringLiteral(":/tscommon/example-network.json");
    const QFileInfo info(path);
    std::lock_guard<std::mutex> lock(mutex);
    if (cache.network && cache.path == path && cache.size == info.size() &&
        cache.modified == info.lastModified())
        return cache.network;
    cache = Cache();
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return Unreadable(path);
    // One byte more than allowed, so the reader sees an over-long file and refuses it.
    const QByteArray bytes = file.read(qint64(MaxDescriptionSize) + 1);
    if (file.error() != QFileDevice::NoError)
        return Unreadable(path);
    cache.path = path;
    cache.size = info.size();
    cache.modified = info.lastModified();
    cache.network = std::make_shared<const Network>(ParseNetworkDescription(bytes.constData(), std::size_t(bytes.size())));
    return cache.network;
}

void CountNetworkCall() { ++s_calls; }

} // namespace tsnet

unsigned long TsNetworkCallCount() { return tsnet::s_calls.load(); }
