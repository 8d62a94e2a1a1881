#pragma once
// The drop-down date picker `PKalendarz` that the editor and the calendar
// window lay over their pictures: a 188 x 220 panel with the year and month
// arrows, the today button, the date caption `LData` and the month grid
// `ImCalendar`. It keeps its own month grid and date; what a click on the
// grid or on the today button means is its owner's to say, so those only
// signal. The arrows step the date themselves and then signal.

#include "calendar/monthgrid.h"
#include "dates/date.h"
#include "windows/chrome.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <vector>

namespace remindo {

class Clock;
class RegionalFormats;

class DatePicker : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCaptionPx = 11; // the heading's font, stepped down to fit
    // Hidden at first; the owner places it (move) and shows it.
    DatePicker(const RegionalFormats& formats, const Clock& clock, QWidget* parent);

    Date Value() const { return date_; }
    // The grid shows the month of `date` with its day highlighted; LData follows.
    void SetDate(Date date);
    // `GridToday`: today's date from the clock.
    void GoToday();
    // `GridClick` at a point of the grid image; true when it lay on a day.
    bool PickAt(QPoint gridPoint);
    // The four arrows, also callable directly.
    void PrevYear();
    void PrevMonth();
    void NextMonth();
    void NextYear();

    bool IsOpen() const { return !isHidden(); }
    // Opened from the keyboard, from the control it gives the keyboard back
    // to, it takes the keyboard on its grid: the arrows move the day at once.
    void Open();
    void Close();
    // Where the keyboard goes when the picker closes with it inside.
    void SetReturnFocus(QWidget* w) { returnFocus_ = w; }
    // Tab's stops on the picker, in reading order.
    std::vector<QWidget*> Stops() const;
    void Toggle() { IsOpen() ? Close() : Open(); }

    QString Caption() const; // LData's text
    void SetTodayHint(const QString& hint);

    // Where the controls lie on the picker (its own coordinates) and the grid
    // image on it, for the owners' tests.
    static QRect PlaceOf(const char* controlName);
    // At the screen's device pixel ratio; `gridPoint`s are in window pixels.
    const QImage& GridImage() const { return image_; }
    // The centre of the cell showing `day` of the shown month, in the
    // picker's coordinates; a null point when no cell shows it.
    QPoint PointOfDay(int day) const;
    const MonthGrid& Grid() const { return grid_; }

signals:
    // An arrow moved the date (the caption already follows).
    void stepped(Date date);
    // `Ldzisiaj` was clicked; GoToday is the usual answer.
    void todayClicked();
    // The mouse went down on the grid image at `gridPoint` (image pixels).
    void gridPressed(QPoint gridPoint);
    // `ImKalendarz`, the picker's background, was clicked.
    void backgroundClicked();

protected:
    bool event(QEvent* e) override;

private:
    void Redraw();
    void Step(void (*step)(QImage&, Date&, MonthGrid&));

    const RegionalFormats& formats_;
    const Clock& clock_;
    MonthGrid grid_;
    Date date_;
    QImage image_;
    ClickArea* ImKalendarz_ = nullptr;
    ClickArea* LPrevYear_ = nullptr;
    ClickArea* LPrevMonth_ = nullptr;
    ClickArea* LNextMonth_ = nullptr;
    ClickArea* LNextYear_ = nullptr;
    ClickArea* Ldzisiaj_ = nullptr;
    QLabel* LData_ = nullptr;
    QLabel* ImCalendar_ = nullptr;
    QWidget* returnFocus_ = nullptr;
};

} // namespace remindo
