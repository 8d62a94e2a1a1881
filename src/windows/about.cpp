#include "windows/about.h"

namespace remindo {

TFAbout::TFAbout(QWidget* parent)
    : PictureWindow(QSize(layout::about::kWindow.w, layout::about::kWindow.h),
                    QStringLiteral("tlo_about"), kPlain, parent)
{
    setObjectName(QStringLiteral("TFAbout"));
    setWindowTitle(QStringLiteral("Remindo"));
    LZapisz_ = AddClickArea(ToQRect(layout::about::kZapisz));
    LZapisz_->setObjectName(QStringLiteral("LZapisz"));
    LZapisz_->setAccessibleName(QStringLiteral("Zamknij"));
    connect(LZapisz_, &ClickArea::clicked, this, &TFAbout::LZapiszClick);
    EnableEscape([this] { LZapiszClick(); });
}

void TFAbout::Open()
{
    CenterOnScreen();
    show();
    raise();
    activateWindow();
}

} // namespace remindo
