#include "store/reminders.h"
#include "store/textcases.h"

#include <QTest>

using namespace remindo;

namespace {

// Records what the store shows in the list window.
struct FakeListView : ReminderListView {
    std::vector<std::string> items;
    int row = -2;
    int refreshes = 0;
    void SetItems(const std::vector<std::string>& i) override
    {
        items = i;
        ++refreshes;
    }
    void SelectRow(int r) override { row = r; }
};

void Add(Komunikaty& list, const std::string& text, int blok = 0)
{
    list.AddReminder(text, Date(46000), -2, 3, 1, blok, 2, Date(46364));
}

} // namespace

class TestReminders : public QObject {
    Q_OBJECT
private slots:
    void addSetsDefaultsAndRefreshes()
    {
        Komunikaty list;
        FakeListView view;
        list.SetView(&view);
        list.AddReminder("a+", Date(46370), -3, 4, 1, 1, 5, Date(46364));
        QCOMPARE(list.ReminderCount(), 1);
        QCOMPARE(list.SelectedIndex, 0);
        const Komunikat& k = list[0];
        QCOMPARE(k.Tresc, std::string("a+"));
        QCOMPARE(k.Data, Date(46370));
        QCOMPARE(k.CoIle, -3);
        QCOMPARE(k.IlePrzed, 4);
        QCOMPARE(k.CzyPo, 1);
        QCOMPARE(k.Blok, 1);
        QCOMPARE(k.Ile, 5);
        QCOMPARE(k.BlokDzis, 0);
        QCOMPARE(k.BlokDzisData, Date(46364));
        QVERIFY(!k.WarnToday);
        QCOMPARE(k.ShownToday, 0);
        QCOMPARE(k.LastShownMinute, 0);
        Add(list, "b+");
        QCOMPARE(list.SelectedIndex, 1);
        QCOMPARE(view.items, (std::vector<std::string>{"a ", "b "}));
        QCOMPARE(view.row, 1);
        QCOMPARE(view.refreshes, 2);
    }

    void updateClearsDayBlockOnlyWhenUnblocked()
    {
        Komunikaty list;
        Add(list, "a+", 1);
        list[0].BlokDzis = 1;
        list[0].BlokDzisData = Date(46000);
        list[0].WarnToday = true;
        list[0].ShownToday = 2;
        list.UpdateReminder("x+", Date(1), 0, 0, 0, 1, 1);
        QCOMPARE(list[0].BlokDzis, 1);
        QCOMPARE(list[0].BlokDzisData, Date(46000));
        QVERIFY(list[0].WarnToday);
        QCOMPARE(list[0].ShownToday, 2);
        list.UpdateReminder("y+", Date(1), 0, 0, 0, 0, 1);
        QCOMPARE(list[0].BlokDzis, 0);
        QCOMPARE(list[0].BlokDzisData, Date(46000));
        QCOMPARE(list[0].Tresc, std::string("y+"));
        QCOMPARE(list.ReminderCount(), 1);
        // An update with nothing selected changes nothing rather than writing out of range.
        list.SelectedIndex = -1;
        list.UpdateReminder("z+", Date(1), 0, 0, 0, 0, 1);
        QCOMPARE(list[0].Tresc, std::string("y+"));
    }

    void deleteMovesSelection()
    {
        Komunikaty list;
        FakeListView view;
        list.SetView(&view);
        for (const char* t : {"0+", "1+", "2+", "3+", "4+"})
            Add(list, t);
        list[4].ShownToday = 7; // working fields move with their record
        list.SelectedIndex = 3;
        list.DeleteReminder();
        QCOMPARE(list.SelectedIndex, 2);
        QCOMPARE(list.ReminderCount(), 4);
        QCOMPARE(list[3].Tresc, std::string("4+"));
        QCOMPARE(list[3].ShownToday, 7);
        list.SelectedIndex = 0;
        list.DeleteReminder();
        QCOMPARE(list.SelectedIndex, 0);
        QCOMPARE(list[0].Tresc, std::string("1+"));
        QCOMPARE(view.items, (std::vector<std::string>{"1 ", "2 ", "4 "}));
        QCOMPARE(view.row, 0);
        list.DeleteReminder();
        list.DeleteReminder();
        list.DeleteReminder();
        QCOMPARE(list.ReminderCount(), 0);
        QCOMPARE(list.SelectedIndex, -1);
        QVERIFY(view.items.empty());
        QCOMPARE(view.row, -1);
        list.DeleteReminder(); // nothing left: harmless
        QCOMPARE(list.ReminderCount(), 0);
        list.SelectedIndex = 9;
        Add(list, "a+");
        list.SelectedIndex = 9;
        list.DeleteReminder();
        QCOMPARE(list.ReminderCount(), 1);
    }

    void fillListCutsAndFixesSelection()
    {
        Komunikaty list;
        std::vector<std::string> items{"stale"};
        list.FillReminderList(items);
        QVERIFY(items.empty());
        QCOMPARE(list.SelectedIndex, -1);
        // 44 letters, then a line end: the blank that replaces it is the 45th character.
        const std::string line44(44, 'x');
        Add(list, line44 + "+second+");
        list.SelectedIndex = -1;
        list.FillReminderList(items);
        QCOMPARE(items.size(), size_t(1));
        QCOMPARE(items[0], line44 + " ");
        QCOMPARE(list.SelectedIndex, 0);
        // A text written elsewhere without its final "+" is a line all the same.
        list[0].Tresc = "no line end";
        list.FillReminderList(items);
        QCOMPARE(items[0], std::string("no line end "));
    }

    // The store's three conversions over the shared table of texts.
    void textConversions_data() { test::AddTextCases(); }
    void textConversions()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, listLine);
        QFETCH(QStringList, lines);
        QFETCH(QByteArray, display);
        const std::string t = text.toStdString();
        QCOMPARE(QByteArray::fromStdString(TextToListLine(t)), listLine);
        QCOMPARE(QByteArray::fromStdString(TextToDisplay(t)), display);
        std::vector<std::string> got{"kept"};
        TextToLines(t, got);
        QStringList gotList;
        for (size_t i = 1; i < got.size(); ++i)
            gotList << QString::fromStdString(got[i]);
        QCOMPARE(got[0], std::string("kept")); // appends, never clears
        QCOMPARE(gotList, lines);
    }
};

QTEST_GUILESS_MAIN(TestReminders)
#include "test_reminders.moc"
