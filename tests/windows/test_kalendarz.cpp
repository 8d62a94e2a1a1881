// The calendar window, driven through its window: the listing of a week, the
// week choice, cancelling a pick, scrolling a listing of any length, F1.

#include "windows/chrome_support.h"

#include "windows/kalendarz.h"
#include "calendar/monthgrid.h"
#include "windows/datepicker.h"
#include "dates/datetools.h"
#include "app/staterig.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QWheelEvent>
#include <QComboBox>
#include <QDir>
#include <QTest>

using namespace remindo;
using namespace remindo::test;

namespace {

namespace lk = layout::kalendarz;

// Tuesday 8 December 2026: the week runs from Monday 7 to Sunday 13.
const Date kToday = DateFromYmd(2026, 12, 8);

// Reminders are added before the window exists, as the data file would.
struct Rig : StateRig {
    RecordingHelpOpener help;
    std::unique_ptr<TFkalendarz> window;

    Rig() : StateRig(kToday) {}

    bool Open()
    {
        if (!window)
            window = std::make_unique<TFkalendarz>(state, nullptr, &help);
        window->Open();
        return QTest::qWaitForWindowExposed(window.get());
    }

    QStringList Texts() const
    {
        QStringList texts;
        for (const ListingLine& l : window->Listing().Lines())
            if (l.kind == ListingLine::kText)
                texts << l.text;
        return texts;
    }

    const ListingLine* LineWith(const QString& text) const
    {
        for (const ListingLine& l : window->Listing().Lines())
            if (l.text == text)
                return &l;
        return nullptr;
    }

    // Chooses an entry of the week choice the way the user does: the arrow
    // painted beside it opens the list, and the entry is taken from it.
    void Choose(int entry)
    {
        ClickOn(*window, ToQRect(lk::kRozwinKalendarz));
        QAbstractItemView* view = window->KtoryBox()->view();
        QVERIFY(view->isVisible());
        view->setCurrentIndex(window->KtoryBox()->model()->index(entry, 0));
        QTest::keyClick(view, Qt::Key_Return);
        QVERIFY(!view->isVisible());
    }

    // One notch of the wheel, to whatever control is under the point.
    void WheelAt(QPoint p, int delta)
    {
        QWidget* target = window->childAt(p);
        QVERIFY(target);
        const QPointF local = target->mapFrom(window.get(), QPointF(p));
        QWheelEvent wheel(local, window->mapToGlobal(QPointF(p)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
    }

    // A point of the open picker, in window pixels.
    QPoint InPicker(QPoint p) const { return ToQRect(lk::kKalendarz).topLeft() + p; }
    QPoint PickerControl(const char* name) const
    {
        return InPicker(DatePicker::PlaceOf(name).center());
    }
    // The middle of the grid cell that shows `day` of the shown month.
    QPoint GridDay(int day) const
    {
        const MonthGrid& g = window->PKalendarz()->Grid();
        for (int i = 0; i < MonthGrid::kCells; ++i)
            if (g.Cells[size_t(i)] == QString::number(day))
                return InPicker(ToQRect(layout::picker::kCalendar).topLeft() +
                                QPoint(g.OriginX + (i % 7) * g.CellWidth + g.CellWidth / 2,
                                       g.OriginY + (i / 7) * g.CellHeight + g.CellHeight / 2));
        return {};
    }

    // A point in the listing's viewport, in window pixels.
    QPoint InListing(QPoint p) const { return ToQRect(lk::kPodImgKalendarz).topLeft() + p; }
    QPoint InBar(QPoint p) const
    {
        return ToQRect(lk::kPodImgKalendarz).topLeft() + ToQRect(lk::kListwaScroll).topLeft() + p;
    }
};

// Pixels of `colour` (give or take the font's smoothing) in a row band.
int InkPixels(const QImage& img, int top, int height, QColor colour)
{
    int n = 0;
    for (int y = std::max(top, 0); y < std::min(top + height, img.height()); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) < 12 && std::abs(c.green() - colour.green()) < 12 &&
                std::abs(c.blue() - colour.blue()) < 12)
                ++n;
        }
    return n;
}

// The darkest pixel of a row band: a line's full ink, where the font's
// smoothing has left it whole.
QColor DarkestInk(const QImage& img, int top, int height)
{
    QColor darkest = Qt::white;
    for (int y = std::max(top, 0); y < std::min(top + height, img.height()); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.lightness() < darkest.lightness())
                darkest = c;
        }
    return darkest;
}

