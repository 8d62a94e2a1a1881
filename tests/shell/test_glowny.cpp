// The main window driven as the program drives it: the start tick on each
// load result, examination passes that show reminders, clicks at the painted
// buttons, the auto-hide countdown and the blue panel.

#include "shell_rig.h"

#include "store/codec.h"
#include "windows/dane.h"
#include "windows/layout.h"
#include "windows/wprowadzane.h"

#include <QApplication>
#include <QListWidget>
#include <QPlainTextEdit>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <cstdio>

#include <algorithm>
#include <cmath>

using namespace remindo;
using namespace remindo::test;

namespace {

Komunikaty ThreeDue()
{
    Komunikaty list;
    AddDue(list, "Dentysta+", 0);            // today: red
    AddDue(list, "Urodziny+Zosi+", 1, 3);    // tomorrow: yellow
    AddDue(list, "Przeglad auta+", 4, 7);    // in four days: green
    return list;
}

QImage Shown(const TFGlowny& w)
{
    return w.Background()->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
}

double Luminance(QColor c)
{
    auto lin = [](double v) {
        v /= 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(c.red()) + 0.7152 * lin(c.green()) + 0.0722 * lin(c.blue());
}

double Contrast(QColor a, QColor b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The day's log file (what the flushes wrote) and the lines still waiting.
std::string LogText(const ShellRig& r)
{
    std::string all;
    const DiagnosticLog& log = r.state->log;
    if (!log.Folder().empty()) {
        QFile f(QString::fromStdString(log.Folder() + "/" + DiagnosticLog::FileNameFor(r.state->engineState.DataAkt)));
        if (f.open(QIODevice::ReadOnly))
            all = f.readAll().replace("\r\n", "\n").toStdString();
    }
    for (const std::string& line : log.Lines())
        all += line + "\n";
    return all;
}

} // namespace

class TestGlowny : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!PicturesLinked())
            QSKIP("the painted pictures are not linked");
    }

    // ---------------------------------------------------- the start tick

    void startTick_data()
    {
        QTest::addColumn<int>("fileState"); // 0 list, 1 empty list, 2 damaged, 3 missing
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("message");
        QTest::newRow("read") << 0 << 3 << QString();
        QTest::newRow("read, empty") << 1 << 0 << QString();
        QTest::newRow("damaged") << 2 << 0 << QString::fromUtf8("Plik danych jest uszkodzony.\rUtwórz nowy plik.");
        QTest::newRow("missing") << 3 << 0 << QString::fromUtf8("Plik danych nie istnieje.\rUtwórz nowy plik.");
    }

    void startTick()
    {
        QFETCH(int, fileState);
        QFETCH(int, count);
        QFETCH(QString, message);
        std::optional<Komunikaty> stored;
        if (fileState == 0)
            stored = ThreeDue();
        if (fileState == 1 || fileState == 2)
            stored = Komunikaty{};
        ShellRig r(std::nullopt, stored);
        if (fileState == 2) {
            QFile f(QString::fromStdString(r.DataPath()));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("<Dane><Code>fa</Code><Ilosc>zwei</Ilosc></Dane>");
        }
        const QByteArray before = r.DataBytes();

        QVERIFY(r.program->Timerek().isActive());
        QCOMPARE(r.program->Timerek().interval(), 500);
        QVERIFY(!r.program->TBadawczy().isActive());
        r.Start();
        QVERIFY(!r.program->Timerek().isActive());
        QVERIFY(r.program->TBadawczy().isActive());
        QVERIFY(!r.glowny->isVisible()); // the first pass is one interval away

        QCOMPARE(r.state->list.ReminderCount(), count);
        if (message.isEmpty()) {
            QVERIFY(r.box.shown.empty());
        } else {
            QCOMPARE(r.box.shown.size(), size_t(1));
            QVERIFY(QString::fromStdString(r.box.shown[0].text).startsWith(message));
        }
        if (fileState == 3) {
            // Created with the empty list.
            QVERIFY(QFile::exists(QString::fromStdString(r.DataPath())));
            QCOMPARE(r.Stored().ReminderCount(), 0);
        } else {
            QCOMPARE(r.DataBytes(), before); // a damaged file is left for the user
        }
        if (fileState == 0) // the preparation pass marked what is due today
            QVERIFY(r.state->list[0].WarnToday && r.state->list[1].WarnToday && r.state->list[2].WarnToday);
    }

    void testModeLoadsTheListButNeverExamines()
    {
        Settings s;
        s.LogMode = 2;
        ShellRig r(s, ThreeDue());
        r.Start();
        QCOMPARE(r.state->list.ReminderCount(), 3);
        QVERIFY(!r.program->TBadawczy().isActive());
        QVERIFY(!r.state->log.Folder().empty());
    }

    void storedSoundSwitchSurvivesTheStart()
    {
        Settings s;
        s.SoundOn = false;
        ShellRig r(s, ThreeDue());
        QCOMPARE(r.state->settings.SoundOn, false);
        r.Start();
        r.Pass();
        QVERIFY(r.glowny->isVisible());
        QVERIFY(r.sound.played.empty());
    }

    void zeroTimerSettingsRunAtTheDefaults()
    {
        Settings s;
        s.BadajCo = 0;
        s.UkryjPo = 0;
        ShellRig r(s, ThreeDue());
        r.Start();
        QCOMPARE(r.program->TBadawczy().interval(), 5 * 60000);
        QCOMPARE(r.program->TAutomatycznieUkryj().interval(), 15 * 1000);
        r.Pass();
        QVERIFY(r.program->TAutomatycznieUkryj().isActive());
    }

    void newIntervalsKeepAnUnchangedTimerCounting()
    {
        ShellRig r(std::nullopt, ThreeDue());
        r.Start();
        QTimer& exam = r.program->TBadawczy();
        QVERIFY(exam.isActive());
        QTest::qWait(300);
        const int left = exam.remainingTime();
        r.state->timers->SetIntervals(exam.interval(), 20000);
        QVERIFY(exam.isActive());
        QVERIFY(exam.remainingTime() <= left); // not started over
        r.state->timers->SetIntervals(3600000, 20000);
        QCOMPARE(exam.interval(), 3600000);
        QVERIFY(exam.remainingTime() > left); // a new interval counts from now
        QCOMPARE(r.program->TAutomatycznieUkryj().interval(), 20000);
        QVERIFY(!r.program->TAutomatycznieUkryj().isActive()); // a stopped timer stays stopped
    }

    // ---------------------------------------------------- showing

    void dueReminderShown_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("ilePrzed");
        QTest::addColumn<int>("czyPo");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<bool>("taskbarOnTop");
        QTest::newRow("after, taskbar at the bottom") << -1 << 2 << 1 << -1 << "komczerwony" << false;
        QTest::newRow("today, taskbar at the top") << 0 << 0 << 0 << 0 << "komczerwony" << true;
        QTest::newRow("tomorrow") << 1 << 2 << 0 << 1 << "komzolty" << false;
        QTest::newRow("in two days, taskbar at the top") << 2 << 2 << 0 << 2 << "komzielony" << true;
        QTest::newRow("in five days") << 5 << 9 << 0 << 5 << "komzielony" << false;
    }

    void dueReminderShown()
    {
        QFETCH(int, days);
        QFETCH(int, ilePrzed);
        QFETCH(int, czyPo);
        QFETCH(int, kind);
        QFETCH(QString, picture);
        QFETCH(bool, taskbarOnTop);
        Komunikaty list;
        AddDue(list, "Zapłacić+za prąd+", days, ilePrzed, czyPo);
        list[0].Tresc = Cp(list[0].Tresc);
        ShellRig r(std::nullopt, list);
        if (taskbarOnTop)
            r.desktop.area = WorkArea{0, 40, 1024, 768};
        r.Start();
        r.Pass();

        QVERIFY(r.glowny->isVisible());
        QCOMPARE(r.glowny->Kind(), kind);
        QCOMPARE(r.state->engineState.CurrentReminderIndex, 0);
        QCOMPARE(Shown(*r.glowny), ExpectedPicture(picture, r.glowny->devicePixelRatioF()));
        QCOMPARE(r.glowny->TextColour(), ReminderTextColour(kind));
        QVERIFY2(r.glowny->Text().endsWith(QString::fromUtf8("Zapłacić\nza prąd")), qPrintable(r.glowny->Text()));
        if (kind >= 0)
            QVERIFY(r.glowny->Text().startsWith(QString::fromStdString(
                r.formats.ShortDate(IncDay(r.Today(), days)))));
        // Right edge one pixel inside the area's, bottom edge on its bottom;
        // at 125 % or 150 % one pixel nearer where the device pixels' rounding
        // would carry it past, never farther.
        const WorkArea a = r.desktop.area;
        const QPoint off = QPoint(a.right - 350, a.bottom - 90) - r.glowny->pos();
        const qreal ratio = r.glowny->devicePixelRatioF();
        QVERIFY2(off == QPoint() || (ratio != std::floor(ratio) && off.x() >= 0 && off.y() >= 0 &&
                                     off.x() <= 1 && off.y() <= 1),
                 qPrintable(QStringLiteral("%1, %2 off").arg(off.x()).arg(off.y())));
        QCOMPARE(r.glowny->size(), QSize(349, 90));
        // On top without taking the keyboard from whoever is typing.
        QCOMPARE(r.desktop.raises, 1);
        QCOMPARE(r.desktop.fronts, 0);
        QVERIFY(r.glowny->testAttribute(Qt::WA_ShowWithoutActivating));
        QCOMPARE(r.sound.played, std::vector<uint16_t>{30000});
        QVERIFY(r.program->TAutomatycznieUkryj().isActive());
        // The reminder's buttons are there, the blue panel's are not.
        QVERIFY(r.glowny->findChild<QWidget*>("LNieDzis")->isVisible());
        QVERIFY(!r.glowny->findChild<QWidget*>("LClose")->isVisible());
    }

    void slideRunsOnTheEventLoop()
    {
        ShellRig r(std::nullopt, ThreeDue());
        r.glowny->SetSlideStep(TFGlowny::kSlideStepMs);
        r.Start();
        r.Pass();
        // It starts with only its top strip inside the work area ...
        QVERIFY(r.glowny->Sliding());
        QCOMPARE(r.glowny->pos().y(), r.glowny->ShownPosition().y() + 70);
        QTRY_VERIFY(!r.glowny->Sliding());
        QCOMPARE(r.glowny->pos(), r.glowny->ShownPosition());
        QCOMPARE(r.sound.played.size(), size_t(1)); // the sound once it stands
        r.Click("LPozniej");
        QVERIFY(r.glowny->isVisible()); // slides out first ...
        QTRY_VERIFY(!r.glowny->isVisible());
        QCOMPARE(r.glowny->pos().y(), r.glowny->ShownPosition().y() + 80);
    }

    void textColoursReadOnThePaintedField()
    {
        const QRect text = TFGlowny::PlaceOf("LKomunikat");
        for (int kind : {0, 1, 2}) {
            const QImage picture = LoadJpegImage(ReminderPicture(kind));
            QVERIFY(!picture.isNull());
            // The darkest point of the field behind the text is the worst case.
            QColor darkest(Qt::white);
            for (int y = text.top(); y <= text.bottom(); ++y)
                for (int x = text.left(); x <= text.right(); ++x) {
                    const QColor c = picture.pixelColor(x, y);
                    if (Luminance(c) < Luminance(darkest))
                        darkest = c;
                }
            const QColor ink = ReminderTextColour(kind);
            const double ratio = Contrast(ink, darkest);
            QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("kind %1: %2:1").arg(kind).arg(ratio)));
        }
        // Each keeps its hue: red, olive yellow, green.
        QVERIFY(std::abs(ReminderTextColour(0).hue() - QColor(149, 58, 0).hue()) <= 2);
        QVERIFY(std::abs(ReminderTextColour(1).hue() - QColor(160, 164, 0).hue()) <= 2);
        QVERIFY(std::abs(ReminderTextColour(2).hue() - QColor(3, 124, 45).hue()) <= 2);
    }

    void oneReminderPerPass()
    {
        ShellRig r(std::nullopt, ThreeDue());
        r.Start();
        std::vector<int> kinds;
        for (int i = 0; i < 3; ++i) {
            r.Pass();
            kinds.push_back(r.glowny->Kind());
            QCOMPARE(r.state->engineState.CurrentReminderIndex, i);
            QCOMPARE(r.glowny->pos(), r.glowny->ShownPosition()); // each slid in again
            r.program->TAutomatycznieUkryjTimer(); // gone unanswered before the next pass
        }
        QCOMPARE(kinds, (std::vector<int>{0, 1, 4}));
    }

    // With the settings dialog's 3 minutes between passes and 405 seconds
    // on the screen, the passes that come while a reminder stands leave it
    // there and use up nothing; the next reminder comes once it has gone.
    void aStandingReminderIsLeftStanding()
    {
        Settings s;
        s.BadajCo = 3;
        s.UkryjPo = 405;
        ShellRig r(s, ThreeDue());
        r.Start();
        const auto pass = [&r] {
            r.clock.AdvanceMinutes(3);
            r.program->TBadawczyTimer();
        };
        pass();
        QCOMPARE(r.glowny->Kind(), 0);
        QCOMPARE(r.program->TAutomatycznieUkryj().interval(), 405000);
        for (int i = 0; i < 2; ++i) { // 6 minutes on, well within its 405 seconds
            pass();
            QVERIFY(r.glowny->isVisible());
            QCOMPARE(r.glowny->Kind(), 0);
            QCOMPARE(r.state->engineState.CurrentReminderIndex, 0);
        }
        QCOMPARE(r.state->list[0].ShownToday, 1);
        QCOMPARE(r.state->list[1].ShownToday, 0); // asked nothing, counted nothing
        QCOMPARE(r.sound.played.size(), size_t(1));
        r.program->TAutomatycznieUkryjTimer();
        pass();
        QCOMPARE(r.glowny->Kind(), 1);
        QCOMPARE(r.state->list[1].ShownToday, 1);
    }

    // A reminder gets its whole time also where it follows the blue panel
    // while an earlier reminder's countdown still runs.
    void aLaterReminderGetsItsWholeTime()
    {
        ShellRig r(std::nullopt, ThreeDue());
        r.Start();
        r.state->timers->SetIntervals(600000, 3000);
        r.Pass();
        r.program->CoolTrayClick(); // the panel over the first reminder ...
        QVERIFY(!r.glowny->ReminderStanding());
        QTest::qWait(2000);
        QVERIFY(r.program->TAutomatycznieUkryj().remainingTime() < 1500);
        r.Pass(); // ... gives way to the second
        QCOMPARE(r.glowny->Kind(), 1);
        QVERIFY(r.glowny->ReminderStanding());
        // Its countdown starts from the whole three seconds, not from the
        // first one's rest (a coarse timer may run a little late or early,
        // never by a second).
        QVERIFY(r.program->TAutomatycznieUkryj().remainingTime() > 2000);
        QTRY_VERIFY_WITH_TIMEOUT(!r.glowny->isVisible(), 5000);
    }

    // ---------------------------------------------------- the buttons

    void buttons_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("blok");
        QTest::addColumn<int>("blokDzis");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("logLine");
        QTest::newRow("later") << "LPozniej" << 0 << 0 << false << QString::fromUtf8("Komunikat nr 2 - pokaz później");
        QTest::newRow("not today") << "LNieDzis" << 0 << 1 << true << QString::fromUtf8("Komunikat nr 2 został zablokowany dziś");
        QTest::newRow("never") << "LNiePrzypominaj" << 1 << 0 << true << QString::fromUtf8("Komunikat nr 2 został zablokowany");
        QTest::newRow("the text") << "LKomunikat" << 0 << 0 << false << QString();
    }

    void buttons()
    {
        QFETCH(QString, control);
        QFETCH(int, blok);
        QFETCH(int, blokDzis);
        QFETCH(bool, saved);
        QFETCH(QString, logLine);
        Settings s;
        s.LogMode = 1;
        s.LogDetail = 1;
        ShellRig r(s, ThreeDue());
        r.Start();
        r.Pass();
        r.program->TAutomatycznieUkryjTimer(); // the first goes unanswered
        r.Pass(); // the second reminder
        QCOMPARE(r.state->engineState.CurrentReminderIndex, 1);
        // Blocked for today once before, on another day.
        r.state->list[1].BlokDzisData = IncDay(r.state->engineState.DataAkt, -3);
        const Komunikat before = r.state->list[1];
        const QByteArray file = r.DataBytes();

        r.Click(control.toLatin1().constData());
        QVERIFY(!r.glowny->isVisible());
        QVERIFY(!r.program->TAutomatycznieUkryj().isActive());
        const Komunikat& k = r.state->list[1];
        QCOMPARE(k.Blok, blok);
        QCOMPARE(k.BlokDzis, blokDzis);
        if (blokDzis)
            QCOMPARE(k.BlokDzisData, r.state->engineState.DataAkt);
        else
            QCOMPARE(k.BlokDzisData, before.BlokDzisData);
        if (saved) {
            const Komunikaty stored = r.Stored();
            QCOMPARE(stored[1].Blok, blok);
            QCOMPARE(stored[1].BlokDzis, blokDzis);
            QCOMPARE(stored[1].BlokDzisData, k.BlokDzisData);
            QCOMPARE(stored[0].Blok + stored[0].BlokDzis + stored[2].Blok + stored[2].BlokDzis, 0);
        } else {
            QCOMPARE(r.DataBytes(), file);
        }
        const std::string log = LogText(r);
        if (!logLine.isEmpty())
            QVERIFY2(log.find(Cp(logLine.toStdString())) != std::string::npos, log.c_str());
    }

    void buttonAfterItsReminderWasDeleted()
    {
        ShellRig r(std::nullopt, ThreeDue());
        r.Start();
        r.Pass();
        r.program->TAutomatycznieUkryjTimer();
        r.Pass(); // shows the second
        r.state->list.SelectedIndex = 1;
        r.state->session().DeleteSelected();
        const QByteArray file = r.DataBytes();
        const std::vector<Komunikat> left = r.state->list.items;
        r.Click("LNiePrzypominaj");
        QVERIFY(!r.glowny->isVisible());
        QCOMPARE(r.state->list.items, left);
        QCOMPARE(r.DataBytes(), file);
    }

    void buttonAfterAnEarlierReminderWasDeleted()
    {
        ShellRig r(std::nullopt, ThreeDue());
        r.Start();
        r.Pass();
        r.program->TAutomatycznieUkryjTimer();
        r.Pass();
        r.program->TAutomatycznieUkryjTimer();
        r.Pass(); // shows the third
        r.state->list.SelectedIndex = 0;
        r.state->session().DeleteSelected(); // waits for the list window's save
        r.Click("LNieDzis");
        QCOMPARE(r.state->list[1].BlokDzis, 1); // the one the window showed
        QCOMPARE(r.state->list[0].BlokDzis, 0);
        QCOMPARE(r.Stored().ReminderCount(), 3);
        QCOMPARE(r.Stored()[2].BlokDzis, 1);
    }

    void buttonAfterTheListWasReloaded()
    {
        ShellRig r(std::nullopt, ThreeDue());
        r.Start();
        r.Pass();
        r.state->session().ReloadDataFile();
        const QByteArray file = r.DataBytes();
        r.Click("LNieDzis");
        QVERIFY(!r.glowny->isVisible());
        QCOMPARE(r.DataBytes(), file);
        QCOMPARE(r.state->list[0].BlokDzis, 0);
    }

    // Another program replaced the file while the reminder was up: the
    // button reads that version first, then acts on the reminder if it is
    // still there (wherever it stands now), and writes nothing otherwise.
    void buttonAfterAnotherProgramsWrite_data()
    {
        QTest::addColumn<bool>("stillThere");
        QTest::newRow("moved to another place") << true;
        QTest::newRow("gone") << false;
    }

    void buttonAfterAnotherProgramsWrite()
    {
        QFETCH(bool, stillThere);
        ShellRig r(std::nullopt, ThreeDue());
        r.Start();
        r.Pass(); // shows the first
        const Komunikat shown = r.state->list[0];
        Komunikaty theirs;
        AddDue(theirs, "Z innego programu+", 9);
        if (stillThere)
            theirs.items.push_back(shown);
        DataFile other(r.DataPath() + ".new", r.box, r.formats, r.state->scrambler);
        QVERIFY(other.SaveDataFile(theirs));
        QCOMPARE(std::rename((r.DataPath() + ".new").c_str(), r.DataPath().c_str()), 0);
        const QByteArray file = r.DataBytes();

        r.Click("LNieDzis");
        if (!stillThere) {
            QCOMPARE(r.DataBytes(), file);
            QCOMPARE(r.state->list.ReminderCount(), 1); // their list is shown
            return;
        }
        const Komunikaty stored = r.Stored();
        QCOMPARE(stored.ReminderCount(), 2);
        QCOMPARE(stored[0].Tresc, std::string("Z innego programu+"));
        QCOMPARE(stored[0].BlokDzis, 0);
        QCOMPARE(stored[1].BlokDzis, 1);
        QVERIFY(r.box.shown.empty()); // nothing pending: no copy, no box
    }

    // "Przypomnij później" gives the showing back: with one showing a day
    // the reminder comes again after the gap; hiding by itself uses it up.
    void laterComesAgainTheSameDay()
    {
        Komunikaty once;
        once.AddReminder("Raz+", DateFromYmd(2026, 12, 8), 0, 0, 0, 0, 1, DateFromYmd(2026, 12, 8));
        ShellRig r(std::nullopt, once);
        r.Start();
        r.Pass();
        r.Click("LPozniej");
        r.clock.AdvanceMinutes(60);
        r.Pass();
        QVERIFY(r.glowny->isVisible());
        r.program->TAutomatycznieUkryjTimer();
        r.clock.AdvanceMinutes(120);
        r.Pass();
        QVERIFY(!r.glowny->isVisible());
    }

    // A button writes its own change only: a deletion pending in the list
    // window stays out of the file, and "✖ → Nie" brings the reminder back.
    void buttonKeepsTheListWindowsEditsPending()
    {
        ShellRig r(std::nullopt, ThreeDue());
        TFDane dane(*r.state);
        r.Start();
        dane.Open();
        dane.Lista()->setCurrentRow(2);
        r.box.Answer(kAnswerTak);
        dane.LUsunWpisClick();
        r.Pass();
        r.Click("LNieDzis");
        QCOMPARE(r.Stored().ReminderCount(), 3);
        QCOMPARE(r.Stored()[0].BlokDzis, 1);
        r.box.Answer(kAnswerNie);
        dane.LAnulujClick();
        QCOMPARE(r.state->list.ReminderCount(), 3);
    }

    // The longest text the editor takes (two full lines of words) shows
    // whole at the window's font under either heading; a longer one from
    // elsewhere at a smaller step.
    void wholeTextShowsInTheReminderWindow()
    {
        ShellRig r;
        TFDane dane(*r.state);
        TFWprowadzane editor(*r.state, dane);
        editor.Open(TFWprowadzane::kNew);
        for (const QChar c : QStringLiteral("Wąż żmija gęś łoś Węgry Włochy ").repeated(8))
            QTest::sendKeyEvent(QTest::Click, editor.Memo(), Qt::Key_unknown, QString(c), Qt::NoModifier);
        const std::string longest = editor.StoredText();
        const ClickArea* l = r.glowny->findChild<ClickArea*>("LKomunikat");
        const auto fits = [&](int32_t kind, const std::string& text) { // 3 lines at 11 px, not 4
            r.glowny->ShowReminderWindow(kind, Cp("08.12.2026 - wtorek\r") + TextToDisplay(text));
            return l->heightForWidth(l->width()) <= l->height();
        };
        for (int32_t kind : {-1, 1, 0}) {
            QVERIFY(fits(kind, longest));
            QCOMPARE(r.glowny->TextFont().pixelSize(), TFGlowny::kTextPx);
        }
        QVERIFY(QDir().mkpath(QStringLiteral(REMINDO_RENDER_DIR)));
        QVERIFY(r.glowny->grab().save(QStringLiteral(REMINDO_RENDER_DIR "/reminder-longest.png")));
        QVERIFY(fits(0, Cp("Zebranie zarządu wspólnoty w świetlicy, sala numer dwa+Przynieść protokół "
                           "z ostatniego zebrania i listę obecności+Zapytać o fundusz+Potwierdzić do piątku+")));
        QVERIFY(r.glowny->TextFont().pixelSize() < TFGlowny::kTextPx);
    }

    // A reminder that replaces the blue panel under the cursor (its close
    // strip lies over the buttons) takes no click while it slides in, nor
    // for a moment after it came.
    void clickMeantForThePanelDoesNotBlock()
    {
        ShellRig r(std::nullopt, ThreeDue());
        r.glowny->SetSlideStep(TFGlowny::kSlideStepMs);
        r.Start();
        r.Pass();
        r.Click("LNiePrzypominaj"); // sliding in
        QTRY_VERIFY(!r.glowny->Sliding());
        QCOMPARE(r.state->list[0].Blok, 0);
        r.glowny->SetSlideStep(0);
        r.glowny->SetSettleTime(TFGlowny::kSettleMs);
        r.program->CoolTrayClick();
        r.Pass(); // the next reminder takes the panel's place
        r.Click("LNiePrzypominaj"); // just come
        QCOMPARE(r.state->list[1].Blok, 0);
        QTRY_VERIFY(!r.glowny->Settling());
        r.Click("LNiePrzypominaj");
        QCOMPARE(r.state->list[1].Blok, 1);
    }

    // Reached from the keyboard (Alt+Tab, or `remindo --list` while it
    // stands), each showing starts on "Przypomnij później" (also after
    // another button had the focus), Tab and Space answer it, Escape puts
    // it away unanswered; the blue panel starts on its strip.
    void keyboardAnswersAReminder()
    {
        ShellRig r(std::nullopt, ThreeDue());
        r.Start();
        const auto reach = [&] { // as the window manager's switching does
            QApplication::setActiveWindow(r.glowny.get());
            return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
        };
        r.Pass();
        QCOMPARE(reach(), QString("LPozniej"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(!r.glowny->isVisible());
        QCOMPARE(r.Stored()[0].BlokDzis, 1);
        r.Pass();
        QCOMPARE(r.glowny->Kind(), 1);
        QVERIFY(r.program->ActivateAction("dane")); // `remindo --list`: the reminder comes forward
        QCOMPARE(r.desktop.fronts, 1);
        QCOMPARE(reach(), QString("LPozniej"));
        QTest::keyClick(r.glowny->windowHandle(), Qt::Key_Escape);
        QVERIFY(!r.glowny->isVisible());
        QCOMPARE(r.state->list[1].BlokDzis + r.state->list[1].Blok, 0);
        r.program->CoolTrayClick();
        QCOMPARE(reach(), QString("LClose"));
        QTest::keyClick(r.glowny->windowHandle(), Qt::Key_Escape);
        QVERIFY(!r.glowny->isVisible());
    }

    // ---------------------------------------------------- hiding by itself

    void autoHide()
    {
        Settings s;
        s.LogMode = 1;
        s.LogDetail = 1;
        ShellRig r(s, ThreeDue());
        r.Start();
        r.state->timers->SetIntervals(600000, 50);
        r.Pass();
        QVERIFY(r.glowny->isVisible());
        QTRY_VERIFY(!r.glowny->isVisible());
        QCOMPARE(r.state->list[0].BlokDzis + r.state->list[0].Blok, 0);
        QVERIFY(LogText(r).find(Cp("Komunikat nr 1 nie został zablokowany")) != std::string::npos);
    }

    // Was "an earlier countdown hides a later reminder"; a reminder that
    // another took the place of now stands until it has had its time, and
    // the later one starts a countdown of its own.
    void earlierCountdownHidesALaterReminder()
    {
        ShellRig r(std::nullopt, ThreeDue());
        r.Start();
        r.state->timers->SetIntervals(600000, 2000);
        r.Pass();
        QTest::qWait(1000);
        r.Pass(); // the first stands: the pass leaves it
        QCOMPARE(r.glowny->Kind(), 0);
        QVERIFY(r.program->TAutomatycznieUkryj().isActive());
        QVERIFY(r.program->TAutomatycznieUkryj().remainingTime() < 1500);
        QTRY_VERIFY_WITH_TIMEOUT(!r.glowny->isVisible(), 5000);
        r.Pass();
        QCOMPARE(r.glowny->Kind(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!r.glowny->isVisible(), 5000);
        QCOMPARE(r.state->list[1].BlokDzis, 0);
    }

    // ---------------------------------------------------- the blue panel

    void bluePanelOverAShownReminder()
    {
        ShellRig r(std::nullopt, ThreeDue());
        r.Start();
        r.state->timers->SetIntervals(600000, 400);
        r.Pass();
        r.program->CoolTrayClick();
        QCOMPARE(r.glowny->Kind(), int(TFGlowny::kBlue));
        QCOMPARE(r.glowny->Picture(), QString("komniebieski"));
        QCOMPARE(Shown(*r.glowny),
                 ExpectedPicture("komniebieski", r.glowny->devicePixelRatioF()));
        QVERIFY(r.glowny->findChild<QWidget*>("LClose")->isVisible());
        QVERIFY(r.glowny->findChild<QWidget*>("LPomoc")->isVisible());
        QVERIFY(!r.glowny->findChild<QWidget*>("LNieDzis")->isVisible());
        QVERIFY(!r.glowny->findChild<QWidget*>("LKomunikat")->isVisible());
        QCOMPARE(r.state->engineState.CurrentReminderIndex, 0);
        QCOMPARE(r.glowny->pos(), r.glowny->ShownPosition());

        // The help link leaves it up; the reminder's countdown takes it down.
        r.Click("LPomoc");
        QCOMPARE(r.help.urls.size(), size_t(1));
        QVERIFY(r.glowny->isVisible());
        QTRY_VERIFY(!r.glowny->isVisible());
        QCOMPARE(r.state->list[0].BlokDzis, 0);
    }

    void bluePanelStaysUntilClosed()
    {
        ShellRig r;
        r.Start();
        r.program->CoolTrayClick();
        QVERIFY(!r.program->TAutomatycznieUkryj().isActive());
        QTest::keyClick(r.glowny->windowHandle(), Qt::Key_F1);
        QCOMPARE(r.help.urls.size(), size_t(1));
        QVERIFY(r.help.urls[0].toLocalFile().endsWith("Pomoc/index.htm"));
        r.Click("LClose");
        QVERIFY(!r.glowny->isVisible());
    }
};

QTEST_MAIN(TestGlowny)
#include "test_glowny.moc"
