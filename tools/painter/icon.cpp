#include "painter/icon.h"

#include <QBuffer>
#include <QLinearGradient>
#include <QPainterPath>
#include <QSvgGenerator>

namespace remindo::painter {

void PaintIcon(QPainter& p, const QRectF& box)
{
    // Drawn in the target's own units, not through a scaled painter, so that
    // the SVG carries plain coordinates that every renderer reads alike.
    const qreal w = box.width();
    const qreal h = box.height();
    const auto pt = [&](qreal x, qreal y) { return QPointF(box.left() + x * w, box.top() + y * h); };
    const auto rect = [&](qreal x, qreal y, qreal rw, qreal rh) {
        return QRectF(pt(x, y), QSizeF(rw * w, rh * h));
    };
    p.save();
    p.setRenderHint(QPainter::Antialiasing);

    // the tile
    QLinearGradient tile(pt(0, 0), pt(0, 1));
    tile.setColorAt(0, QColor(84, 146, 184));
    tile.setColorAt(1, QColor(41, 88, 118));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(rect(0.03, 0.03, 0.94, 0.94), 0.2 * w, 0.2 * h);

    // the bell
    QPainterPath bell;
    bell.moveTo(pt(0.2, 0.7));
    bell.cubicTo(pt(0.28, 0.62), pt(0.29, 0.55), pt(0.29, 0.46));
    bell.cubicTo(pt(0.29, 0.32), pt(0.38, 0.24), pt(0.5, 0.24));
    bell.cubicTo(pt(0.62, 0.24), pt(0.71, 0.32), pt(0.71, 0.46));
    bell.cubicTo(pt(0.71, 0.55), pt(0.72, 0.62), pt(0.8, 0.7));
    bell.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(bell);
    p.drawRoundedRect(rect(0.17, 0.68, 0.66, 0.06), 0.03 * w, 0.03 * h);
    p.drawEllipse(rect(0.455, 0.17, 0.09, 0.09));
    QPainterPath clapper;
    clapper.moveTo(pt(0.41, 0.74));
    clapper.arcTo(rect(0.41, 0.66, 0.18, 0.16), 180, 180);
    clapper.closeSubpath();
    p.drawPath(clapper);

    // the dot: something to remember
    p.setPen(QPen(QColor(41, 88, 118), 0.035 * w));
    p.setBrush(QColor(246, 180, 56));
    p.drawEllipse(rect(0.63, 0.14, 0.23, 0.23));
    p.restore();
}

QImage IconImage(int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    PaintIcon(p, QRectF(0, 0, size, size));
    p.end();
    return img;
}

QByteArray IconSvg(int size)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(size, size));
    svg.setViewBox(QRect(0, 0, size, size));
    svg.setTitle(QStringLiteral("Remindo"));
    svg.setDescription(QStringLiteral("Remindo icon"));
    QPainter p(&svg);
    PaintIcon(p, QRectF(0, 0, size, size));
    p.end();
    return buffer.data();
}

} // namespace remindo::painter