bool Near(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) < 16 && std::abs(a.green() - b.green()) < 16 &&
           std::abs(a.blue() - b.blue()) < 16;
}

} // namespace

class TestKalendarz : public QObject {
    Q_OBJECT

private slots:
    void emptyWeek()
    {
        Rig r;
        QVERIFY(r.Open());
        QCOMPARE(r.window->CalendarDate(), kToday);
        QCOMPARE(r.window->KtoryBox()->currentIndex(), 0);
        QCOMPARE(r.window->KtoryBox()->count(), 3);
        QCOMPARE(r.window->KtoryBox()->currentText(), QStringLiteral("bieżący tydzień"));
        QCOMPARE(r.window->Listing().ListingY(), 509);
        QCOMPARE(r.window->Listwa()->maximum(), 160);
        QCOMPARE(r.window->Listwa()->value(), 0);
        QCOMPARE(r.window->Listwa()->pageStep(), 200);
        QCOMPARE(r.window->Listwa()->singleStep(), 100);
        QVERIFY(!r.window->PKalendarz()->isVisible());

        const QStringList texts = r.Texts();
        QCOMPARE(texts.size(), 14);
        QCOMPARE(texts[0], QStringLiteral("7.12.2026 - poniedziałek"));
        QCOMPARE(texts[12], QStringLiteral("13.12.2026 - niedziela"));
        QCOMPARE(texts.count(QStringLiteral("Brak zdarzeń w tym dniu.")), 7);
        const auto& lines = r.window->Listing().Lines();
        QCOMPARE(lines.front().kind, ListingLine::kTitle);
        QCOMPARE(lines.front().text, QStringLiteral("Oto wykaz zdarzeń w wybranym tygodniu"));
        QCOMPARE(lines.front().y, 5);
        // bar, day, small bar, text: one line apart each
        QCOMPARE(lines[1].kind, ListingLine::kBigBar);
        QCOMPARE(lines[1].y, 23);
        QCOMPARE(lines[2].y, 41);
        QCOMPARE(lines[3].kind, ListingLine::kSmallBar);
        QCOMPARE(lines[3].y, 59);
        QCOMPARE(lines[4].y, 77);

        // The title is bold and centred over the text column; the bars are drawn.
        const QImage shown = r.window->VisibleListing();
        QVERIFY(InkPixels(shown, 5, 14, kValueTextColour) > 40);
        QVERIFY(InkPixels(shown, 23, 6, QColor(60, 117, 151)) > 20);
        QCOMPARE(shown.size(), QSize(387, lk::kPodImgKalendarz.h));
    }

