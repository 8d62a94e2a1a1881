#include "platform/core/qtpolish.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace remindo {

bool LoadQtPolish(QCoreApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_pl"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace remindo
