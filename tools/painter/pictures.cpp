#include "painter/pictures.h"

#include "painter/captions.h"
#include "painter/icon.h"
#include "painter/style.h"

#include <QFontMetrics>
#include <QLinearGradient>

#include <functional>
#include <map>

namespace remindo::painter {

namespace cap = remindo::captions;
namespace lay = remindo::layout;

namespace {

Picture Done(const char* name, Canvas& c, std::vector<lay::Rect> areas = {})
{
    Picture pic;
    pic.name = QString::fromLatin1(name);
    pic.captions = c.Captions();
    pic.problems = c.Problems();
    pic.image = c.Finish();
    pic.clickAreas = std::move(areas);
    return pic;
}

QFont Caption() { return Font(kCaptionPx); }

// ------------------------------------------------------ reminder window

// A reminder window's colour: the strip behind its buttons and around the
// text field, and a deeper tone of it for edges and arrows.
struct KindLook {
    QColor base;
    QColor deep;
};
const KindLook kRed{QColor(210, 74, 64), QColor(150, 42, 34)};
const KindLook kYellow{QColor(240, 188, 44), QColor(150, 108, 0)};
const KindLook kGreen{QColor(62, 156, 94), QColor(28, 106, 58)};
const KindLook kBlue{QColor(52, 116, 182), QColor(28, 78, 138)};

// The white field that the reminder text (or the panel's text) sits on.
QRect ReminderField() { return R(lay::glowny::kKomunikat).adjusted(-6, -4, 6, 2); }

void ReminderBase(Canvas& c, const KindLook& look)
{
    QPainter& p = c.P();
    QLinearGradient g(0, 0, 0, c.Size().height());
    g.setColorAt(0, look.base.lighter(106));
    g.setColorAt(1, look.base.darker(104));
    p.fillRect(QRect(QPoint(0, 0), c.Size()), g);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(ReminderField()), 5, 5);
    p.restore();
    WindowEdge(c, look.deep);
}

void ReminderButton(Canvas& c, lay::Rect place, const char* words, const KindLook& look)
{
    QPainter& p = c.P();
    const QRect r = R(place);
    p.save();
    p.setPen(QPen(look.deep.lighter(100), 1));
    p.setBrush(QColor(255, 255, 255, 238));
    p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    p.restore();
    const QRectF arrow(r.left() + 8, r.center().y() - 3.5, 5, 8);
    DrawTriangle(p, arrow, Arrow::Right, look.deep);
    c.TwoLineText(r.adjusted(17, 1, -4, -1), words, Font(kCaptionPx - 1), kInk);
}

Picture Reminder(const char* name, const KindLook& look)
{
    Canvas c(QSize(lay::glowny::kWindow.w, lay::glowny::kWindow.h), look.base);
    ReminderBase(c, look);
    ReminderButton(c, lay::glowny::kPozniej, cap::komunikat::kPozniej, look);
    ReminderButton(c, lay::glowny::kNieDzis, cap::komunikat::kNieDzis, look);
    ReminderButton(c, lay::glowny::kNiePrzypominaj, cap::komunikat::kNiePrzypominaj, look);
    return Done(name, c,
                {lay::glowny::kPozniej, lay::glowny::kNieDzis, lay::glowny::kNiePrzypominaj,
                 lay::glowny::kKomunikat});
}

Picture BluePanel(bool withIcon)
{
    namespace nb = cap::niebieski;
    Canvas c(QSize(lay::glowny::kWindow.w, lay::glowny::kWindow.h), kBlue.base);
    ReminderBase(c, kBlue);
    QPainter& p = c.P();

    // the close strip: the title at its left, a close mark at its right
    const QRect strip = R(lay::glowny::kClose);
    c.Text(strip.adjusted(6, 0, -30, 0), Qt::AlignLeft | Qt::AlignVCenter, nb::kTitle,
           Font(kCaptionPx + 2, true), Qt::white);
    const QPointF x(strip.right() - 12, strip.center().y() + 0.5);
    DrawGlyph(p, QRectF(x.x() - 4.5, x.y() - 4.5, 9, 9), Glyph::Cross, Qt::white, 2.0);

    const QRect field = ReminderField();
    const int left = field.left() + 8;
    const int row = 15;
    c.Text(QRect(left, field.top() + 3, field.width() - 16, row), Qt::AlignLeft | Qt::AlignVCenter,
           withIcon ? nb::kOpis : nb::kOpisBezIkony, Caption(), kInk);
    c.Text(QRect(left, field.top() + 3 + row, field.width() - 16, row),
           Qt::AlignLeft | Qt::AlignVCenter, withIcon ? nb::kMenu : nb::kMenuBezIkony, Caption(), kInk);

    // the link word fills its click area; the sentence ends just before it
    const QRect link = R(lay::glowny::kPomoc);
    QFont linkFont = Font(kCaptionPx, true);
    linkFont.setUnderline(true);
    c.Text(link, Qt::AlignCenter, nb::kPomocLink, linkFont, kBlue.deep);
    const QFontMetrics fm(Caption());
    const int linkStart = link.center().x() + 1 -
                          QFontMetrics(linkFont).horizontalAdvance(QString::fromUtf8(nb::kPomocLink)) / 2;
    const int prefixEnd = linkStart - fm.horizontalAdvance(QLatin1Char(' '));
    const QRect prefix(left, link.top(), prefixEnd - left, link.height());
    c.Text(prefix, Qt::AlignRight | Qt::AlignVCenter, nb::kPomocPrefix, Caption(), kInk);
    if (prefixEnd - fm.horizontalAdvance(QString::fromUtf8(nb::kPomocPrefix)) < left - 2)
        c.Problem(QStringLiteral("the help sentence starts left of the other lines"));
    return Done(withIcon ? "komniebieski" : "komniebieski_bez_ikony", c, {lay::glowny::kClose, lay::glowny::kPomoc});
}

// ------------------------------------------------------ message box

const QColor kWarnStrip(246, 204, 72);
const QColor kWarnEdge(196, 158, 48);
const QColor kWarnMark(92, 70, 8);
constexpr int kWarnStripHeight = 32;

Picture WarningBox()
{
    namespace lw = lay::warning;
    Canvas c(QSize(lw::kWindow.w, lw::kWindow.h), Qt::white);
    QPainter& p = c.P();
    const QRect strip(0, 0, lw::kWindow.w, kWarnStripHeight);
    QLinearGradient g(strip.topLeft(), strip.bottomLeft());
    g.setColorAt(0, kWarnStrip.lighter(106));
    g.setColorAt(1, kWarnStrip);
    p.fillRect(strip, g);
    p.fillRect(QRect(0, kWarnStripHeight - 1, strip.width(), 1), kWarnEdge);

    const QRect close = R(lw::kClose);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawRoundedRect(QRectF(close), 3, 3);
    p.restore();
    DrawGlyph(p, QRectF(close).adjusted(4.5, 4.5, -4.5, -4.5), Glyph::Cross, kWarnMark, 2.0);
    WindowEdge(c, kWarnEdge);
    return Done("oknowarning", c,
                {lw::kClose, lw::kIcon, lw::kButTak, lw::kButNie, lw::kButAnuluj});
}

enum class IconKind { Info, Question, Warning };

Picture WarningIcon(const char* name, IconKind kind)
{
    namespace lw = lay::warning;
    // The icon lies across the strip's lower edge: paint it on the very piece
    // of the box's picture that it covers, so that no seam shows.
    const qreal scale = PaintScale::Current();
    const QRect icon = R(lw::kIcon);
    QImage backdrop = WarningBox().image.copy(QRect(icon.topLeft() * scale, icon.size() * scale));
    backdrop.setDevicePixelRatio(scale);
    Canvas c(QSize(lw::kIcon.w, lw::kIcon.h), Qt::white);
    QPainter& p = c.P();
    p.drawImage(0, 0, backdrop);

    const QRectF badge(4, 4.5, 34, 34);
    p.save();
    p.setPen(QPen(Qt::white, 2.5));
    QString mark;
    switch (kind) {
    case IconKind::Info:
        p.setBrush(kAccent);
        p.drawEllipse(badge);
        mark = QStringLiteral("i");
        break;
    case IconKind::Question:
        p.setBrush(QColor(52, 140, 96));
        p.drawEllipse(badge);
        mark = QStringLiteral("?");
        break;
    case IconKind::Warning: {
        QPolygonF t;
        t << QPointF(21, 3.5) << QPointF(39.5, 37) << QPointF(2.5, 37);
        p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(218, 98, 38));
        p.drawPolygon(t);
        mark = QStringLiteral("!");
        break;
    }
    }
    p.restore();
    // a symbol, not a caption: drawn straight on the painter
    p.setPen(Qt::white);
    p.setFont(Font(kind == IconKind::Warning ? 19 : 22, true));
    const QRectF markBox = kind == IconKind::Warning ? QRectF(2, 13, 38, 24) : badge;
    p.drawText(markBox, Qt::AlignCenter, mark);
    return Done(name, c);
}

