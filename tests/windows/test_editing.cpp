// The list window, the editor and the recurrence dialog, clicked at their
// painted places, with the message boxes answered ahead.

#include "windows/editing_support.h"

#include "store/textcases.h"

#include "store/datafile.h"
#include "windows/help.h"
#include "windows/kalendarz.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>

using namespace remindo;
using namespace remindo::test;

class TestEditing : public QObject {
    Q_OBJECT
private slots:
    void newReminderStartsWithTheDefaultsAndNeedsAText()
    {
        EditingRig r;
        QVERIFY(r.OpenList());
        r.ClickDane(ld::kNowyWpis);
        QVERIFY(r.editor.isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(&r.editor));
        QCOMPARE(r.editor.pos(), r.dane.pos() + QPoint(6, 42));
        QCOMPARE(r.editor.size(), QSize(374, 395));
        QCOMPARE(r.editor.Mode(), int(TFWprowadzane::kNew));
        QCOMPARE(r.editor.CoIle(), 0);
        QCOMPARE(r.editor.IlePrzed(), 1);
        QCOMPARE(r.editor.CzyPo(), 1);
        QCOMPARE(r.editor.Blok(), 0);
        QCOMPARE(r.editor.Ile(), 1);
        QCOMPARE(r.editor.Data(), D(2026, 12, 8));
        QCOMPARE(r.editor.DateLabel(), QStringLiteral("8 grudnia 2026"));
        QCOMPARE(r.editor.KindBox()->currentIndex(), 0);
        QCOMPARE(r.editor.KindBox()->itemText(5), QStringLiteral("Zdarzenie występuje co X dni"));
        QCOMPARE(r.Label(r.editor, "LDniPrzed"), QStringLiteral("1"));
        QCOMPARE(r.Label(r.editor, "LIleRazyDziennie"), QStringLiteral("1"));
        QVERIFY(r.editor.findChild<TickBox*>("ImPtaszek")->IsTicked());
        QVERIFY(!r.editor.findChild<TickBox*>("ImPtaszek2")->IsTicked());
        QVERIFY(!r.editor.Picker()->IsOpen());

        // The list window takes no clicks while the editor is open.
        r.ClickDane(ld::kZapisz);
        QVERIFY(r.dane.isVisible());

        // Nothing typed (or only blanks): a message, and the editor stays.
        r.TypeText("  ");
        r.ClickEditor(lw::kZapisz);
        QCOMPARE(r.LastMessage(), QStringLiteral("Wprowadź treść komunikatu."));
        QCOMPARE(r.box.shown.back().kind, int(kInformationBox));
        QVERIFY(r.editor.isVisible());
        QCOMPARE(r.state.list.ReminderCount(), 0);
        QVERIFY(!r.state.session().DataChanged());

        r.editor.Memo()->clear();
        r.TypeText("Zapłacić za gaz");
        r.ClickEditor(lw::kZapisz);
        QVERIFY(!r.editor.isVisible());
        QCOMPARE(r.state.list.ReminderCount(), 1);
        const Komunikat& k = r.state.list[0];
        QCOMPARE(k.Tresc, Cp("Zapłacić za gaz+"));
        QCOMPARE(k.Data, D(2026, 12, 8));
        QCOMPARE(k.CoIle, 0);
        QCOMPARE(k.IlePrzed, 1);
        QCOMPARE(k.CzyPo, 1);
        QCOMPARE(k.Ile, 1);
        QCOMPARE(k.BlokDzisData, D(2026, 12, 8));
        QVERIFY(r.state.session().DataChanged());
        QCOMPARE(r.Lines(), QStringList{QStringLiteral("Zapłacić za gaz ")});
        QCOMPARE(r.dane.Lista()->currentRow(), 0);
    }

