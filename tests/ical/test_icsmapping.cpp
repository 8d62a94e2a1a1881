// The mapping one reminder and one event at a time, as a calendar sync
// takes it: what EventOf makes ReminderOf takes back whole, and the UIDs are
// those of the whole list's export.
#include "ical/ics.h"

#include "store/codec.h"

#include <QTest>

using namespace remindo;

class TestIcsMapping : public QObject {
    Q_OBJECT
private slots:
    void oneAtATime()
    {
        const Date today = DateFromYmd(2026, 12, 8);
        Komunikaty list;
        for (const int32_t code : {0, -1, -2, -3, -4, 10, -12, -53, -66, -84})
            list.AddReminder(Cp("Przegląd+auta+"), DateFromYmd(2027, 1, 31), code, 3, 1, 0, 2, today);
        list.items.push_back(list[3]); // the same text, date and rule once more
        const IcsExport all = EventsOf(list);
        QCOMPARE(all.events.size(), list.items.size());
        std::string why;
        for (size_t i = 0; i < list.items.size(); ++i) {
            const Komunikat& k = list.items[i];
            IcsEvent e;
            QVERIFY(EventOf(k, e, why));
            QCOMPARE(e.uid, ReminderUid(k));
            QCOMPARE(all.events[i].uid, ReminderUid(k, i + 1 == list.items.size() ? 2 : 1));
            std::vector<std::string> notes;
            const std::optional<Komunikat> back = ReminderOf(e, DateFromYmd(2020, 1, 1), why, &notes);
            QVERIFY2(back && *back == k, why.c_str());
            QVERIFY(notes.empty());
        }

        // A refusal and a note each name their event.
        IcsEvent e;
        QVERIFY(EventOf(list[2], e, why));
        e.notKept = {"DESCRIPTION"};
        std::vector<std::string> notes;
        QVERIFY(ReminderOf(e, today, why, &notes));
        QCOMPARE(notes, std::vector<std::string>{"not kept: \"Przegląd\": DESCRIPTION"});
        e.rules.push_back(e.rules.front());
        QVERIFY(!ReminderOf(e, today, why));
        QCOMPARE(why, std::string("\"Przegląd\": several rules (RRULE) in one event"));
    }
};

QTEST_APPLESS_MAIN(TestIcsMapping)
#include "test_icsmapping.moc"
