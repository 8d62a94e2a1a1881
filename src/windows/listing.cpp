#include "windows/listing.h"

#include "windows/chrome.h"

#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionSlider>

#include <algorithm>
#include <map>
#include <utility>

namespace remindo {

namespace {

// A bar is its picture at the top left of a white strip of this size, made
// once for each device pixel ratio the listing is painted at.
constexpr int kBarStripWidth = 328;

const QImage& BarStrip(const QString& name, qreal ratio)
{
    static std::map<std::pair<QString, qreal>, QImage> strips;
    QImage& strip = strips[{name, ratio}];
    if (strip.isNull()) {
        strip = DeviceImage(QSize(kBarStripWidth, WeekListing::kLineStep), ratio, Qt::white);
        DrawJpegResource(name, strip);
    }
    return strip;
}

} // namespace

// -------------------------------------------------------------- WeekListing

void WeekListing::Begin(const QString& title)
{
    lines_.clear();
    y_ = kTop;
    lines_.push_back({ListingLine::kTitle, y_, title, false});
}

void WeekListing::AddBigBar()
{
    y_ += kLineStep;
    lines_.push_back({ListingLine::kBigBar, y_, {}, false});
}

void WeekListing::AddSmallBar()
{
    y_ += kLineStep;
    lines_.push_back({ListingLine::kSmallBar, y_, {}, false});
}

void WeekListing::AddText(const QString& text, bool blocked)
{
    y_ += kLineStep;
    lines_.push_back({ListingLine::kText, y_, text, blocked});
}

void WeekListing::PaintBand(QPainter& p, int top, int height) const
{
    p.fillRect(QRect(0, 0, kWidth, height), Qt::white);
    p.save();
    p.translate(0, -top);
    const qreal ratio = p.device()->devicePixelRatioF();
    const QFont normal = WindowFont();
    QFont bold = normal;
    bold.setBold(true);
    // Lines are in y order: find the first that reaches into the band.
    const auto first = std::lower_bound(lines_.begin(), lines_.end(), top - kLineStep,
                                        [](const ListingLine& l, int y) { return l.y < y; });
    for (auto it = first; it != lines_.end() && it->y < top + height; ++it) {
        switch (it->kind) {
        case ListingLine::kBigBar:
            p.drawImage(QPoint(kBarX, it->y), BarStrip(QStringLiteral("palkaduza"), ratio));
            break;
        case ListingLine::kSmallBar:
            p.drawImage(QPoint(kBarX, it->y), BarStrip(QStringLiteral("palkamala"), ratio));
            break;
        case ListingLine::kTitle: {
            p.setFont(bold);
            p.setPen(kValueTextColour);
            const int w = p.fontMetrics().horizontalAdvance(it->text);
            const int x = (kWidth - 2 * kTextX - w) / 2;
            p.drawText(QRect(x, it->y, kWidth, kLineStep), Qt::AlignLeft | Qt::AlignTop, it->text);
            break;
        }
        case ListingLine::kText:
            p.setFont(normal);
            p.setPen(it->blocked ? kBlockedColour : kValueTextColour);
            p.drawText(QRect(kTextX, it->y, kWidth - kTextX, kLineStep), Qt::AlignLeft | Qt::AlignTop,
                       it->text);
            break;
        }
    }
    p.restore();
}

QImage WeekListing::RenderBand(int top, int height) const
{
    QImage band(kWidth, std::max(height, 1), QImage::Format_RGB32);
    QPainter p(&band);
    PaintBand(p, top, band.height());
    return band;
}

QString WeekListing::TextOfBand(int top, int height) const
{
    QStringList words;
    const auto first = std::lower_bound(lines_.begin(), lines_.end(), top - kLineStep / 2,
                                        [](const ListingLine& l, int y) { return l.y < y; });
    for (auto it = first; it != lines_.end() && it->y < top + height - kLineStep / 2; ++it)
        if (it->kind == ListingLine::kTitle || it->kind == ListingLine::kText)
            words << (it->blocked ? it->text + QStringLiteral(" (zablokowane)") : it->text);
    return words.join(QLatin1Char('\n'));
}

// --------------------------------------------------------- ListingScrollBar

namespace {

// The bar as its pictures show it: white, the arrow pictures as square
// buttons at its ends, and the slider picture, whose ends keep their shape
// while its middle stretches, as long as the share of the listing that the
// viewport shows, never shorter than its two ends. Qt's scroll bar takes
// its parts from here, so it is pressed and dragged where they are drawn.
class ListingBarStyle final : public QProxyStyle {
public:
    explicit ListingBarStyle(int page) : page_(page) {}

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override
    {
        const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
        if (control != CC_ScrollBar || !bar)
            return QProxyStyle::subControlRect(control, option, part, widget);
        const QRect r = bar->rect;
        const int arrow = std::min(r.width(), r.height() / 2);
        const QRect track(0, arrow, r.width(), r.height() - 2 * arrow);
        const QRect slider = SliderIn(track, *bar);
        switch (part) {
        case SC_ScrollBarSubLine: return QRect(0, 0, r.width(), arrow);
        case SC_ScrollBarAddLine: return QRect(0, r.height() - arrow, r.width(), arrow);
        case SC_ScrollBarGroove: return track;
        case SC_ScrollBarSlider: return slider;
        case SC_ScrollBarSubPage: return QRect(track.topLeft(), QPoint(track.right(), slider.top() - 1));
        case SC_ScrollBarAddPage: return QRect(QPoint(track.left(), slider.bottom() + 1), track.bottomRight());
        default: return {};
        }
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* p,
                            const QWidget* widget) const override
    {
        const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
        if (control != CC_ScrollBar || !bar) {
            QProxyStyle::drawComplexControl(control, option, p, widget);
            return;
        }
        const Pictures& pictures =
            PicturesFor(widget ? widget->devicePixelRatioF() : p->device()->devicePixelRatioF());
        p->save();
        // The slider's middle rows are repeated as they stretch, not blurred.
        p->setRenderHint(QPainter::SmoothPixmapTransform, false);
        p->fillRect(bar->rect, Qt::white);
        p->drawImage(subControlRect(control, option, SC_ScrollBarSubLine, widget), pictures.up);
        p->drawImage(subControlRect(control, option, SC_ScrollBarAddLine, widget), pictures.down);
        const QImage& slider = pictures.slider;
        if (bar->maximum > bar->minimum && !slider.isNull())
            DrawSlider(p, subControlRect(control, option, SC_ScrollBarSlider, widget), slider);
        p->restore();
    }

private:
    struct Pictures {
        QImage up, down, slider;
    };

