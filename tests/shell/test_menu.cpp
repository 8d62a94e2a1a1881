// The eight windows as start-up creates them, the tray icon's menu with
// `NoWindowOpen`, the left click, and a desktop without a notification area.

#include "shell_rig.h"

#include "shell/datawatch.h"
#include "shell/options.h"
#include "shell/remote.h"
#include "shell/testintervals.h"
#include "shell/tray.h"
#include "shell/windowset.h"
#include "windows/about.h"
#include "windows/synchronizacja.h"
#include "windows/dane.h"
#include "windows/kalendarz.h"
#include "windows/ustawienia.h"
#include "windows/help.h"
#include "windows/warning.h"
#include "windows/wprowadzane.h"

#include <QAccessible>

#include <QDirIterator>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace remindo;
using namespace remindo::test;

namespace {

struct MenuRig : ShellEnv {
    FakeTray icon;
    std::unique_ptr<TestState> state;
    std::unique_ptr<WindowSet> windows;
    std::unique_ptr<CoolTray> tray;
    int ended = 0;

    explicit MenuRig(int hostWaitMs = CoolTray::kHostWaitMs)
    {
        state = MakeState();
        windows = std::make_unique<WindowSet>(*state, Services());
        windows->glowny->SetSlideStep(0);
        windows->glowny->SetSettleTime(0);
        windows->program->Timerek().stop(); // each test starts the program's work itself
        windows->program->SetEndProgram([this] { ++ended; });
        tray = std::make_unique<CoolTray>(icon, hostWaitMs);
    }
    ~MenuRig()
    {
        tray.reset();
        windows.reset();
    }
    TFGlowny& Glowny() { return *windows->glowny; }
    Program& Prog() { return *windows->program; }
    void Choose(const char* item) { tray->Item(item)->trigger(); }
    // The window a menu item opens.
    QWidget* Widget(const char* item)
    {
        const QString name = QLatin1String(item);
        if (name == "WprowadzDane")
            return windows->dane;
        if (name == "Kalendarz1")
            return windows->kalendarz;
        if (name == "DajUstawienia")
            return windows->ustawienia;
        if (name == "Synchronizuj")
            return windows->synchronizacja;
        return windows->about;
    }
    QStringList Files() const
    {
        QStringList files;
        QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            QFile file(f);
            file.open(QIODevice::ReadOnly);
            files << f + QLatin1Char(' ') + QString::number(qHash(file.readAll()));
        }
        return files;
    }
};

const char* const kOpeners[] = {"WprowadzDane", "Kalendarz1", "DajUstawienia", "About"};

// What a screen reader finds in a window: every control named (a list
// box by the label standing for it), buttons pressed, tick boxes toggled
// with their state, steppers and scroll bars with their values. Returns
// the faults; `found` gets each named control.
QStringList SpeechFaults(QAccessibleInterface* ai, QHash<QString, QAccessibleInterface*>& found)
{
    const QString name = ai->text(QAccessible::Name);
    if (!name.isEmpty())
        found.insert(name, ai);
    const QStringList actions = ai->actionInterface() ? ai->actionInterface()->actionNames() : QStringList();
    QString fault;
    switch (ai->role()) {
    case QAccessible::Button:
        fault = actions.contains(QAccessibleActionInterface::pressAction()) ? "" : "no press";
        break;
    case QAccessible::CheckBox:
        fault = actions.contains(QAccessibleActionInterface::toggleAction()) && ai->state().checkable ? "" : "no tick";
        break;
    case QAccessible::SpinBox:
    case QAccessible::ScrollBar:
        fault = ai->valueInterface() ? "" : "no value";
        break;
    case QAccessible::ComboBox:
        fault = ai->relations(QAccessible::Label).isEmpty() ? "no label" : "";
        break;
    case QAccessible::EditableText:
    case QAccessible::List:
        break;
    default: {
        QStringList faults;
        for (int i = 0; i < ai->childCount(); ++i)
            faults << SpeechFaults(ai->child(i), found);
        return faults;
    }
    }
    if (name.isEmpty() && ai->role() != QAccessible::ComboBox)
        fault += " no name";
    return fault.isEmpty() ? QStringList() : QStringList{ai->object()->objectName() + QStringLiteral(": ") + fault};
}

