#include "windows/kalendarz.h"

#include "calendar/monthgrid.h"
#include "windows/datepicker.h"

#include "dates/datetools.h"
#include "dates/holidays.h"
#include "app/appstate.h"
#include "store/codec.h"

#include <QComboBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QKeyEvent>
#include <QWheelEvent>

#include <algorithm>

namespace remindo {

namespace {

namespace lk = layout::kalendarz;

constexpr int kLastLineRoom = 349; // the viewport's height less one line
constexpr int kLargeStep = 200;
constexpr int kSmallStep = 100;
constexpr size_t kMaxListedChars = 58;

QString FromCp(const std::string& cp1250)
{
    return QString::fromStdString(Utf8FromCp1250(cp1250));
}

// A reminder's text on one line: its lines joined by blanks, and cut after
// 58 characters.
QString ListedText(std::string text)
{
    std::replace(text.begin(), text.end(), '+', ' ');
    if (text.size() > kMaxListedChars)
        text = text.substr(0, kMaxListedChars) + "...";
    return FromCp(text);
}

} // namespace

const char* const TFkalendarz::kChoices[3] = {"bieżący tydzień", "następny tydzień",
                                               "wskażę interesujący mnie tydzień"};

// `ImgKalendarz`: the band of the listing under the viewport, at the scroll
// bar's position. A click cancels a pending pick; the wheel scrolls. It
// holds the window's keyboard (in place of an unseen focus button): the
// arrows scroll a line, Page Up and Down a large step, Home and End to
// the ends; a screen reader reads the lines it shows.
class TFkalendarz::ListingView final : public QWidget {
public:
    ListingView(QWidget* parent, TFkalendarz& owner) : QWidget(parent), owner_(owner)
    {
        setObjectName(QStringLiteral("ImgKalendarz"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::TabFocus);
        setAccessibleName(QStringLiteral("Oto wykaz zdarzeń w wybranym tygodniu"));
    }
    QString ShownText() const { return owner_.listing_.TextOfBand(owner_.Listwa_->value(), height()); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        owner_.listing_.PaintBand(p, owner_.Listwa_->value(), height());
        if (hasFocus())
            DrawFocusMark(p, rect());
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        QScrollBar& bar = *owner_.Listwa_;
        switch (e->key()) {
        case Qt::Key_Up: bar.setValue(bar.value() - WeekListing::kLineStep); break;
        case Qt::Key_Down: bar.setValue(bar.value() + WeekListing::kLineStep); break;
        case Qt::Key_PageUp: bar.triggerAction(QAbstractSlider::SliderPageStepSub); break;
        case Qt::Key_PageDown: bar.triggerAction(QAbstractSlider::SliderPageStepAdd); break;
        case Qt::Key_Home: bar.triggerAction(QAbstractSlider::SliderToMinimum); break;
        case Qt::Key_End: bar.triggerAction(QAbstractSlider::SliderToMaximum); break;
        default: QWidget::keyPressEvent(e); return;
        }
        e->accept();
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        e->accept();
        if (e->button() == Qt::LeftButton)
            owner_.CancelPick();
    }
    void wheelEvent(QWheelEvent* e) override
    {
        e->accept();
        const int notches = e->angleDelta().y() / 120;
        owner_.Listwa_->setValue(owner_.Listwa_->value() - notches * 3 * WeekListing::kLineStep);
    }

private:
    TFkalendarz& owner_;
};

TFkalendarz::TFkalendarz(AppState& state, QWidget* parent, HelpOpener* help)
    : PictureWindow(QSize(lk::kWindow.w, lk::kWindow.h), QStringLiteral("tlo_kalendarz"), kPlain, parent),
      state_(state), calendarDate_(state.clock().Today())
{
    setObjectName(QStringLiteral("TFkalendarz"));
    setWindowTitle(QStringLiteral("Remindo - kalendarz"));
    AddDragBar(ToQRect(lk::kListwa));
    EnableHelpKey(help);
    connect(Background(), &ClickArea::clicked, this, &TFkalendarz::CancelPick); // ImTloClick

    const QString weekChoice = QStringLiteral("Wskaż interesujący Cię tydzień");
    const FramelessCombo box = MakeFramelessCombo(this, ToQRect(lk::kKtoryPanel),
                                                  layout::ComboWidth(lk::kKtoryPanel), 3, weekChoice);
    PBoxKtory_ = box.panel;
    PBoxKtory_->setObjectName(QStringLiteral("PBoxKtory"));
    KtoryBox_ = box.combo;
    KtoryBox_->setObjectName(QStringLiteral("KtoryBox"));
    for (const char* choice : kChoices)
        KtoryBox_->addItem(QString::fromUtf8(choice));
    KtoryBox_->setCurrentIndex(0);
    connect(KtoryBox_, &QComboBox::activated, this, &TFkalendarz::KtoryBoxChange);

    LRozwinKalendarz_ = AddClickArea(ToQRect(lk::kRozwinKalendarz));
    LRozwinKalendarz_->setObjectName(QStringLiteral("LRozwinKalendarz"));
    LRozwinKalendarz_->setAccessibleName(weekChoice);
    LRozwinKalendarz_->setFocusPolicy(Qt::NoFocus); // Tab reaches the list box itself
    connect(LRozwinKalendarz_, &ClickArea::clicked, this, &TFkalendarz::LRozwinKalendarzClick);

    PPodImgKalendarz_ = new QWidget(this);
    PPodImgKalendarz_->setObjectName(QStringLiteral("PPodImgKalendarz"));
    PPodImgKalendarz_->setGeometry(ToQRect(lk::kPodImgKalendarz));
    PPodImgKalendarz_->setAutoFillBackground(true);
    QPalette white = PPodImgKalendarz_->palette();
    white.setColor(QPalette::Window, Qt::white);
    PPodImgKalendarz_->setPalette(white);

    Listwa_ = new ListingScrollBar(PPodImgKalendarz_, lk::kPodImgKalendarz.h);
    Listwa_->setGeometry(ToQRect(lk::kListwaScroll));
    Listwa_->setSingleStep(kSmallStep);
    Listwa_->setPageStep(kLargeStep);
    Listwa_->setMaximum(0);
    Listwa_->setAccessibleName(QStringLiteral("Przewijanie wykazu"));
    connect(Listwa_, &QScrollBar::valueChanged, this, &TFkalendarz::ListwaChange);
    connect(Listwa_, &ListingScrollBar::mouseDown, this, &TFkalendarz::CancelPick);

    ImgKalendarz_ = new ListingView(PPodImgKalendarz_, *this);
    ImgKalendarz_->setGeometry(0, 0, WeekListing::kWidth, lk::kPodImgKalendarz.h);

    LClose_ = AddClickArea(ToQRect(lk::kClose), true, QStringLiteral("Zamknij"));
    LClose_->setObjectName(QStringLiteral("LClose"));
    connect(LClose_, &ClickArea::clicked, this, &TFkalendarz::LCloseClick);

    // FormCreate: the picker's grid is set up as the editor's and on today.
    PKalendarz_ = new DatePicker(state_.formats(), state_.clock(), this);
    PKalendarz_->move(lk::kKalendarz.x, lk::kKalendarz.y);
    PKalendarz_->Close();
    PKalendarz_->SetReturnFocus(KtoryBox_);
    SetCalendarDate(calendarDate_);
    std::vector<QWidget*> order{KtoryBox_};
    for (QWidget* stop : PKalendarz_->Stops())
        order.push_back(stop);
    order.push_back(ImgKalendarz_);
    order.push_back(LClose_);
    SetReadingOrder(order);
    // The arrows step CalendarDate; the listing stays until a day is picked.
    connect(PKalendarz_, &DatePicker::stepped, this, [this](Date d) { calendarDate_ = d; });
    connect(PKalendarz_, &DatePicker::gridPressed, this, &TFkalendarz::ImCalendarMouseDown);
    connect(PKalendarz_, &DatePicker::todayClicked, this, &TFkalendarz::LdzisiajClick);
    connect(PKalendarz_, &DatePicker::backgroundClicked, this, &TFkalendarz::CancelPick);
    // Escape folds an open picker away first, then closes.
    EnableEscape([this] { PKalendarz_->IsOpen() ? CancelPick() : LCloseClick(); });
    // The listing is drawn at the first opening, not at start-up.
    state_.session().FollowList([self = QPointer<TFkalendarz>(this)] {
        if (self)
            self->ListChanged();
    });
}

void TFkalendarz::ListChanged()
{
    // A hidden window lists the week afresh when it opens.
    if (!isVisible() || refreshPending_)
        return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] {
        refreshPending_ = false;
        if (isVisible())
            RefreshWeek();
    });
}

