// chmlib run in a child process of its own, one per open help file.
//
// chmlib trusts what it reads: header fields, directory links, the compression control data and the
// compressed data itself (its decompressor takes match offsets and block lengths from the stream
// without bounds). No check of the file's structure can make the decompressor safe short of decoding
// the stream, so chmlib never runs in this process: a file that makes it crash or loop ends the child,
// and every request to that file is refused from then on.
#pragma once
#include <QByteArray>
#include <QList>

#include <memory>
#include <optional>

#include <sys/types.h>

namespace tshelp {

// Not for use from several threads at once: one request is in flight at a time.
class ChmWorker
{
public:
    // How long one answer may take by default: the largest object allowed decompresses in well under
    // a second.
    static constexpr int kAnswerMilliseconds = 5000;

    // Starts a child that opens the file and lists its objects; null when the file does not open,
    // the child dies or does not answer within `answerMilliseconds`. `names` receives every stored
    // name (folders, system and meta objects too) in stored order, as raw bytes. A child that
    // outlasts the time limit on any answer is killed.
    static std::unique_ptr<ChmWorker> start(const QByteArray &encodedPath, QList<QByteArray> *names,
                                            int answerMilliseconds = kAnswerMilliseconds);
    ~ChmWorker();
    ChmWorker(const ChmWorker &) = delete;
    ChmWorker &operator=(const ChmWorker &) = delete;

    // The contents of the object stored as `rawName` (listed, else looked up through the index
    // chunks), or nothing when there is none, it is larger than `limit` bytes, cannot be read in
    // full, or the child has died.
    std::optional<QByteArray> read(const QByteArray &rawName, qint64 limit);

    // False once the child has died, hung or answered out of protocol.
    bool alive() const { return m_fd >= 0; }

private:
    ChmWorker() = default;
    void stop();

    pid_t m_pid = -1;
    int m_fd = -1;
    int m_answerMilliseconds = kAnswerMilliseconds;
};

} // namespace tshelp
