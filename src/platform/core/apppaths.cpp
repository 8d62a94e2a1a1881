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

std::string InstalledProgramFolder()
{
    return REMINDO_INSTALL_BINDIR;
}

std::string StateFolder()
{
    QString folder = qEnvironmentVariable("XDG_STATE_HOME");
    // The XDG rule: a relative path is to be ignored.
    if (!QDir::isAbsolutePath(folder))
        folder = QDir::homePath() + QStringLiteral("/.local/state");
    return QFile::encodeName(QDir::cleanPath(folder)).toStdString();
}

} // namespace remindo