    // The slider picture's ends keep their shape; its middle stretches. The
    // picture's own rows are device pixels.
    static void DrawSlider(QPainter* p, QRect s, const QImage& slider)
    {
        const int cap = layout::kScrollCap;
        const qreal r = slider.devicePixelRatio();
        const qreal sw = slider.width();
        const qreal sh = slider.height();
        p->drawImage(QRectF(s.left(), s.top(), s.width(), cap), slider, QRectF(0, 0, sw, cap * r));
        p->drawImage(QRectF(s.left(), s.top() + cap, s.width(), s.height() - 2 * cap), slider,
                     QRectF(0, cap * r, sw, sh - 2 * cap * r));
        p->drawImage(QRectF(s.left(), s.bottom() - cap + 1, s.width(), cap), slider,
                     QRectF(0, sh - cap * r, sw, cap * r));
    }

    QRect SliderIn(QRect track, const QStyleOptionSlider& bar) const
    {
        const long long range = static_cast<long long>(bar.maximum) - bar.minimum;
        int length = track.height();
        if (range > 0 && page_ > 0)
            length = static_cast<int>(track.height() * static_cast<long long>(page_) / (range + page_));
        length = std::clamp(length, std::min(2 * layout::kScrollCap + 4, track.height()), track.height());
        const int room = track.height() - length;
        const long long along = static_cast<long long>(bar.sliderPosition) - bar.minimum;
        const int offset = range > 0 ? static_cast<int>(room * along / range) : 0;
        return QRect(0, track.top() + offset, track.width(), length);
    }

    // The pictures for a screen's pixel ratio, loaded once.
    const Pictures& PicturesFor(qreal ratio) const
    {
        Pictures& pictures = pictures_[ratio];
        if (pictures.up.isNull()) {
            pictures.up = LoadPicture(QStringLiteral("listwagora"), ratio);
            pictures.down = LoadPicture(QStringLiteral("listwadol"), ratio);
            pictures.slider = LoadPicture(QStringLiteral("listwasuwak"), ratio);
        }
        return pictures;
    }

    int page_;
    mutable std::map<qreal, Pictures> pictures_;
};

} // namespace

ListingScrollBar::ListingScrollBar(QWidget* parent, int page) : QScrollBar(Qt::Vertical, parent)
{
    setObjectName(QStringLiteral("Listwa"));
    auto* style = new ListingBarStyle(page);
    style->setParent(this);
    setStyle(style);
}

QRect ListingScrollBar::Slider() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
}

void ListingScrollBar::mousePressEvent(QMouseEvent* e)
{
    emit mouseDown();
    QScrollBar::mousePressEvent(e);
}

} // namespace remindo
