#include "platform/core/apppaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace remindo {

std::string AppDataFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/.local/share");
    return QFile::encodeName(QDir::cleanPath(folder)).toStdString();
}

std::string ProgramFolder()
{
    if (!QCoreApplication::instance())
        return {};
    return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
}

} // namespace remindo
