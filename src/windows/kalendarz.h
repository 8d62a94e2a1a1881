#pragma once
// The calendar window `TFkalendarz`: for a chosen week (this one, the next,
// or one picked in the drop-down month grid) a scrollable listing of the
// reminders that fall on each of its days. It reads the reminder list and
// never changes it.

#include "windows/listing.h"
#include "dates/date.h"
#include "windows/chrome.h"

class QComboBox;

namespace remindo {

class AppState;
class DatePicker;
class HelpOpener;

class TFkalendarz final : public PictureWindow {
    Q_OBJECT
public:
    // `help` null means the program-wide help opener.
    explicit TFkalendarz(AppState& state, QWidget* parent = nullptr, HelpOpener* help = nullptr);

    // The current week, entry 0 chosen, the picker hidden; shown modelessly.
    void Open();
    // Examines the week that holds `date` and lists it from the top.
    void ShowWeek(Date date);
    // The list changed underneath (read again, written, a deletion): the
    // week shown is examined again, where it was scrolled to, once the
    // event loop comes back.
    void ListChanged();
    bool RefreshPending() const { return refreshPending_; }

    Date CalendarDate() const { return calendarDate_; }
    int LastWeekChoice() const { return lastWeekChoice_; }
    QComboBox* KtoryBox() const { return KtoryBox_; }
    ListingScrollBar* Listwa() const { return Listwa_; }
    const WeekListing& Listing() const { return listing_; }
    DatePicker* PKalendarz() const { return PKalendarz_; }
    QWidget* Viewport() const { return PPodImgKalendarz_; }
    // What takes the keyboard at the opening: the listing.
    QWidget* ButFocus() const;

    // The listing as the viewport shows it now.
    QImage VisibleListing() const;

    static const char* const kChoices[3];

private:
    class ListingView;

    void KtoryBoxChange(int entry);
    void LRozwinKalendarzClick();
    void CancelPick(); // ImKalendarzClick, ImTloClick, ListwaMouseDown
    void ImCalendarMouseDown(QPoint gridPoint);
    void LdzisiajClick();
    // CalendarDate changes, and the picker's grid follows (ShowMonth).
    void SetCalendarDate(Date date);
    void ListwaChange(int position);
    void LCloseClick() { hide(); }
    // Shows `calendarDate_`'s week as the fourth entry of the week choice.
    void ChooseFourthEntry();
    void DropFourthEntry();
    void FocusButFocus();

    void RefreshWeek();

    AppState& state_;
    Date calendarDate_;
    Date shownWeek_;  // the date ShowWeek last listed; the picker's arrows move only CalendarDate
    bool refreshPending_ = false;
    int lastWeekChoice_ = 0;
    WeekListing listing_;

    QWidget* PBoxKtory_ = nullptr;
    QComboBox* KtoryBox_ = nullptr;
    ClickArea* LRozwinKalendarz_ = nullptr;
    ClickArea* LClose_ = nullptr;
    QWidget* PPodImgKalendarz_ = nullptr;
    ListingView* ImgKalendarz_ = nullptr;
    ListingScrollBar* Listwa_ = nullptr;
    DatePicker* PKalendarz_ = nullptr;
};

} // namespace remindo