void TFkalendarz::RefreshWeek()
{
    const int position = Listwa_->value();
    ShowWeek(shownWeek_);
    Listwa_->setValue(position); // as far down as the new listing reaches
}

QWidget* TFkalendarz::ButFocus() const
{
    return ImgKalendarz_;
}

void TFkalendarz::SetCalendarDate(Date date)
{
    calendarDate_ = date;
    PKalendarz_->SetDate(date);
}

void TFkalendarz::Open()
{
    SetCalendarDate(state_.engineState().DataAkt);
    ShowWeek(calendarDate_);
    PKalendarz_->Close();
    KtoryBox_->setCurrentIndex(0);
    lastWeekChoice_ = 0;
    CenterOnScreen();
    show();
    raise();
    activateWindow();
    FocusButFocus();
}

void TFkalendarz::ShowWeek(Date date)
{
    shownWeek_ = date;
    listing_.Begin(QStringLiteral("Oto wykaz zdarzeń w wybranym tygodniu"));
    const Komunikaty& list = state_.list();
    for (const Zdarzenie& day : state_.ExamineWeek(date)) {
        listing_.AddBigBar();
        listing_.AddText(FromCp(state_.formats().ShortDate(day.Dzien) + " - " +
                                std::string(DayName(WeekdayOfDate(day.Dzien)))));
        // A public holiday goes with its day's heading, not with the reminders.
        const std::string_view holiday = PolishHoliday(day.Dzien);
        if (!holiday.empty())
            listing_.AddText(FromCp(std::string(holiday)));
        listing_.AddSmallBar();
        if (day.Zdarzenia.empty())
            listing_.AddText(QStringLiteral("Brak zdarzeń w tym dniu."));
        for (const int32_t i : day.Zdarzenia) {
            if (i < 0 || i >= list.ReminderCount())
                continue;
            const Komunikat& k = list[i];
            listing_.AddText(ListedText(k.Tresc), k.Blok == 1);
        }
    }
    Listwa_->setMaximum(std::max(listing_.ListingY() - kLastLineRoom, 0));
    Listwa_->setValue(0);
    ListwaChange(0);
}