    void memoKeepsToWhatTheFileCanHold()
    {
        EditingRig r;
        QVERIFY(r.OpenList());
        r.ClickDane(ld::kNowyWpis);
        QPlainTextEdit* memo = r.editor.Memo();

        r.TypeText("a+b");
        QCOMPARE(memo->toPlainText(), QStringLiteral("ab"));
        r.TypeText("ąę€");
        memo->insertPlainText(QStringLiteral("中"));
        QCOMPARE(memo->toPlainText(), QStringLiteral("abąę€"));
        // A pasted text that cannot be held goes as a whole.
        memo->insertPlainText(QStringLiteral("xy ✓ z"));
        QCOMPARE(memo->toPlainText(), QStringLiteral("abąę€"));

        // 160 characters (narrow ones, which two lines hold more of); a
        // paste stops there.
        memo->clear();
        r.TypeText(QString(170, QLatin1Char('i')));
        QCOMPARE(memo->toPlainText().size(), 160);
        memo->clear();
        memo->insertPlainText(QString(161, QLatin1Char('i')));
        QCOMPARE(memo->toPlainText().size(), 160);

        // Two lines, each ended by "+" when stored; a third is refused.
        memo->setPlainText(QStringLiteral("jeden\ndwa"));
        QCOMPARE(r.editor.StoredText(), std::string("jeden+dwa+"));
        memo->setPlainText(QStringLiteral("jeden\ndwa\ntrzy"));
        QVERIFY(!memo->toPlainText().contains(QStringLiteral("trzy")));
        memo->setPlainText(QStringLiteral("jeden\n"));
        QCOMPARE(r.editor.StoredText(), std::string("jeden+"));
        // A long line is stored as the field breaks it.
        const QString words = QStringLiteral("słowo ").repeated(12).trimmed();
        memo->setPlainText(words);
        const QStringList lines = r.editor.MemoLines();
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.join(QString()), words);
        QCOMPARE(r.editor.StoredText(), Cp((lines[0] + "+" + lines[1] + "+").toStdString()));
    }

    // Typing and pasting stop at the two stored lines: nothing the field
    // shows is dropped at the save (a third wrapped line, a line after
    // Enter below a first line that wrapped).
    void editorDropsNoTextItShows()
    {
        EditingRig r;
        QVERIFY(r.OpenList());
        r.ClickDane(ld::kNowyWpis);
        QPlainTextEdit* memo = r.editor.Memo();
        const QString sentence = QStringLiteral("Zadzwonić do administracji budynku w sprawie przeglądu "
                                                "instalacji gazowej, ustalić termin i przygotować klucze ");
        for (const QString& typed : {sentence + sentence, QString(sentence + "\ndrugi")}) {
            memo->clear();
            r.TypeText(typed);
            QCOMPARE(r.editor.WrapLines(memo->toPlainText()).size(), 2);
            QCOMPARE(QString::fromStdString(Utf8FromCp1250(r.editor.StoredText())).remove(QLatin1Char('+')),
                     memo->toPlainText().remove(QLatin1Char('\n')));
        }
        memo->clear();
        memo->insertPlainText(sentence + sentence); // pasted: what fits goes in
        QVERIFY(memo->toPlainText().startsWith(sentence));
        QCOMPARE(r.editor.WrapLines(memo->toPlainText()).size(), 2);
    }

    // The editor over the shared table of texts: it opens a stored text with
    // the lines every other window shows, and ✔ with no change keeps each of
    // them (a text that lacks its final "+" gets it); a text it cannot take
    // back as it is stays untouched.
    void editorKeepsEveryLineItShows_data() { AddTextCases(); }
    void editorKeepsEveryLineItShows()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, lines);
        QFETCH(QByteArray, confirmed);
        EditingRig r;
        r.state.list.AddReminder(text.toStdString(), D(2026, 12, 24), 0, 1, 0, 0, 1, r.state.engineState.DataAkt);
        QVERIFY(r.OpenList());
        r.ClickRow(0);
        r.ClickDane(ld::kEdytujWpis);
        QVERIFY(r.editor.isVisible());
        QCOMPARE(r.editor.Memo()->toPlainText(), lines.join(QLatin1Char('\n')));
        r.ClickEditor(lw::kZapisz);
        if (confirmed.isEmpty()) {
            QVERIFY(r.editor.isVisible());
            QVERIFY(!r.state.session().DataChanged());
            r.ClickEditor(lw::kAnuluj);
            QCOMPARE(QByteArray::fromStdString(r.state.list[0].Tresc), text);
            return;
        }
        QVERIFY(!r.editor.isVisible());
        QCOMPARE(QByteArray::fromStdString(r.state.list[0].Tresc), confirmed);
        std::vector<std::string> back;
        TextToLines(r.state.list[0].Tresc, back);
        QCOMPARE(int(back.size()), int(lines.size()));
    }

    // The memo says under itself why it took no more, and the word goes
    // with the next edit it takes, and at the next opening.
    void memoSaysWhyItTakesNoMore_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("why");
        const QString sentence = QStringLiteral("Zadzwonić do administracji budynku w sprawie przeglądu "
                                                "instalacji gazowej, ustalić termin i przygotować klucze ");
        QTest::newRow("a third line after Enter") << QStringLiteral("jeden\ndwa") << QStringLiteral("\n")
                                                  << QStringLiteral("Komunikat ma najwyżej dwa wiersze.");
        // Set whole, it is cut to what the two lines hold.
        QTest::newRow("a third wrapped line") << sentence + sentence << QStringLiteral("x")
                                              << QStringLiteral("Komunikat ma najwyżej dwa wiersze.");
        QTest::newRow("the 161st character") << QString(160, QLatin1Char('i')) << QStringLiteral("i")
                                             << QStringLiteral("Komunikat ma najwyżej 160 znaków.");
        QTest::newRow("a plus") << QStringLiteral("a") << QStringLiteral("+")
                                << QStringLiteral("Znaku „+” nie można użyć: oddziela wiersze komunikatu.");
        QTest::newRow("a character the file cannot hold")
            << QStringLiteral("a") << QStringLiteral("✓") << QStringLiteral("Tego znaku nie można zapisać w komunikacie.");
    }
    void memoSaysWhyItTakesNoMore()
    {
        QFETCH(QString, start);
        QFETCH(QString, typed);
        QFETCH(QString, why);
        EditingRig r;
        QVERIFY(r.OpenList());
        r.ClickDane(ld::kNowyWpis);
        QPlainTextEdit* memo = r.editor.Memo();
        QLabel* hint = r.editor.MemoHint();
        memo->setPlainText(start);
        memo->moveCursor(QTextCursor::End);
        const QString before = memo->toPlainText();
        if (before == start)
            QVERIFY(!hint->isVisible());
        r.TypeText(typed);
        QCOMPARE(memo->toPlainText(), before); // refused...
        QVERIFY(hint->isVisible());            // ...with a word
        QCOMPARE(hint->text(), why);
        QVERIFY(r.editor.rect().contains(hint->geometry()));
        QVERIFY(!hint->geometry().intersects(memo->geometry()));
        QTest::keyClick(memo, Qt::Key_Backspace);
        QVERIFY(!hint->isVisible());
        r.TypeText(typed + typed);
        QVERIFY(hint->isVisible());
        r.ClickEditor(lw::kAnuluj);
        r.ClickDane(ld::kNowyWpis);
        QVERIFY(!hint->isVisible());
    }

    // Which one in the month goes with its weekday, in the dialog's list and
    // in the editor's kind list: "w ostatni piątek", "w ostatnią środę".
    void weekdayRuleInPlainPolish_data()
    {
        QTest::addColumn<int>("nth");
        QTest::addColumn<int>("weekday");
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("rule");
        const auto row = [](int nth, int weekday, const char* which, const char* rule) {
            QTest::newRow(rule) << nth << weekday << QString::fromUtf8(which)
                                << QStringLiteral("Zdarzenie występuje w ") + QString::fromUtf8(rule)
                                       + QStringLiteral(" miesiąca");
        };
        row(0, 0, "pierwszą", "pierwszą niedzielę");
        row(1, 1, "drugi", "drugi poniedziałek");
        row(2, 2, "trzeci", "trzeci wtorek");
        row(3, 3, "czwartą", "czwartą środę");
        row(4, 4, "każdy", "każdy czwartek");
        row(5, 5, "ostatni", "ostatni piątek");
        row(5, 6, "ostatnią", "ostatnią sobotę");
        row(4, 0, "każdą", "każdą niedzielę");
        row(1, 3, "drugą", "drugą środę");
        row(2, 6, "trzecią", "trzecią sobotę");
    }
    void weekdayRuleInPlainPolish()
    {
        QFETCH(int, nth);
        QFETCH(int, weekday);
        QFETCH(QString, which);
        QFETCH(QString, rule);
        EditingRig r;
        QVERIFY(r.OpenList());
        r.ClickDane(ld::kNowyWpis);
        r.ChooseKind(6);
        // The weekday first, then the one in the month, then back: the list follows either way.
        EditingRig::Choose(r.dialog, lc::kRozwinListaJaki, r.dialog.JakieBox(), weekday);
        EditingRig::Choose(r.dialog, lc::kRozwinListaKtory, r.dialog.KtoreBox(), nth);
        QCOMPARE(r.dialog.KtoreBox()->currentText(), which);
        for (int i = 0; i < r.dialog.KtoreBox()->count(); ++i)
            QVERIFY(!r.dialog.KtoreBox()->itemText(i).contains(QLatin1Char('/')));
        r.ClickDialog(lc::kOkWOD);
        QCOMPARE(r.editor.KindBox()->itemText(6), rule);
        QCOMPARE(r.editor.CoIle(), -(10 * (nth + 1) + weekday + 1));
        r.ClickEditor(lw::kZapisz);
        // Opened again from the stored code, it reads the same.
        r.ClickDane(ld::kEdytujWpis);
        QCOMPARE(r.editor.KindBox()->currentText(), rule);
        r.ChooseKind(6);
        QCOMPARE(r.dialog.KtoreBox()->currentText(), which);
        r.ClickDialog(lc::kAnulujWOkD);
    }

    // Each reminder opens with its own text, never the last one opened;
    // one that cannot be stored again as it is (too long, a byte without a
    // character) is shown whole and the tick refuses it with a word.
    void editorShowsEachReminderItsOwnText()
    {
        EditingRig r;
        const std::string longLine(200, 'w');
        r.Seed("Krótki+", D(2026, 12, 24), 0);
        r.state.list.AddReminder(longLine + "+", D(2026, 12, 25), 0, 1, 0, 0, 1, r.state.engineState.DataAkt);
        r.state.list.AddReminder("Z\x98nak+", D(2026, 12, 26), 0, 1, 0, 0, 1, r.state.engineState.DataAkt);
        QVERIFY(r.OpenList());
        const struct {
            QString shown;
            const char* refusal;
        } cases[] = {
            {QString::fromStdString(longLine), "Treść komunikatu jest za długa.\rSkróć ją do dwóch wierszy i 160 znaków."},
            {QStringLiteral("Z\uFFFDnak"), "Treść zawiera znaki, których nie można zapisać.\rUsuń je lub zastąp innymi."},
        };
        for (int row : {1, 2}) {
            r.ClickRow(0);
            r.ClickDane(ld::kEdytujWpis);
            r.ClickEditor(lw::kAnuluj);
            r.ClickRow(row);
            r.ClickDane(ld::kEdytujWpis);
            QCOMPARE(r.editor.Memo()->toPlainText(), cases[row - 1].shown);
            r.ClickEditor(lw::kZapisz);
            QVERIFY(r.editor.isVisible());
            QCOMPARE(r.LastMessage(), QString::fromUtf8(cases[row - 1].refusal));
            r.ClickEditor(lw::kAnuluj);
        }
        QCOMPARE(r.state.list[1].Tresc, longLine + "+");
        QVERIFY(!r.state.session().DataChanged());
        r.ClickRow(1); // shortened, it is taken
        r.ClickDane(ld::kEdytujWpis);
        for (int i = 0; i < 150; ++i)
            QTest::keyClick(r.editor.Memo(), Qt::Key_Backspace);
        r.ClickEditor(lw::kZapisz);
        QCOMPARE(QString::fromStdString(r.state.list[1].Tresc).remove(QLatin1Char('+')), QString(50, QLatin1Char('w')));

        // The longest text the editor takes opens again and is taken as it was.
        r.ClickDane(ld::kNowyWpis);
        r.TypeText(QString(170, QLatin1Char('i')));
        r.ClickEditor(lw::kZapisz);
        const std::string longest = r.state.list[3].Tresc;
        r.ClickDane(ld::kEdytujWpis);
        r.ClickEditor(lw::kZapisz);
        QVERIFY(!r.editor.isVisible());
        QCOMPARE(r.state.list[3].Tresc, longest);
        QCOMPARE(std::count(longest.begin(), longest.end(), 'i'), 160);
    }

    // Every painted button of the list window and the editor is a named push
    // button with a press action for a screen reader, and a keyboard-only
    // user adds a reminder: Tab to "Nowe zdarzenie", Space, type, Tab to
    // "Wprowadź", Enter; Escape cancels the list window's question road.
    void keyboardAndScreenReaderReachEveryButton()
    {
        EditingRig r;
        QVERIFY(r.OpenList());
        for (QWidget* w : {static_cast<QWidget*>(&r.dane), static_cast<QWidget*>(&r.editor)}) {
            for (ClickArea* a : w->findChildren<ClickArea*>()) {
                if (!a->IsButton())
                    continue;
                // A tick box is a check box, toggled.
                const bool tick = qobject_cast<TickBox*>(a);
                QAccessibleInterface* ai = QAccessible::queryAccessibleInterface(a);
                QVERIFY2(ai && ai->role() == (tick ? QAccessible::CheckBox : QAccessible::Button) &&
                             !ai->text(QAccessible::Name).isEmpty(),
                         qPrintable(a->objectName()));
                const QString action =
                    tick ? QAccessibleActionInterface::toggleAction() : QAccessibleActionInterface::pressAction();
                QVERIFY(ai->actionInterface()->actionNames().contains(action));
            }
            QCOMPARE(QAccessible::queryAccessibleInterface(w)->role(), QAccessible::Window);
        }
        const auto focusOn = [&](QWidget& w, const char* name) {
            for (int i = 0; i < 40 && QApplication::focusWidget() != w.findChild<QWidget*>(QLatin1String(name)); ++i)
                QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &w, Qt::Key_Tab);
            return QApplication::focusWidget() == w.findChild<QWidget*>(QLatin1String(name));
        };
        r.dane.activateWindow();
        QVERIFY(focusOn(r.dane, "LNowyWpis"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(r.editor.isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), r.editor.Memo());
        r.TypeText("Z klawiatury");
        QVERIFY(focusOn(r.editor, "LZapisz"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!r.editor.isVisible());
        QCOMPARE(r.state.list[0].Tresc, std::string("Z klawiatury+"));
        r.box.Answer(kAnswerAnuluj);
        r.dane.activateWindow();
        QTRY_VERIFY(r.dane.isActiveWindow());
        QTest::keyClick(r.dane.windowHandle(), Qt::Key_Escape); // the window's cancel: its question
        QCOMPARE(r.LastMessage(), QStringLiteral("Dane zostały zmienione.\rZapisać zmiany?"));
    }

    // A date from the keyboard: Space on the date opens the picker with the
    // keyboard on its grid, the arrows move by a day and a week, Enter picks
    // and gives the keyboard back to the date; Escape folds the picker
    // away before it cancels the editor.
    void dateChosenFromTheKeyboard()
    {
        EditingRig r;
        QVERIFY(r.OpenList());
        r.ClickDane(ld::kNowyWpis);
        QTRY_COMPARE(QApplication::focusWidget(), r.editor.Memo());
        const Date start = r.editor.Data();
        const auto key = [](Qt::Key k, int times = 1) {
            for (int i = 0; i < times; ++i)
                QTest::keyClick(QApplication::focusWidget(), k);
        };
        key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("LWybData"));
        key(Qt::Key_Space);
        QVERIFY(r.editor.Picker()->IsOpen());
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("ImCalendar"));
        key(Qt::Key_Right, 2);
        key(Qt::Key_Down);
        key(Qt::Key_Return);
        QCOMPARE(r.editor.Data(), AddDays(start, 9));
        QTRY_VERIFY(!r.editor.Picker()->IsOpen());
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("LWybData"));
        QCOMPARE(r.editor.DateLabel(), DateCaption(AddDays(start, 9), r.state.formats));
        key(Qt::Key_Space);
        QTest::keyClick(r.editor.windowHandle(), Qt::Key_Escape);
        QVERIFY(!r.editor.Picker()->IsOpen());
        QVERIFY(r.editor.isVisible());
        QTest::keyClick(r.editor.windowHandle(), Qt::Key_Escape);
        QVERIFY(!r.editor.isVisible());
    }

    // Escape on an open drop-down list folds that list and nothing more: the
    // window stays with what was typed and chosen; the next Escape is the
    // window's cross again.
    void escapeFoldsAnOpenListOnly()
    {
        EditingRig r;
        TFkalendarz calendar(r.state);
        const auto newReminder = [&] {
            if (r.editor.isVisible())
                r.editor.close();
            if (!r.dane.isVisible())
                QVERIFY(r.OpenList());
            r.ClickDane(ld::kNowyWpis);
            r.TypeText("Nie zgubić");
        };
        const auto kept = [&] {
            return r.editor.isVisible() && r.editor.Memo()->toPlainText() == QStringLiteral("Nie zgubić");
        };
        const struct {
            const char* name;
            std::function<void()> open; // the window, ready
            QWidget* window;
            layout::Rect arrow;
            QComboBox* list;
            std::function<bool()> stays; // what the window still holds
        } cases[] = {
            {"the editor's kind", newReminder, &r.editor, lw::kRozwinListe, r.editor.KindBox(),
             [&] { return kept() && r.editor.KindBox()->currentIndex() == 0; }},
            {"the recurrence dialog's which", [&] { newReminder(); r.ChooseKind(6); }, &r.dialog,
             lc::kRozwinListaKtory, r.dialog.KtoreBox(), [&] { return kept() && r.dialog.isVisible(); }},
            {"the recurrence dialog's weekday", [&] { newReminder(); r.ChooseKind(6); }, &r.dialog,
             lc::kRozwinListaJaki, r.dialog.JakieBox(), [&] { return kept() && r.dialog.isVisible(); }},
            {"the calendar's week", [&] { calendar.Open(); }, &calendar, layout::kalendarz::kRozwinKalendarz,
             calendar.KtoryBox(), [&] { return calendar.KtoryBox()->currentIndex() == 0; }},
        };
        for (const auto& c : cases) {
            c.open();
            QVERIFY2(QTest::qWaitForWindowExposed(c.window), c.name);
            ClickOn(*c.window, Place(c.arrow));
            QTRY_VERIFY2(c.list->view()->isVisible(), c.name);
            QWidget* popup = QApplication::activePopupWidget();
            QVERIFY2(popup, c.name);
            QTest::keyClick(popup->windowHandle(), Qt::Key_Escape);
            QTRY_VERIFY2(!c.list->view()->isVisible(), c.name);
            QVERIFY2(c.window->isVisible() && c.stays(), c.name);
            QTest::keyClick(c.window->windowHandle(), Qt::Key_Escape);
            QVERIFY2(!c.window->isVisible(), c.name);
        }
    }

    // Each stop of the list window, the editor (its date picker open) and
    // both panels of the recurrence dialog shows where the keyboard is: a
    // button by a frame around it, clear of its face and caption; the
    // picker's grid by a frame on the chosen day.
    void focusMarkShowsAroundEveryButton()
    {
        EditingRig r;
        QVERIFY(r.OpenList());
        const auto buttonsOf = [](QWidget& window) {
            QString faults;
            for (ClickArea* a : window.findChildren<ClickArea*>()) {
                if (!a->IsButton() || a->focusPolicy() == Qt::NoFocus || !a->isVisibleTo(&window))
                    continue;
                const FocusMark m = FocusMarkOf(a);
                const QRect around = QRect(a->mapTo(&window, QPoint(0, 0)), a->size())
                                         .adjusted(-kFocusRingOffset - 1, -kFocusRingOffset - 1,
                                                   kFocusRingOffset + 1, kFocusRingOffset + 1);
                if (m.changed == 0 || m.inside > 0 || !around.contains(m.bounds))
                    faults += QStringLiteral("%1 (%2 changed, %3 inside); ").arg(a->objectName()).arg(m.changed).arg(m.inside);
            }
            return faults;
        };
        QCOMPARE(buttonsOf(r.dane), QString());
        r.ClickDane(ld::kNowyWpis);
        r.ClickEditor(lw::kRozwinKalendarz);
        QVERIFY(r.editor.Picker()->IsOpen());
        QCOMPARE(buttonsOf(r.editor), QString());
        QWidget* grid = r.editor.Picker()->findChild<QWidget*>(QStringLiteral("ImCalendar"));
        const FocusMark day = FocusMarkOf(grid);
        const QPoint centre = r.editor.Picker()->mapTo(&r.editor, r.editor.Picker()->PointOfDay(8));
        QVERIFY(day.changed > 0);
        QVERIFY(QRect(centre - QPoint(12, 11), QSize(24, 22)).contains(day.bounds));
        for (int kind : {5, 6}) {
            r.ChooseKind(kind);
            QVERIFY(QTest::qWaitForWindowExposed(&r.dialog));
            QCOMPARE(buttonsOf(r.dialog), QString());
            QTest::keyClick(r.dialog.windowHandle(), Qt::Key_Escape);
            QVERIFY(!r.dialog.isVisible());
        }
    }

    // With the list window dragged low, "+" opens the editor wholly inside
    // the work area, its tick and cross reachable; the recurrence dialog
    // over it too.
    void editorOpensInsideTheWorkArea()
    {
        EditingRig r;
        QVERIFY(r.OpenList());
        const QRect area = r.dane.screen()->availableGeometry();
        r.dane.move(area.left() + 40, area.bottom() - 120);
        r.ClickDane(ld::kNowyWpis);
        QVERIFY(area.contains(r.editor.frameGeometry()));
        r.ChooseKind(5);
        QVERIFY(area.contains(r.dialog.frameGeometry()));
    }

    // A line too long for the list is cut after a whole word, with "…",
    // and beside it stands the date the reminder comes next.
    void listCutsAtAWordAndShowsTheNextDate()
    {
        EditingRig r;
        const QString text = QStringLiteral("Zadzwonić do administracji budynku w sprawie przeglądu instalacji gazowej");
        r.Seed((text + "+").toUtf8().constData(), D(2026, 12, 24), 0);
        r.Seed("Co tydzień+", D(2026, 1, 5), -2); // Mondays
        r.Seed("Co dziesięć dni+", D(2027, 1, 10), 10); // not begun yet
        r.Seed("Codziennie od maja+", D(2027, 5, 18), -1);
        r.Seed("Drugi czwartek od 9 kwietnia+", D(2027, 4, 9), -25); // April's lies before the 9th
        QVERIFY(r.OpenList());
        const QString shown = r.dane.ShownText(0);
        QVERIFY2(shown.endsWith(QStringLiteral("…")), qPrintable(shown));
        QVERIFY2(text.startsWith(shown.chopped(1) + QLatin1Char(' ')), qPrintable(shown));
        const QFontMetrics fm(r.dane.Lista()->font());
        QVERIFY(fm.horizontalAdvance(shown) + fm.horizontalAdvance(r.dane.ShownDate(0)) <
                r.dane.Lista()->viewport()->width());
        QCOMPARE(r.dane.ShownText(1), QStringLiteral("Co tydzień"));
        const QStringList dates{r.dane.ShownDate(0), r.dane.ShownDate(1), r.dane.ShownDate(2), r.dane.ShownDate(3),
                                r.dane.ShownDate(4)};
        QCOMPARE(dates, (QStringList{"24.12.2026", "14.12.2026", "10.01.2027", "18.05.2027", "13.05.2027"}));
    }

    void editAndDeleteGuardsSpeakFirst()
    {
        EditingRig r;
        QVERIFY(r.OpenList());
        r.ClickDane(ld::kEdytujWpis);
        QCOMPARE(r.LastMessage(), QStringLiteral("Nie masz jeszcze czego edytować.\rDodaj nową pozycję."));
        r.ClickDane(ld::kUsunWpis);
        QCOMPARE(r.LastMessage(), QStringLiteral("Nie masz jeszcze czego usuwać.\rDodaj nową pozycję."));
        QVERIFY(!r.dane.DeleteConfirmed());

        r.Seed("Pierwszy+", D(2026, 12, 20), 0);
        r.Seed("Drugi+", D(2026, 12, 21), 0);
        r.dane.SelectRow(-1);
        r.ClickDane(ld::kEdytujWpis);
        QCOMPARE(r.LastMessage(), QStringLiteral("Zaznacz pozycję na liście."));
        r.ClickDane(ld::kUsunWpis);
        QCOMPARE(r.LastMessage(), QStringLiteral("Zaznacz pozycję na liście."));
        QCOMPARE(r.state.list.SelectedIndex, -1);
        QCOMPARE(r.box.shown.size(), size_t(4));
        QVERIFY(!r.editor.isVisible());
        QCOMPARE(r.state.list.ReminderCount(), 2);
    }

    void deleteAsksOnceInARun()
    {
        EditingRig r;
        for (const char* t : {"Jeden+", "Dwa+", "Trzy+", "Cztery+"})
            r.Seed(t, D(2026, 12, 20), 0);
        QVERIFY(r.SaveFile());
        QVERIFY(r.OpenList());

        r.ClickRow(1);
        r.box.Answer(kAnswerNie);
        r.ClickDane(ld::kUsunWpis);
        QCOMPARE(r.LastMessage(), QStringLiteral("Tego nie można cofnąć.\rCzy rzeczywiście usunąć?"));
        QCOMPARE(r.box.shown.back().kind, int(kQuestionBox));
        QCOMPARE(r.box.shown.back().icon, int(kIconQuestion)); // questions show the question icon
        QCOMPARE(r.state.list.ReminderCount(), 4);
        QVERIFY(r.dane.DeleteConfirmed());
        QVERIFY(!r.state.session().DataChanged());

        // From now on no question: the selected reminder goes at once, and
        // the one before it is selected.
        const size_t asked = r.box.shown.size();
        r.ClickRow(3);
        r.ClickDane(ld::kUsunWpis);
        QCOMPARE(r.box.shown.size(), asked);
        QCOMPARE(r.Lines(), (QStringList{"Jeden ", "Dwa ", "Trzy "}));
        QCOMPARE(r.dane.Lista()->currentRow(), 2);
        QVERIFY(r.state.session().DataChanged());
        r.ClickRow(0);
        r.ClickDane(ld::kUsunWpis);
        QCOMPARE(r.Lines(), (QStringList{"Dwa ", "Trzy "}));
        QCOMPARE(r.dane.Lista()->currentRow(), 0);

        // Cancel answered Nie brings the deleted reminders back from the file.
        r.box.Answer(kAnswerNie);
        r.ClickDane(ld::kAnuluj);
        QCOMPARE(r.LastMessage(), QStringLiteral("Dane zostały zmienione.\rZapisać zmiany?"));
        QCOMPARE(r.box.shown.back().icon, int(kIconQuestion));
        QVERIFY(!r.dane.isVisible());
        QVERIFY(!r.state.session().DataChanged());
        QCOMPARE(r.Lines(), (QStringList{"Jeden ", "Dwa ", "Trzy ", "Cztery "}));
    }

    // Keys of the list window, wherever its keyboard is: Delete is the
    // delete button (its question the first time), Insert the new button.
    void deleteAndInsertKeys()
    {
        EditingRig r;
        for (const char* t : {"Jeden+", "Dwa+", "Trzy+"})
            r.Seed(t, D(2026, 12, 20), 0);
        QVERIFY(r.OpenList());
        const struct {
            Qt::Key key;
            const char* focus; // the stop holding the keyboard
            int row;           // selected first
            size_t questions;  // asked so far
            QStringList lines;
        } steps[] = {
            {Qt::Key_Delete, "Lista", 1, 1, {"Jeden ", "Dwa ", "Trzy "}}, // answered Nie
            {Qt::Key_Delete, "Lista", 1, 1, {"Jeden ", "Trzy "}},
            {Qt::Key_Delete, "LZapisz", 0, 1, {"Trzy "}},
        };
        r.box.Answer(kAnswerNie);
        for (const auto& s : steps) {
            r.ClickRow(s.row);
            r.dane.findChild<QWidget*>(QLatin1String(s.focus))->setFocus();
            QTest::keyClick(r.dane.windowHandle(), s.key);
            QCOMPARE(r.box.shown.size(), s.questions);
            QCOMPARE(r.Lines(), s.lines);
        }
        QTest::keyClick(r.dane.windowHandle(), Qt::Key_Insert);
        QVERIFY(r.editor.isVisible());
        QCOMPARE(r.editor.Mode(), int(TFWprowadzane::kNew));
    }

    void firstDeleteAnsweredTakDeletesTheOnlyReminder()
    {
        EditingRig r;
        r.Seed("Jedyny+", D(2026, 12, 20), 0);
        QVERIFY(r.OpenList());
        r.ClickRow(0);
        r.box.Answer(kAnswerTak);
        r.ClickDane(ld::kUsunWpis);
        QCOMPARE(r.state.list.ReminderCount(), 0);
        QCOMPARE(r.state.list.SelectedIndex, -1);
        QCOMPARE(r.dane.Lista()->count(), 0);
    }

    void saveWritesLogsAndPrepares()
    {
        EditingRig r;
        r.state.settings.LogDetail = 2;
        r.state.log.SetMode(1);
        QVERIFY(r.OpenList());
        r.ClickDane(ld::kNowyWpis);
        r.TypeText("Dziś");
        r.ClickEditor(lw::kZapisz);
        QVERIFY(!r.state.list[0].WarnToday);
        r.ClickDane(ld::kZapisz);
        QVERIFY(!r.dane.isVisible());
        QVERIFY(!r.state.session().DataChanged());
        QVERIFY(r.state.list[0].WarnToday); // the preparation pass marked it
        Komunikaty back;
        QCOMPARE(r.state.dataFile.LoadDataFile(back), int(kLoaded));
        QCOMPARE(back.ReminderCount(), 1);
        QCOMPARE(back[0].Tresc, Cp("Dziś+"));
        for (const std::string& line : r.state.log.Lines())
            QVERIFY(line.find("Zapisano wprowadzone dane") == std::string::npos);

        r.state.settings.LogDetail = 3;
        QVERIFY(r.OpenList());
        r.ClickDane(ld::kZapisz);
        bool logged = false;
        for (const std::string& line : r.state.log.Lines())
            logged |= line.find("Zapisano wprowadzone dane") != std::string::npos;
        QVERIFY(logged);
    }

    void saveThatCannotWriteKeepsTheWindowAndTheChanges()
    {
        EditingRig r;
        // A folder where the data file should be: the real failure.
        QVERIFY(QDir().mkpath(QString::fromStdString(r.state.dataFile.Path())));
        QVERIFY(r.OpenList());
        r.ClickDane(ld::kNowyWpis);
        r.TypeText("Nie do zapisania");
        r.ClickEditor(lw::kZapisz);
        r.ClickDane(ld::kZapisz);
        QCOMPARE(r.LastMessage(),
                 QStringLiteral("Problemy z zapisaniem pliku danych.\rCzy masz należyte uprawnienia?"));
        QVERIFY(r.dane.isVisible());
        QVERIFY(r.state.session().DataChanged());
        QCOMPARE(r.state.list.ReminderCount(), 1);

        // Cancel answered Tak fails the same way and stays too.
        r.box.Answer(kAnswerTak);
        r.ClickDane(ld::kAnuluj);
        QVERIFY(r.dane.isVisible());
        QVERIFY(r.state.session().DataChanged());
        QCOMPARE(r.state.list.ReminderCount(), 1);
    }

    void cancelWithEachAnswer()
    {
        EditingRig r;
        r.Seed("Stary+", D(2026, 12, 20), 0);
        QVERIFY(r.SaveFile());
        QVERIFY(r.OpenList());

        // No pending change: closes without a question.
        r.ClickDane(ld::kAnuluj);
        QVERIFY(!r.dane.isVisible());
        QVERIFY(r.box.shown.empty());

        QVERIFY(r.OpenList());
        r.ClickDane(ld::kNowyWpis);
        r.TypeText("Nowy");
        r.ClickEditor(lw::kZapisz);
        r.box.Answer(kAnswerAnuluj);
        r.ClickDane(ld::kAnuluj);
        QVERIFY(r.dane.isVisible());
        QVERIFY(r.state.session().DataChanged());
        QCOMPARE(r.state.list.ReminderCount(), 2);

        r.box.Answer(kAnswerTak);
        r.ClickDane(ld::kAnuluj);
        QVERIFY(!r.dane.isVisible());
        QVERIFY(!r.state.session().DataChanged());
        Komunikaty back;
        QCOMPARE(r.state.dataFile.LoadDataFile(back), int(kLoaded));
        QCOMPARE(back.ReminderCount(), 2);
        // Saved through cancel as through save: today's new reminder is marked.
        QVERIFY(r.state.list[1].WarnToday);

        // An edit thrown away with Nie.
        QVERIFY(r.OpenList());
        r.ClickRow(0);
        r.ClickDane(ld::kEdytujWpis);
        r.editor.Memo()->setPlainText(QStringLiteral("Zmieniony"));
        r.ClickEditor(lw::kZapisz);
        QCOMPARE(r.Lines().first(), QStringLiteral("Zmieniony "));
        r.box.Answer(kAnswerNie);
        r.ClickDane(ld::kAnuluj);
        QVERIFY(!r.state.session().DataChanged());
        QCOMPARE(r.Lines(), (QStringList{"Stary ", "Nowy "}));
        QCOMPARE(r.state.list[0].Tresc, std::string("Stary+"));

        // The editor's own cancel stores nothing.
        QVERIFY(r.OpenList());
        r.ClickDane(ld::kNowyWpis);
        r.TypeText("Porzucony");
        r.ClickEditor(lw::kAnuluj);
        QVERIFY(!r.editor.isVisible());
        QCOMPARE(r.state.list.ReminderCount(), 2);
        QVERIFY(!r.state.session().DataChanged());
    }

    void limitsPerKindAndTheTimesADay()
    {
        EditingRig r;
        QVERIFY(r.OpenList());
        r.ClickDane(ld::kNowyWpis);
        const struct {
            int entry;
            int32_t code;
            int32_t defaultDays;
            int32_t limit;
        } kinds[] = {{4, -4, 6, 10}, {3, -3, 4, 6}, {2, -2, 2, 3}, {1, -1, 0, 0}, {0, 0, 1, 6}};
        for (const auto& k : kinds) {
            r.ChooseKind(k.entry);
            QCOMPARE(r.editor.CoIle(), k.code);
            QCOMPARE(r.editor.IlePrzed(), k.defaultDays);
            QCOMPARE(r.editor.CzyPo(), 0); // every choice unticks warn-after
            for (int i = 0; i < 12; ++i)
                r.ClickEditor(lw::kWiecejDniPrzed);
            QCOMPARE(r.editor.IlePrzed(), k.limit);
            QCOMPARE(r.Label(r.editor, "LDniPrzed"), QString::number(k.limit));
        }
        for (int i = 0; i < 12; ++i)
            r.ClickEditor(lw::kMniejDniPrzed);
        QCOMPARE(r.editor.IlePrzed(), 0);

        for (int i = 0; i < 10; ++i)
            r.ClickEditor(lw::kWiecejRazy);
        QCOMPARE(r.editor.Ile(), 8);
        for (int i = 0; i < 10; ++i)
            r.ClickEditor(lw::kMniejRazy);
        QCOMPARE(r.editor.Ile(), 1);
        QCOMPARE(r.Label(r.editor, "LIleRazyDziennie"), QStringLiteral("1"));
    }

    // The editor's numbers take typed digits within the kind's limit of
    // days before and 1 to 8 times a day; Tab reaches each number before
    // its arrows.
    void typedNumbers()
    {
        EditingRig r;
        QVERIFY(r.OpenList());
        r.ClickDane(ld::kNowyWpis);
        StepperValue* days = r.editor.findChild<StepperValue*>(QStringLiteral("LDniPrzed"));
        StepperValue* times = r.editor.findChild<StepperValue*>(QStringLiteral("LIleRazyDziennie"));
        r.editor.KindBox()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(r.editor.KindBox(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), days);
        const struct {
            StepperValue* box;
            const char* typed;
            int32_t days, times;
        } cases[] = {
            {days, "9", 1, 1}, // a one-off allows 6 days
            {days, "5", 5, 1},
            {times, "0", 5, 1},
            {times, "12", 5, 1},
            {times, "7", 5, 7},
            {days, "\b", 5, 7},
        };
        for (const auto& c : cases) {
            c.box->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(c.box, c.typed);
            QTest::keyClick(c.box, Qt::Key_Return);
            QVERIFY2(r.editor.IlePrzed() == c.days && r.editor.Ile() == c.times, c.typed);
        }
        QTest::keyClick(times, Qt::Key_Up);
        QCOMPARE(r.editor.Ile(), 8);
        r.TypeText("Wpisane");
        days->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(days, "3");
        r.ClickEditor(lw::kZapisz);
        QCOMPARE(r.state.list[0].IlePrzed, 3);
        QCOMPARE(r.state.list[0].Ile, 8);
    }

    void tickRules()
    {
        EditingRig r;
        QVERIFY(r.OpenList());
        r.ClickDane(ld::kNowyWpis);
        auto* after = r.editor.findChild<TickBox*>("ImPtaszek");
        r.ClickEditor(lw::kPtaszek);
        QCOMPARE(r.editor.CzyPo(), 0);
        QVERIFY(!after->IsTicked());
        r.ClickEditor(lw::kPtaszek);
        QCOMPARE(r.editor.CzyPo(), 1);

        r.ChooseKind(1); // daily: warn-after cannot be ticked
        QVERIFY(!after->IsTicked());
        r.ClickEditor(lw::kPtaszek);
        QCOMPARE(r.editor.CzyPo(), 0);
        QVERIFY(!after->IsTicked());

        auto* block = r.editor.findChild<TickBox*>("ImPtaszek2");
        r.ClickEditor(lw::kPtaszek2);
        QCOMPARE(r.editor.Blok(), 1);
        QVERIFY(block->IsTicked());
        r.ClickEditor(lw::kPtaszek2);
        QCOMPARE(r.editor.Blok(), 0);

        r.ChooseKind(2);
        r.ClickEditor(lw::kPtaszek);
        QCOMPARE(r.editor.CzyPo(), 1);
        r.TypeText("Co tydzień");
        r.ClickEditor(lw::kZapisz);
        QCOMPARE(r.state.list[0].CzyPo, 1);
        QCOMPARE(r.state.list[0].CoIle, -2);
    }

    // "Co X dni" from the keyboard: the number is selected when the field
    // takes the keyboard, so typing replaces it; Tab leaves the field and
    // Shift+Tab comes back to it; Enter confirms, or names the range.
    void everyXDaysFromTheKeyboard()
    {
        EditingRig r;
        QVERIFY(r.OpenList());
        r.ClickDane(ld::kNowyWpis);
        r.ChooseKind(5);
        QVERIFY(QTest::qWaitForWindowExposed(&r.dialog));
        QLineEdit* field = r.dialog.CoIleDniField();
        QTRY_COMPARE(QApplication::focusWidget(), field);
        QTest::keyClicks(field, "14");
        QCOMPARE(field->text(), QStringLiteral("14"));
        QTest::keyClick(field, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != field);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), field);
        QTest::keyClicks(field, "400");
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(r.LastMessage(), QStringLiteral("Podaj liczbę dni od 2 do 365."));
        QVERIFY(r.dialog.isVisible());
        QTest::keyClicks(field, "21");
        QTest::keyClick(field, Qt::Key_Enter);
        QVERIFY(!r.dialog.isVisible());
        QCOMPARE(r.editor.CoIle(), 21);
        QCOMPARE(r.editor.KindBox()->itemText(5), QStringLiteral("Zdarzenie występuje co 21 dni"));
    }

    void everyXPanelWithHeldSteppers()
    {
        EditingRig r;
        QVERIFY(r.OpenList());
        r.ClickDane(ld::kNowyWpis);
        r.ChooseKind(5);
        QVERIFY(r.dialog.isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(&r.dialog));
        QCOMPARE(r.dialog.pos(), r.editor.pos() + QPoint(31, 140));
        QCOMPARE(r.dialog.size(), QSize(336, 137));
        QLineEdit* field = r.dialog.CoIleDniField();
        QCOMPARE(field->text(), QStringLiteral("2"));

        const QPoint less = Place(lc::kMniejDni).center();
        const QPoint more = Place(lc::kWiecejDni).center();
        // At 2, "-" does nothing, even with a larger number typed.
        r.SetDays("9");
        HoldAt(r.dialog, less, *r.timers, 200);
        QCOMPARE(field->text(), QStringLiteral("9"));

        // Typed 5, "+" held to the first repeat: 6 at the press, then 7. A
        // click is one step.
        r.SetDays("5");
        HoldAt(r.dialog, more, *r.timers, 400);
        QCOMPARE(field->text(), QStringLiteral("7"));
        HoldAt(r.dialog, more, *r.timers, 40);
        QCOMPARE(field->text(), QStringLiteral("8"));
        // A typed number already past a bound is not stepped further out.
        r.SetDays("400");
        HoldAt(r.dialog, more, *r.timers, 40);
        QCOMPARE(field->text(), QStringLiteral("400"));

        // Held "-" from 10 stops at 2, held on as long as it may be.
        r.SetDays("10");
        PressAt(r.dialog, less);
        r.timers->Advance(1000);
        QCOMPARE(field->text(), QStringLiteral("2"));
        r.timers->Advance(5000);
        QCOMPARE(field->text(), QStringLiteral("2"));
        ReleaseAt(r.dialog, less);

        // Held "+" stops at 365.
        r.SetDays("360");
        PressAt(r.dialog, more);
        r.timers->Advance(1000);
        ReleaseAt(r.dialog, more);
        QCOMPARE(field->text(), QStringLiteral("365"));

        // Keys: digits, backspace and the comma; "." types a comma.
        r.SetDays("1a.5");
        QCOMPARE(field->text(), QStringLiteral("1,5"));
        QTest::keyClick(field, Qt::Key_Backspace);
        QCOMPARE(field->text(), QStringLiteral("1,"));

        // Confirmed only with a whole number from 2 to 365.
        for (const char* bad : {"1,5", "", "1", "0", "366", "99999"}) {
            r.SetDays(QString::fromLatin1(bad));
            const size_t before = r.box.shown.size();
            r.ClickDialog(lc::kZapisz);
            QCOMPARE(r.box.shown.size(), before + 1);
            QCOMPARE(r.LastMessage(), QStringLiteral("Podaj liczbę dni od 2 do 365."));
            QVERIFY2(r.dialog.isVisible(), bad);
            QCOMPARE(r.editor.CoIle(), 0);
        }
        r.SetDays("10");
        r.ClickDialog(lc::kZapisz);
        QVERIFY(!r.dialog.isVisible());
        QCOMPARE(r.editor.CoIle(), 10);
        QCOMPARE(r.editor.KindBox()->currentIndex(), 5);
        QCOMPARE(r.editor.KindBox()->itemText(5), QStringLiteral("Zdarzenie występuje co 10 dni"));
        QCOMPARE(r.editor.IlePrzed(), 3);
        r.ClickEditor(lw::kWiecejDniPrzed);
        r.ClickEditor(lw::kWiecejDniPrzed);
        QCOMPARE(r.editor.IlePrzed(), 4); // 10 div 2 - 1

        // Every 3 days allows no day before.
        r.ChooseKind(5);
        QCOMPARE(r.dialog.CoIleDniField()->text(), QStringLiteral("10"));
        r.SetDays("3");
        r.ClickDialog(lc::kZapisz);
        QCOMPARE(r.editor.IlePrzed(), 0);
        r.ClickEditor(lw::kWiecejDniPrzed);
        QCOMPARE(r.editor.IlePrzed(), 0);

        // The bounds themselves are taken (then 3 again, for what follows).
        for (const int days : {2, 365, 3}) {
            r.ChooseKind(5);
            r.SetDays(QString::number(days));
            r.ClickDialog(lc::kZapisz);
            QVERIFY2(!r.dialog.isVisible(), qPrintable(QString::number(days)));
            QCOMPARE(r.editor.CoIle(), days);
        }

        // Cancelled: the rule and the entry stay, warn-after is off all the same.
        r.ClickEditor(lw::kPtaszek);
        QCOMPARE(r.editor.CzyPo(), 1);
        r.ChooseKind(5);
        r.SetDays("20");
        r.ClickDialog(lc::kAnuluj);
        QVERIFY(!r.dialog.isVisible());
        QCOMPARE(r.editor.CoIle(), 3);
        QCOMPARE(r.editor.KindBox()->currentIndex(), 5);
        QCOMPARE(r.editor.CzyPo(), 0);

        // Closed by the desktop rather than a button: a cancel too.
        r.ChooseKind(2);
        r.ChooseKind(5);
        QVERIFY(r.dialog.close() == false);
        QVERIFY(!r.dialog.isVisible());
        QCOMPARE(r.editor.KindBox()->currentIndex(), 2);
        QCOMPARE(r.editor.CoIle(), -2);
        r.editor.close();
        QVERIFY(!r.editor.isVisible());
        QCOMPARE(r.state.list.ReminderCount(), 0);
        r.ClickDane(ld::kNowyWpis); // the list window is free again
        QVERIFY(r.editor.isVisible());
    }

    void weekdayPanelBuildsTheCode()
    {
        EditingRig r;
        QVERIFY(r.OpenList());
        r.ClickDane(ld::kNowyWpis);
        r.ChooseKind(6);
        QVERIFY(r.dialog.KtoreBox()->isVisible());
        QVERIFY(!r.dialog.CoIleDniField()->isVisible());
        EditingRig::Choose(r.dialog, lc::kRozwinListaKtory, r.dialog.KtoreBox(), 5);
        EditingRig::Choose(r.dialog, lc::kRozwinListaJaki, r.dialog.JakieBox(), 5);
        r.ClickDialog(lc::kOkWOD);
        QVERIFY(!r.dialog.isVisible());
        QCOMPARE(r.editor.CoIle(), -66);
        QCOMPARE(r.editor.IlePrzed(), 3);
        QCOMPARE(r.editor.KindBox()->currentIndex(), 6);
        QCOMPARE(r.editor.KindBox()->itemText(6),
                 QStringLiteral("Zdarzenie występuje w ostatni piątek miesiąca"));
        for (int i = 0; i < 5; ++i)
            r.ClickEditor(lw::kWiecejDniPrzed);
        QCOMPARE(r.editor.IlePrzed(), 6);

        // "każdą" "niedzielę": -51, at most 3 days before.
        r.ChooseKind(6);
        QCOMPARE(r.dialog.KtoreBox()->currentIndex(), 5);
        EditingRig::Choose(r.dialog, lc::kRozwinListaKtory, r.dialog.KtoreBox(), 4);
        EditingRig::Choose(r.dialog, lc::kRozwinListaJaki, r.dialog.JakieBox(), 0);
        r.ClickDialog(lc::kOkWOD);
        QCOMPARE(r.editor.CoIle(), -51);
        r.ClickEditor(lw::kWiecejDniPrzed);
        QCOMPARE(r.editor.IlePrzed(), 3);

        // Cancelled after changing the lists: the rule stays, the lists remember.
        r.ChooseKind(6);
        EditingRig::Choose(r.dialog, lc::kRozwinListaKtory, r.dialog.KtoreBox(), 0);
        r.ClickDialog(lc::kAnulujWOkD);
        QCOMPARE(r.editor.CoIle(), -51);
        QCOMPARE(r.editor.KindBox()->itemText(6),
                 QStringLiteral("Zdarzenie występuje w każdą niedzielę miesiąca"));
        QCOMPARE(r.editor.DaysBeforeLimit(), 3); // still the rule's own limit
        r.ChooseKind(6);
        QCOMPARE(r.dialog.KtoreBox()->currentIndex(), 0);
        r.ClickDialog(lc::kOkWOD);
        QCOMPARE(r.editor.CoIle(), -11);

        // From a one-off, a cancelled dialog goes back to the one-off entry.
        r.ChooseKind(0);
        r.ChooseKind(6);
        r.ClickDialog(lc::kAnulujWOkD);
        QCOMPARE(r.editor.KindBox()->currentIndex(), 0);
        QCOMPARE(r.editor.CoIle(), 0);
    }

    void editingShowsTheStoredRule()
    {
        EditingRig r;
        r.Seed("Tydzień+", D(2026, 12, 1), -2, 3, 1, 1, 4);
        r.Seed("Co dziesięć+druga linia+", D(2026, 11, 30), 10, 4);
        r.Seed("Ostatni piątek+", D(2027, 1, 31), -66, 5);
        QVERIFY(r.OpenList());

        r.ClickRow(0);
        r.ClickDane(ld::kEdytujWpis);
        QCOMPARE(r.editor.Mode(), int(TFWprowadzane::kEdit));
        QCOMPARE(r.editor.KindBox()->currentIndex(), 2);
        QCOMPARE(r.Label(r.editor, "LDniPrzed"), QStringLiteral("3"));
        QCOMPARE(r.Label(r.editor, "LIleRazyDziennie"), QStringLiteral("4"));
        QVERIFY(r.editor.findChild<TickBox*>("ImPtaszek2")->IsTicked());
        QCOMPARE(r.editor.Memo()->toPlainText(), QStringLiteral("Tydzień"));
        QCOMPARE(r.editor.DateLabel(), QStringLiteral("1 grudnia 2026"));
        // Before any new reminder names it "co X dni", the entry reads as it stands.
        QCOMPARE(r.editor.KindBox()->itemText(5), QStringLiteral("Zdarzenie występujące co X dni"));
        r.ClickEditor(lw::kAnuluj);

        QTest::mouseDClick(r.dane.windowHandle(), Qt::LeftButton, {},
                           r.dane.Lista()->viewport()->mapTo(&r.dane,
                               r.dane.Lista()->visualItemRect(r.dane.Lista()->item(1)).center()));
        QVERIFY(r.editor.isVisible());
        QCOMPARE(r.state.list.SelectedIndex, 1);
        QCOMPARE(r.editor.KindBox()->currentIndex(), 5);
        QCOMPARE(r.editor.KindBox()->itemText(5), QStringLiteral("Zdarzenie występuje co 10 dni"));
        QCOMPARE(r.editor.Values().EveryXDays, 10);
        QCOMPARE(r.editor.Memo()->toPlainText(), QStringLiteral("Co dziesięć\ndruga linia"));
        r.ClickEditor(lw::kAnuluj);

        r.ClickRow(2);
        r.ClickDane(ld::kEdytujWpis);
        QCOMPARE(r.editor.KindBox()->currentIndex(), 6);
        QCOMPARE(r.editor.Values().NthIndex, 5);
        QCOMPARE(r.editor.Values().WeekdayIndex, 5);
        QCOMPARE(r.editor.Picker()->Value(), D(2027, 1, 31));
        // Stored above the kind's limit: saving clamps it.
        r.ClickEditor(lw::kZapisz);
        QCOMPARE(r.state.list[2].IlePrzed, 5);
        QCOMPARE(r.state.list[2].CoIle, -66);
        QCOMPARE(r.state.list.SelectedIndex, 2);
        QCOMPARE(r.state.list[0].Tresc, Cp("Tydzień+"));
    }

    void unknownCodesAreShownAsUnknownAndKept()
    {
        EditingRig r;
        for (int32_t code : {1, 400, -5, -10, -68, -60, -18, -19, -100})
            r.Seed("Obcy+", D(2026, 12, 1), code, 2);
        QVERIFY(r.OpenList());
        QCOMPARE(r.dane.Lista()->count(), 9);
        for (int row = 0; row < 9; ++row) {
            const int32_t code = r.state.list[row].CoIle;
            r.ClickRow(row);
            r.ClickDane(ld::kEdytujWpis);
            QVERIFY2(r.editor.RuleUnknown(), qPrintable(QString::number(code)));
            QCOMPARE(r.editor.KindBox()->currentIndex(), -1);
            QCOMPARE(r.editor.KindBox()->currentText(), QString());
            r.ClickEditor(lw::kWiecejRazy);
            r.ClickEditor(lw::kZapisz);
            QCOMPARE(r.state.list[row].CoIle, code);
            QCOMPARE(r.state.list[row].Ile, 2);
            QVERIFY(r.state.list[row].IlePrzed >= 0);
        }
        // Choosing a kind replaces the code.
        r.ClickRow(0);
        r.ClickDane(ld::kEdytujWpis);
        r.ChooseKind(3);
        r.ClickEditor(lw::kZapisz);
        QCOMPARE(r.state.list[0].CoIle, -3);
    }

    void pickerInTheEditor()
    {
        EditingRig r(D(2027, 1, 31));
        QVERIFY(r.OpenList());
        r.ClickDane(ld::kNowyWpis);
        DatePicker* picker = r.editor.Picker();
        QCOMPARE(picker->pos(), Place(lw::kKalendarz).topLeft());

        r.ClickEditor(lw::kRozwinKalendarz);
        QVERIFY(picker->IsOpen());
        r.ClickPicker("LNextMonth");
        QCOMPARE(r.editor.Data(), D(2027, 2, 28));
        QCOMPARE(r.editor.DateLabel(), QStringLiteral("28 lutego 2027"));
        QCOMPARE(r.Label(*picker, "LData"), QStringLiteral("28 lutego 2027"));
        r.ClickPicker("LNextYear");
        r.ClickPicker("LPrevMonth");
        QCOMPARE(r.editor.Data(), D(2028, 1, 28));
        r.ClickPicker("LPrevYear");
        QCOMPARE(r.editor.Data(), D(2027, 1, 28));
        r.ClickPicker("Ldzisiaj");
        QCOMPARE(r.editor.Data(), D(2027, 1, 31));
        QVERIFY(picker->IsOpen());

        // A day: picked, and the picker folds away a moment later.
        r.ClickPicker("LNextMonth"); // February 2027 starts on a Monday
        const QPoint grid = picker->pos() + DatePicker::PlaceOf("ImCalendar").topLeft();
        ClickAt(r.editor, grid + QPoint(1 + 2 * 24 + 12, 1 + 22 + 11)); // row 2, column 3: the 10th
        QCOMPARE(r.editor.Data(), D(2027, 2, 10));
        QCOMPARE(r.editor.DateLabel(), QStringLiteral("10 lutego 2027"));
        QVERIFY(picker->IsOpen());
        QTRY_VERIFY(!picker->IsOpen());

        // Off the days: the date stays, the picker closes all the same.
        r.ClickEditor(lw::kWybData);
        QVERIFY(picker->IsOpen());
        ClickAt(r.editor, grid + QPoint(100, 5 * 22 + 8)); // an empty cell of the last row
        QCOMPARE(r.editor.Data(), D(2027, 2, 10));
        QTRY_VERIFY(!picker->IsOpen());

        // The background, the memo, the kind list and the arrow again close it.
        r.ClickEditor(lw::kRozwinKalendarz);
        r.ClickEditor(lw::kRozwinKalendarz);
        QVERIFY(!picker->IsOpen());
        r.ClickEditor(lw::kWybData);
        ClickAt(r.editor, QPoint(300, 120));
        QVERIFY(!picker->IsOpen());
        r.ClickEditor(lw::kWybData);
        ClickOn(r.editor, Place(lw::kTresc));
        QVERIFY(!picker->IsOpen());
        r.ClickEditor(lw::kWybData);
        r.ChooseKind(0);
        QVERIFY(!picker->IsOpen());

        r.TypeText("Ferie");
        r.ClickEditor(lw::kZapisz);
        QCOMPARE(r.state.list[0].Data, D(2027, 2, 10));
        // The next opening hides the picker and starts on today.
        r.ClickDane(ld::kNowyWpis);
        QCOMPARE(r.editor.Data(), D(2027, 1, 31));
        QVERIFY(!picker->IsOpen());
    }

    void newReminderResetsWhatTheLastEditLeft()
    {
        EditingRig r;
        r.Seed("Co 30+", D(2026, 12, 1), 30, 3);
        QVERIFY(r.OpenList());
        r.ClickRow(0);
        r.ClickDane(ld::kEdytujWpis);
        r.ClickEditor(lw::kAnuluj);
        r.ClickDane(ld::kNowyWpis);
        QCOMPARE(r.editor.KindBox()->itemText(5), QStringLiteral("Zdarzenie występuje co X dni"));
        QCOMPARE(r.editor.Values().EveryXDays, 2);
        QCOMPARE(r.editor.Memo()->toPlainText(), QString());
    }

    void passesDuringAnEditDoNotDisturbIt()
    {
        EditingRig r;
        struct Presenter final : ReminderPresenter {
            int shown = 0;
            void ShowReminderWindow(int32_t, const std::string&) override { ++shown; }
            void StartAutoHideTimer() override {}
        } presenter;
        r.state.presenter.SetTarget(&presenter);
        r.Seed("Dziś jeden+", D(2026, 12, 8), 0, 1, 1, 0, 3);
        r.Seed("Dziś dwa+", D(2026, 12, 8), 0, 1, 1, 0, 3);
        QVERIFY(r.SaveFile());
        r.state.engine.PreparationPass();
        QVERIFY(r.OpenList());
        r.ClickRow(1);
        r.ClickDane(ld::kEdytujWpis);
        r.TypeText(" zmieniony");

        r.clock.AdvanceMinutes(10);
        r.state.engine.ExaminationPass(); // shows reminder 1 while the editor is open
        QCOMPARE(presenter.shown, 1);
        QCOMPARE(r.state.engineState.CurrentReminderIndex, 0);
        // The reminder window's block writes the file meanwhile.
        r.state.list[0].BlokDzis = 1;
        QVERIFY(r.SaveFile());

        r.ClickEditor(lw::kZapisz);
        QCOMPARE(r.state.list[1].Tresc, Cp("Dziś dwa zmieniony+"));
        QCOMPARE(r.state.list[0].Tresc, Cp("Dziś jeden+"));
        QCOMPARE(r.state.list[0].BlokDzis, 1);
        QCOMPARE(r.state.engineState.CurrentReminderIndex, 0);
        QCOMPARE(r.state.list.SelectedIndex, 1);
        r.state.presenter.SetTarget(nullptr);
    }

    void f1OpensHelp()
    {
        EditingRig r;
        RecordingHelpOpener opener;
        SetHelpOpener(&opener);
        QVERIFY(r.OpenList());
        QTest::keyClick(&r.dane, Qt::Key_A);
        QVERIFY(opener.urls.empty());
        QTest::keyClick(&r.dane, Qt::Key_F1);
        SetHelpOpener(nullptr);
        QCOMPARE(opener.urls.size(), size_t(1));
    }
};

QTEST_MAIN(TestEditing)
#include "test_editing.moc"
