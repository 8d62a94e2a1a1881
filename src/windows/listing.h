#pragma once
// The calendar window's listing and its scroll bar. The listing keeps the
// week as a list of lines and paints only the band its viewport shows, so a
// week of thousands of reminders costs no more picture than a short one.

#include <QImage>
#include <QString>
#include <QWidget>

#include <vector>

class QTimer;

namespace remindo {

// One painted line of the listing; `y` is its top in listing pixels.
struct ListingLine {
    enum Kind { kTitle, kBigBar, kSmallBar, kText };
    Kind kind = kText;
    int y = 0;
    QString text;
    bool blocked = false; // a blocked reminder, listed in grey
};

class WeekListing {
public:
    static constexpr int kWidth = 387;
    static constexpr int kLineStep = 18;
    static constexpr int kTextX = 20;
    static constexpr int kBarX = 10;
    static constexpr int kTop = 5;
    static inline const QColor kBlockedColour{174, 174, 174};

    // Starts a new listing with its title; the drawing position is kTop.
    void Begin(const QString& title);
    void AddBigBar();
    void AddSmallBar();
    // Moves one line down and lists `text` there.
    void AddText(const QString& text, bool blocked = false);

    int ListingY() const { return y_; }
    // The height a picture of the whole listing needs.
    int Height() const { return y_ + kLineStep; }
    const std::vector<ListingLine>& Lines() const { return lines_; }

    // Paints the band of the listing from `top` down, `height` pixels, at
    // the painter's origin.
    void PaintBand(QPainter& p, int top, int height) const;
    QImage RenderBand(int top, int height) const;
    // The band's words, a line each, blocked reminders marked: what a
    // screen reader reads of it.
    QString TextOfBand(int top, int height) const;

private:
    std::vector<ListingLine> lines_;
    int y_ = kTop;
};

// The listing's vertical scroll bar `Listwa`: white, with its own pictures
// for the two arrow buttons and the slider, no frame. A press on an arrow
// steps by the small step and on the track by the large step, repeating
// while held; the slider is dragged.
class ListingScrollBar : public QWidget {
    Q_OBJECT
public:
    explicit ListingScrollBar(QWidget* parent);

    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    int LargeChange() const { return largeChange_; }
    int SmallChange() const { return smallChange_; }
    void SetMax(int max);
    void SetLargeChange(int step) { largeChange_ = step; }
    void SetSmallChange(int step) { smallChange_ = step; }
    // The viewport height, for the slider's length.
    void SetPage(int page);
    // Moves the position (kept within the range) and reports a change.
    void SetPosition(int position);

    // Where the parts are, in the bar's own pixels.
    QRect UpArrow() const;
    QRect DownArrow() const;
    QRect Slider() const;

signals:
    void changed(int position); // ListwaChange
    void mouseDown();           // ListwaMouseDown

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    QRect Track() const;
    void RepeatStep();
    // The pictures for the screen the bar is on now.
    void LoadPictures();

    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int largeChange_ = 1;
    int smallChange_ = 100;
    int page_ = 0;
    QImage up_, down_, slider_;
    // the press being held: a step that repeats, or a slider drag
    int heldStep_ = 0;
    bool heldOnTrack_ = false;
    QPoint heldAt_;
    bool dragging_ = false;
    int dragOffset_ = 0;
    QTimer* repeat_ = nullptr;
};

} // namespace remindo