// Tab's stops in a shown window, in order.
std::vector<QWidget*> TabStops(QWidget* window)
{
    std::vector<QWidget*> stops;
    for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain())
        if (w->window() == window && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus))
            stops.push_back(w);
    return stops;
}

} // namespace

class TestMenu : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Any box the store puts up is answered with Zamknij, through the box.
        TFWarning::SetDriver([](TFWarning& box) { QTest::keyClick(box.windowHandle(), Qt::Key_Z); });
    }

    void windowsCreatedOnceInOrder()
    {
        MenuRig r;
        QStringList names;
        for (QWidget* w : r.windows->All())
            names << w->objectName();
        QCOMPARE(names, (QStringList{"TFGlowny", "TFDane", "TFWarning", "TFWprowadzane", "TFCzestosc",
                                     "TFkalendarz", "TFUstawienia", "TFAbout", "TFSynchronizacja"}));
        for (QWidget* w : r.windows->All())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
        // The store's messages go to the program's own box.
        QCOMPARE(r.state->messages.Target(), static_cast<Messages*>(r.windows->warning));
        QCOMPARE(r.Widget("WprowadzDane")->size(), QSize(386, 447));
        QCOMPARE(r.Widget("Kalendarz1")->size(), QSize(500, 500));
        QCOMPARE(r.Widget("DajUstawienia")->size(), QSize(386, 243));
        QCOMPARE(r.Widget("About")->size(), QSize(386, 243));
        QCOMPARE(r.Widget("Synchronizuj")->size(), QSize(386, 300));
    }

    void menuItemsInOrder()
    {
        MenuRig r;
        r.tray->Start(r.Prog());
        QCOMPARE(r.icon.menu, &r.tray->PopMenu());
        QStringList captions;
        for (QAction* a : r.tray->PopMenu().actions())
            captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(captions, (QStringList{"&Dane", "&Kalendarz", "-", "&Ustawienia", "&Synchronizacja", "&O programie", "&Pomoc", "-",
                                        QString::fromUtf8("&Zakończ")}));
    }

    void eachWindowOpensOnlyWhileNoneIsOpen_data()
    {
        QTest::addColumn<QString>("item");
        for (const char* item : kOpeners)
            QTest::newRow(item) << QString::fromLatin1(item);
    }

    void eachWindowOpensOnlyWhileNoneIsOpen()
    {
        QFETCH(QString, item);
        const QByteArray name = item.toLatin1();
        MenuRig r;
        r.tray->Start(r.Prog());
        QVERIFY(r.Prog().NoWindowOpen());
        r.Choose(name.constData());
        QWidget* opened = r.Widget(name.constData());
        QVERIFY(opened->isVisible());
        QVERIFY(!r.Prog().NoWindowOpen());

        // Every other opener does nothing while it is up; help still opens.
        for (const char* other : kOpeners)
            if (item != QLatin1String(other)) {
                r.Choose(other);
                QVERIFY2(!r.Widget(other)->isVisible(), other);
            }
        r.Choose("Pomoc");
        QCOMPARE(r.help.urls.size(), size_t(1));

        // A left click on the icon still shows the blue panel ...
        r.icon.click();
        QVERIFY(r.Glowny().isVisible());
        QCOMPARE(r.Glowny().Kind(), int(TFGlowny::kBlue));
        opened->hide();
        // ... and while the panel is up nothing opens either.
        for (const char* other : kOpeners) {
            r.Choose(other);
            QVERIFY2(!r.Widget(other)->isVisible(), other);
        }
        r.Glowny().LCloseClick();
        r.Choose(name.constData());
        QVERIFY(opened->isVisible());
    }

    void aReminderOnScreenBlocksTheMenu()
    {
        MenuRig r;
        r.tray->Start(r.Prog());
        r.Glowny().ShowReminderWindow(0, "Dentysta");
        r.Choose("WprowadzDane");
        QVERIFY(!r.Widget("WprowadzDane")->isVisible());
        r.Glowny().LKomunikatClick();
        r.Choose("WprowadzDane");
        QVERIFY(r.Widget("WprowadzDane")->isVisible());
    }

    void closeEndsWithoutSaving()
    {
        MenuRig r;
        r.tray->Start(r.Prog());
        r.Prog().TimerekTimer(); // the missing data file: the box, then the file
        QVERIFY(QFile::exists(QString::fromStdString(r.state->dataFile.Path())));
        r.state->session().AddReminder("Nowy+", DateFromYmd(2026, 12, 9), 0, 0, 0, 0, 1);
        r.Choose("WprowadzDane");
        const QStringList before = r.Files();
        // Pending edits: the list window's question first. Anuluj keeps
        // the program, Nie ends it without a write, Tak saves, then ends.
        const auto answer = [](char key) {
            TFWarning::SetDriver([key](TFWarning& b) { QTest::keyClick(b.windowHandle(), key); });
        };
        answer('a');
        r.Choose("CloseApp");
        QCOMPARE(r.ended, 0);
        answer('n');
        r.Choose("CloseApp");
        QCOMPARE(r.ended, 1);
        QCOMPARE(r.Files(), before);
        answer('t');
        r.Choose("CloseApp");
        TFWarning::SetDriver(nullptr);
        QCOMPARE(r.ended, 2);
        QVERIFY(r.Files() != before);
        Komunikaty saved;
        QCOMPARE(r.state->dataFile.ReadDataFile(saved), int(kLoaded));
        QCOMPARE(saved.ReminderCount(), 1);
    }

    // Every window as a screen reader meets it, and Tab in reading order:
    // each stop lies below the one before or in a column to its right.
    void everyWindowSpokenAndTabbedInReadingOrder()
    {
        MenuRig r;
        r.tray->Start(r.Prog());
        QHash<QString, QAccessibleInterface*> found;
        for (QWidget* w : r.windows->All()) {
            QAccessibleInterface* ai = QAccessible::queryAccessibleInterface(w);
            QVERIFY2(ai->role() == QAccessible::Window || ai->role() == QAccessible::AlertMessage,
                     qPrintable(w->objectName()));
            QCOMPARE(ai->text(QAccessible::Name), w->windowTitle());
            const QStringList faults = SpeechFaults(ai, found);
            QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
        }

        const auto readingOrder = [](QWidget* window) {
            const std::vector<QWidget*> stops = TabStops(window);
            QStringList wrong;
            for (size_t i = 1; i < stops.size(); ++i) {
                const QRect a(stops[i - 1]->mapTo(window, QPoint()), stops[i - 1]->size());
                const QRect b(stops[i]->mapTo(window, QPoint()), stops[i]->size());
                if (b.top() < a.top() - 4 && b.left() <= a.right())
                    wrong << stops[i - 1]->objectName() + QStringLiteral(" > ") + stops[i]->objectName();
            }
            return !stops.empty() && wrong.isEmpty() ? QString() : wrong.join(QLatin1Char(' ')) + QStringLiteral("?");
        };
        for (const char* item : kOpeners) {
            r.Choose(item);
            QCOMPARE(readingOrder(r.Widget(item)), QString());
            if (QLatin1String(item) == QLatin1String("WprowadzDane")) {
                r.windows->dane->LNowyWpisClick();
                QCOMPARE(readingOrder(r.windows->wprowadzane), QString());
                r.windows->wprowadzane->hide();
            }
            r.Widget(item)->hide();
        }

        // Values and states as the windows show them.
        const auto value = [&found](const char* name) {
            QAccessibleInterface* ai = found.value(QString::fromUtf8(name));
            return ai && ai->valueInterface() ? ai->valueInterface()->currentValue().toInt() : -1;
        };
        QCOMPARE(value("Komunikat pokaż co (minut)"), 60);
        QCOMPARE(value("Razy dziennie"), 1);
        QAccessibleInterface* sound = found.value(QStringLiteral("Komunikatom towarzyszy dźwięk"));
        QVERIFY(sound && sound->state().checked);
        sound->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(!sound->state().checked);
        QVERIFY(r.state->settings.SoundOn); // the dialog's value until its ✔
        QVERIFY(found.value(QStringLiteral("Oto wykaz zdarzeń w wybranym tygodniu"))
                    ->text(QAccessible::Description)
                    .contains(QStringLiteral("Brak zdarzeń w tym dniu.")));
    }

    // ---------------------------------------------------- from outside

    // An action from the desktop entry, a second start or a script always
    // reaches the user: the window asked for opens (the blue panel gives
    // way), or what stands in the way comes forward and the answer names it.
    void activationAlwaysReachesTheUser_data()
    {
        QTest::addColumn<QString>("standing");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("shown"); // the program's windows on the screen afterwards
        QTest::addColumn<int>("fronts");        // windows brought forward
        QTest::addColumn<QString>("inTheWay");
        QTest::newRow("nothing") << "" << "dane" << QStringList{"TFDane"} << 0 << "";
        QTest::newRow("about") << "" << "o-programie" << QStringList{"TFAbout"} << 0 << "";
        QTest::newRow("blue panel") << "blue panel" << "dane" << QStringList{"TFDane"} << 0 << "";
        QTest::newRow("panel without a tray") << "no-tray panel" << "ustawienia" << QStringList{"TFUstawienia"} << 0
                                              << "";
        QTest::newRow("reminder") << "reminder" << "dane" << QStringList{"TFGlowny"} << 1 << "okno przypomnienia";
        QTest::newRow("calendar, settings asked")
            << "calendar" << "ustawienia" << QStringList{"TFkalendarz"} << 1 << "okno kalendarza";
        QTest::newRow("calendar, calendar asked") << "calendar" << "kalendarz" << QStringList{"TFkalendarz"} << 1 << "";
        QTest::newRow("question") << "question" << "kalendarz" << QStringList{"TFWarning"} << 1 << "okno pytania";
        QTest::newRow("editor") << "editor" << "kalendarz" << QStringList{"TFDane", "TFWprowadzane"} << 1
                                << QString::fromUtf8("okno edycji zdarzenia");
    }

    void activationAlwaysReachesTheUser()
    {
        QFETCH(QString, standing);
        QFETCH(QString, action);
        QFETCH(QStringList, shown);
        QFETCH(int, fronts);
        QFETCH(QString, inTheWay);
        MenuRig r;
        r.tray->Start(r.Prog());
        DataFileWatch watch(*r.state, [] { return false; }, [] {});
        RemoteControl remote(*r.state, r.Prog(), *r.tray, watch);
        if (standing == "blue panel")
            r.icon.click();
        else if (standing == "no-tray panel")
            r.Prog().ShowNoTrayPanel();
        else if (standing == "reminder")
            r.Glowny().ShowReminderWindow(0, "Dentysta");
        else if (standing == "calendar")
            r.Choose("Kalendarz1");
        else if (standing == "editor") {
            r.Choose("WprowadzDane");
            r.windows->dane->LNowyWpisClick();
        }
        ActionAnswer answer;
        QStringList after;
        int brought = 0;
        const auto activate = [&] {
            const int before = r.desktop.fronts;
            answer = remote.ActivateAction(action.toStdString());
            QCoreApplication::processEvents(); // the work, done after the answer has gone
            for (QWidget* w : r.windows->All())
                if (w->isVisible())
                    after << w->objectName();
            brought = r.desktop.fronts - before;
        };
        if (standing == "question") {
            TFWarning::SetDriver([&](TFWarning& box) {
                activate();
                QTest::keyClick(box.windowHandle(), Qt::Key_Z);
            });
            r.state->messages.ShowWarning(kQuestionBox, kIconQuestion, "Czy zapisać?");
            TFWarning::SetDriver([](TFWarning& box) { QTest::keyClick(box.windowHandle(), Qt::Key_Z); });
        } else {
            activate();
        }
        QVERIFY(answer.known);
        QCOMPARE(QString::fromStdString(answer.inTheWay), inTheWay);
        QCOMPARE(after, shown);
        QCOMPARE(brought, fronts);
        QVERIFY(!remote.ActivateAction("okno").known);
    }

    // Each window's option opens that window on the road a second start
    // takes: the option read, its action asked over the session bus.
    void eachOptionOpensItsWindow_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("window");
        QTest::newRow("--list") << "--list" << "TFDane";
        QTest::newRow("--calendar") << "--calendar" << "TFkalendarz";
        QTest::newRow("--settings") << "--settings" << "TFUstawienia";
        QTest::newRow("--about") << "--about" << "TFAbout";
    }

    void eachOptionOpensItsWindow()
    {
        QFETCH(QString, option);
        QFETCH(QString, window);
        MenuRig r;
        r.tray->Start(r.Prog());
        DataFileWatch watch(*r.state, [] { return false; }, [] {});
        RemoteControl remote(*r.state, r.Prog(), *r.tray, watch);
        const Options o = ParseOptions({"remindo", option.toStdString()});
        QCOMPARE(o.request, Request::Open);
        QVERIFY(remote.ActivateAction(std::string(o.action->name)).known);
        QCoreApplication::processEvents();
        QStringList shown;
        for (QWidget* w : r.windows->All())
            if (w->isVisible())
                shown << w->objectName();
        QCOMPARE(shown, QStringList{window});
    }

    // A script asking for help 50 times a second started a browser each
    // time: a burst opens the page once, a second later once more, and an
    // ask while the opening is under way (its box up) opens nothing.
    void helpOpensOnceInABurst()
    {
        MenuRig r;
        r.tray->Start(r.Prog());
        DataFileWatch watch(*r.state, [] { return false; }, [] {});
        RemoteControl remote(*r.state, r.Prog(), *r.tray, watch);
        const auto burst = [&] {
            for (int i = 0; i < 50; ++i)
                QVERIFY(remote.ActivateAction("pomoc").known);
            QCoreApplication::processEvents();
        };
        burst();
        QCOMPARE(r.help.urls.size(), size_t(1));
        burst();
        QCOMPARE(r.help.urls.size(), size_t(1));
        r.clock.AdvanceSeconds(1);
        burst();
        QCOMPARE(r.help.urls.size(), size_t(2));

        r.help.answer = false; // no launcher: the box names the page
        int boxes = 0;
        TFWarning::SetDriver([&](TFWarning& box) {
            if (boxes++ == 0) {
                r.clock.AdvanceSeconds(5);
                r.Choose("Pomoc");
                burst();
            }
            QTest::keyClick(box.windowHandle(), Qt::Key_Z);
        });
        r.clock.AdvanceSeconds(1);
        r.Choose("Pomoc");
        TFWarning::SetDriver([](TFWarning& box) { QTest::keyClick(box.windowHandle(), Qt::Key_Z); });
        QCOMPARE(boxes, 1);
        QCOMPARE(r.help.urls.size(), size_t(3));
    }

    // "Pomoc" where no program can be asked to show the page (no launcher
    // on the desktop) says where the page is, in words that fit the box.
    void helpWithoutALauncherNamesThePage()
    {
        MenuRig r;
        r.tray->Start(r.Prog());
        QString said;
        QSize room, needed;
        TFWarning::SetDriver([&](TFWarning& box) {
            said = box.Text();
            auto* text = box.findChild<QLabel*>("LTekstWarning");
            room = text->size();
            needed = QSize(text->minimumSizeHint().width(), text->heightForWidth(text->width()));
            QTest::keyClick(box.windowHandle(), Qt::Key_Z);
        });
        r.Choose("Pomoc");
        QVERIFY(said.isEmpty()); // the desktop took it
        r.help.answer = false;
        r.clock.AdvanceSeconds(1); // help opens at most once a second
        r.Choose("Pomoc");
        TFWarning::SetDriver([](TFWarning& box) { QTest::keyClick(box.windowHandle(), Qt::Key_Z); });
        QCOMPARE(r.help.urls.size(), size_t(2));
        const QString page = r.help.urls.back().toLocalFile();
        QVERIFY2(said.endsWith(QStringLiteral("\n") + page), qPrintable(said + QStringLiteral(" | ") + page));
        QVERIFY2(needed.width() <= room.width() && needed.height() <= room.height(),
                 qPrintable(QStringLiteral("%1x%2 in %3x%4").arg(needed.width()).arg(needed.height())
                                .arg(room.width()).arg(room.height())));
        // A long folder wraps after its separators and still fits.
        TFWarning box;
        box.Fill(kInformationBox, kIconInfo,
                 HelpFailureText(QStringLiteral("/home/uzytkownik/programy/remindo-1.02/share/remindo/Pomoc/index.htm")));
        auto* text = box.findChild<QLabel*>("LTekstWarning");
        QVERIFY(text->minimumSizeHint().width() <= text->width());
        QVERIFY(text->heightForWidth(text->width()) <= text->height());
    }

    // ---------------------------------------------------- notification area

    void noNotificationAreaShowsTheBluePanelOnce()
    {
        MenuRig r(50);
        r.icon.host = false;
        r.tray->Start(r.Prog());
        QVERIFY(r.tray->Waiting());
        QVERIFY(!r.Glowny().isVisible());
        QTRY_VERIFY(r.Glowny().isVisible());
        QCOMPARE(r.Glowny().Kind(), int(TFGlowny::kBlue));
        QCOMPARE(r.Glowny().Picture(), QString("komniebieski_bez_ikony")); // how to reach it without the icon
        QVERIFY(!r.tray->Waiting());
        r.Glowny().LCloseClick();
        QTest::qWait(150);
        QVERIFY(!r.Glowny().isVisible()); // once
    }

    // Nobody asked for the panel that says the program runs without a
    // notification area: it goes by itself after the auto-hide time.
    void noTrayPanelGoesByItself()
    {
        MenuRig r(50);
        r.icon.host = false;
        r.state->settings.LogDetail = 1;
        r.state->log.SetMode(1); // no folder: recorded, never written
        r.Prog().SetIntervals(600000, 100);
        r.tray->Start(r.Prog());
        QTRY_VERIFY(r.Glowny().isVisible());
        QVERIFY(r.Prog().TAutomatycznieUkryj().isActive());
        QTRY_VERIFY(!r.Glowny().isVisible());
        for (const std::string& line : r.state->log.Lines()) // no reminder went unanswered
            QVERIFY2(line.find("nie zosta") == std::string::npos, line.c_str());
    }

    void aNotificationAreaThatComesInTimeShowsNothing()
    {
        MenuRig r(50);
        r.icon.host = false;
        r.tray->Start(r.Prog());
        r.icon.host = true;
        QTRY_VERIFY(!r.tray->Waiting());
        QVERIFY(!r.Glowny().isVisible());

        MenuRig there(50);
        there.tray->Start(there.Prog());
        QVERIFY(!there.tray->Waiting());
    }

    void testIntervalsFromTheEnvironment()
    {
        TestIntervals t = ParseTestIntervals("2500, 60000");
        QCOMPARE(t.examinationMs, 2500);
        QCOMPARE(t.autoHideMs, 60000);
        for (const char* bad : {"", "5", "0,100", "100,-1", "a,b", "1,2,3"}) {
            t = ParseTestIntervals(bad);
            QVERIFY2(t.examinationMs == 0 && t.autoHideMs == 0, bad);
        }
        QCOMPARE(ParseTestIntervals(nullptr).examinationMs, 0);
    }
};

QTEST_MAIN(TestMenu)
#include "test_menu.moc"
