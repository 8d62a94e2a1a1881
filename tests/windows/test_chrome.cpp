// The shared window chrome driven through real windows: pictures, click
// areas, the drag bar, the tick box, the press-and-hold stepper, the
// frameless drop-down list, F1 and the help page's path.

#include "windows/chrome_support.h"

#include "windows/chrome.h"
#include "windows/help.h"
#include "windows/repeat.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace remindo;
using namespace remindo::test;

namespace {

// A window of the list window's size with a title strip to drag by.
struct ScratchWindow : PictureWindow {
    ScratchWindow() : PictureWindow(QSize(386, 447), QStringLiteral("tlo_dane"))
    {
        bar = AddDragBar(QRect(0, 0, 386, 20));
    }
    DragBar* bar;
};

QString WriteJpeg(const QString& folder, QSize size, const char* format = "JPG")
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(QColor(200, 30, 40));
    const QString path = folder + QStringLiteral("/p.jpg");
    img.save(path, format);
    return path;
}

} // namespace

class TestChrome : public QObject {
    Q_OBJECT

private slots:
    void pictures_decode_jpeg_and_survive_missing_or_foreign_data()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QImage ok = LoadJpegFile(WriteJpeg(dir.path(), QSize(19, 18)));
        QCOMPARE(ok.size(), QSize(19, 18));

