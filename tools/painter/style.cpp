#include "painter/style.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainterPath>

#include <algorithm>

namespace remindo::painter {

namespace {

QString& Family()
{
    static QString family;
    return family;
}

QRectF Crisp(const QRect& r)
{
    // A one-pixel pen centred on pixel centres draws exactly on the edge pixels.
    return QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5);
}

qreal& Scale()
{
    static qreal scale = 1;
    return scale;
}

} // namespace

PaintScale::PaintScale(qreal scale) : previous_(Scale()) { Scale() = scale; }
PaintScale::~PaintScale() { Scale() = previous_; }
qreal PaintScale::Current() { return Scale(); }

bool LoadFonts(QString* error)
{
    static const char* const kDirs[] = {"/usr/share/fonts/truetype/dejavu/",
                                        "/usr/share/fonts/TTF/", "/usr/share/fonts/dejavu/"};
    for (const char* dir : kDirs) {
        const QString regular = QString::fromLatin1(dir) + QStringLiteral("DejaVuSans.ttf");
        const QString bold = QString::fromLatin1(dir) + QStringLiteral("DejaVuSans-Bold.ttf");
        if (!QFile::exists(regular) || !QFile::exists(bold))
            continue;
        const int id = QFontDatabase::addApplicationFont(regular);
        if (id < 0 || QFontDatabase::addApplicationFont(bold) < 0)
            continue;
        Family() = QFontDatabase::applicationFontFamilies(id).value(0);
        if (!Family().isEmpty())
            return true;
    }
    if (error)
        *error = QStringLiteral("DejaVu Sans not found (Debian package fonts-dejavu-core)");
    return false;
}

QFont Font(int pixelSize, bool bold)
{
    QFont f(Family().isEmpty() ? QStringLiteral("DejaVu Sans") : Family());
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setKerning(true);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

// ------------------------------------------------------------------ Canvas

Canvas::Canvas(QSize size, const QColor& fill)
    : size_(size), image_(size * Scale(), QImage::Format_RGB32)
{
    image_.setDevicePixelRatio(Scale());
    image_.fill(fill);
    painter_.begin(&image_);
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.setRenderHint(QPainter::TextAntialiasing);
}

void Canvas::CheckFits(const QRect& need, const QRect& box, const QString& text)
{
    if (!box.contains(need))
        problems_ << QStringLiteral("\"%1\" needs %2x%3 but has %4x%5")
                         .arg(text)
                         .arg(need.width())
                         .arg(need.height())
                         .arg(box.width())
                         .arg(box.height());
    if (!QRect(QPoint(0, 0), size_).contains(box))
        problems_ << QStringLiteral("\"%1\" lies outside the picture").arg(text);
}

void Canvas::Text(const QRect& box, int flags, const char* utf8, const QFont& font,
                  const QColor& colour)
{
    const QString text = QString::fromUtf8(utf8);
    captions_ << text;
    painter_.setFont(font);
    painter_.setPen(colour);
    CheckFits(painter_.boundingRect(box, flags, text), box, text);
    painter_.drawText(box, flags, text);
}

QRect Canvas::TextAt(QPoint topLeft, int rowHeight, const char* utf8, const QFont& font,
                     const QColor& colour)
{
    const QFontMetrics fm(font);
    const QRect box(topLeft, QSize(fm.horizontalAdvance(QString::fromUtf8(utf8)) + 1, rowHeight));
    Text(box, Qt::AlignLeft | Qt::AlignVCenter, utf8, font, colour);
    return box;
}

void Canvas::TwoLineText(const QRect& box, const char* utf8, const QFont& font,
                         const QColor& colour)
{
    const QString text = QString::fromUtf8(utf8);
    captions_ << text;
    const QFontMetrics fm(font);
    int best = -1;
    int bestWidth = 0;
    for (int i = text.indexOf(QLatin1Char(' ')); i >= 0; i = text.indexOf(QLatin1Char(' '), i + 1)) {
        const int w = std::max(fm.horizontalAdvance(text.left(i)), fm.horizontalAdvance(text.mid(i + 1)));
        if (best < 0 || w < bestWidth) {
            best = i;
            bestWidth = w;
        }
    }
    if (best < 0) {
        problems_ << QStringLiteral("\"%1\" has no space to break at").arg(text);
        return;
    }
    const QString lines = text.left(best) + QLatin1Char('\n') + text.mid(best + 1);
    painter_.setFont(font);
    painter_.setPen(colour);
    CheckFits(painter_.boundingRect(box, Qt::AlignCenter, lines), box, text);
    painter_.drawText(box, Qt::AlignCenter, lines);
}

QImage Canvas::Finish()
{
    if (painter_.isActive())
        painter_.end();
    return image_;
}

// ------------------------------------------------------------------ parts

void Frame(QPainter& p, const QRect& r, const QColor& colour)
{
    // Filled strips rather than a pen: a pen's line is centred on the edge
    // and would straddle two device pixels at a scale of 2.
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), colour);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), colour);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), colour);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), colour);
}

