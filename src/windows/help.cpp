#include "windows/help.h"

#include "platform/gui/helpopener.h"
#include "store/messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace remindo {

namespace {

HelpOpener* g_opener = nullptr;
Messages* g_failureBox = nullptr;

QString PageIn(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("%1/%2").arg(QLatin1String(kHelpFolder),
                                                            QLatin1String(kHelpPage)));
}

} // namespace

QString HelpPagePath(const QString& programFolder)
{
    const QString beside = PageIn(programFolder);
    if (QFileInfo(beside).isFile())
        return QDir::cleanPath(beside);

    const QString installed = QStringLiteral("remindo/%1/%2").arg(QLatin1String(kHelpFolder),
                                                                 QLatin1String(kHelpPage));
    // <prefix>/bin/remindo finds <prefix>/share/remindo/Pomoc even when the
    // prefix is not among the desktop's data folders.
    const QString prefixed = QDir(programFolder).filePath(QStringLiteral("../share/") + installed);
    if (QFileInfo(prefixed).isFile())
        return QDir::cleanPath(prefixed);
    const QString found = QStandardPaths::locate(QStandardPaths::GenericDataLocation, installed);
    if (!found.isEmpty())
        return QDir::cleanPath(found);
    return QDir::cleanPath(beside);
}

QString HelpPagePath()
{
    return HelpPagePath(QCoreApplication::applicationDirPath());
}

void SetHelpOpener(HelpOpener* opener)
{
    g_opener = opener;
}

HelpOpener& CurrentHelpOpener()
{
    static DesktopHelpOpener desktop;
    return g_opener ? *g_opener : desktop;
}

void SetHelpFailureBox(Messages* box)
{
    g_failureBox = box;
}

Messages* HelpFailureBox()
{
    return g_failureBox;
}

QString HelpFailureText(const QString& page)
{
    // Short enough for the box with a long path, which wraps after its separators.
    return QStringLiteral("Nie ma programu, który pokaże stronę pomocy:\r") + QDir::toNativeSeparators(page);
}

void OpenHelpFrom(const QString& programFolder, QWidget* window, HelpOpener* opener)
{
    HelpOpener& o = opener ? *opener : CurrentHelpOpener();
    // A file URL carries the whole path as one argument, spaces and Polish
    // letters included.
    const QString page = HelpPagePath(programFolder);
    if (!o.OpenUrl(QUrl::fromLocalFile(page), window) && g_failureBox)
        g_failureBox->ShowWarning(kInformationBox, kIconInfo, HelpFailureText(page).toStdString());
}

void OpenHelp(QWidget* window, HelpOpener* opener)
{
    OpenHelpFrom(QCoreApplication::applicationDirPath(), window, opener);
}

} // namespace remindo