Picture WarningButton(const char* name, const char* words, bool primary)
{
    namespace lw = lay::warning;
    Canvas c(QSize(lw::kButTak.w, lw::kButTak.h), Qt::white);
    QPainter& p = c.P();
    const QRectF face = QRectF(0, 0, lw::kButTak.w, lw::kButTak.h).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(0, 0, 0, lw::kButTak.h);
    if (primary) {
        g.setColorAt(0, kAccent.lighter(112));
        g.setColorAt(1, kAccent);
        p.setPen(QPen(kAccentDark, 1));
    } else {
        g.setColorAt(0, Qt::white);
        g.setColorAt(1, kAccentSoft);
        p.setPen(QPen(kFieldBorder.darker(108), 1));
    }
    p.setBrush(g);
    p.drawRoundedRect(face, 5, 5);

    const QColor ink = primary ? QColor(Qt::white) : kInk;
    const QFont font = Font(kCaptionPx + 1, primary);
    const QRect box(0, 0, lw::kButTak.w, lw::kButTak.h - 1);
    c.Text(box, Qt::AlignCenter, words, font, ink);
    // the first letter is the key that answers the box: underline it
    const QFontMetrics fm(font);
    const QString text = QString::fromUtf8(words);
    const int x0 = (box.width() - fm.horizontalAdvance(text)) / 2;
    const int base = (box.height() - fm.height()) / 2 + fm.ascent() + 2;
    p.fillRect(QRect(x0, base, fm.horizontalAdvance(text.left(1)), 1), ink);
    return Done(name, c);
}

