#pragma once
// The program's icon: a white bell on a slate-blue tile with a warm dot.
// One drawing serves the tray picture, the about window and the SVG.

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QRectF>

namespace remindo::painter {

void PaintIcon(QPainter& p, const QRectF& box);
QImage IconImage(int size);       // transparent background
QByteArray IconSvg(int size = 64); // the same drawing as scalable vector text

} // namespace remindo::painter
