#include "platform/gui/modulefolders.h"

#include <QCoreApplication>
#include <QDir>

namespace remindo {

QStringList ProgramModuleFolders()
{
    const QString program = QCoreApplication::applicationDirPath();
    QStringList folders{program};
#ifdef REMINDO_MODULE_DIR
    folders << QDir(program).filePath(QStringLiteral(REMINDO_MODULE_DIR));
#endif
    return folders;
}

} // namespace remindo