    void holidaysUnderTheirDays()
    {
        Rig r;
        r.Add("Prezenty+", DateFromYmd(2026, 12, 25));
        QVERIFY(r.Open());
        r.Choose(1);
        r.Choose(1); // 21 to 27 December 2026
        const QStringList texts = r.Texts();
        const auto after = [&](const QString& day) { return texts.mid(texts.indexOf(day) + 1, 2); };
        // Not a reminder: a holiday without any still says there is none.
        QCOMPARE(after(QStringLiteral("24.12.2026 - czwartek")),
                 QStringList({QStringLiteral("Wigilia Bożego Narodzenia"), QStringLiteral("Brak zdarzeń w tym dniu.")}));
        QCOMPARE(after(QStringLiteral("25.12.2026 - piątek")),
                 QStringList({QStringLiteral("Pierwszy dzień Bożego Narodzenia"), QStringLiteral("Prezenty ")}));
        QCOMPARE(after(QStringLiteral("23.12.2026 - środa")).first(), QStringLiteral("Brak zdarzeń w tym dniu."));
        // One line under the day's heading, above its small bar.
        const ListingLine* heading = r.LineWith(QStringLiteral("26.12.2026 - sobota"));
        const ListingLine* holiday = r.LineWith(QStringLiteral("Drugi dzień Bożego Narodzenia"));
        QVERIFY(heading && holiday);
        QCOMPARE(holiday->y, heading->y + WeekListing::kLineStep);
        QCOMPARE((holiday + 1)->kind, ListingLine::kSmallBar);
        // three holidays, and a reminder in place of one "Brak zdarzeń"
        QCOMPARE(r.window->Listing().ListingY(), 509 + 3 * WeekListing::kLineStep);
    }

    void listedTexts()
    {
        Rig r;
        const std::string exact(58, 'x');
        const std::string longer = std::string(57, 'y') + "źz";
        r.Add(exact + "+", kToday);
        r.Add(longer + "+", kToday);
        r.Add("a+b+", kToday);
        r.Add("Zażółć gęślą+jaźń+", kToday);
        QVERIFY(r.Open());
        const QStringList texts = r.Texts();
        QVERIFY(texts.contains(QString::fromStdString(exact + " ")) == false); // 59 with the blank
        QVERIFY(texts.contains(QString::fromStdString(exact) + QStringLiteral("...")));
        QVERIFY(texts.contains(QString::fromStdString(std::string(57, 'y')) + QStringLiteral("ź...")));
        QVERIFY(texts.contains(QStringLiteral("a b ")));
        QVERIFY(texts.contains(QStringLiteral("Zażółć gęślą jaźń ")));

        // Exactly 58 characters stay whole.
        Rig s;
        s.Add(exact, kToday);
        QVERIFY(s.Open());
        QVERIFY(s.Texts().contains(QString::fromStdString(exact)));
    }

    void blockedRemindersInGrey()
    {
        Rig r;
        r.Add("zablokowane+", kToday, 0, 1);
        r.Add("zwykłe+", kToday, 0, 0);
        QVERIFY(r.Open());
        const ListingLine* blocked = r.LineWith(QStringLiteral("zablokowane "));
        const ListingLine* plain = r.LineWith(QStringLiteral("zwykłe "));
        QVERIFY(blocked && plain);
        QVERIFY(blocked->blocked);
        QVERIFY(!plain->blocked);
        const QImage shown = r.window->VisibleListing();
        QVERIFY(Near(DarkestInk(shown, blocked->y, 14), QColor(174, 174, 174)));
        QVERIFY(Near(DarkestInk(shown, plain->y, 14), kValueTextColour));
    }