        // A PNG under a .jpg name is not a JPEG picture.
        QCOMPARE(LoadJpegFile(WriteJpeg(dir.path(), QSize(5, 5), "PNG")).isNull(), true);
        QFile junk(dir.filePath(QStringLiteral("junk.jpg")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("\xFF\xD8\xFF\xE0 not really", 15);
        junk.close();
        QVERIFY(LoadJpegFile(junk.fileName()).isNull());

        // A missing resource replaces the old picture by none and says so.
        QLabel label;
        label.setPixmap(QPixmap::fromImage(ok));
        QVERIFY(!LoadJpegResource(QStringLiteral("no-such-picture"), &label));
        QVERIFY(label.pixmap().isNull());
        QVERIFY(!LoadJpegResource(QStringLiteral("no-such-picture"), nullptr));

        QImage canvas(10, 10, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QVERIFY(!DrawJpegResource(QStringLiteral("no-such-picture"), canvas));
        QCOMPARE(canvas.pixel(0, 0), QColor(Qt::white).rgb());
    }

    void painted_pictures_fit_the_places_they_are_shown_in()
    {
        if (!PicturesLinked())
            QSKIP("the painted pictures are not linked into this build");
        const struct {
            const char* name;
            QSize size;
        } pictures[] = {
            {"oknowarning", {350, 150}}, {"ikoinfo", {42, 43}},      {"ikopytanie", {42, 43}},
            {"ikouwaga", {42, 43}},      {"buttak", {88, 26}},       {"butnie", {88, 26}},
            {"butanuluj", {88, 26}},     {"butzamknij", {88, 26}},   {"ptaszekok", {19, 18}},
            {"ptaszekno", {19, 18}},     {"palkamala", {112, 6}},    {"palkaduza", {112, 6}},
            {"komczerwony", {349, 90}},  {"komzolty", {349, 90}},    {"komzielony", {349, 90}},
            {"komniebieski", {349, 90}}, {"tlo_about", {386, 243}},  {"tlo_ustawienia", {386, 243}},
            {"tlo_dane", {386, 447}},    {"tlo_kalendarz", {500, 500}},
        };
        for (const auto& p : pictures)
            QVERIFY2(LoadJpegImage(QLatin1String(p.name)).size() == p.size, p.name);

        // DrawJpegResource paints at the top left and leaves the rest alone.
        QImage canvas(328, 18, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QVERIFY(DrawJpegResource(QStringLiteral("palkaduza"), canvas));
        const QImage bar = LoadJpegImage(QStringLiteral("palkaduza"));
        QCOMPARE(canvas.pixel(5, 3), bar.pixel(5, 3));
        QCOMPARE(canvas.pixel(200, 12), QColor(Qt::white).rgb());
    }

    void windows_are_frameless_fixed_and_kept_off_the_taskbar()
    {
        ScratchWindow w;
        QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(w.windowType(), Qt::Tool);
        QVERIFY(!(w.windowFlags() & Qt::WindowStaysOnTopHint));
        QCOMPARE(w.minimumSize(), QSize(386, 447));
        QCOMPARE(w.maximumSize(), QSize(386, 447));
        QCOMPARE(w.font().pixelSize(), 11);
        QCOMPARE(w.Background()->geometry(), QRect(0, 0, 386, 447));

        PictureWindow onTop(QSize(350, 150), QString(), PictureWindow::kStaysOnTop);
        QVERIFY(onTop.windowFlags() & Qt::WindowStaysOnTopHint);
        PictureWindow inTaskbar(QSize(10, 10), QString(), PictureWindow::kTaskbarEntry);
        QCOMPARE(inTaskbar.windowType(), Qt::Window);

        w.CenterOnScreen();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(w.geometry().center().x() / 2, screen.center().x() / 2);
        QCOMPARE(w.geometry().center().y() / 2, screen.center().y() / 2);
    }

    void click_areas_answer_only_a_press_and_release_over_themselves()
    {
        ScratchWindow w;
        ClickArea* a = w.AddClickArea(QRect(40, 100, 30, 20), true, QStringLiteral("Zapisz"));
        ClickArea* b = w.AddClickArea(QRect(60, 100, 30, 20)); // lies over a's right part
        QCOMPARE(a->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(a->toolTip(), QStringLiteral("Zapisz"));
        QSignalSpy ca(a, &ClickArea::clicked), cb(b, &ClickArea::clicked), bg(w.Background(), &ClickArea::clicked);
        QVERIFY(ShowExposed(w));

        ClickAt(w, {45, 110});
        ClickAt(w, {65, 110}); // the upper one wins where they overlap
        QCOMPARE(ca.count(), 1);
        QCOMPARE(cb.count(), 1);

        // Pressed on a, released elsewhere: no click anywhere.
        PressAt(w, {45, 110});
        ReleaseAt(w, {200, 300});
        QCOMPARE(ca.count(), 1);
        QCOMPARE(bg.count(), 0);

        // Right button: a button's press comes from the left one alone.
        QSignalSpy pressed(a, &ClickArea::pressed);
        ClickAt(w, {45, 110}, Qt::RightButton);
        QCOMPARE(ca.count(), 1);
        QCOMPARE(pressed.count(), 0);

        // A quick second click is a second click, with one press each.
        QTest::mouseDClick(w.windowHandle(), Qt::LeftButton, {}, {45, 110});
        QCOMPARE(ca.count(), 3);
        QCOMPARE(pressed.count(), 2);

        ClickAt(w, {300, 300});
        QCOMPARE(bg.count(), 1); // the background picture is a control too
    }

    // A click area shows its caption and picture exactly as a label does,
    // and measures a wrapped caption as a label does.
    void click_area_draws_and_measures_as_a_label_does_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("wrap");
        QTest::addColumn<int>("alignment");
        const int top = Qt::AlignLeft | Qt::AlignTop;
        QTest::newRow("date") << QStringLiteral("środa, 9 grudnia 2026") << false
                              << int(Qt::AlignLeft | Qt::AlignVCenter);
        QTest::newRow("reminder") << QStringLiteral("9.12.2026 - środa\nOdebrać garnitur z pralni, zapłacić "
                                                    "za trzy koszule i odebrać buty od szewca")
                                  << true << top;
        QTest::newRow("markup is text") << QStringLiteral("<b>Tom & Jerry</b> &amp;") << true << top;
    }
    void click_area_draws_and_measures_as_a_label_does()
    {
        QFETCH(QString, caption);
        QFETCH(bool, wrap);
        QFETCH(int, alignment);
        ScratchWindow w;
        const QRect place(20, 40, 200, 60);
        auto* label = new QLabel(&w);
        auto* area = new ClickArea(&w, place, !wrap);
        label->setGeometry(place);
        label->setAttribute(Qt::WA_TranslucentBackground);
        label->setTextFormat(Qt::PlainText);
        for (auto* shown : std::initializer_list<QWidget*>{label, area}) {
            QPalette p = shown->palette();
            p.setColor(QPalette::WindowText, kValueTextColour);
            shown->setPalette(p);
        }
        label->setText(caption);
        label->setWordWrap(wrap);
        label->setAlignment(Qt::Alignment(alignment));
        area->setText(caption);
        area->setWordWrap(wrap);
        area->setAlignment(Qt::Alignment(alignment));
        QCOMPARE(area->grab().toImage(), label->grab().toImage());
        QCOMPARE(area->heightForWidth(place.width()), label->heightForWidth(place.width()));

        QImage picture(19, 18, QImage::Format_RGB32);
        picture.fill(QColor(200, 30, 40));
        label->setPixmap(QPixmap::fromImage(picture));
        area->setText({});
        area->setPixmap(QPixmap::fromImage(picture));
        QCOMPARE(area->grab().toImage(), label->grab().toImage());
    }

    void drag_bar_moves_the_window_by_exactly_the_mouse_motion()
    {
        ScratchWindow w;
        w.move(200, 150);
        QVERIFY(ShowExposed(w));
        const QPoint start = w.pos();

        const QPoint grab = start + QPoint(100, 10);
        PressAt(w, {100, 10});
        QVERIFY(w.bar->State().dragging);
        QCOMPARE(w.bar->State().last, grab);

        MoveToScreen(w, grab + QPoint(37, 55));
        QCOMPARE(w.pos(), start + QPoint(37, 55));
        // A fast move: one event far away, most of it outside the bar.
        MoveToScreen(w, grab + QPoint(-263, 300));
        QCOMPARE(w.pos(), start + QPoint(-263, 300));
        MoveToScreen(w, grab + QPoint(-260, 301));
        QCOMPARE(w.pos(), start + QPoint(-260, 301));

        // Released outside the window: the drag still ends.
        const QPoint releaseAt = grab + QPoint(-260, 301) + QPoint(500, 500);
        QTest::mouseRelease(w.windowHandle(), Qt::LeftButton, {}, releaseAt - w.pos());
        QVERIFY(!w.bar->State().dragging);
        const QPoint after = w.pos();
        MoveToScreen(w, releaseAt + QPoint(40, 40));
        QCOMPARE(w.pos(), after);

        // Any button drags; a press below the bar does not.
        w.move(120, 60);
        QTRY_COMPARE(w.pos(), QPoint(120, 60));
        PressAt(w, {10, 30});
        MoveToScreen(w, w.pos() + QPoint(60, 60));
        ReleaseAt(w, {70, 90});
        QCOMPARE(w.pos(), QPoint(120, 60));
        PressAt(w, {300, 5}, Qt::RightButton);
        MoveToScreen(w, w.pos() + QPoint(310, 15));
        QTRY_COMPARE(w.pos(), QPoint(130, 70));
        ReleaseAt(w, {300, 5}, Qt::RightButton);
        QVERIFY(!w.bar->State().dragging);
    }

    void drag_bar_lets_go_of_the_mouse_when_its_window_hides_midway()
    {
        ScratchWindow w;
        QVERIFY(ShowExposed(w));
        PressAt(w, {50, 10});
        QCOMPARE(QWidget::mouseGrabber(), static_cast<QWidget*>(w.bar));
        w.hide();
        QVERIFY(!w.bar->State().dragging);
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
        QTest::mouseRelease(w.windowHandle(), Qt::LeftButton, {}, {50, 10});
    }

    void tick_box_flips_on_click_or_leaves_it_to_the_window()
    {
        ScratchWindow w;
        auto* tick = new TickBox(&w, QPoint(30, 200), true);
        auto* guarded = new TickBox(&w, QPoint(30, 240), false);
        guarded->SetAutoFlip(false);
        QCOMPARE(tick->size(), QSize(19, 18));
        QSignalSpy flips(tick, &TickBox::flipped), guardedFlips(guarded, &TickBox::flipped),
            guardedClicks(guarded, &ClickArea::clicked);
        QVERIFY(ShowExposed(w));

        ClickAt(w, {39, 209});
        QVERIFY(!tick->IsTicked());
        ClickAt(w, {30, 200});
        QVERIFY(tick->IsTicked());
        QCOMPARE(flips.count(), 2);
        QCOMPARE(flips.at(0).at(0).toBool(), false);
        ClickAt(w, {49, 209}); // just right of it
        QCOMPARE(flips.count(), 2);

        ClickAt(w, {39, 249});
        QVERIFY(!guarded->IsTicked());
        QCOMPARE(guardedFlips.count(), 0);
        QCOMPARE(guardedClicks.count(), 1);
        // A screen reader's toggle is a click too: the window still decides.
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(guarded);
        QCOMPARE(spoken->role(), QAccessible::CheckBox);
        spoken->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(!guarded->IsTicked());
        QCOMPARE(guardedClicks.count(), 2);

        if (PicturesLinked()) {
            QCOMPARE(tick->pixmap().toImage(), ExpectedPicture(QStringLiteral("ptaszekok"), tick->devicePixelRatioF())
                                                   .convertToFormat(tick->pixmap().toImage().format()));
            guarded->SetTicked(true);
            QCOMPARE(guarded->pixmap().toImage(), tick->pixmap().toImage());
        }
    }

    // A click on an arrow is one step, however long it is held up to the
    // pause; held past it, one step per tick, 20 a second.
    void click_steps_once_and_holding_repeats_after_a_pause()
    {
        ManualRepeatTimers clock;
        ScratchWindow w;
        ClickArea* less = w.AddClickArea(QRect(200, 60, 12, 12));
        ClickArea* more = w.AddClickArea(QRect(214, 60, 12, 12));
        int shown = 5;
        int shows = 0;
        RepeatStepper stepper(less, more);
        stepper.SetBounded({[&] { return shown; }, [&](int v) { shown = v; ++shows; }, 3, 1000, 1});
        QVERIFY(ShowExposed(w));

        PressAt(w, {220, 66});
        QCOMPARE(shown, 6); // the press is a step
        clock.Advance(1000);
        ReleaseAt(w, {220, 66});
        QCOMPARE(shown, 19); // and 13 more from 400 ms on
        clock.Advance(500);
        QCOMPARE(shown, 19);
        QCOMPARE(clock.ActiveCount(), 0);

        // Short or up to the pause: one step; just at it, the first repeat.
        const int clicks[][2] = {{49, 20}, {399, 21}, {400, 23}};
        for (const auto& [ms, after] : clicks) {
            PressAt(w, {220, 66});
            clock.Advance(ms);
            ReleaseAt(w, {220, 66});
            QCOMPARE(shown, after);
        }

        // Down to the bound: it stays there while the arrow is held.
        PressAt(w, {206, 66});
        clock.Advance(5000);
        QCOMPARE(shown, 3);
        QCOMPARE(clock.ActiveCount(), 1);
        // Released outside the arrow: no click, and the repeat stops.
        ReleaseAt(w, {300, 300});
        QCOMPARE(clock.ActiveCount(), 0);
        QCOMPARE(shows, 14 + 1 + 1 + 2 + 20);
        // The keyboard's Space holds an arrow as the mouse does.
        QTest::keyPress(more, Qt::Key_Space);
        clock.Advance(450);
        QTest::keyRelease(more, Qt::Key_Space);
        QCOMPARE(shown, 6);
    }

    void stepper_bounds_lower_only_values_above_the_minimum_and_may_stop_there()
    {
        ManualRepeatTimers clock;
        ScratchWindow w;
        ClickArea* less = w.AddClickArea(QRect(200, 60, 12, 12));
        ClickArea* more = w.AddClickArea(QRect(214, 60, 12, 12));
        QVERIFY(ShowExposed(w));
        const auto hold = [&](ClickArea* arrow, int ms) { HoldAt(w, arrow->geometry().center(), clock, ms); };

        int shown = 17;
        auto hide = std::make_unique<RepeatStepper>(less, more);
        hide->SetBounded({[&] { return shown; }, [&](int v) { shown = v; }, 15, 1 << 30, 5});
        hold(less, 300);
        QCOMPARE(shown, 12); // 17 is above 15, so it steps once, to 12
        hide.reset();

        int days = 10;
        RepeatStepper every(less, more);
        every.SetBounded({[&] { return days; }, [&](int v) { days = v; }, 2, 365, 1});
        hold(less, 2000);
        QCOMPARE(days, 2); // held on at its bound
        days = 360;
        hold(more, 10000);
        QCOMPARE(days, 365);

        // A window may refuse to step (e.g. already at its bound).
        every.onPress = [](RepeatStepper::Direction) { return false; };
        hold(less, 1000);
        QCOMPARE(days, 365);

        // No real upper bound: the value saturates rather than wrapping.
        int big = std::numeric_limits<int>::max() - 1;
        RepeatStepper huge(nullptr, nullptr);
        huge.SetBounded({[&] { return big; }, [&](int v) { big = v; }, 3, std::numeric_limits<int>::max(), 5});
        huge.Press(RepeatStepper::kMore);
        huge.Press(RepeatStepper::kMore);
        QCOMPARE(big, std::numeric_limits<int>::max());
    }

    // The arrows repeat on Qt's own timer, on the real event loop too.
    void held_arrow_repeats_on_the_event_loop_every_fifty_milliseconds()
    {
        ScratchWindow w;
        ClickArea* more = w.AddClickArea(QRect(214, 60, 12, 12));
        RepeatStepper stepper(nullptr, more);
        QCOMPARE(more->autoRepeatDelay(), RepeatStepper::kFirstRepeatMs);
        QCOMPARE(more->autoRepeatInterval(), 50);
        QVERIFY(ShowExposed(w));
        QSignalSpy presses(more, &ClickArea::pressed);
        PressAt(w, {220, 66});
        QVERIFY(presses.wait(2000));
        QVERIFY(presses.wait(2000));
        ReleaseAt(w, {220, 66});
        QVERIFY(presses.count() >= 3);
    }

    void label_over_the_painted_arrow_opens_the_frameless_list()
    {
        ScratchWindow w;
        FramelessCombo fc = MakeFramelessCombo(&w, QRect(50, 100, 88, 14), 111);
        fc.combo->addItems({QStringLiteral("bieżący tydzień"), QStringLiteral("następny tydzień")});
        QCOMPARE(fc.combo->geometry(), QRect(-3, -3, 111, 21));
        QCOMPARE(fc.combo->palette().color(QPalette::Text), kValueTextColour);
        ClickArea* arrow = w.AddClickArea(QRect(140, 100, 14, 14));
        QObject::connect(arrow, &ClickArea::clicked, &w, [&] { DropDownCombo(fc.combo); });
        QVERIFY(ShowExposed(w));

        QVERIFY(!fc.combo->view()->isVisible());
        ClickAt(w, {146, 106});
        QTRY_VERIFY(fc.combo->view()->isVisible());
        fc.combo->hidePopup();

        fc.combo->setEnabled(false);
        DropDownCombo(fc.combo);
        QVERIFY(!fc.combo->view()->isVisible());
        DropDownCombo(nullptr);
    }

    void f1_opens_help_before_any_control_sees_the_key()
    {
        RecordingHelpOpener opener;
        ScratchWindow w;
        w.EnableHelpKey(&opener);
        auto* edit = new QLineEdit(&w);
        edit->setGeometry(20, 60, 200, 20);
        QVERIFY(ShowExposed(w));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        edit->setFocus();

        QTest::keyClick(w.windowHandle(), Qt::Key_F1);
        QCOMPARE(opener.urls.size(), size_t(1));
        QCOMPARE(opener.owners.at(0), static_cast<QWidget*>(&w));
        QVERIFY(opener.urls.at(0).isLocalFile());
        QVERIFY(opener.urls.at(0).toLocalFile().endsWith(QStringLiteral("/Pomoc/index.htm")));
        QCOMPARE(opener.urls.at(0).toLocalFile(), HelpPagePath());

        QTest::keyClick(w.windowHandle(), Qt::Key_F2);
        QTest::keyClick(w.windowHandle(), Qt::Key_H);
        QCOMPARE(opener.urls.size(), size_t(1));
        QCOMPARE(edit->text(), QStringLiteral("h"));

        // A window without help leaves F1 alone.
        ScratchWindow plain;
        QVERIFY(ShowExposed(plain));
        plain.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&plain));
        QTest::keyClick(plain.windowHandle(), Qt::Key_F1);
        QCOMPARE(opener.urls.size(), size_t(1));
    }

    void help_page_path_survives_spaces_and_falls_back_to_the_data_folder()
    {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString program = root.filePath(QStringLiteral("Moje programy/Remindo ąę"));
        QVERIFY(QDir().mkpath(program + QStringLiteral("/Pomoc")));
        QFile page(program + QStringLiteral("/Pomoc/index.htm"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.close();

        RecordingHelpOpener opener;
        QWidget owner;
        OpenHelpFrom(program, &owner, &opener);
        QCOMPARE(opener.urls.size(), size_t(1));
        const QUrl url = opener.urls.at(0);
        QCOMPARE(url.toLocalFile(), page.fileName());
        QVERIFY(url.toEncoded().contains("Moje%20programy/Remindo%20"));
        QCOMPARE(opener.owners.at(0), &owner);

        // The program-wide opener is used when a window passes none.
        SetHelpOpener(&opener);
        OpenHelpFrom(program, nullptr);
        SetHelpOpener(nullptr);
        QCOMPARE(opener.urls.size(), size_t(2));

        // Installed: no Pomoc beside the program, a copy in the data folder.
        const QString bare = root.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bare));
        QCOMPARE(HelpPagePath(bare), bare + QStringLiteral("/Pomoc/index.htm"));
        if (qEnvironmentVariableIsEmpty("XDG_DATA_HOME"))
            QSKIP("needs the private data folder that ctest gives each test");
        const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        QVERIFY(QDir().mkpath(data + QStringLiteral("/remindo/Pomoc")));
        QFile installed(data + QStringLiteral("/remindo/Pomoc/index.htm"));
        QVERIFY(installed.open(QIODevice::WriteOnly));
        installed.close();
        QCOMPARE(HelpPagePath(bare), QDir::cleanPath(installed.fileName()));

        // ... and a prefix install (bin/ beside share/) finds its own copy first.
        QVERIFY(QDir().mkpath(root.filePath(QStringLiteral("share/remindo/Pomoc"))));
        QFile prefixed(root.filePath(QStringLiteral("share/remindo/Pomoc/index.htm")));
        QVERIFY(prefixed.open(QIODevice::WriteOnly));
        prefixed.close();
        QCOMPARE(HelpPagePath(bare), QDir::cleanPath(prefixed.fileName()));
        QVERIFY(installed.remove());
    }
};

QTEST_MAIN(TestChrome)
#include "test_chrome.moc"
