// remindo-data's iCalendar export and import, run as a user runs them and
// checked against programs no one here wrote: python3-recurring-ical-events
// and khal expand the exported rules, python3-icalendar writes a calendar
// of its own to import.

#include "engine/occurrence.h"
#include "mixedlist.h"
#include "store/codec.h"
#include "store/datafile.h"
#include "store/fixedformats.h"
#include "store/messages.h"
#include "store/scramble.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace remindo;

namespace {

// Debian's interpreter, where the Debian packages are.
const char* const kPython = "/usr/bin/python3";

Date D(int y, int m, int d) { return DateFromYmd(y, m, d); }

QString Iso(Date d)
{
    const Ymd y = YmdOf(d);
    return QString::asprintf("%04d-%02d-%02d", y.year, y.month, y.day);
}

struct Run {
    int status = -1;
    QString out, err;
};

// Every kind, month ends, 29 February, weekdays of the month (one dated
// on a day that is not its own), and a count the editor never writes.
Komunikaty EveryKind()
{
    Komunikaty list;
    const Date akt = D(2026, 12, 1);
    const auto add = [&](const char* utf8, Date data, int32_t coIle) {
        list.AddReminder(Cp(utf8), data, coIle, 3, 0, 0, 1, akt);
    };
    add("Jednorazowe+", D(2027, 5, 4), 0);
    add("Codziennie+", D(2026, 11, 1), -1);
    add("Co tydzień+", D(2026, 1, 7), -2);
    add("Piętnastego+", D(2026, 1, 15), -3);
    add("Dwudziestego dziewiątego+", D(2026, 1, 29), -3);
    add("Trzydziestego+", D(2025, 3, 30), -3);
    add("Trzydziestego pierwszego+", D(2026, 1, 31), -3);
    add("Urodziny+", D(1990, 12, 9), -4);
    add("Dzień przestępny+", D(2024, 2, 29), -4);
    add("Co 3 dni+", D(2026, 12, 1), 3);
    add("Co 365 dni+", D(2025, 6, 1), 365);
    add("Pierwszy poniedziałek+", D(2026, 1, 1), -12);
    add("Czwarta sobota+", D(2026, 1, 1), -47);
    add("Każdy wtorek+", D(2026, 1, 1), -53);
    add("Ostatni piątek od środy+", D(2027, 3, 3), -66);
    add("Ostatnia niedziela+", D(2026, 1, 1), -61);
    add("Siódmy czwartek+", D(2026, 1, 1), -75);
    // Series that begin after the first day looked at, and month ends.
    add("Codziennie od maja+", D(2027, 5, 18), -1);
    add("Co tydzień od 30.12+", D(2026, 12, 30), -2);
    add("Co 10 dni od 7.01+", D(2027, 1, 7), 10);
    add("Ostatniego od stycznia+", D(2027, 1, 31), -3);
    add("29 lutego 2028+", D(2028, 2, 29), -4);
    add("Wtorki od środy+", D(2026, 12, 9), -53);
    add("Drugi czwartek od piątku+", D(2027, 4, 9), -25);
    add("Codziennie od lutego (kod 8)+", D(2027, 2, 3), -84);
    return list;
}

// EveryKind and a generated list of every kind, each shown once a day at
// most and none blocked, so that a preview shows every warning.
Komunikaty EveryKindAndGenerated()
{
    Komunikaty list = EveryKind();
    for (Komunikat& k : MixedList(120, 26).items) {
        k.Tresc = k.Tresc.substr(0, k.Tresc.find('+') + 1);
        list.items.push_back(k);
    }
    for (Komunikat& k : list.items) {
        k.Blok = 0;
        k.Ile = 1;
    }
    return list;
}

QString TextOf(const Komunikat& k) { return QString::fromStdString(Utf8FromCp1250(k.Tresc)).chopped(1); }

// "text<TAB>day" for every day from `from` to `to` on which the engine has
// an occurrence.
QSet<QString> EngineDays(const Komunikaty& list, Date from, Date to)
{
    QSet<QString> days;
    for (const Komunikat& k : list.items) {
        const QString text = TextOf(k);
        for (Date t = from;;) {
            const Date next = NextOccurrence(k, t);
            if (next > to || next < t)
                break;
            days.insert(text + '\t' + Iso(next));
            if (k.CoIle == 0)
                break;
            t = AddDays(next, 1);
        }
    }
    return days;
}

QSet<QString> Lines(const QString& text)
{
    QSet<QString> lines;
    for (const QString& l : text.split('\n', Qt::SkipEmptyParts))
        lines.insert(l);
    return lines;
}

} // namespace