void WindowEdge(Canvas& c, const QColor& colour)
{
    Frame(c.P(), QRect(QPoint(0, 0), c.Size()), colour);
}

void TitleStrip(Canvas& c, const char* title, bool movable)
{
    QPainter& p = c.P();
    const QRect strip(0, 0, c.Size().width(), kTitleHeight);
    QLinearGradient g(strip.topLeft(), strip.bottomLeft());
    g.setColorAt(0, kAccent.lighter(108));
    g.setColorAt(1, kAccent);
    p.fillRect(strip, g);
    p.fillRect(QRect(0, kTitleHeight - 1, strip.width(), 1), kAccentDark);
    // three grip dots at the right hint that the strip moves the window
    if (movable) {
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 110));
        for (int i = 0; i < 3; ++i)
            p.drawEllipse(QPointF(strip.right() - 14.5 - i * 6, kTitleHeight / 2.0), 1.5, 1.5);
        p.restore();
    }
    c.Text(strip.adjusted(12, 0, -40, -1), Qt::AlignLeft | Qt::AlignVCenter, title,
           Font(kCaptionPx + 1, true), Qt::white);
}

void AccentBand(Canvas& c)
{
    c.P().fillRect(QRect(0, 0, c.Size().width(), 4), kAccent);
}

void Field(QPainter& p, const QRect& r, const QColor& fill)
{
    p.save();
    p.setPen(QPen(kFieldBorder, 1));
    p.setBrush(fill);
    p.drawRoundedRect(Crisp(r), 2.5, 2.5);
    p.restore();
}

QRect FieldAround(Canvas& c, layout::Rect inner, int padX, int padY)
{
    const QRect f = R(inner).adjusted(-padX, -padY, padX, padY);
    Field(c.P(), f);
    return f;
}

void DropField(Canvas& c, layout::Rect panel, layout::Rect arrow)
{
    // The combo box shows its text in the panel; the field reaches 4 pixels
    // left of and above the panel and just past the arrow's click area.
    const QRect a = R(arrow);
    const QRect f(panel.x - 4, panel.y - 4, a.right() + 2 - (panel.x - 4), 21);
    QPainter& p = c.P();
    Field(p, f);
    p.fillRect(QRect(a.left() - 1, f.top() + 4, 1, f.height() - 8), kAccentSoft.darker(106));
    DrawTriangle(p, QRectF(a.center().x() - 3.5, a.center().y() - 1.5, 8, 4.5), Arrow::Down,
                 kAccent);
    if (!f.contains(R(panel)) || !f.contains(a))
        c.Problem(QStringLiteral("drop-down field does not hold its panel and arrow"));
}

