#include "windows/datepicker.h"

#include "dates/clock.h"
#include "dates/datetools.h"
#include "store/formats.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cstring>
#include <functional>

namespace remindo {

namespace {

namespace lp = layout::picker;

// `ImCalendar`: the grid image, reporting where the mouse went down. From
// the keyboard the arrows move the day (a week up and down) and Space or
// Enter picks it, as a click on its cell; the focus mark frames that day.
class GridImageLabel final : public QLabel {
public:
    GridImageLabel(QWidget* parent, QRect place) : QLabel(parent)
    {
        setGeometry(place);
        setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
        setAccessibleName(QStringLiteral("Dzień"));
    }
    std::function<void(QPoint)> onPress;
    std::function<void(int days)> onMove;
    std::function<void()> onPick;
    std::function<QRect()> dayCell; // the chosen day's cell, in the image's pixels

protected:
    void mousePressEvent(QMouseEvent* e) override
    {
        e->accept();
        if (e->button() == Qt::LeftButton && onPress)
            onPress(e->position().toPoint());
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override { mousePressEvent(e); }
    void keyPressEvent(QKeyEvent* e) override
    {
        const struct {
            int key;
            int days;
        } moves[] = {{Qt::Key_Left, -1}, {Qt::Key_Right, 1}, {Qt::Key_Up, -7}, {Qt::Key_Down, 7}};
        for (const auto& m : moves)
            if (e->key() == m.key) {
                onMove(m.days);
                return;
            }
        if (e->key() == Qt::Key_Space || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            if (!e->isAutoRepeat())
                onPick();
            return;
        }
        QLabel::keyPressEvent(e);
    }
    void paintEvent(QPaintEvent* e) override
    {
        QLabel::paintEvent(e);
        if (hasFocus()) {
            QPainter p(this);
            DrawFocusMark(p, dayCell().adjusted(2, 2, -2, -2));
        }
    }
};

} // namespace

DatePicker::DatePicker(const RegionalFormats& formats, const Clock& clock, QWidget* parent)
    : QWidget(parent), formats_(formats), clock_(clock)
{
    // The grid is drawn at the screen's pixels: its numbers as sharp as any text.
    image_ = DeviceImage(QSize(lp::kCalendar.w, lp::kCalendar.h), devicePixelRatioF(), Qt::white);
    setObjectName(QStringLiteral("PKalendarz"));
    setFixedSize(lp::kPanel.w, lp::kPanel.h);
    setFont(WindowFont());

    ImKalendarz_ = new ClickArea(this, ToQRect(lp::kPanel), false);
    ImKalendarz_->setObjectName(QStringLiteral("ImKalendarz"));
    LoadJpegResource(QStringLiteral("tlo_wybor_daty"), ImKalendarz_);

    LData_ = new QLabel(this);
    LData_->setObjectName(QStringLiteral("LData"));
    LData_->setGeometry(ToQRect(lp::kData));
    LData_->setAlignment(Qt::AlignCenter);
    LData_->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette pal = LData_->palette();
    pal.setColor(QPalette::WindowText, kValueTextColour);
    LData_->setPalette(pal);

    const auto arrow = [this](const char* name, layout::Rect place, const char* spoken) {
        auto* a = new ClickArea(this, ToQRect(place));
        a->setObjectName(QLatin1String(name));
        a->setAccessibleName(QString::fromUtf8(spoken));
        return a;
    };
    LPrevYear_ = arrow("LPrevYear", lp::kPrevYear, "Poprzedni rok");
    LPrevMonth_ = arrow("LPrevMonth", lp::kPrevMonth, "Poprzedni miesiąc");
    LNextMonth_ = arrow("LNextMonth", lp::kNextMonth, "Następny miesiąc");
    LNextYear_ = arrow("LNextYear", lp::kNextYear, "Następny rok");
    Ldzisiaj_ = arrow("Ldzisiaj", lp::kDzisiaj, "Dzisiaj");

    auto* grid = new GridImageLabel(this, ToQRect(lp::kCalendar));
    grid->setObjectName(QStringLiteral("ImCalendar"));
    grid->onPress = [this](QPoint p) { emit gridPressed(p); };
    grid->onMove = [this](int days) {
        SetDate(AddDays(date_, days));
        emit stepped(date_);
    };
    grid->onPick = [this] { emit gridPressed(PointOfDay(DayOf(date_)) - ImCalendar_->pos()); };
    grid->dayCell = [this] {
        const QPoint centre = PointOfDay(DayOf(date_)) - ImCalendar_->pos();
        return QRect(centre - QPoint(grid_.CellWidth / 2, grid_.CellHeight / 2),
                     QSize(grid_.CellWidth, grid_.CellHeight));
    };
    ImCalendar_ = grid;
    SetReadingOrder(Stops());

    connect(ImKalendarz_, &ClickArea::clicked, this, &DatePicker::backgroundClicked);
    connect(LPrevYear_, &ClickArea::clicked, this, &DatePicker::PrevYear);
    connect(LPrevMonth_, &ClickArea::clicked, this, &DatePicker::PrevMonth);
    connect(LNextMonth_, &ClickArea::clicked, this, &DatePicker::NextMonth);
    connect(LNextYear_, &ClickArea::clicked, this, &DatePicker::NextYear);
    connect(Ldzisiaj_, &ClickArea::clicked, this, &DatePicker::todayClicked);

    // Both users' grid: 24 x 22 cells from (1, 1), framed, no header row,
    // Sundays marked, weeks from Monday; then today.
    SetGridGeometry(24, 22, 6, 7, 1, 1, 1, grid_);
    SetGridColours(Qt::white, QColor(231, 228, 233), Qt::white, QColor(60, 117, 151),
                   QColor(60, 117, 151), Qt::black, QColor(60, 117, 151), grid_);
    SetGridStyle(8, QStringLiteral("MS Sans Serif"), true, false, true, true, grid_);
    GridToday(image_, date_, grid_, clock_.Today());
    Redraw();
    hide();
}

bool DatePicker::event(QEvent* e)
{
    if (e->type() == QEvent::ScreenChangeInternal &&
        image_.devicePixelRatio() != std::max<qreal>(devicePixelRatioF(), 1)) {
        image_ = DeviceImage(QSize(lp::kCalendar.w, lp::kCalendar.h), devicePixelRatioF(), Qt::white);
        ShowMonth(image_, date_, grid_);
        Redraw();
    }
    return QWidget::event(e);
}

void DatePicker::Redraw()
{
    ImCalendar_->setPixmap(QPixmap::fromImage(image_));
    // The long date, weekday first, in full: a smaller step of the font
    // where the panel's width does not hold it.
    const QString caption = Caption();
    for (int px = kCaptionPx; px >= kCaptionPx - 3; --px) {
        LData_->setFont(WindowFont(px));
        if (QFontMetrics(LData_->font()).horizontalAdvance(caption) <= LData_->width())
            break;
    }
    LData_->setText(caption);
    ImCalendar_->setAccessibleDescription(caption);
}

std::vector<QWidget*> DatePicker::Stops() const
{
    return {LPrevYear_, LPrevMonth_, Ldzisiaj_, LNextMonth_, LNextYear_, ImCalendar_};
}

void DatePicker::Open()
{
    const bool keyboard = returnFocus_ && window()->focusWidget() == returnFocus_;
    show();
    raise();
    if (keyboard)
        ImCalendar_->setFocus(Qt::OtherFocusReason);
}

void DatePicker::Close()
{
    // The keyboard goes back to where the picker was opened from, not on
    // to whatever lay under it.
    if (returnFocus_ && isAncestorOf(QApplication::focusWidget()))
        returnFocus_->setFocus(Qt::OtherFocusReason);
    hide();
}

QString DatePicker::Caption() const { return DateCaption(date_, formats_); }

void DatePicker::SetDate(Date date)
{
    date_ = date;
    ShowMonth(image_, date_, grid_);
    Redraw();
}

void DatePicker::GoToday()
{
    GridToday(image_, date_, grid_, clock_.Today());
    Redraw();
}

bool DatePicker::PickAt(QPoint gridPoint)
{
    const bool picked = GridClick(image_, gridPoint.x(), gridPoint.y(), grid_, date_);
    Redraw();
    return picked;
}

void DatePicker::Step(void (*step)(QImage&, Date&, MonthGrid&))
{
    step(image_, date_, grid_);
    Redraw();
    emit stepped(date_);
}

void DatePicker::PrevYear() { Step(&GridPrevYear); }
void DatePicker::PrevMonth() { Step(&GridPrevMonth); }
void DatePicker::NextMonth() { Step(&GridNextMonth); }
void DatePicker::NextYear() { Step(&GridNextYear); }

void DatePicker::SetTodayHint(const QString& hint) { Ldzisiaj_->setToolTip(hint); }

QPoint DatePicker::PointOfDay(int day) const
{
    const QString text = QString::number(day);
    for (int i = 0; i < MonthGrid::kCells; ++i)
        if (grid_.Cells[size_t(i)] == text)
            return ImCalendar_->pos()
                   + QPoint(grid_.OriginX + i % 7 * grid_.CellWidth + grid_.CellWidth / 2,
                            grid_.OriginY + i / 7 * grid_.CellHeight + grid_.CellHeight / 2);
    return {};
}

QRect DatePicker::PlaceOf(const char* name)
{
    const struct {
        const char* name;
        layout::Rect place;
    } places[] = {
        {"LPrevYear", lp::kPrevYear}, {"LPrevMonth", lp::kPrevMonth}, {"LNextMonth", lp::kNextMonth},
        {"LNextYear", lp::kNextYear}, {"Ldzisiaj", lp::kDzisiaj},     {"LData", lp::kData},
        {"ImCalendar", lp::kCalendar}, {"ImKalendarz", lp::kPanel},
    };
    for (const auto& p : places)
        if (std::strcmp(p.name, name) == 0)
            return ToQRect(p.place);
    return {};
}

} // namespace remindo
