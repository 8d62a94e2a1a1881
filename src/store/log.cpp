#include "store/log.h"

#include "store/formats.h"

#include <QDir>
#include <QFile>

namespace remindo {

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
    // A log that cannot be written changes nothing and says nothing.
    QFile f(QDir(QString::fromStdString(folder_)).filePath(QString::fromStdString(FileNameFor(dataAkt_))));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    for (const std::string& l : lines_) {
        f.write(l.data(), qint64(l.size()));
        f.write("\r\n", 2);
    }
}

} // namespace remindo