void StepperField(Canvas& c, layout::Rect value, layout::Rect less, layout::Rect more)
{
    const QRect v = R(value), l = R(less), m = R(more);
    const QRect f(v.left() - 4, v.top() - 3, m.right() + 4 - (v.left() - 4), 20);
    Field(c.P(), f);
    ArrowFace(c.P(), l, Arrow::Down);
    ArrowFace(c.P(), m, Arrow::Up);
    if (!f.contains(v) || !f.contains(l) || !f.contains(m))
        c.Problem(QStringLiteral("stepper field does not hold its value and arrows"));
}

void DrawTriangle(QPainter& p, const QRectF& b, Arrow dir, const QColor& colour)
{
    QPolygonF t;
    switch (dir) {
    case Arrow::Down: t << b.topLeft() << b.topRight() << QPointF(b.center().x(), b.bottom()); break;
    case Arrow::Up: t << b.bottomLeft() << b.bottomRight() << QPointF(b.center().x(), b.top()); break;
    case Arrow::Left: t << b.topRight() << b.bottomRight() << QPointF(b.left(), b.center().y()); break;
    case Arrow::Right: t << b.topLeft() << b.bottomLeft() << QPointF(b.right(), b.center().y()); break;
    }
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(t);
    p.restore();
}

void DrawChevron(QPainter& p, const QRectF& b, Arrow dir, const QColor& colour, qreal stroke)
{
    QPolygonF v;
    switch (dir) {
    case Arrow::Down: v << b.topLeft() << QPointF(b.center().x(), b.bottom()) << b.topRight(); break;
    case Arrow::Up: v << b.bottomLeft() << QPointF(b.center().x(), b.top()) << b.bottomRight(); break;
    case Arrow::Left: v << b.topRight() << QPointF(b.left(), b.center().y()) << b.bottomRight(); break;
    case Arrow::Right: v << b.topLeft() << QPointF(b.right(), b.center().y()) << b.bottomLeft(); break;
    }
    p.save();
    p.setPen(QPen(colour, stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(v);
    p.restore();
}

void DrawGlyph(QPainter& p, const QRectF& b, Glyph g, const QColor& colour, qreal stroke)
{
    p.save();
    p.setPen(QPen(colour, stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const auto at = [&](qreal fx, qreal fy) {
        return QPointF(b.left() + fx * b.width(), b.top() + fy * b.height());
    };
    switch (g) {
    case Glyph::Tick:
        p.drawPolyline(QPolygonF{at(0.08, 0.55), at(0.38, 0.85), at(0.92, 0.18)});
        break;
    case Glyph::Cross:
        p.drawLine(at(0.12, 0.12), at(0.88, 0.88));
        p.drawLine(at(0.88, 0.12), at(0.12, 0.88));
        break;
    case Glyph::Plus:
        p.drawLine(at(0.5, 0.08), at(0.5, 0.92));
        p.drawLine(at(0.08, 0.5), at(0.92, 0.5));
        break;
    case Glyph::Pencil: {
        // a pencil lying from bottom left to top right, with its writing tip
        QPainterPath body;
        body.moveTo(at(0.08, 0.92));
        body.lineTo(at(0.14, 0.66));
        body.lineTo(at(0.68, 0.12));
        body.lineTo(at(0.88, 0.32));
        body.lineTo(at(0.34, 0.86));
        body.closeSubpath();
        p.drawPath(body);
        p.drawLine(at(0.14, 0.66), at(0.34, 0.86));
        p.drawLine(at(0.58, 0.22), at(0.78, 0.42));
        break;
    }
    case Glyph::Bin: {
        p.drawLine(at(0.06, 0.2), at(0.94, 0.2));
        p.drawPolyline(QPolygonF{at(0.36, 0.2), at(0.36, 0.04), at(0.64, 0.04), at(0.64, 0.2)});
        QPainterPath can;
        can.moveTo(at(0.16, 0.2));
        can.lineTo(at(0.24, 0.96));
        can.lineTo(at(0.76, 0.96));
        can.lineTo(at(0.84, 0.2));
        p.drawPath(can);
        p.drawLine(at(0.42, 0.38), at(0.42, 0.8));
        p.drawLine(at(0.58, 0.38), at(0.58, 0.8));
        break;
    }
    }
    p.restore();
}

void ActionButton(QPainter& p, const QRect& r, Glyph g)
{
    const bool confirm = g == Glyph::Tick;
    p.save();
    if (confirm) {
        QLinearGradient grad(r.topLeft(), r.bottomLeft());
        grad.setColorAt(0, kAccent.lighter(112));
        grad.setColorAt(1, kAccent);
        p.setPen(QPen(kAccentDark, 1));
        p.setBrush(grad);
    } else {
        p.setPen(QPen(kFieldBorder.darker(108), 1));
        p.setBrush(Qt::white);
    }
    p.drawRoundedRect(Crisp(r), 4, 4);
    p.restore();
    const QPointF c = QRectF(r).center();
    const QRectF glyph = confirm ? QRectF(c.x() - 5.5, c.y() - 4.5, 11, 9)
                                 : QRectF(c.x() - 4, c.y() - 4, 8, 8);
    DrawGlyph(p, glyph, g, confirm ? Qt::white : kCancel, 2.0);
}

void CaptionButton(Canvas& c, const QRect& r, const char* caption)
{
    QPainter& p = c.P();
    p.save();
    QLinearGradient grad(r.topLeft(), r.bottomLeft());
    grad.setColorAt(0, kAccent.lighter(112));
    grad.setColorAt(1, kAccent);
    p.setPen(QPen(kAccentDark, 1));
    p.setBrush(grad);
    p.drawRoundedRect(Crisp(r), 4, 4);
    p.restore();
    c.Text(r, Qt::AlignCenter, caption, Font(kCaptionPx, true), Qt::white);
}

void RoundButton(QPainter& p, const QRect& r, Glyph g)
{
    p.save();
    QLinearGradient grad(r.topLeft(), r.bottomLeft());
    grad.setColorAt(0, Qt::white);
    grad.setColorAt(1, kAccentSoft);
    p.setPen(QPen(kAccent, 1.2));
    p.setBrush(grad);
    p.drawEllipse(QRectF(r).adjusted(0.6, 0.6, -0.6, -0.6));
    p.restore();
    const QPointF c = QRectF(r).center();
    const qreal s = r.width() * 0.42;
    const QColor colour = g == Glyph::Bin ? kCancel : kAccentDark;
    DrawGlyph(p, QRectF(c.x() - s / 2, c.y() - s / 2, s, s), g, colour, g == Glyph::Plus ? 2.0 : 1.4);
}

void TickFace(QPainter& p, const QRect& r, bool ticked, const QColor& backdrop)
{
    p.fillRect(r, backdrop);
    // the box is a 15 x 15 square centred in the picture
    const QRectF box(r.left() + (r.width() - 15) / 2.0, r.top() + (r.height() - 15) / 2.0, 15, 15);
    p.save();
    if (ticked) {
        p.setPen(QPen(kAccentDark, 1));
        p.setBrush(kAccent);
    } else {
        p.setPen(QPen(kFieldBorder.darker(115), 1));
        p.setBrush(Qt::white);
    }
    p.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    p.restore();
    if (ticked)
        DrawGlyph(p, box.adjusted(3.5, 4, -3.5, -4), Glyph::Tick, Qt::white, 1.9);
}

void ArrowFace(QPainter& p, const QRect& r, Arrow dir)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(kAccentSoft);
    p.drawRoundedRect(QRectF(r), 2, 2);
    p.restore();
    const QPointF c = QRectF(r).center();
    const bool vertical = dir == Arrow::Up || dir == Arrow::Down;
    const QRectF t = vertical ? QRectF(c.x() - 3.5, c.y() - 2, 7, 4) : QRectF(c.x() - 2, c.y() - 3.5, 4, 7);
    DrawTriangle(p, t, dir, kAccentDark);
}

} // namespace remindo::painter
