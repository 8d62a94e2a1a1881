#include "store/log.h"

#include "store/atomicfile.h"
#include "store/formats.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

namespace remindo {
namespace {

QString ToQt(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

bool UsableFolder(const QString& folder)
{
    if (!QDir().mkpath(folder))
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("probe-XXXXXX")));
    return probe.open();
}

} // namespace

DiagnosticLog::DiagnosticLog(const Date& dataAkt, const DateTime& passTime, const RegionalFormats& formats)
    : dataAkt_(dataAkt), passTime_(passTime), formats_(formats), writers_(&DefaultFileWriters())
{
}

void DiagnosticLog::SetWriters(FileWriterFactory* writers)
{
    writers_ = writers ? writers : &DefaultFileWriters();
}

void DiagnosticLog::WriteLog(std::string_view text)
{
    if (mode_ == 0)
        return;
    std::string line = formats_.ShortDate(dataAkt_);
    line += ' ';
    line += formats_.LongTime(passTime_);
    line += ' ';
    line += text;
    lines_.push_back(std::move(line));
}

std::string DiagnosticLog::FileNameFor(Date day)
{
    const Ymd d = YmdOf(day);
    return std::to_string(d.year) + std::to_string(d.month) + std::to_string(d.day) + ".txt";
}

void DiagnosticLog::FlushLog()
{
    if (mode_ != 1 && mode_ != 2)
        return;
    if (folder_.empty())
        return;
    size_t size = 0;
    for (const std::string& l : lines_)
        size += l.size() + 2;
    std::string all;
    all.reserve(size);
    for (const std::string& l : lines_) {
        all += l;
        all += "\r\n";
    }
    // Replaced whole, so a failed flush leaves the last good file as it was.
    ReplaceFile(*writers_, folder_ + "/" + FileNameFor(dataAkt_), all);
}

std::string DiagnosticLog::PrepareLogFolder(const std::string& programFolder, const std::string& settingsFolder)
{
    if (!programFolder.empty()) {
        const QString beside = QDir(ToQt(programFolder)).filePath(QStringLiteral("Test"));
        if (UsableFolder(beside))
            return QFile::encodeName(beside).toStdString();
    }
    const QString inside = QDir(ToQt(settingsFolder)).filePath(QStringLiteral("Test"));
    UsableFolder(inside);
    return QFile::encodeName(inside).toStdString();
}

} // namespace remindo