// ------------------------------------------------------ small pictures

Picture Tick(const char* name, bool ticked)
{
    Canvas c(QSize(lay::kTick.w, lay::kTick.h), kBody);
    TickFace(c.P(), R(lay::kTick), ticked, kBody);
    return Done(name, c);
}

Picture Bar(const char* name, bool big)
{
    Canvas c(QSize(lay::kCalendarBar.w, lay::kCalendarBar.h), Qt::white);
    QPainter& p = c.P();
    p.setPen(Qt::NoPen);
    if (big) {
        QLinearGradient g(0, 0, lay::kCalendarBar.w, 0);
        g.setColorAt(0, kAccent);
        g.setColorAt(1, kAccent.lighter(150));
        p.setBrush(g);
        p.drawRoundedRect(QRectF(0, 0.5, lay::kCalendarBar.w, 5), 2.5, 2.5);
    } else {
        QLinearGradient g(0, 0, lay::kCalendarBar.w, 0);
        g.setColorAt(0, kFieldBorder);
        g.setColorAt(1, kAccentSoft);
        p.setBrush(g);
        p.drawRoundedRect(QRectF(0, 2, lay::kCalendarBar.w, 2), 1, 1);
    }
    return Done(name, c);
}

// The scroll bar's arrow buttons and slider: soft faces on white, so that
// the bar sits quietly at the white listing's edge.
Picture ScrollArrow(const char* name, Arrow dir)
{
    const QRect box = R(lay::kScrollArrow);
    Canvas c(box.size(), Qt::white);
    QPainter& p = c.P();
    p.setPen(QPen(kFieldBorder, 1));
    p.setBrush(kAccentSoft);
    p.drawRoundedRect(QRectF(box).adjusted(1.5, 1.5, -1.5, -1.5), 3, 3);
    DrawTriangle(p, QRectF(box).adjusted(4.5, 5.5, -4.5, -5.5), dir, kAccentDark);
    return Done(name, c);
}

