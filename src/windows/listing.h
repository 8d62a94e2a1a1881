#pragma once
// The calendar window's listing and its scroll bar. The listing keeps the
// week as a list of lines and paints only the band its viewport shows, so a
// week of thousands of reminders costs no more picture than a short one.

#include <QImage>
#include <QScrollBar>
#include <QString>

#include <vector>

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

// The listing's vertical scroll bar `Listwa`: Qt's own, drawn white with
// its own pictures for the two arrow buttons and the slider, no frame. The
// slider is as long as the share of the listing that `page` pixels show.
class ListingScrollBar : public QScrollBar {
    Q_OBJECT
public:
    ListingScrollBar(QWidget* parent, int page);
    // Where the slider lies, in the bar's own pixels.
    QRect Slider() const;

signals:
    void mouseDown(); // ListwaMouseDown

protected:
    void mousePressEvent(QMouseEvent* e) override;
};

} // namespace remindo