    // The list changing underneath an open calendar (another program's
    // file read again, a save after a deletion, a reminder window's answer)
    // shows in the week it lists, where it was scrolled to.
    void followsTheListUnderneath_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("week"); // the week choice's entry taken first
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<bool>("dentistGrey");
        QTest::newRow("another writer") << "reload" << 0 << QStringList{"Z importu "} << false;
        QTest::newRow("another writer, next week") << "reload" << 1 << QStringList{"W przyszłym tygodniu "} << false;
        QTest::newRow("deleted and saved") << "delete" << 0 << QStringList{"Fryzjer "} << false;
        QTest::newRow("blocked in the reminder window") << "block" << 0 << QStringList{"Dentysta ", "Fryzjer "} << true;
    }

    void followsTheListUnderneath()
    {
        QFETCH(QString, change);
        QFETCH(int, week);
        QFETCH(QStringList, listed);
        QFETCH(bool, dentistGrey);
        Rig r;
        r.Add("Dentysta+", kToday);
        r.Add("Fryzjer+", DateFromYmd(2026, 12, 10));
        QVERIFY(QDir().mkpath(QString::fromStdString(r.state.settingsFile.GetPaths().settingsFolder)));
        QVERIFY(r.state.session().SaveList());
        QVERIFY(r.Open());
        if (week)
            r.Choose(week);
        const Date shownDate = r.window->CalendarDate();
        r.window->Listwa()->setValue(100);
        if (change == "reload") {
            Komunikaty other;
            other.AddReminder(Cp("Z importu+"), DateFromYmd(2026, 12, 9), 0, 0, 0, 0, 1, kToday);
            other.AddReminder(Cp("W przyszłym tygodniu+"), DateFromYmd(2026, 12, 15), 0, 0, 0, 0, 1, kToday);
            QVERIFY(r.state.dataFile.SaveDataFile(other));
            QCOMPARE(r.state.session().ReloadDataFile(), int(kLoaded));
        } else if (change == "delete") {
            r.state.list.SelectedIndex = 0;
            r.state.session().DeleteSelected();
            QVERIFY(r.state.session().SaveList());
        } else {
            QVERIFY(r.state.session().SaveReminderChange(0, [](Komunikat& k) { k.Blok = 1; }));
        }
        QTRY_VERIFY(!r.window->RefreshPending());
        QStringList reminders;
        for (const QString& t : r.Texts())
            if (t.endsWith(QLatin1Char(' ')))
                reminders << t;
        QCOMPARE(reminders, listed);
        if (dentistGrey)
            QVERIFY(r.LineWith(QStringLiteral("Dentysta "))->blocked);
        QCOMPARE(r.window->Listwa()->value(), 100);
        QCOMPARE(r.window->CalendarDate(), shownDate);
        QCOMPARE(r.window->KtoryBox()->currentIndex(), week ? 3 : 0);
    }

    // Each choice of the next week moves one more week on.
    void nextWeekTwice()
    {
        Rig r;
        r.Add("za tydzień+", AddDays(kToday, 7));
        r.Add("za dwa tygodnie+", AddDays(kToday, 14));
        QVERIFY(r.Open());
        r.Choose(1);
        QCOMPARE(r.window->CalendarDate(), AddDays(kToday, 7));
        QCOMPARE(r.window->KtoryBox()->count(), 4);
        QCOMPARE(r.window->KtoryBox()->currentIndex(), 3);
        QCOMPARE(r.window->KtoryBox()->currentText(), QStringLiteral("15 grudnia 2026"));
        QVERIFY(r.Texts().contains(QStringLiteral("za tydzień ")));
        QCOMPARE(r.Texts()[0], QStringLiteral("14.12.2026 - poniedziałek"));
        QCOMPARE(r.window->LastWeekChoice(), 3);

        r.Choose(1);
        QCOMPARE(r.window->CalendarDate(), AddDays(kToday, 14));
        QCOMPARE(r.window->KtoryBox()->count(), 4);
        QCOMPARE(r.window->KtoryBox()->currentText(), QStringLiteral("22 grudnia 2026"));
        QVERIFY(r.Texts().contains(QStringLiteral("za dwa tygodnie ")));
        QVERIFY(!r.Texts().contains(QStringLiteral("za tydzień ")));

        // Back to this week: the fourth entry goes.
        r.Choose(0);
        QCOMPARE(r.window->CalendarDate(), kToday);
        QCOMPARE(r.window->KtoryBox()->count(), 3);
        QCOMPARE(r.window->KtoryBox()->currentIndex(), 0);
        QCOMPARE(r.Texts().count(QStringLiteral("Brak zdarzeń w tym dniu.")), 7);

        // The fourth entry stays between openings; opening shows this week.
        r.Choose(1);
        r.window->hide();
        QVERIFY(r.Open());
        QCOMPARE(r.window->KtoryBox()->count(), 4);
        QCOMPARE(r.window->KtoryBox()->currentIndex(), 0);
        QCOMPARE(r.Texts()[0], QStringLiteral("7.12.2026 - poniedziałek"));
    }

    // A click on the listing, the background or the scroll bar while the
    // picker is open closes it and returns the choice to its entry.
    void cancellingAPick()
    {
        Rig r;
        QVERIFY(r.Open());
        r.Choose(1);
        const QStringList before = r.Texts();
        for (int where = 0; where < 4; ++where) {
            r.Choose(2);
            QVERIFY(r.window->PKalendarz()->isVisible());
            QCOMPARE(r.window->KtoryBox()->currentIndex(), 2);
            if (where == 0)
                ClickAt(*r.window, r.InListing(QPoint(300, 330)));
            else if (where == 1)
                ClickAt(*r.window, QPoint(20, 470));
            else if (where == 2)
                ClickAt(*r.window, r.InBar(QPoint(8, 300)));
            else
                ClickAt(*r.window, r.PickerControl("LData")); // the picker's own background
            QVERIFY(!r.window->PKalendarz()->isVisible());
            QCOMPARE(r.window->KtoryBox()->currentIndex(), 3);
            QCOMPARE(r.window->CalendarDate(), AddDays(kToday, 7));
            QCOMPARE(r.Texts(), before);
        }
    }

    // More lines than 1200 pixels hold: the listing grows and every line can
    // be scrolled into view, while the picture drawn stays the viewport's.
    void longWeekIsAllReachable()
    {
        Rig r;
        for (int i = 0; i < 60; ++i) // daily from the week's Monday: on all its seven days
            r.Add("codzienne " + std::to_string(i) + "+", IncDay(kToday, -1), -1);
        QVERIFY(r.Open());
        const int end = r.window->Listing().ListingY();
        QCOMPARE(end, 5 + 7 * (3 + 60) * 18);
        QVERIFY(end > 1200);
        QCOMPARE(r.window->Listwa()->maximum(), end - 349);

        // The down arrow steps by 100; the track by 200; the wheel by lines.
        const QRect bar = ToQRect(lk::kListwaScroll);
        ClickAt(*r.window, r.InBar(QPoint(8, bar.height() - 8)));
        QCOMPARE(r.window->Listwa()->value(), 100);
        ClickAt(*r.window, r.InBar(QPoint(8, bar.height() - 30)));
        QCOMPARE(r.window->Listwa()->value(), 300);
        r.WheelAt(r.InListing(QPoint(100, 100)), -120);
        QCOMPARE(r.window->Listwa()->value(), 354);

        // Dragged to the bottom, the last line is in view, whole.
        const QRect slider = r.window->Listwa()->Slider();
        PressAt(*r.window, r.InBar(slider.center()));
        QTest::mouseMove(r.window->windowHandle(), r.InBar(QPoint(8, bar.height() + 50)));
        ReleaseAt(*r.window, r.InBar(QPoint(8, bar.height() + 50)));
        QCOMPARE(r.window->Listwa()->value(), r.window->Listwa()->maximum());
        const ListingLine& last = r.window->Listing().Lines().back();
        QCOMPARE(last.text, QStringLiteral("codzienne 59 "));
        const int shownAt = last.y - r.window->Listwa()->value();
        QVERIFY(shownAt >= 0 && shownAt + 14 <= lk::kPodImgKalendarz.h);
        const QImage shown = r.window->VisibleListing();
        QCOMPARE(shown.height(), lk::kPodImgKalendarz.h);
        QVERIFY(Near(DarkestInk(shown, shownAt, 14), kValueTextColour));

        // The up arrow steps back; a new week starts at the top again.
        ClickAt(*r.window, r.InBar(QPoint(8, 8)));
        QCOMPARE(r.window->Listwa()->value(), r.window->Listwa()->maximum() - 100);
        r.Choose(1);
        QCOMPARE(r.window->Listwa()->value(), 0);
    }

    // The picker: its arrows move the date without listing; a day shows its
    // week, a Sunday the week that ends on it, named by the Sunday itself.
    void pickingAWeek()
    {
        Rig r;
        r.Add("w styczniu+", DateFromYmd(2027, 1, 14));
        QVERIFY(r.Open());
        r.Choose(2);
        DatePicker* picker = r.window->PKalendarz();
        QVERIFY(picker->isVisible());
        QCOMPARE(picker->Caption(), QStringLiteral("8 grudnia 2026"));
        const QStringList thisWeek = r.Texts();
        ClickAt(*r.window, r.PickerControl("LNextMonth"));
        QCOMPARE(r.window->CalendarDate(), DateFromYmd(2027, 1, 8));
        QCOMPARE(picker->Caption(), QStringLiteral("8 stycznia 2027"));
        QCOMPARE(r.Texts(), thisWeek);

        ClickAt(*r.window, r.GridDay(17)); // Sunday 17 January 2027
        QVERIFY(!picker->isVisible());
        QCOMPARE(r.window->CalendarDate(), DateFromYmd(2027, 1, 17));
        QCOMPARE(picker->Caption(), QStringLiteral("17 stycznia 2027"));
        QCOMPARE(r.window->KtoryBox()->count(), 4);
        QCOMPARE(r.window->KtoryBox()->currentIndex(), 3);
        QCOMPARE(r.window->KtoryBox()->currentText(), QStringLiteral("17 stycznia 2027"));
        QCOMPARE(r.window->LastWeekChoice(), 3);
        QCOMPARE(r.Texts()[0], QStringLiteral("11.01.2027 - poniedziałek"));
        QCOMPARE(r.Texts()[12], QStringLiteral("17.01.2027 - niedziela"));
        QVERIFY(r.Texts().contains(QStringLiteral("w styczniu ")));
        // The next week from a Sunday is the week that ends on the next Sunday.
        r.Choose(1);
        QCOMPARE(r.window->KtoryBox()->currentText(), QStringLiteral("24 stycznia 2027"));
        QCOMPARE(r.Texts()[0], QStringLiteral("18.01.2027 - poniedziałek"));
        QCOMPARE(r.Texts()[12], QStringLiteral("24.01.2027 - niedziela"));

        // A weekday picked shows its own week; the next week counts from it.
        r.Choose(2);
        ClickAt(*r.window, r.GridDay(20));
        QCOMPARE(r.window->CalendarDate(), DateFromYmd(2027, 1, 20));
        QCOMPARE(r.Texts()[0], QStringLiteral("18.01.2027 - poniedziałek"));
        r.Choose(1);
        QCOMPARE(r.window->CalendarDate(), DateFromYmd(2027, 1, 27));

        // Today goes back to this week and drops the fourth entry.
        r.Choose(2);
        ClickAt(*r.window, r.PickerControl("Ldzisiaj"));
        QVERIFY(!picker->isVisible());
        QCOMPARE(r.window->CalendarDate(), kToday);
        QCOMPARE(r.window->KtoryBox()->count(), 3);
        QCOMPARE(r.window->KtoryBox()->currentIndex(), 0);
        QCOMPARE(r.Texts(), thisWeek);
    }

    // A day picked names the week it shows, whichever weekday it is: the
    // week of 8 to 14 March 2027 by its Monday, its Saturday, its Sunday.
    void pickedDayNamesItsWeek_data()
    {
        QTest::addColumn<int>("day");
        QTest::newRow("Monday") << 8;
        QTest::newRow("Saturday") << 13;
        QTest::newRow("Sunday") << 14;
    }
    void pickedDayNamesItsWeek()
    {
        QFETCH(int, day);
        Rig r;
        QVERIFY(r.Open());
        r.Choose(2);
        for (int i = 0; i < 3; ++i)
            ClickAt(*r.window, r.PickerControl("LNextMonth"));
        ClickAt(*r.window, r.GridDay(day));
        const QString caption = QStringLiteral("%1 marca 2027").arg(day);
        QCOMPARE(r.window->CalendarDate(), DateFromYmd(2027, 3, day));
        QCOMPARE(r.window->KtoryBox()->currentText(), caption);
        QCOMPARE(r.window->PKalendarz()->Caption(), caption);
        QCOMPARE(r.Texts()[0], QStringLiteral("8.03.2027 - poniedziałek"));
        QCOMPARE(r.Texts()[12], QStringLiteral("14.03.2027 - niedziela"));
    }

    // From the keyboard: the listing holds the keyboard at the opening and
    // scrolls by a line, a large step and to its ends; a screen reader
    // reads the lines it shows. Escape folds the picker away, then closes.
    void keyboardReadsAndScrollsTheListing()
    {
        Rig r;
        for (int i = 0; i < 40; ++i)
            r.Add("codzienne " + std::to_string(i) + "+", IncDay(kToday, -1), -1);
        QVERIFY(r.Open());
        QWidget* listing = r.window->ButFocus();
        QTRY_COMPARE(QApplication::focusWidget(), listing);
        const ListingScrollBar& bar = *r.window->Listwa();
        const int step = WeekListing::kLineStep;
        for (const auto& [key, position] : {std::pair{Qt::Key_Down, step}, std::pair{Qt::Key_PageDown, step + 200},
                                            std::pair{Qt::Key_Up, 200}, std::pair{Qt::Key_End, bar.maximum()},
                                            std::pair{Qt::Key_Home, 0}}) {
            QTest::keyClick(listing, key);
            QCOMPARE(bar.value(), position);
        }
        QTest::keyClick(listing, Qt::Key_Down);
        const QString spoken = listing->accessibleDescription();
        QVERIFY2(!spoken.contains(QStringLiteral("Oto wykaz")) && spoken.startsWith(QStringLiteral("7.12.2026")) &&
                     spoken.contains(QStringLiteral("codzienne 15")) && !spoken.contains(QStringLiteral("codzienne 19")),
                 qPrintable(spoken));
        r.Choose(2);
        QTest::keyClick(r.window->windowHandle(), Qt::Key_Escape);
        QVERIFY(!r.window->PKalendarz()->isVisible());
        QVERIFY(r.window->isVisible());
        QTest::keyClick(r.window->windowHandle(), Qt::Key_Escape);
        QVERIFY(!r.window->isVisible());
    }

    // A week from the keyboard: from the listing back to the week choice,
    // F4 opens it, "wskażę…" is taken, and the picker's grid has the
    // keyboard at once: a week on, and Enter shows that week.
    void weekPickedFromTheKeyboard()
    {
        Rig r;
        QVERIFY(r.Open());
        QTRY_COMPARE(QApplication::focusWidget(), r.window->ButFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), r.window->KtoryBox());
        QTest::keyClick(r.window->KtoryBox(), Qt::Key_F4);
        QAbstractItemView* view = r.window->KtoryBox()->view();
        QTRY_VERIFY(view->isVisible());
        QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Return);
        QVERIFY(r.window->PKalendarz()->IsOpen());
        const auto focused = [] { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(); };
        QTRY_COMPARE(focused(), QString("ImCalendar"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!r.window->PKalendarz()->IsOpen());
        QCOMPARE(r.window->CalendarDate(), DateFromYmd(2026, 12, 15));
        QCOMPARE(r.window->KtoryBox()->currentIndex(), 3);
    }

    void helpKeyAndClose()
    {
        Rig r;
        QVERIFY(r.Open());
        QTest::keyClick(r.window.get(), Qt::Key_F1);
        QCOMPARE(r.help.urls.size(), size_t(1));
        ClickOn(*r.window, ToQRect(lk::kClose));
        QVERIFY(!r.window->isVisible());
    }
};

QTEST_MAIN(TestKalendarz)
#include "test_kalendarz.moc"
