#include "peinfo.h"

#include <QProcess>
#include <QRegularExpression>

namespace tstest {

namespace {

bool Run(const QString &objdump, const QStringList &arguments, QString &output, QString &error)
{
    QProcess process;
    process.start(objdump, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        error = objdump + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')) +
                QLatin1String(": ") + QString::fromLocal8Bit(process.readAllStandardError()) +
                process.errorString();
        return false;
    }
    output = QString::fromLocal8Bit(process.readAllStandardOutput());
    return true;
}

// The first capture of `pattern` in `text` as a hexadecimal number; false when absent.
template <typename T>
bool HexField(const QString &text, const QString &pattern, T &value)
{
    const QRegularExpressionMatch match =
        QRegularExpression(pattern, QRegularExpression::MultilineOption).match(text);
    bool ok = false;
    if (match.hasMatch())
        value = T(match.captured(1).toULongLong(&ok, 16));
    return ok;
}

// "DLL Name: X" starts a DLL's block, one "<vma> <hint> <name>" line per import, a blank line ends
// it.
void ReadImports(const QString &report, PeInfo &info)
{
    const QRegularExpression dllLine(QStringLiteral("^\\s*DLL Name:\\s*(\\S+)"));
    const QRegularExpression memberLine(QStringLiteral("^\\s*[0-9a-f]+\\s+\\d+\\s+(\\S+)\\s*$"));
    QString current;
    for (const QString &line : report.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch dll = dllLine.match(line);
        if (dll.hasMatch()) {
            current = dll.captured(1).toLower();
            info.imports[current];
            continue;
        }
        if (line.trimmed().isEmpty())
            current.clear();
        const QRegularExpressionMatch member = memberLine.match(line);
        if (!current.isEmpty() && member.hasMatch())
            info.imports[current] << member.captured(1);
    }
}

struct Leaf
{
    PeInfo::Resource resource;
    std::uint32_t rva = 0, size = 0;
};

// The resource directory as objdump prints it: each table and entry on its own line, indented one
// step per level below "<offset>", an entry one step deeper than its table.
std::vector<Leaf> ReadResourceDirectory(const QString &report)
{
    std::vector<Leaf> leaves;
    const int start = report.indexOf(QLatin1String("Resource Directory section:"));
    if (start < 0)
        return leaves;
    const QRegularExpression line(QStringLiteral("^[0-9a-f]+( +)(.*)$"));
    const QRegularExpression table(QStringLiteral("^(Type|Name|Language) Table:"));
    const QRegularExpression idEntry(QStringLiteral("^Entry: ID: 0x([0-9a-f]+)"));
    const QRegularExpression leafLine(
        QStringLiteral("^Leaf: Addr: 0x([0-9a-f]+), Size: 0x([0-9a-f]+)"));
    const QStringList levels = {QStringLiteral("Type"), QStringLiteral("Name"),
                                QStringLiteral("Language")};
    std::map<int, int> levelAt;           // indentation -> index in `levels`
    std::int64_t path[3] = {-1, -1, -1};  // the entries above; -1 for a named one
    for (const QString &text : report.mid(start).split(QLatin1Char('\n')).mid(1)) {
        const QRegularExpressionMatch m = line.match(text);
        if (!m.hasMatch())
            break;
        const int indent = m.captured(1).size();
        const QString body = m.captured(2);
        const QRegularExpressionMatch t = table.match(body);
        const QRegularExpressionMatch l = leafLine.match(body);
        if (t.hasMatch()) {
            levelAt[indent] = levels.indexOf(t.captured(1));
        } else if (body.startsWith(QLatin1String("Entry:")) && levelAt.count(indent - 1)) {
            const QRegularExpressionMatch id = idEntry.match(body);
            path[levelAt[indent - 1]] =
                id.hasMatch() ? std::int64_t(id.captured(1).toUInt(nullptr, 16)) : -1;
        } else if (l.hasMatch() && path[0] >= 0 && path[1] >= 0 && path[2] >= 0) {
            Leaf leaf;
            leaf.resource.type = std::uint32_t(path[0]);
            leaf.resource.id = std::uint32_t(path[1]);
            leaf.resource.language = std::uint32_t(path[2]);
            leaf.rva = l.captured(1).toUInt(nullptr, 16);
            leaf.size = l.captured(2).toUInt(nullptr, 16);
            leaves.push_back(leaf);
        }
    }
    return leaves;
}

// The bytes of `objdump -s` output: " <address> <up to four words of hex>  <text>" per line.
QByteArray ReadDump(const QString &dump, std::uint64_t &firstAddress)
{
    QByteArray bytes;
    bool first = true;
    const QRegularExpression line(QStringLiteral("^ ([0-9a-f]+) "));
    for (const QString &text : dump.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = line.match(text);
        if (!m.hasMatch())
            continue;
        if (first)
            firstAddress = m.captured(1).toULongLong(nullptr, 16);
        first = false;
        const QString words = text.mid(m.capturedEnd(), 35).remove(QLatin1Char(' '));
        bytes += QByteArray::fromHex(words.toLatin1());
    }
    return bytes;
}

} // namespace

bool ReadPeInfo(const QString &objdump, const QString &exe, PeInfo &info, QString &error)
{
    info = PeInfo();
    QString report;
    if (!Run(objdump, {QStringLiteral("-p"), exe}, report, error))
        return false;
    const QRegularExpressionMatch format =
        QRegularExpression(QStringLiteral("file format (\\S+)")).match(report);
    std::uint64_t imageBase = 0;
    if (!format.hasMatch() ||
        !HexField(report, QStringLiteral("^Characteristics 0x([0-9a-f]+)"), info.characteristics) ||
        !HexField(report, QStringLiteral("^Magic\\s+([0-9a-f]+)"), info.magic) ||
        !HexField(report, QStringLiteral("^Subsystem\\s+([0-9a-f]+)"), info.subsystem) ||
        !HexField(report, QStringLiteral("^ImageBase\\s+([0-9a-f]+)"), imageBase)) {
        error = QStringLiteral("no file format or optional header in the report on ") + exe;
        return false;
    }
    info.format = format.captured(1);
    ReadImports(report, info);

    const std::vector<Leaf> leaves = ReadResourceDirectory(report);
    if (leaves.empty())
        return true;
    QString dump;
    const QStringList dumpArguments = {QStringLiteral("-s"), QStringLiteral("-j"),
                                       QStringLiteral(".rsrc"), exe};
    if (!Run(objdump, dumpArguments, dump, error))
        return false;
    std::uint64_t sectionAddress = 0;
    const QByteArray section = ReadDump(dump, sectionAddress);
    for (Leaf leaf : leaves) {
        const std::uint64_t at = imageBase + leaf.rva;
        if (at < sectionAddress || at - sectionAddress + leaf.size > std::uint64_t(section.size())) {
            error = QStringLiteral("resource bytes outside .rsrc in ") + exe;
            return false;
        }
        leaf.resource.data = section.mid(int(at - sectionAddress), int(leaf.size));
        info.resources.push_back(leaf.resource);
    }
    return true;
}

} // namespace tstest