QImage TFkalendarz::VisibleListing() const
{
    return listing_.RenderBand(Listwa_->value(), ImgKalendarz_->height());
}

void TFkalendarz::ListwaChange(int)
{
    ImgKalendarz_->update();
    ImgKalendarz_->setAccessibleDescription(ImgKalendarz_->ShownText());
}

void TFkalendarz::FocusButFocus()
{
    ImgKalendarz_->setFocus(Qt::OtherFocusReason);
}

void TFkalendarz::DropFourthEntry()
{
    if (KtoryBox_->count() > 3)
        KtoryBox_->removeItem(3);
}

void TFkalendarz::ChooseFourthEntry()
{
    if (KtoryBox_->count() == 3)
        KtoryBox_->addItem(QString());
    KtoryBox_->setItemText(3, DateCaption(calendarDate_, state_.formats()));
    KtoryBox_->setCurrentIndex(3);
    lastWeekChoice_ = 3;
    FocusButFocus();
}

void TFkalendarz::KtoryBoxChange(int entry)
{
    switch (entry) {
    case 0:
        PKalendarz_->Close();
        SetCalendarDate(state_.engineState().DataAkt);
        DropFourthEntry();
        KtoryBox_->setCurrentIndex(0);
        FocusButFocus();
        ShowWeek(calendarDate_);
        lastWeekChoice_ = 0;
        break;
    case 1:
        PKalendarz_->Close();
        SetCalendarDate(AddDays(calendarDate_, 7));
        ShowWeek(calendarDate_);
        ChooseFourthEntry();
        break;
    case 2:
        PKalendarz_->SetDate(calendarDate_); // LData shows CalendarDate
        PKalendarz_->Open();
        if (!PKalendarz_->isAncestorOf(focusWidget())) // taken from the keyboard: the picker has it
            FocusButFocus();
        break;
    default:
        FocusButFocus();
        break;
    }
}

void TFkalendarz::LRozwinKalendarzClick()
{
    KtoryBox_->setItemText(2, QString::fromUtf8(kChoices[2]));
    lastWeekChoice_ = KtoryBox_->currentIndex();
    DropDownCombo(KtoryBox_);
}

void TFkalendarz::CancelPick()
{
    KtoryBox_->setCurrentIndex(std::clamp(lastWeekChoice_, 0, KtoryBox_->count() - 1));
    PKalendarz_->Close();
}

void TFkalendarz::ImCalendarMouseDown(QPoint gridPoint)
{
    PKalendarz_->PickAt(gridPoint);
    // The day picked names its week, a Sunday too: the week is the one
    // that ends on it.
    SetCalendarDate(PKalendarz_->Value());
    PKalendarz_->Close();
    ShowWeek(calendarDate_);
    ChooseFourthEntry();
}

void TFkalendarz::LdzisiajClick()
{
    KtoryBox_->setCurrentIndex(0);
    PKalendarz_->GoToday();
    calendarDate_ = PKalendarz_->Value();
    PKalendarz_->Close();
    ShowWeek(calendarDate_);
    DropFourthEntry();
    KtoryBox_->setCurrentIndex(0);
    lastWeekChoice_ = 0;
    FocusButFocus();
}

} // namespace remindo