class TestIcs : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    QString Path(const QString& name) const { return dir_.filePath(name); }

    // The user's time zone is the test's: a date that depends on it names it.
    Run Program(const QString& program, const QStringList& args, const QString& zone = "Europe/Warsaw")
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* v : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
            env.insert(v, Path("xdg/") + v);
        env.insert("LC_ALL", "C.UTF-8");
        env.insert("TZ", zone);
        p.setProcessEnvironment(env);
        p.start(program, args);
        if (!p.waitForFinished(120000))
            return {};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }
    Run Tool(const QStringList& args, const QString& zone = "Europe/Warsaw")
    {
        return Program(REMINDO_DATA_TOOL, args, zone);
    }

    static Komunikaty Read(const QString& path)
    {
        ScriptedMessages m;
        FixedFormats f;
        Scrambler s(5);
        DataFile file(QFile::encodeName(path).toStdString(), m, f, s);
        Komunikaty list;
        return file.LoadDataFile(list) == kLoaded ? list : Komunikaty();
    }

    static QByteArray Bytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // "code date days-ahead text" for each reminder of a data file.
    QStringList Listed(const QString& data)
    {
        QStringList kept;
        for (const QString& line : Tool({"--file", data, "list", "--today", "2026-12-08"}).out.split('\n').mid(1))
            if (!line.isEmpty()) {
                const QStringList c = line.split('\t');
                kept << c[1] + ' ' + c[2] + ' ' + c[3] + ' ' + c[9];
            }
        return kept;
    }

    // A calendar of hand-written components; lines are given with '\n'.
    QString WriteCalendar(const QString& name, const QStringList& components)
    {
        QByteArray text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Test//EN\r\n";
        for (const QString& c : components)
            text += c.toUtf8();
        text += "END:VCALENDAR\r\n";
        QFile f(Path(name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return {};
        f.write(text);
        return f.fileName();
    }
    static QString Component(const QString& summary, QString lines, const QString& uid = {},
                             const QString& kind = "VEVENT")
    {
        if (!lines.isEmpty() && !lines.endsWith('\n'))
            lines += '\n';
        lines.replace("\n", "\r\n");
        return "BEGIN:" + kind + "\r\nUID:" + (uid.isEmpty() ? QString::number(qHash(summary)) + "@test" : uid) +
               "\r\nDTSTAMP:20260101T000000Z\r\nSUMMARY:" + summary + "\r\n" + lines + "END:" + kind + "\r\n";
    }

    static QByteArray Document(const Komunikaty& list, bool scrambled)
    {
        ScriptedMessages m;
        FixedFormats f;
        Scrambler s(5);
        DataFile file("", m, f, s);
        file.Switch = scrambled;
        return QByteArray::fromStdString(file.BuildDocument(list));
    }

    QString WriteList(const QString& name, const Komunikaty& list)
    {
        QFile f(Path(name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return {};
        f.write(Document(list, true));
        return f.fileName();
    }

    QString Exported(const Komunikaty& list)
    {
        const QString ics = Path("every-kind.ics");
        const Run r = Tool({"--file", WriteList("every-kind.dat", list), "export", "--ics", ics});
        return r.status == 0 && r.err.isEmpty() ? ics : QString();
    }

    // "text<TAB>day" for each reminder number that `week` lists on a day,
    // week by week from the Monday `from` to `to`.
    QSet<QString> WeekDays(const QString& data, const Komunikaty& list, Date from, Date to)
    {
        QSet<QString> days;
        for (Date monday = from; monday <= to; monday = AddDays(monday, 7)) {
            const Run r = Tool({"--file", data, "week", Iso(monday)});
            if (r.status != 0 || !r.err.isEmpty())
                return {QStringLiteral("week failed: ") + r.err};
            for (const QString& line : r.out.split('\n', Qt::SkipEmptyParts)) {
                const QStringList c = line.split('\t');
                for (const QString& nr : c.value(1).split(',', Qt::SkipEmptyParts))
                    if (c[0] <= Iso(to))
                        days.insert(TextOf(list[nr.toInt() - 1]) + '\t' + c[0]);
            }
        }
        return days;
    }

    // The same for the days on which `preview` shows a reminder as due today.
    QSet<QString> DueDays(const QString& data, const Komunikaty& list, Date from, Date to)
    {
        const Run r = Tool({"--file", data, "preview", "--from", Iso(from), "--days",
                            QString::number(to - from + 1), "--every", "2"});
        if (r.status != 0 || !r.err.isEmpty())
            return {QStringLiteral("preview failed: ") + r.err};
        QSet<QString> days;
        for (const QString& line : r.out.split('\n', Qt::SkipEmptyParts)) {
            const QStringList c = line.split('\t'); // "day hh:mm", nr, warning
            if (c.value(2) == QLatin1String("0"))
                days.insert(TextOf(list[c[1].toInt() - 1]) + '\t' + c[0].left(10));
        }
        return days;
    }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    // Three years of every kind, hand-picked and generated: the days the
    // exported file holds as python3-recurring-ical-events expands it are
    // the days `week` lists and the days `preview` shows as due today.
    void daysAgainstRecurringIcalEvents()
    {
        const Komunikaty list = EveryKindAndGenerated();
        const QString ics = Exported(list);
        QVERIFY(!ics.isEmpty());
        const QString data = Path("every-kind.dat");
        const Date from = D(2026, 12, 7), to = D(2029, 12, 9); // Monday to Sunday
        const Run r = Program(kPython, {"-c",
                                        "import sys, datetime, icalendar, recurring_ical_events\n"
                                        "cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())\n"
                                        "day = lambda s: datetime.date(*map(int, s.split('-')))\n"
                                        "for e in recurring_ical_events.of(cal).between(day(sys.argv[2]), day(sys.argv[3])):\n"
                                        "    print(str(e['SUMMARY']).split('\\n')[0] + '\\t' + e['DTSTART'].dt.isoformat())\n",
                                        ics, Iso(from), Iso(AddDays(to, 1))});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        const QSet<QString> theirs = Lines(r.out);
        QVERIFY(theirs.size() > 10 * 3 * 365);
        const QSet<QString> week = WeekDays(data, list, from, to);
        QCOMPARE(week - theirs, QSet<QString>());
        QCOMPARE(theirs - week, QSet<QString>());
        const QSet<QString> due = DueDays(data, list, from, to);
        QCOMPARE(due - theirs, QSet<QString>());
        QCOMPARE(theirs - due, QSet<QString>());
    }

    // khal imports the file into a calendar of its own and lists a week with
    // a shortened month end and the 28 February of a 29 February.
    void khalListsTheSameWeek()
    {
        const Komunikaty list = EveryKind();
        const QString ics = Exported(list);
        QVERIFY(!ics.isEmpty());
        const QString config = Path("khal.conf");
        QFile conf(config);
        QVERIFY(conf.open(QIODevice::WriteOnly | QIODevice::Truncate));
        conf.write(("[calendars]\n[[remindo]]\npath = " + Path("khal/remindo") +
                    "\ntype = calendar\n"
                    "[locale]\nlocal_timezone = Europe/Warsaw\ndefault_timezone = Europe/Warsaw\n"
                    "timeformat = %H:%M\ndateformat = %Y-%m-%d\nlongdateformat = %Y-%m-%d\n"
                    "datetimeformat = %Y-%m-%d %H:%M\nlongdatetimeformat = %Y-%m-%d %H:%M\n")
                       .toUtf8());
        conf.close();
        QVERIFY(QDir().mkpath(Path("khal/remindo")));
        const Run imported = Program("khal", {"-c", config, "import", "--batch", "-a", "remindo", ics});
        QVERIFY2(imported.status == 0, qPrintable(imported.err));
        const Run week = Program("khal", {"-c", config, "list", "-a", "remindo", "--day-format", "",
                                          "--format", "{title}\t{start-date}", "2029-02-26", "7d"});
        QVERIFY2(week.status == 0, qPrintable(week.err));
        const QSet<QString> ours = EngineDays(list, D(2029, 2, 26), D(2029, 3, 4));
        QVERIFY(ours.contains(QStringLiteral("Dzień przestępny\t2029-02-28")));
        QVERIFY(ours.contains(QStringLiteral("Trzydziestego pierwszego\t2029-02-28")));
        QCOMPARE(Lines(week.out), ours);
    }

    // Export then import: the same list, byte for byte once saved; a code
    // without a kind is left out and named; the UIDs stay.
    void roundTrip()
    {
        Komunikaty list = EveryKind();
        const Date akt = D(2026, 12, 1);
        list.AddReminder(Cp("Dwie linie,+z przecinkiem; i średnikiem\\+"), D(2026, 2, 3), -1, 0, 1, 1, 8, akt);
        list.AddReminder("ogon+bez plusa", D(2026, 2, 3), -4, 400, 0, 0, 2, akt);
        list.AddReminder("", D(2026, 2, 3), 0, 0, 0, 0, 1, akt);
        list.AddReminder("+", D(2026, 2, 3), 7, 0, 0, 0, 1, akt);
        list.AddReminder(Cp(" odstępy na końcach +"), D(2026, 2, 3), -3, 0, 0, 0, 1, akt);
        list.AddReminder("Zablokowane dzisiaj+", D(2026, 2, 3), -2, 2, 0, 1, 1, akt);
        list.items.back().BlokDzis = 1;
        list.items.back().BlokDzisData = D(2026, 12, 7);
        Komunikaty withBroken = list;
        withBroken.AddReminder("Zepsuty kod+", D(2026, 1, 1), -18, 0, 0, 0, 1, akt);

        const QString data = WriteList("round.dat", withBroken), ics = Path("round.ics");
        Run r = Tool({"--file", data, "export", "--ics", ics});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QString("not exported: reminder %1 \"Zepsuty kod\": its code -18 names no recurrence\n")
                            .arg(withBroken.ReminderCount()));
        r = Tool({"--file", Path("back.dat"), "import", "--ics", ics});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QString("added %1 of %1 events and to-dos; 0 skipped as already in the list\n")
                            .arg(list.ReminderCount()));
        QCOMPARE(Tool({"--file", Path("back.dat"), "export", "--plain", Path("back.plain")}).status, 0);
        QFile back(Path("back.plain"));
        QVERIFY(back.open(QIODevice::ReadOnly));
        QCOMPARE(back.readAll(), Document(list, false));

        // Imported again, every event is there already: nothing is written.
        const QByteArray once = Bytes(Path("back.dat"));
        r = Tool({"--file", Path("back.dat"), "import", "--ics", ics});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QString("added 0 of %1 events and to-dos; %1 skipped as already in the list\n")
                            .arg(list.ReminderCount()));
        QCOMPARE(Bytes(Path("back.dat")), once);
        QCOMPARE(QDir(dir_.path()).entryList({"back.dat.*"}, QDir::Files), QStringList());

        // Exported again, the same events under the same UIDs.
        QCOMPARE(Tool({"--file", Path("back.dat"), "export", "--ics", Path("again.ics")}).status, 0);
        const auto events = [&](const QString& file) {
            QFile f(file);
            QString text = f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
            return text.remove(QRegularExpression("DTSTAMP:[^\r]*\r\n"));
        };
        QCOMPARE(events(Path("again.ics")), events(ics));
        QVERIFY(events(ics).contains("RRULE:FREQ=MONTHLY;BYMONTHDAY=28,29,30,31;BYSETPOS=-1\r\n"));
        QVERIFY(events(ics).contains("RRULE:FREQ=YEARLY;BYMONTHDAY=28,29;BYMONTH=2;BYSETPOS=-1\r\n"));
        QVERIFY(events(ics).contains("DTSTART;VALUE=DATE:20270326\r\n")); // the last Friday, not the Wednesday
        QVERIFY(events(ics).contains("TRIGGER:-P3D\r\n"));
    }

    // A calendar that python3-icalendar writes: what maps is imported, what
    // does not is refused with its reason, and then nothing is written.
    void calendarOfAnotherProgram()
    {
        const QString ics = Path("other.ics");
        const Run written = Program(
            kPython,
            {"-c",
             "import sys, datetime, pytz, icalendar\n"
             "from datetime import date, datetime as dt\n"
             "warsaw = pytz.timezone('Europe/Warsaw')\n"
             "cal = icalendar.Calendar()\n"
             "cal.add('prodid', '-//Someone else//Birthdays//EN')\n"
             "cal.add('version', '2.0')\n"
             "def add(kind, summary, start, rule=None, key='dtstart'):\n"
             "    e = kind()\n"
             "    e.add('uid', summary + '@example.org')\n"
             "    e.add('dtstamp', dt(2026, 1, 1, 12, 0, 0, tzinfo=pytz.utc))\n"
             "    e.add('summary', summary)\n"
             "    e.add(key, start)\n"
             "    if rule: e.add('rrule', rule)\n"
             "    cal.add_component(e)\n"
             "    return e\n"
             "add(icalendar.Event, 'Urodziny Ani', date(1990, 3, 14), {'freq': 'yearly'})\n"
             "e = add(icalendar.Event, 'Imieniny Łucji', date(2020, 12, 13), {'freq': 'yearly'})\n"
             "a = icalendar.Alarm()\n"
             "a.add('action', 'DISPLAY')\n"
             "a.add('trigger', datetime.timedelta(days=-2))\n"
             "e.add_component(a)\n"
             "add(icalendar.Event, 'Narada', warsaw.localize(dt(2026, 1, 5, 10, 0)), {'freq': 'weekly', 'byday': ['MO', 'TH']})\n"
             "add(icalendar.Event, 'Spotkanie zespołu', warsaw.localize(dt(2026, 1, 7, 9, 30)), {'freq': 'weekly'})\n"
             "add(icalendar.Event, 'Co drugi poniedziałek', date(2026, 1, 5), {'freq': 'weekly', 'interval': 2, 'byday': 'MO'})\n"
             "add(icalendar.Event, 'Kurs', date(2026, 1, 1), {'freq': 'daily', 'count': 10})\n"
             "e = add(icalendar.Event, 'Dentysta', dt(2026, 3, 2, 15, 0, tzinfo=pytz.utc))\n"
             "e.add('description', 'Zabrać skierowanie')\n"
             "e.add('location', 'Przychodnia')\n"
             "add(icalendar.Event, 'Uśmiech \\U0001F600', date(2026, 5, 1))\n"
             "add(icalendar.Todo, 'Zapłacić podatek', date(2026, 4, 30), key='due')\n"
             "open(sys.argv[1], 'wb').write(cal.to_ical())\n",
             ics});
        QVERIFY2(written.status == 0, qPrintable(written.err));

        const QString data = Path("other.dat");
        Run r = Tool({"--file", data, "import", "--ics", ics});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out, QString());
        const QString at = "remindo-data: " + ics + ": ";
        QCOMPARE(r.err, at + "\"Narada\": several weekdays in one rule (FREQ=WEEKLY;BYDAY=MO,TH)\n" + at +
                            "\"Co drugi poniedziałek\": a weekday every 2 weeks (FREQ=WEEKLY;INTERVAL=2;BYDAY=MO)\n" +
                            at + "\"Kurs\": COUNT: Remindo's rules have no end and no hours (FREQ=DAILY;COUNT=10)\n" + at +
                            "\"Uśmiech 😀\": the summary: the character U+1F600 has no Windows-1250 form\n" + at +
                            "nothing imported (--skip-unsupported imports the rest)\n");
        QVERIFY(!QFile::exists(data));

        r = Tool({"--file", data, "import", "--ics", "--skip-unsupported", ics});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QString("skipped: \"Narada\": several weekdays in one rule (FREQ=WEEKLY;BYDAY=MO,TH)\n"
                                "skipped: \"Co drugi poniedziałek\": a weekday every 2 weeks "
                                "(FREQ=WEEKLY;INTERVAL=2;BYDAY=MO)\n"
                                "skipped: \"Kurs\": COUNT: Remindo's rules have no end and no hours (FREQ=DAILY;COUNT=10)\n"
                                "skipped: \"Uśmiech 😀\": the summary: the character U+1F600 has no Windows-1250 form\n"
                                "not kept: \"Dentysta\": DESCRIPTION, LOCATION\n"
                                "times of day dropped: Remindo keeps whole days\n"
                                "time zones: each date is the day its time falls on in this computer's time zone\n"
                                "added 5 of 9 events and to-dos; 0 skipped as already in the list\n"));
        QCOMPARE(Listed(data), QStringList({"-4 1990-03-14 0 Urodziny Ani", "-4 2020-12-13 2 Imieniny Łucji",
                                    "-2 2026-01-07 0 Spotkanie zespołu", "0 2026-03-02 0 Dentysta",
                                    "0 2026-04-30 0 Zapłacić podatek"}));
    }

    // A calendar is added to the list: an event the list holds already (the
    // same text, date and rule, or the UID of the reminder's export) is
    // skipped; the list's own reminders stay as they were, their blocks too;
    // the old file is kept and named. --replace makes the calendar the list.
    void importAddsToTheList()
    {
        Komunikaty list;
        const Date akt = D(2026, 12, 1);
        list.AddReminder(Cp("Urodziny Ani+"), D(1990, 3, 14), -4, 3, 1, 1, 2, akt);
        list.items.back().BlokDzis = 1;
        list.items.back().BlokDzisData = D(2026, 12, 7);
        list.AddReminder("Czynsz+", D(2026, 1, 10), -3, 2, 0, 0, 1, akt);
        list.AddReminder(Cp("Dentysta+"), D(2026, 3, 2), 0, 1, 0, 0, 1, akt);
        const QString data = WriteList("merge.dat", list);
        QCOMPARE(Tool({"--file", data, "export", "--ics", Path("merge-export.ics")}).status, 0);
        QString rentUid;
        for (const QString& event : QString::fromUtf8(Bytes(Path("merge-export.ics"))).split("BEGIN:VEVENT"))
            if (event.contains("SUMMARY:Czynsz\r\n"))
                rentUid = QRegularExpression("UID:([^\r]*)\r\n").match(event).captured(1);
        QVERIFY(!rentUid.isEmpty());

        const struct {
            const char* summary;
            const char* lines;
            bool rentsUid;
            bool added;
        } events[] = {
            {"Urodziny Ani", "DTSTART;VALUE=DATE:19900314\nRRULE:FREQ=YEARLY", false, false},
            {"Czynsz za mieszkanie", "DTSTART;VALUE=DATE:20260110\nRRULE:FREQ=MONTHLY", true, false}, // renamed
            {"Dentysta", "DTSTART;VALUE=DATE:20260303", false, true},                            // another date
            {"Czynsz", "DTSTART;VALUE=DATE:20260110\nRRULE:FREQ=WEEKLY", false, true},           // another rule
            {"Urodziny Ani i Oli", "DTSTART;VALUE=DATE:19900314\nRRULE:FREQ=YEARLY", false, true}, // another text
        };
        QStringList components, added, all;
        for (const auto& e : events) {
            components << Component(e.summary, e.lines, e.rentsUid ? rentUid : QString());
            all << e.summary;
            if (e.added)
                added << e.summary;
        }
        const QString ics = WriteCalendar("merge.ics", components);
        const QByteArray old = Bytes(data);
        Run r = Tool({"--file", data, "import", "--ics", ics});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QStringList copies = QDir(dir_.path()).entryList({"merge.dat.*"}, QDir::Files);
        QCOMPARE(copies.size(), 1);
        QCOMPARE(Bytes(Path(copies[0])), old);
        QCOMPARE(r.out, "the old list was kept as " + Path(copies[0]) +
                            QString("\nadded %1 of 5 events and to-dos; %2 skipped as already in the list\n")
                                .arg(added.size())
                                .arg(5 - added.size()));
        const Komunikaty merged = Read(data);
        QCOMPARE(merged.ReminderCount(), list.ReminderCount() + added.size());
        for (int i = 0; i < list.ReminderCount(); ++i)
            QCOMPARE(merged[i], list[i]);
        QStringList texts;
        for (int i = list.ReminderCount(); i < merged.ReminderCount(); ++i)
            texts << QString::fromStdString(Utf8FromCp1250(merged[i].Tresc)).chopped(1);
        QCOMPARE(texts, added);

        // Again: everything is there; nothing written, no copy.
        const QByteArray once = Bytes(data);
        r = Tool({"--file", data, "import", "--ics", ics});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QString("added 0 of 5 events and to-dos; 5 skipped as already in the list\n"));
        QCOMPARE(Bytes(data), once);
        QCOMPARE(QDir(dir_.path()).entryList({"merge.dat.*"}, QDir::Files), copies);

        r = Tool({"--file", data, "import", "--ics", "--replace", ics});
        QCOMPARE(r.status, 0);
        const QStringList now = QDir(dir_.path()).entryList({"merge.dat.*"}, QDir::Files);
        QCOMPARE(now.size(), 2);
        const QString second = now[0] == copies[0] ? now[1] : now[0];
        QCOMPARE(Bytes(Path(second)), once);
        QCOMPARE(r.out, "the old list was kept as " + Path(second) + "\nimported 5 of 5 events and to-dos\n");
        texts.clear();
        for (const Komunikat& k : Read(data).items)
            texts << QString::fromStdString(Utf8FromCp1250(k.Tresc)).chopped(1);
        QCOMPARE(texts, all);
    }

    // A time of day in a time zone or in UTC falls on the day it is in the
    // user's time zone, whichever that is; a time without a zone, and one in
    // a zone nobody knows (said so), is taken as written.
    void timedEventsTakeTheirDayHere()
    {
        const QString tokio = "BEGIN:VTIMEZONE\r\nTZID:Tokio\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
                              "TZOFFSETFROM:+0900\r\nTZOFFSETTO:+0900\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
        const struct {
            const char* summary;
            const char* start;
            const char* warsaw;
            const char* newYork;
        } events[] = {
            {"Noc w UTC", "DTSTART:20261216T233000Z", "2026-12-17", "2026-12-16"},
            {"Lato w UTC", "DTSTART:20260715T223000Z", "2026-07-16", "2026-07-15"},
            {"Wieczór w Nowym Jorku", "DTSTART;TZID=America/New_York:20261216T203000", "2026-12-17", "2026-12-16"},
            {"Ranek w Tokio", "DTSTART;TZID=Tokio:20261217T080000", "2026-12-17", "2026-12-16"},
            {"Bez strefy", "DTSTART:20261216T233000", "2026-12-16", "2026-12-16"},
            {"Cały dzień", "DTSTART;VALUE=DATE:20261216", "2026-12-16", "2026-12-16"},
            {"Zadanie w UTC", "DUE:20261217T030000Z", "2026-12-17", "2026-12-16"},
            {"Strefa z Marsa", "DTSTART;TZID=Mars/Olympus:20261216T233000", "2026-12-16", "2026-12-16"},
        };
        QStringList components{tokio};
        for (const auto& e : events)
            components << Component(e.summary, e.start, {}, QString(e.start).startsWith("DUE") ? "VTODO" : "VEVENT");
        const QString ics = WriteCalendar("zones.ics", components);
        for (const QString zone : {"Europe/Warsaw", "America/New_York"}) {
            const QString data = Path("zones-" + QString(zone).replace('/', '-') + ".dat");
            const Run r = Tool({"--file", data, "import", "--ics", ics}, zone);
            QCOMPARE(r.err, QString());
            QCOMPARE(r.out, QString("time zone unknown: \"Strefa z Marsa\": Mars/Olympus, its date taken as the file "
                                    "writes it\n"
                                    "times of day dropped: Remindo keeps whole days\n"
                                    "time zones: each date is the day its time falls on in this computer's time zone\n"
                                    "added 8 of 8 events and to-dos; 0 skipped as already in the list\n"));
            QStringList expected;
            for (const auto& e : events)
                expected << QString("0 ") + (zone == "Europe/Warsaw" ? e.warsaw : e.newYork) + " 0 " + e.summary;
            QCOMPARE(Listed(data), expected);
        }
    }

    // The earliest alarm before the start gives the days ahead; one of
    // minutes or hours is rounded to whole days, and the output says so.
    void alarmsInWholeDays()
    {
        const struct {
            const char* summary;
            QStringList triggers;
            int days;
            const char* said;
        } events[] = {
            {"Dwa dni", {"-P2D"}, 2, ""},
            {"Tydzień", {"-P1W"}, 7, ""},
            {"Na początku", {"PT0S"}, 0, ""},
            {"Kwadrans", {"-PT15M"}, 0, "an alarm 15 minutes before is 0 days before"},
            {"Półtora dnia", {"-PT36H"}, 1, "an alarm 1 day 12 hours before is 1 day before"},
            {"Po godzinie", {"PT1H"}, 0, "an alarm 1 hour after is 0 days before"},
            {"Dzień i kwadrans", {"-PT15M", "-P1D"}, 1, ""},
            {"Kwadrans po dniu", {"-P1D", "-PT15M"}, 1, ""}, // the earlier, though written first
        };
        QStringList components;
        QString said;
        QStringList expected;
        for (const auto& e : events) {
            QString lines = "DTSTART;VALUE=DATE:20261216\n";
            for (const QString& t : e.triggers)
                lines += "BEGIN:VALARM\nACTION:DISPLAY\nDESCRIPTION:x\nTRIGGER:" + t + "\nEND:VALARM\n";
            components << Component(e.summary, lines);
            if (*e.said)
                said += QString("rounded: \"%1\": %2\n").arg(e.summary, e.said);
            expected << QString("0 2026-12-16 %1 %2").arg(e.days).arg(e.summary);
        }
        const QString data = Path("alarms.dat");
        const Run r = Tool({"--file", data, "import", "--ics", WriteCalendar("alarms.ics", components)});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.out, said + "added 8 of 8 events and to-dos; 0 skipped as already in the list\n");
        QCOMPARE(Listed(data), expected);
    }

    // What no reminder can keep is named, event by event; the bookkeeping a
    // calendar keeps for itself, and an event of one day, say nothing.
    void whatNoReminderKeepsIsNamed()
    {
        const struct {
            const char* summary;
            const char* lines;
            const char* said;
        } events[] = {
            {"Opis i miejsce", "DTSTART;VALUE=DATE:20261216\nDESCRIPTION:Zabrać skierowanie\nLOCATION:Przychodnia",
             "DESCRIPTION, LOCATION"},
            {"Goście",
             "DTSTART;VALUE=DATE:20261216\nORGANIZER:mailto:a@example.org\nATTENDEE:mailto:b@example.org\n"
             "ATTENDEE:mailto:c@example.org\nURL:https://example.org/\nCATEGORIES:Praca",
             "ORGANIZER, ATTENDEE, URL, CATEGORIES"},
            {"Urlop", "DTSTART;VALUE=DATE:20261221\nDTEND;VALUE=DATE:20261228", "DTEND (until 2026-12-27)"},
            {"Wyjazd", "DTSTART:20261221T080000Z\nDURATION:P2DT1H", "DURATION (until 2026-12-23)"},
            {"Jeden dzień", "DTSTART;VALUE=DATE:20261216\nDTEND;VALUE=DATE:20261217", ""},
            {"Godzina", "DTSTART:20261216T100000Z\nDTEND:20261216T110000Z", ""},
            {"Obcy dodatek", "DTSTART;VALUE=DATE:20261216\nX-MOZ-GENERATION:3", "X-MOZ-GENERATION"},
            {"O stałej porze",
             "DTSTART;VALUE=DATE:20261216\nBEGIN:VALARM\nACTION:DISPLAY\nDESCRIPTION:x\n"
             "TRIGGER;VALUE=DATE-TIME:20261215T090000Z\nEND:VALARM",
             "an alarm at a fixed time"},
            {"Zadanie zrobione", "DTSTART;VALUE=DATE:20261216\nDUE;VALUE=DATE:20261218\nSTATUS:COMPLETED",
             "DUE (2026-12-18), STATUS"},
            {"Księgowość",
             "DTSTART;VALUE=DATE:20261216\nCREATED:20260101T000000Z\nLAST-MODIFIED:20260102T000000Z\nSEQUENCE:3\n"
             "TRANSP:TRANSPARENT",
             ""},
        };
        QStringList components;
        QString said;
        for (const auto& e : events) {
            components << Component(e.summary, e.lines, {},
                                    QString(e.summary).startsWith("Zadanie") ? "VTODO" : "VEVENT");
            if (*e.said)
                said += QString("not kept: \"%1\": %2\n").arg(e.summary, e.said);
        }
        const QString data = Path("kept.dat");
        const Run r = Tool({"--file", data, "import", "--ics", WriteCalendar("kept.ics", components)});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.out, said +
                            "times of day dropped: Remindo keeps whole days\n"
                            "time zones: each date is the day its time falls on in this computer's time zone\n"
                            "added 10 of 10 events and to-dos; 0 skipped as already in the list\n");
        QCOMPARE(Listed(data).size(), 10);
    }

    // Calendars made to hurt, each first in a file beside one ordinary event.
    // Nesting and line length refuse the whole file before libical reads it
    // (the refusal names the bound; no time is measured); a text over the
    // editor's two lines of 160 characters, or a rule's number that libical
    // would wrap, skips its event; at the bounds everything is taken.
    void hostileCalendars()
    {
        const auto event = [](const QString& summary, const QString& lines, const QString& start = "20261216") {
            return Component(summary, "DTSTART;VALUE=DATE:" + start + "\n" + lines).toUtf8();
        };
        const auto nested = [&](int depth) { // the event at `depth`, VCALENDAR being 1
            return QByteArray("BEGIN:X-NEST\r\n").repeated(depth - 2) + event("Głęboko", "") +
                   QByteArray("END:X-NEST\r\n").repeated(depth - 2);
        };
        QByteArray eightMillion = "BEGIN:VEVENT\r\nUID:8m@test\r\nDTSTART;VALUE=DATE:20261216\r\nSUMMARY:";
        for (int i = 0; i < 8000000; i += 64) // folded, as calendars write long values
            eightMillion += QByteArray(64, 'a') + (i + 64 < 8000000 ? "\r\n " : "\r\nEND:VEVENT\r\n");
        const QString ordinary = "0 2026-12-16 0 Zwykłe", twoAdded = "added 2 of 2";
        const struct {
            const char* label;
            QByteArray hostile;
            char road; // 'F' the file refused, 'S' the event skipped, 'A' both added
            QString said; // F: the error; S: why skipped; A: the notes before the count
            QString listed;
        } cases[] = {
            {"3000 deep", nested(3000), 'F', "components nested more than 16 deep (line 19)", {}},
            {"at the depth bound", nested(16), 'A', {}, "0 2026-12-16 0 Głęboko"},
            {"an 8 MB line", event("Długi", "DESCRIPTION:" + QString(8 << 20, 'x')), 'F',
             "line 9 is longer than 65536 bytes, the longest line read here", {}},
            {"a line at the bound", event("Opisane", "DESCRIPTION:" + QString(65536 - 12, 'x')), 'A',
             "not kept: \"Opisane\": DESCRIPTION\n", "0 2026-12-16 0 Opisane"},
            {"8 million characters", eightMillion, 'S',
             "\"" + QString(80, 'a') + "…\": the summary: 8000000 characters, where Remindo keeps at most 160", {}},
            {"three lines, an escape in the name", event("Raz\x1b[2J\\nDwa\\nTrzy", ""), 'S',
             "\"Raz [2J\": the summary: 3 lines, where Remindo keeps at most 2", {}},
            {"two lines of 160", event(QString(80, 'c') + "\\n" + QString(80, 'd'), ""), 'A', {},
             "0 2026-12-16 0 " + QString(80, 'c') + " / " + QString(80, 'd')},
            {"INTERVAL=70000", event("Co 70000 dni", "RRULE:FREQ=DAILY;INTERVAL=70000"), 'S',
             "\"Co 70000 dni\": RRULE: INTERVAL=70000 is beyond what libical reads (1 to 32767)", {}},
            {"INTERVAL=65537, wrapped to 1", event("Co 65537 dni", "RRULE:freq=daily;interval=65537"), 'S',
             "\"Co 65537 dni\": RRULE: interval=65537 is beyond what libical reads (1 to 32767)", {}},
            {"INTERVAL=32767", event("Co 32767 dni", "RRULE:FREQ=DAILY;INTERVAL=32767"), 'A', {},
             "32767 2026-12-16 0 Co 32767 dni"},
            {"BYDAY=65538MO, wrapped to 2MO", event("Pn", "RRULE:FREQ=MONTHLY;BYDAY=65538MO", "20261214"), 'S',
             "\"Pn\": RRULE: BYDAY=65538MO is beyond what libical reads (places -53 to 53)", {}},
        };
        int n = 0;
        QStringList wrong;
        for (const auto& c : cases) {
            const QString ics = Path(QString("hostile-%1.ics").arg(++n)), data = Path(QString("hostile-%1.dat").arg(n));
            QFile f(ics);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Test//EN\r\n" + c.hostile +
                    Component("Zwykłe", "DTSTART;VALUE=DATE:20261216").toUtf8() + "END:VCALENDAR\r\n");
            f.close();
            const Run r = Tool({"--file", data, "import", "--ics", "--skip-unsupported", ics});
            const QString count = " events and to-dos; 0 skipped as already in the list\n";
            const bool ok = c.road == 'F' ? r.status == 1 && r.out.isEmpty() && !QFile::exists(data) &&
                                                r.err == "remindo-data: " + ics + ": " + c.said + "\n"
                            : c.road == 'S' ? r.status == 0 && r.err.isEmpty() && Listed(data) == QStringList{ordinary} &&
                                                r.out == "skipped: " + c.said + "\nadded 1 of 2" + count
                                            : r.status == 0 && r.err.isEmpty() && r.out == c.said + twoAdded + count &&
                                                Listed(data) == QStringList({c.listed, ordinary});
            if (!ok)
                wrong << QString("%1: status %2\n%3%4").arg(c.label).arg(r.status).arg(r.err.left(300), r.out.left(300));
            QFile::remove(ics);
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join("\n")));
    }
};

QTEST_GUILESS_MAIN(TestIcs)
#include "test_ics.moc"
