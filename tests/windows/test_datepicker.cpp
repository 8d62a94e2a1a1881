// The drop-down date picker, clicked through a host window at its painted places.

#include "windows/chrome_support.h"

#include "dates/clock.h"
#include "dates/datetools.h"
#include "store/fixedformats.h"
#include "windows/datepicker.h"
#include "platform/core/qtregionalformats.h"
#include "windows/layout.h"

#include <QSignalSpy>
#include <QtMath>

using namespace remindo;
using namespace remindo::test;

namespace {

const QPoint kAt(20, 30); // the picker's corner in its host

struct Host {
    ManualClock clock{MakeDateTime(DateFromYmd(2027, 1, 31), 12, 0)};
    FixedFormats formats;
    QWidget window;
    DatePicker* picker;

    Host() : picker(new DatePicker(formats, clock, &window))
    {
        window.setFixedSize(240, 280);
        picker->move(kAt);
    }
    QPoint At(const char* control) const { return DatePicker::PlaceOf(control).center() + kAt; }
    QPoint DayAt(int day) const { return kAt + picker->PointOfDay(day); }
};

} // namespace

class TestDatePicker : public QObject {
    Q_OBJECT
private slots:
    void startsHiddenOnTodayWithItsCaption()
    {
        Host h;
        QVERIFY(!h.picker->IsOpen());
        QCOMPARE(h.picker->Value(), DateFromYmd(2027, 1, 31));
        QCOMPARE(h.picker->Caption(), QStringLiteral("31 stycznia 2027"));
        QCOMPARE(h.picker->size(), QSize(188, 220));
        h.picker->Toggle();
        QVERIFY(h.picker->IsOpen());
        h.picker->Toggle();
        QVERIFY(!h.picker->IsOpen());
    }

    void arrowsStepAndClampThenSignal()
    {
        Host h;
        h.picker->Open();
        QVERIFY(ShowExposed(h.window));
        QSignalSpy steps(h.picker, &DatePicker::stepped);

        ClickAt(h.window, h.At("LNextMonth"));
        QCOMPARE(h.picker->Value(), DateFromYmd(2027, 2, 28));
        QCOMPARE(h.picker->findChild<QLabel*>(QStringLiteral("LData"))->text(),
                 QStringLiteral("28 lutego 2027"));
        ClickAt(h.window, h.At("LNextYear"));
        QCOMPARE(h.picker->Value(), DateFromYmd(2028, 2, 28));
        ClickAt(h.window, h.At("LPrevMonth"));
        QCOMPARE(h.picker->Value(), DateFromYmd(2028, 1, 28));
        ClickAt(h.window, h.At("LPrevYear"));
        QCOMPARE(h.picker->Value(), DateFromYmd(2027, 1, 28));
        QCOMPARE(steps.count(), 4);
        QCOMPARE(steps.last().at(0).value<Date>(), DateFromYmd(2027, 1, 28));
    }

    void gridAndTodayOnlySignal()
    {
        Host h;
        h.picker->SetDate(DateFromYmd(2027, 3, 1));
        h.picker->Open();
        QVERIFY(ShowExposed(h.window));
        QSignalSpy presses(h.picker, &DatePicker::gridPressed);
        QSignalSpy today(h.picker, &DatePicker::todayClicked);
        QSignalSpy background(h.picker, &DatePicker::backgroundClicked);

        const QPoint fifteen = h.DayAt(15);
        ClickAt(h.window, fifteen);
        QCOMPARE(presses.count(), 1);
        const QPoint inGrid = presses.at(0).at(0).toPoint();
        QCOMPARE(inGrid, fifteen - kAt - DatePicker::PlaceOf("ImCalendar").topLeft());
        QCOMPARE(h.picker->Value(), DateFromYmd(2027, 3, 1)); // the owner decides
        QVERIFY(h.picker->PickAt(inGrid));
        QCOMPARE(h.picker->Value(), DateFromYmd(2027, 3, 15));
        QVERIFY(!h.picker->PickAt(QPoint(1, 10))); // the grid's edge
        QCOMPARE(h.picker->Value(), DateFromYmd(2027, 3, 15));

        ClickAt(h.window, h.At("Ldzisiaj"));
        QCOMPARE(today.count(), 1);
        h.picker->GoToday();
        QCOMPARE(h.picker->Value(), DateFromYmd(2027, 1, 31));

        ClickAt(h.window, kAt + QPoint(3, 210)); // the panel below the grid
        QCOMPARE(background.count(), 1);
        QCOMPARE(presses.count(), 1);
    }

    void theGridImageShowsTheHighlightedDay()
    {
        Host h;
        h.picker->SetDate(DateFromYmd(2027, 3, 15));
        const QImage& image = h.picker->GridImage();
        const qreal ratio = image.devicePixelRatio(); // drawn at the screen's pixels
        QCOMPARE(ratio, h.picker->devicePixelRatioF());
        QCOMPARE(image.size(), QSize(qCeil(169 * ratio), qCeil(137 * ratio)));
        QCOMPARE(image.pixelColor(QPoint(3, 2 * 22 + 3) * ratio), QColor(231, 228, 233)); // cell 14, the 15th
        QCOMPARE(image.pixelColor(QPoint(3, 3) * ratio), QColor(Qt::white));
    }

    // The long date of every day of a year, in Polish with its weekday
    // ("poniedziałek, 14 grudnia 2026"), fits every place that shows it at
    // the window's font: the editor's date, the picker's heading and the
    // calendar's week list.
    void longestDateFitsItsPlaces()
    {
        const QtRegionalFormats polish(QLocale(QLocale::Polish, QLocale::Poland));
        const QFontMetrics fm(WindowFont());
        QString widest;
        for (Date d = DateFromYmd(2028, 1, 1); d < DateFromYmd(2029, 1, 1); d = IncDay(d, 1)) {
            const QString caption = DateCaption(d, polish);
            if (fm.horizontalAdvance(caption) > fm.horizontalAdvance(widest))
                widest = caption;
        }
        namespace l = remindo::layout;
        for (int width : {l::wprowadzane::kWybData.w, l::kalendarz::kKtoryPanel.w})
            QVERIFY2(fm.horizontalAdvance(widest) <= width, qPrintable(widest));
        // The picker's heading, narrower, at a smaller step.
        ManualClock clock(MakeDateTime(DateFromYmd(2028, 10, 16), 9, 0));
        DatePicker picker(polish, clock, nullptr);
        picker.SetDate(DateFromYmd(2028, 10, 16));
        const QLabel* heading = picker.findChild<QLabel*>(QStringLiteral("LData"));
        QCOMPARE(heading->text(), widest);
        QVERIFY(QFontMetrics(heading->font()).horizontalAdvance(widest) <= heading->width());
    }
};

QTEST_MAIN(TestDatePicker)
#include "test_datepicker.moc"
