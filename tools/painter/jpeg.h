#pragma once
// JPEG output with full colour resolution. Qt's own writer always halves
// the colour planes (4:2:0), which smears coloured edges one or two pixels
// wide: bars, arrows, the rims of buttons. The pictures are small and full
// of such edges, so they are written 4:4:4 through libjpeg.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace remindo::painter {

// The encoded file, or an empty array (with a reason in `error`) on failure.
QByteArray EncodeJpeg(const QImage& image, int quality, QString* error = nullptr);

} // namespace remindo::painter
