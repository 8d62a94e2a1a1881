#include "windows/listing.h"

#include "windows/chrome.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>

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

// A screen reader reads the scroll bar's position and may move it.
class ScrollBarAccessible final : public AccessibleValueWidget {
public:
    explicit ScrollBarAccessible(ListingScrollBar* bar) : AccessibleValueWidget(bar, QAccessible::ScrollBar) {}

    QVariant currentValue() const override { return Bar()->Position(); }
    void setCurrentValue(const QVariant& value) override { Bar()->SetPosition(value.toInt()); }
    QVariant maximumValue() const override { return Bar()->Max(); }
    QVariant minimumValue() const override { return Bar()->Min(); }
    QVariant minimumStepSize() const override { return Bar()->SmallChange(); }

private:
    ListingScrollBar* Bar() const { return static_cast<ListingScrollBar*>(widget()); }
};

QAccessibleInterface* ScrollBarAccessibleFactory(const QString&, QObject* object)
{
    if (auto* bar = qobject_cast<ListingScrollBar*>(object))
        return new ScrollBarAccessible(bar);
    return nullptr;
}

} // namespace

ListingScrollBar::ListingScrollBar(QWidget* parent)
    : QWidget(parent), repeat_(new QTimer(this))
{
    static const bool factory = (QAccessible::installFactory(ScrollBarAccessibleFactory), true);
    (void)factory;
    LoadPictures();
    setObjectName(QStringLiteral("Listwa"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    repeat_->setTimerType(Qt::PreciseTimer);
    connect(repeat_, &QTimer::timeout, this, [this] {
        repeat_->setInterval(50);
        RepeatStep();
    });
}

void ListingScrollBar::SetMax(int max)
{
    max_ = std::max(max, min_);
    if (position_ > max_)
        SetPosition(max_);
    update();
}

void ListingScrollBar::SetPage(int page)
{
    page_ = std::max(page, 0);
    update();
}

void ListingScrollBar::SetPosition(int position)
{
    position = std::clamp(position, min_, max_);
    if (position == position_)
        return;
    position_ = position;
    update();
    emit changed(position_);
}

QRect ListingScrollBar::UpArrow() const
{
    return QRect(0, 0, width(), std::min(width(), height() / 2));
}

QRect ListingScrollBar::DownArrow() const
{
    const int h = std::min(width(), height() / 2);
    return QRect(0, height() - h, width(), h);
}

QRect ListingScrollBar::Track() const
{
    return QRect(0, UpArrow().bottom() + 1, width(), DownArrow().top() - UpArrow().bottom() - 1);
}

QRect ListingScrollBar::Slider() const
{
    const QRect track = Track();
    const long long range = static_cast<long long>(max_) - min_;
    // As long as the share of the listing the viewport shows, never shorter
    // than its two rounded ends.
    int length = track.height();
    if (range > 0 && page_ > 0)
        length = static_cast<int>(track.height() * static_cast<long long>(page_) / (range + page_));
    length = std::clamp(length, std::min(2 * layout::kScrollCap + 4, track.height()), track.height());
    const int room = track.height() - length;
    const int offset =
        range > 0 ? static_cast<int>(static_cast<long long>(room) * (position_ - min_) / range) : 0;
    return QRect(0, track.top() + offset, width(), length);
}

void ListingScrollBar::LoadPictures()
{
    const qreal ratio = devicePixelRatioF();
    up_ = LoadPicture(QStringLiteral("listwagora"), ratio);
    down_ = LoadPicture(QStringLiteral("listwadol"), ratio);
    slider_ = LoadPicture(QStringLiteral("listwasuwak"), ratio);
}

void ListingScrollBar::paintEvent(QPaintEvent*)
{
    if (up_.devicePixelRatio() != std::max<qreal>(devicePixelRatioF(), 1))
        LoadPictures();
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.drawImage(UpArrow(), up_);
    p.drawImage(DownArrow(), down_);
    if (max_ <= min_ || slider_.isNull())
        return;
    // The slider picture's ends keep their shape; its middle stretches. The
    // picture's own rows are device pixels.
    const QRect s = Slider();
    const int cap = layout::kScrollCap;
    const qreal r = slider_.devicePixelRatio();
    const qreal sw = slider_.width();
    const qreal sh = slider_.height();
    p.drawImage(QRectF(s.left(), s.top(), s.width(), cap), slider_, QRectF(0, 0, sw, cap * r));
    p.drawImage(QRectF(s.left(), s.top() + cap, s.width(), s.height() - 2 * cap), slider_,
                QRectF(0, cap * r, sw, sh - 2 * cap * r));
    p.drawImage(QRectF(s.left(), s.bottom() - cap + 1, s.width(), cap), slider_,
                QRectF(0, sh - cap * r, sw, cap * r));
}

void ListingScrollBar::mousePressEvent(QMouseEvent* e)
{
    e->accept();
    emit mouseDown();
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint at = e->position().toPoint();
    heldAt_ = at;
    const QRect slider = Slider();
    if (UpArrow().contains(at))
        heldStep_ = -smallChange_;
    else if (DownArrow().contains(at))
        heldStep_ = smallChange_;
    else if (max_ > min_ && slider.contains(at)) {
        dragging_ = true;
        dragOffset_ = at.y() - slider.top();
        return;
    } else if (max_ > min_) {
        heldStep_ = at.y() < slider.top() ? -largeChange_ : largeChange_;
        heldOnTrack_ = true;
    }
    if (heldStep_ == 0)
        return;
    RepeatStep();
    repeat_->start(400); // then every 50 ms while held
}

void ListingScrollBar::RepeatStep()
{
    // A track press stops once the slider has come under the cursor.
    if (heldOnTrack_) {
        const QRect s = Slider();
        if ((heldStep_ < 0 && heldAt_.y() >= s.top()) || (heldStep_ > 0 && heldAt_.y() <= s.bottom())) {
            repeat_->stop();
            return;
        }
    }
    SetPosition(position_ + heldStep_);
}

void ListingScrollBar::mouseMoveEvent(QMouseEvent* e)
{
    e->accept();
    heldAt_ = e->position().toPoint();
    if (!dragging_)
        return;
    const QRect track = Track();
    const int length = Slider().height();
    const int room = track.height() - length;
    if (room <= 0)
        return;
    const int top = std::clamp(heldAt_.y() - dragOffset_ - track.top(), 0, room);
    const long long range = static_cast<long long>(max_) - min_;
    SetPosition(min_ + static_cast<int>((range * top + room / 2) / room));
}

void ListingScrollBar::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    repeat_->stop();
    heldStep_ = 0;
    heldOnTrack_ = false;
    dragging_ = false;
}

void ListingScrollBar::wheelEvent(QWheelEvent* e)
{
    e->accept();
    const int notches = e->angleDelta().y() / 120;
    SetPosition(position_ - notches * 3 * WeekListing::kLineStep);
}

void ListingScrollBar::hideEvent(QHideEvent* e)
{
    repeat_->stop();
    heldStep_ = 0;
    heldOnTrack_ = false;
    dragging_ = false;
    QWidget::hideEvent(e);
}

} // namespace remindo