Picture ScrollSlider()
{
    const QRect box = R(lay::kScrollSlider);
    Canvas c(box.size(), Qt::white);
    QPainter& p = c.P();
    QLinearGradient g(0, 0, box.width(), 0);
    g.setColorAt(0, kAccent.lighter(135));
    g.setColorAt(1, kAccent);
    p.setPen(QPen(kAccentDark, 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(box).adjusted(2.5, 0.5, -2.5, -0.5), 4, 4);
    return Done("listwasuwak", c);
}

// ------------------------------------------------------ windows

// Body, frame and the title strip (or, for a dialog without a title, a
// band of the accent colour).
void WindowBase(Canvas& c, const char* title, bool movable = true)
{
    if (title)
        TitleStrip(c, title, movable);
    else
        AccentBand(c);
    WindowEdge(c, kAccentDark);
}

// A row of caption, number field with arrows and an optional unit; the
// caption and unit are centred on the field's height.
void StepperRow(Canvas& c, int captionX, const char* caption, lay::Rect value, lay::Rect less,
                lay::Rect more, const char* unit)
{
    const int top = value.y - 3;
    c.TextAt(QPoint(captionX, top), 20, caption, Caption(), kInk);
    StepperField(c, value, less, more);
    if (unit)
        c.TextAt(QPoint(more.x + more.w + 12, top), 20, unit, Caption(), kInk);
}

void TickRow(Canvas& c, lay::Rect tick, const char* caption)
{
    c.TextAt(QPoint(tick.x + tick.w + 6, tick.y), tick.h, caption, Caption(), kInk);
}

void ConfirmCancel(Canvas& c, lay::Rect cancel, lay::Rect confirm)
{
    ActionButton(c.P(), R(cancel), Glyph::Cross);
    ActionButton(c.P(), R(confirm), Glyph::Tick);
}

Picture Dane()
{
    namespace ld = lay::dane;
    Canvas c(QSize(ld::kWindow.w, ld::kWindow.h), kBody);
    WindowBase(c, cap::dane::kTitle);
    RoundButton(c.P(), R(ld::kNowyWpis), Glyph::Plus);
    RoundButton(c.P(), R(ld::kEdytujWpis), Glyph::Pencil);
    RoundButton(c.P(), R(ld::kUsunWpis), Glyph::Bin);
    FieldAround(c, ld::kPodListe, 1, 1);
    ConfirmCancel(c, ld::kAnuluj, ld::kZapisz);
    return Done("tlo_dane", c,
                {ld::kListwa, ld::kNowyWpis, ld::kEdytujWpis, ld::kUsunWpis, ld::kPodListe,
                 ld::kAnuluj, ld::kZapisz});
}

Picture Wprowadzane()
{
    namespace lw = lay::wprowadzane;
    namespace cw = cap::wprowadzane;
    Canvas c(QSize(lw::kWindow.w, lw::kWindow.h), kBody);
    WindowBase(c, nullptr);
    const int x = lw::kPtaszek.x;
    const int row = 15;

    c.TextAt(QPoint(x, lw::kTresc.y - 21), row, cw::kTresc, Caption(), kInk);
    FieldAround(c, lw::kTresc, 4, 3);

    c.TextAt(QPoint(x, lw::kWybData.y - 21), row, cw::kData, Caption(), kInk);
    DropField(c, lw::kWybData, lw::kRozwinKalendarz);

    c.TextAt(QPoint(x, lw::kCzestoscPanel.y - 22), row, cw::kCzestosc, Caption(), kInk);
    DropField(c, lw::kCzestoscPanel, lw::kRozwinListe);

    StepperRow(c, x, cw::kRozpocznij, lw::kDniPrzed, lw::kMniejDniPrzed, lw::kWiecejDniPrzed,
               cw::kDniPrzed);
    TickRow(c, lw::kPtaszek, cw::kOstrzegaj);
    StepperRow(c, x, cw::kPowiadamiaj, lw::kIleRazyDziennie, lw::kMniejRazy, lw::kWiecejRazy,
               cw::kRazy);
    TickRow(c, lw::kPtaszek2, cw::kBlokuj);
    ConfirmCancel(c, lw::kAnuluj, lw::kZapisz);
    return Done("tlo_wprowadzane", c,
                {lw::kTresc, lw::kWybData, lw::kRozwinKalendarz, lw::kCzestosc, lw::kRozwinListe,
                 lw::kDniPrzed, lw::kMniejDniPrzed, lw::kWiecejDniPrzed, lw::kPtaszek,
                 lw::kIleRazyDziennie, lw::kMniejRazy, lw::kWiecejRazy, lw::kPtaszek2,
                 lw::kAnuluj, lw::kZapisz});
}

constexpr int kDialogMargin = 24;

Picture CzestoscCoX()
{
    namespace lc = lay::czestosc;
    Canvas c(QSize(lc::kWindow.w, lc::kWindow.h), kBody);
    WindowBase(c, nullptr);
    StepperRow(c, kDialogMargin, cap::czestosc::kCoX, lc::kCoIleDni, lc::kMniejDni, lc::kWiecejDni,
               cap::czestosc::kDni);
    ConfirmCancel(c, lc::kAnuluj, lc::kZapisz);
    return Done("tlo_czestosc_a", c,
                {lc::kCoIleDni, lc::kMniejDni, lc::kWiecejDni, lc::kAnuluj, lc::kZapisz});
}

Picture CzestoscDni()
{
    namespace lc = lay::czestosc;
    Canvas c(QSize(lc::kWindow.w, lc::kWindow.h), kBody);
    WindowBase(c, nullptr);
    c.TextAt(QPoint(kDialogMargin, lc::kKtorePanel.y - 30), 15, cap::czestosc::kCyklicznie,
             Caption(), kInk);
    DropField(c, lc::kKtorePanel, lc::kRozwinListaKtory);
    DropField(c, lc::kJakiePanel, lc::kRozwinListaJaki);
    c.TextAt(QPoint(lc::kRozwinListaJaki.x + lc::kRozwinListaJaki.w + 10, lc::kJakiePanel.y - 4), 21,
             cap::czestosc::kMiesiaca, Caption(), kInk);
    ConfirmCancel(c, lc::kAnulujWOkD, lc::kOkWOD);
    return Done("tlo_czestosc_b", c,
                {lc::kKtorePanel, lc::kRozwinListaKtory, lc::kJakiePanel, lc::kRozwinListaJaki,
                 lc::kAnulujWOkD, lc::kOkWOD});
}

Picture DatePicker()
{
    namespace lp = lay::picker;
    Canvas c(QSize(lp::kPanel.w, lp::kPanel.h), Qt::white);
    QPainter& p = c.P();
    // the head (date and steps) on a soft band, the grid on white
    const int headBottom = lp::kPrevYear.y + lp::kPrevYear.h + 3;
    p.fillRect(QRect(0, 0, lp::kPanel.w, headBottom), kAccentSoft);
    p.fillRect(QRect(0, headBottom, lp::kPanel.w, 1), kFieldBorder);

    const auto step = [&](lay::Rect r, Arrow dir, bool twice) {
        const QRectF b = QRectF(R(r));
        const QPointF m = b.center();
        if (twice) {
            DrawChevron(p, QRectF(m.x() - 4, m.y() - 4, 4, 8), dir, kAccentDark, 1.6);
            DrawChevron(p, QRectF(m.x() + 0.5, m.y() - 4, 4, 8), dir, kAccentDark, 1.6);
        } else {
            DrawChevron(p, QRectF(m.x() - 2, m.y() - 4, 4, 8), dir, kAccentDark, 1.6);
        }
    };
    step(lp::kPrevYear, Arrow::Left, true);
    step(lp::kPrevMonth, Arrow::Left, false);
    step(lp::kNextMonth, Arrow::Right, false);
    step(lp::kNextYear, Arrow::Right, true);

    const QRect today = R(lp::kDzisiaj);
    p.save();
    p.setPen(QPen(kFieldBorder, 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(today).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    p.restore();
    c.Text(today, Qt::AlignCenter, cap::picker::kDzisiaj, Font(kCaptionPx - 1), kAccentDark);

    // weekday words over the grid's columns, Sunday in the grid's Sunday ink
    const QStringList days = QString::fromUtf8(cap::picker::kWeekdays).split(QLatin1Char(' '));
    const QByteArray dayBytes[7] = {days.value(0).toUtf8(), days.value(1).toUtf8(),
                                    days.value(2).toUtf8(), days.value(3).toUtf8(),
                                    days.value(4).toUtf8(), days.value(5).toUtf8(),
                                    days.value(6).toUtf8()};
    if (days.size() != 7)
        c.Problem(QStringLiteral("the weekday header needs seven words"));
    for (int col = 0; col < 7; ++col) {
        const QRect cell(lp::kCalendar.x + lp::kGridOriginX + col * lp::kCellWidth, lp::kWeekdays.y,
                         lp::kCellWidth, lp::kWeekdays.h);
        c.Text(cell, Qt::AlignCenter, dayBytes[col].constData(), Font(kCaptionPx - 1, true),
               col == 6 ? QColor(Qt::black) : kAccent);
    }
    p.fillRect(QRect(lp::kCalendar.x, lp::kWeekdays.y + lp::kWeekdays.h, lp::kCalendar.w, 1),
               kAccentSoft);
    // The grid image is one pixel narrower than its last column's frame:
    // the panel carries that closing line, in the grid's line colour.
    p.fillRect(QRect(lp::kCalendar.x + lp::kGridOriginX + 7 * lp::kCellWidth,
                     lp::kCalendar.y + lp::kGridOriginY, 1, 6 * lp::kCellHeight + 1),
               QColor(60, 117, 151));
    Frame(p, QRect(0, 0, lp::kPanel.w, lp::kPanel.h), kAccent);
    return Done("tlo_wybor_daty", c,
                {lp::kData, lp::kPrevYear, lp::kPrevMonth, lp::kDzisiaj, lp::kNextMonth,
                 lp::kNextYear, lp::kCalendar});
}

Picture Kalendarz()
{
    namespace lk = lay::kalendarz;
    Canvas c(QSize(lk::kWindow.w, lk::kWindow.h), kBody);
    WindowBase(c, cap::kalendarz::kTitle);
    c.TextAt(QPoint(lk::kPodImgKalendarz.x, lk::kKtoryPanel.y - 23), 15, cap::kalendarz::kWskaz,
             Caption(), kInk);
    DropField(c, lk::kKtoryPanel, lk::kRozwinKalendarz);
    FieldAround(c, lk::kPodImgKalendarz, 1, 1);
    ActionButton(c.P(), R(lk::kClose), Glyph::Cross);
    return Done("tlo_kalendarz", c,
                {lk::kListwa, lk::kKtoryPanel, lk::kRozwinKalendarz, lk::kPodImgKalendarz,
                 lk::kClose});
}

Picture Ustawienia()
{
    namespace lu = lay::ustawienia;
    namespace cu = cap::ustawienia;
    Canvas c(QSize(lu::kWindow.w, lu::kWindow.h), kBody);
    WindowBase(c, cu::kTitle);
    StepperRow(c, kDialogMargin, cu::kPokazCo, lu::kPokazCo, lu::kPokazCoMniej, lu::kPokazCoWiecej,
               cu::kMinut);
    StepperRow(c, kDialogMargin, cu::kBadajCo, lu::kBadajCo, lu::kBadajCoMniej, lu::kBadajCoWiecej,
               cu::kMinut);
    StepperRow(c, kDialogMargin, cu::kUkryjPo, lu::kUkryjPo, lu::kUkryjPoMniej, lu::kUkryjPoWiecej,
               cu::kSekundach);
    TickRow(c, lu::kPtaszek2, cu::kDzwiek);
    StepperRow(c, kDialogMargin, cu::kPoziom, lu::kDzwiek, lu::kDzwiekMniej, lu::kDzwiekWiecej,
               nullptr);
    ConfirmCancel(c, lu::kAnuluj, lu::kZapisz);
    return Done("tlo_ustawienia", c,
                {lu::kListwa, lu::kPokazCo, lu::kPokazCoMniej, lu::kPokazCoWiecej, lu::kBadajCo,
                 lu::kBadajCoMniej, lu::kBadajCoWiecej, lu::kUkryjPo, lu::kUkryjPoMniej,
                 lu::kUkryjPoWiecej, lu::kPtaszek2, lu::kDzwiek, lu::kDzwiekMniej,
                 lu::kDzwiekWiecej, lu::kAnuluj, lu::kZapisz});
}

Picture Synchronizacja()
{
    namespace ls = lay::synchronizacja;
    namespace cs = cap::synchronizacja;
    Canvas c(QSize(ls::kWindow.w, ls::kWindow.h), kBody);
    WindowBase(c, cs::kTitle);
    const auto row = [&c](const char* caption, lay::Rect field) {
        c.TextAt(QPoint(kDialogMargin, field.y - 2), 20, caption, Caption(), kInk);
        FieldAround(c, field, 4, 3);
    };
    row(cs::kSerwer, ls::kSerwer);
    row(cs::kUzytkownik, ls::kUzytkownik);
    row(cs::kHaslo, ls::kHaslo);
    row(cs::kKalendarz, ls::kKalendarz);
    CaptionButton(c, R(ls::kSynchronizuj), cs::kSynchronizuj);
    ConfirmCancel(c, ls::kAnuluj, ls::kZapisz);
    return Done("tlo_synchronizacja", c,
                {ls::kListwa, ls::kSerwer, ls::kUzytkownik, ls::kHaslo, ls::kKalendarz, ls::kSynchronizuj,
                 ls::kWynik, ls::kUwaga, ls::kAnuluj, ls::kZapisz});
}

Picture About()
{
    namespace la = lay::about;
    Canvas c(QSize(la::kWindow.w, la::kWindow.h), kBody);
    WindowBase(c, cap::about::kTitle, false);
    const QRectF icon(58, 78, 72, 72);
    PaintIcon(c.P(), icon);
    c.Text(QRect(150, 92, 210, 44), Qt::AlignLeft | Qt::AlignVCenter, cap::about::kNazwa,
           Font(24, true), kInk);
    ActionButton(c.P(), R(la::kZapisz), Glyph::Tick);
    return Done("tlo_about", c, {la::kZapisz});
}

struct Entry {
    PictureInfo info;
    std::function<Picture()> paint;
};

const std::vector<Entry>& Entries()
{
    namespace lw = lay::warning;
    namespace lg = lay::glowny;
    static const std::vector<Entry> entries = {
        {{"komczerwony", lg::kWindow.w, lg::kWindow.h}, [] { return Reminder("komczerwony", kRed); }},
        {{"komzolty", lg::kWindow.w, lg::kWindow.h}, [] { return Reminder("komzolty", kYellow); }},
        {{"komzielony", lg::kWindow.w, lg::kWindow.h}, [] { return Reminder("komzielony", kGreen); }},
        {{"komniebieski", lg::kWindow.w, lg::kWindow.h}, [] { return BluePanel(true); }},
        {{"komniebieski_bez_ikony", lg::kWindow.w, lg::kWindow.h}, [] { return BluePanel(false); }},
        {{"oknowarning", lw::kWindow.w, lw::kWindow.h}, WarningBox},
        {{"ikoinfo", lw::kIcon.w, lw::kIcon.h}, [] { return WarningIcon("ikoinfo", IconKind::Info); }},
        {{"ikopytanie", lw::kIcon.w, lw::kIcon.h},
         [] { return WarningIcon("ikopytanie", IconKind::Question); }},
        {{"ikouwaga", lw::kIcon.w, lw::kIcon.h}, [] { return WarningIcon("ikouwaga", IconKind::Warning); }},
        {{"buttak", lw::kButTak.w, lw::kButTak.h},
         [] { return WarningButton("buttak", cap::warning::kTak, true); }},
        {{"butnie", lw::kButNie.w, lw::kButNie.h},
         [] { return WarningButton("butnie", cap::warning::kNie, false); }},
        {{"butanuluj", lw::kButAnuluj.w, lw::kButAnuluj.h},
         [] { return WarningButton("butanuluj", cap::warning::kAnuluj, false); }},
        {{"butzamknij", lw::kButZamknij.w, lw::kButZamknij.h},
         [] { return WarningButton("butzamknij", cap::warning::kZamknij, false); }},
        {{"ptaszekok", lay::kTick.w, lay::kTick.h}, [] { return Tick("ptaszekok", true); }},
        {{"ptaszekno", lay::kTick.w, lay::kTick.h}, [] { return Tick("ptaszekno", false); }},
        {{"palkamala", lay::kCalendarBar.w, lay::kCalendarBar.h}, [] { return Bar("palkamala", false); }},
        {{"palkaduza", lay::kCalendarBar.w, lay::kCalendarBar.h}, [] { return Bar("palkaduza", true); }},
        {{"listwagora", lay::kScrollArrow.w, lay::kScrollArrow.h},
         [] { return ScrollArrow("listwagora", Arrow::Up); }},
        {{"listwadol", lay::kScrollArrow.w, lay::kScrollArrow.h},
         [] { return ScrollArrow("listwadol", Arrow::Down); }},
        {{"listwasuwak", lay::kScrollSlider.w, lay::kScrollSlider.h}, ScrollSlider},
        {{"tlo_dane", lay::dane::kWindow.w, lay::dane::kWindow.h}, Dane},
        {{"tlo_wprowadzane", lay::wprowadzane::kWindow.w, lay::wprowadzane::kWindow.h}, Wprowadzane},
        {{"tlo_czestosc_a", lay::czestosc::kWindow.w, lay::czestosc::kWindow.h}, CzestoscCoX},
        {{"tlo_czestosc_b", lay::czestosc::kWindow.w, lay::czestosc::kWindow.h}, CzestoscDni},
        {{"tlo_wybor_daty", lay::picker::kPanel.w, lay::picker::kPanel.h}, DatePicker},
        {{"tlo_kalendarz", lay::kalendarz::kWindow.w, lay::kalendarz::kWindow.h}, Kalendarz},
        {{"tlo_ustawienia", lay::ustawienia::kWindow.w, lay::ustawienia::kWindow.h}, Ustawienia},
        {{"tlo_about", lay::about::kWindow.w, lay::about::kWindow.h}, About},
        {{"tlo_synchronizacja", lay::synchronizacja::kWindow.w, lay::synchronizacja::kWindow.h},
         Synchronizacja},
    };
    return entries;
}

} // namespace

const std::vector<PictureInfo>& PictureList()
{
    static const std::vector<PictureInfo> list = [] {
        std::vector<PictureInfo> l;
        for (const Entry& e : Entries())
            l.push_back(e.info);
        return l;
    }();
    return list;
}

Picture PaintPicture(const QString& name, int scale)
{
    const PaintScale at(scale);
    for (const Entry& e : Entries()) {
        if (name == QLatin1String(e.info.name)) {
            Picture pic = e.paint();
            if (pic.image.size() != QSize(e.info.width, e.info.height) * scale)
                pic.problems << QStringLiteral("painted at the wrong size");
            return pic;
        }
    }
    Picture none;
    none.name = name;
    return none;
}

} // namespace remindo::painter
