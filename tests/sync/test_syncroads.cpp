// `remindo-data sync` as a user runs it, against a real Radicale, with the
// phone (python3-caldav) on the same calendar and gnome-keyring holding the
// password. After each road the list and the calendar hold the same
// reminders, and no text typed on either side is missing from both.
#include "caldav/harness.h"
#include "store/codec.h"
#include "store/datafile.h"
#include "store/fixedformats.h"
#include "store/messages.h"
#include "store/scramble.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

#include <csignal>

using namespace remindo;
using namespace remindo::test;

namespace {

const QString kPassword = QString::fromUtf8("hasło 7");

struct Run {
    int status = -1;
    QString out, err;
};

QString Text(const Komunikat& k)
{
    std::vector<std::string> lines;
    TextToLines(k.Tresc, lines);
    QStringList parts;
    for (const std::string& l : lines)
        parts << QString::fromStdString(Utf8FromCp1250(l));
    return parts.join(" / ");
}

Komunikat R(const char* utf8, int day)
{
    Komunikat k;
    k.Tresc = Cp1250FromUtf8(utf8).text + "+";
    k.Data = DateFromYmd(2027, 1, day);
    k.IlePrzed = 1;
    k.Ile = 1;
    k.BlokDzisData = DateFromYmd(2026, 12, 1);
    return k;
}

// One computer: a data folder of its own, the same user and keyring.
class Computer {
public:
    explicit Computer(const QString& name)
        : name_(name), home_(QDir(qEnvironmentVariable("XDG_DATA_HOME")).filePath("computers/" + name))
    {
        QDir(home_).removeRecursively();
        QDir().mkpath(Folder());
    }
    QString Name() const { return name_; }
    QString Folder() const { return home_ + "/Vendly/Remindo"; }
    QString File(const char* name) const { return Folder() + "/" + name; }

    Run Start(QProcess& p, const QStringList& args, const QByteArray& input = {}) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", home_);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(REMINDO_DATA_TOOL), QStringList{"sync"} + args);
        p.waitForStarted();
        p.write(input);
        p.closeWriteChannel();
        return {};
    }
    Run Sync(const QStringList& args = {}, const QByteArray& input = {}) const
    {
        QProcess p;
        Start(p, args, input);
        p.waitForFinished(600000);
        Run r{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
              QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
        if (r.status != 0)
            qInfo("sync: %d: %s", r.status, qPrintable(r.err));
        return r;
    }
    // The first sync, which keeps the account.
    Run Connect(const Radicale& server, const QString& calendar, const QString& password = kPassword) const
    {
        return Sync({"--server", server.Url(), "--user", server.User(), "--calendar", calendar, "--password-stdin"},
                    password.toUtf8() + "\n");
    }

    std::vector<Komunikat> Load() const
    {
        Komunikaty list;
        DataFile f(File("Dane.dat").toStdString(), messages_, formats_, scrambler_);
        if (QFile::exists(File("Dane.dat")) && f.ReadDataFile(list) != kLoaded)
            qWarning("Dane.dat unreadable");
        return list.items;
    }
    void Save(const std::vector<Komunikat>& items) const
    {
        Komunikaty list;
        list.items = items;
        DataFile f(File("Dane.dat").toStdString(), messages_, formats_, scrambler_);
        QVERIFY(f.SaveDataFile(list));
    }
    QStringList Texts() const
    {
        QStringList out;
        for (const Komunikat& k : Load())
            out << Text(k);
        out.sort();
        return out;
    }

    // The calendar's address, from the state file.
    QString Calendar() const
    {
        QFile f(File("Sync.dat"));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        for (const QByteArray& line : f.readAll().split('\n'))
            if (line.startsWith("calendar "))
                return QString::fromUtf8(QByteArray::fromHex(line.mid(9)));
        return {};
    }

private:
    QString name_, home_;
    mutable ScriptedMessages messages_;
    FixedFormats formats_;
    mutable Scrambler scrambler_;
};

// The calendar as the phone sees it: UID -> summary.
QMap<QString, QString> Events(const Radicale& server, const QString& calendar)
{
    QMap<QString, QString> out;
    const auto listed = RunScript("phone.py", {calendar, server.User(), server.Password(), "list"});
    if (!listed)
        return out;
    for (const QString& line : listed->split('\n', Qt::SkipEmptyParts))
        out.insert(line.section('\t', 0, 0), line.section('\t', 1));
    return out;
}

QString UidOf(const QMap<QString, QString>& events, const QString& summary)
{
    for (auto it = events.begin(); it != events.end(); ++it)
        if (it.value() == summary)
            return it.key();
    return {};
}

int LineCount(const QString& text) { return int(text.split('\n', Qt::SkipEmptyParts).size()); }

} // namespace

class TestSyncRoads : public QObject {
    Q_OBJECT

    Radicale server_{"jan", kPassword};

    // The same reminders on both sides (the events named in `notHeld`
    // aside), and every text in `typed` on one side at least.
    void Converged(const Computer& c, const QStringList& typed = {}, const QStringList& notHeld = {})
    {
        QMap<QString, QString> events = Events(server_, c.Calendar());
        for (const QString& uid : notHeld)
            QVERIFY2(events.remove(uid) == 1, qPrintable(uid));
        QStringList there = events.values();
        there.sort();
        const QStringList here = c.Texts();
        QCOMPARE(here, there);
        for (const QString& t : typed)
            QVERIFY2(here.contains(t), qPrintable(t));
    }

    // Three reminders, synced once (through `server`, another address of the same).
    void ThreeSynced(const Computer& c, const QString& calendar, const QString& server = {})
    {
        c.Save({R("Dentysta", 5), R("Zapłacić za gaz", 10), R("Urodziny Zosi", 20)});
        const Run r = server.isEmpty() ? c.Connect(server_, calendar)
                                       : c.Sync({"--server", server, "--user", server_.User(), "--calendar", calendar,
                                                 "--password-stdin"}, kPassword.toUtf8() + "\n");
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.startsWith("synced: 3 sent, 0 received"), qPrintable(r.out));
    }

    bool Phone(const Computer& c, const QStringList& args) { return remindo::test::Phone(server_, c.Calendar(), args); }

    // Three reminders synced, then the one at `index` edited here and the
    // event of `summary` edited there, and a sync.
    Run EditedHereAndThere(const Computer& c, int index, const char* here, const QString& summary, const char* there)
    {
        ThreeSynced(c, c.Name());
        std::vector<Komunikat> list = c.Load();
        list[size_t(index)].Tresc = Cp1250FromUtf8(here).text + "+";
        c.Save(list);
        if (!Phone(c, {"edit", UidOf(Events(server_, c.Calendar()), summary), QString::fromUtf8(there)}))
            return {};
        return c.Sync();
    }

private slots:
    void initTestCase() { QVERIFY(server_.Start()); }
    void cleanupTestCase() { server_.Stop(); }

    void editOnEachSide()
    {
        Computer c("each");
        const Run r = EditedHereAndThere(c, 0, "Dentysta o 10:30", "Zapłacić za gaz", "Zapłacić za prąd");
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.startsWith("synced: 1 sent, 1 received, 0 edited on both sides"), qPrintable(r.out));
        Converged(c, {"Dentysta o 10:30", "Zapłacić za prąd", "Urodziny Zosi"});
        // Each edit kept its event: three, no more.
        QCOMPARE(Events(server_, c.Calendar()).size(), 3);
    }

    void sameReminderEditedOnBothSides()
    {
        Computer c("both");
        const Run r = EditedHereAndThere(c, 1, "Zapłacić za gaz do 15.", "Zapłacić za gaz", "Gaz zapłacony");
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains("1 edited on both sides"), qPrintable(r.out));
        QVERIFY2(r.out.contains("both kept: \"Zapłacić za gaz do 15.\" and \"Gaz zapłacony\""), qPrintable(r.out));
        Converged(c, {"Zapłacić za gaz do 15.", "Gaz zapłacony", "Dentysta", "Urodziny Zosi"});
        // Settled: the next sync has nothing to do.
        QVERIFY2(c.Sync().out.startsWith("synced: 0 sent, 0 received, 0 edited on both sides and kept twice, 0 not "
                                         "held, 1 requests"), "");
    }

    void deletionAgainstEdit()
    {
        Computer c("deletion");
        ThreeSynced(c, "deletion");
        const QMap<QString, QString> events = Events(server_, c.Calendar());
        // Deleted here, edited there; edited here, deleted there.
        std::vector<Komunikat> list = c.Load();
        list.erase(list.begin());
        list[0].Tresc = Cp1250FromUtf8("Zapłacić za gaz i wodę+").text;
        c.Save(list);
        QVERIFY(Phone(c, {"edit", UidOf(events, "Dentysta"), "Dentysta przełożony"}));
        QVERIFY(Phone(c, {"delete", UidOf(events, "Zapłacić za gaz")}));
        const Run r = c.Sync();
        QCOMPARE(r.status, 0);
        Converged(c, {"Dentysta przełożony", "Zapłacić za gaz i wodę", "Urodziny Zosi"});
        QCOMPARE(c.Load().size(), size_t(3));
    }

    // "Przypomnij jutro" on the laptop quiets the desktop today; the desktop
    // held the same reminder before its first sync and pairs it.
    void przypomnijJutroCarriedOver()
    {
        Computer laptop("laptop"), desktop("desktop");
        ThreeSynced(laptop, "answers");
        desktop.Save({R("Urodziny Zosi", 20)});
        Run r = desktop.Connect(server_, "answers");
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.startsWith("synced: 0 sent, 2 received"), qPrintable(r.out));
        std::vector<Komunikat> list = laptop.Load();
        const Date today = DateFromYmd(2026, 12, 9);
        list[0].BlokDzis = 1;
        list[0].BlokDzisData = today;
        laptop.Save(list);
        QCOMPARE(laptop.Sync().status, 0);
        r = desktop.Sync();
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.startsWith("synced: 0 sent, 1 received"), qPrintable(r.out));
        bool found = false;
        for (const Komunikat& k : desktop.Load())
            if (Text(k) == "Dentysta")
                found = k.BlokDzis == 1 && k.BlokDzisData == today;
        QVERIFY(found);
        Converged(desktop);
        QCOMPARE(desktop.Texts(), laptop.Texts());
    }

    void birthdayAndMeetingFromThePhone()
    {
        Computer c("phone");
        ThreeSynced(c, "phone");
        QVERIFY(Phone(c, {"add", "urodziny-ani", "Urodziny Ani", "DTSTART;VALUE=DATE:19900315", "RRULE:FREQ=YEARLY"}));
        QVERIFY(Phone(c, {"add", "narada", "Narada", "DTSTART:20261224T100000Z", "DTEND:20261224T110000Z"}));
        Run r = c.Sync();
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains("1 received") && r.out.contains("1 not held"), qPrintable(r.out));
        QCOMPARE(r.out.count("\"Narada\""), 1);
        bool yearly = false;
        for (const Komunikat& k : c.Load())
            if (Text(k) == "Urodziny Ani")
                yearly = k.CoIle == -4 && k.Data == DateFromYmd(1990, 3, 15);
        QVERIFY(yearly);
        Converged(c, {"Urodziny Ani"}, {"narada"});
        // Named once: the next sync leaves it alone, and it stays as it was.
        r = c.Sync();
        QCOMPARE(r.status, 0);
        QVERIFY2(!r.out.contains("Narada") && r.out.contains("0 not held"), qPrintable(r.out));
        QCOMPARE(Events(server_, c.Calendar()).value("narada"), QString("Narada"));
    }

    // The phone writes between the sync's listing and its write: the PUT
    // meets 412, and both versions stay.
    void phoneWritesBetweenListAndWrite()
    {
        Computer c("race");
        // The phone edits the event right before the sync's PUT of the local edit.
        Proxy proxy({"hook", QString::number(server_.Port()), "tort", kPython, HarnessScript("phone.py"),
                     server_.Url() + "jan/race/", server_.User(), server_.Password(), "rename", "Urodziny Zosi",
                     "Urodziny Zosi: kwiaty"});
        QVERIFY(proxy.Port() > 0);
        ThreeSynced(c, "race", "http://127.0.0.1:" + QString::number(proxy.Port()) + "/");
        QVERIFY2(c.Calendar().endsWith("/jan/race/"), qPrintable(c.Calendar()));
        std::vector<Komunikat> list = c.Load();
        list[2].Tresc = Cp1250FromUtf8("Urodziny Zosi: tort+").text;
        c.Save(list);
        const Run r = c.Sync();
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains("1 edited on both sides"), qPrintable(r.out));
        Converged(c, {"Urodziny Zosi: tort", "Urodziny Zosi: kwiaty"});
        QCOMPARE(c.Load().size(), size_t(4));
    }

    void wrongPasswordChangesNothing()
    {
        Computer c("password");
        ThreeSynced(c, "password");
        const QStringList files = {"Dane.dat", "Sync.dat", "Sync.ini"};
        QList<QByteArray> before;
        for (const QString& f : files) {
            QFile file(c.Folder() + "/" + f);
            QVERIFY(file.open(QIODevice::ReadOnly));
            before << file.readAll();
        }
        const Run r = c.Connect(server_, "password", "zle haslo");
        QCOMPARE(r.status, 1);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(LineCount(r.err), 1);
        QVERIFY2(r.err.contains("user name or password"), qPrintable(r.err));
        for (int i = 0; i < files.size(); ++i) {
            QFile file(c.Folder() + "/" + files[i]);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY2(file.readAll() == before[i], qPrintable(files[i]));
        }
        // The password kept is still the right one.
        QCOMPARE(c.Sync().status, 0);
    }

    // A server out of reach (an untrusted certificate, answers cut short) or
    // a calendar gone: one line, exit 1, the files as they were, and a later
    // sync finishes the work without losing the edit waiting here.
    void faultsLeaveTheFilesAsTheyWere()
    {
        Computer c("faults");
        ThreeSynced(c, "faults");
        std::vector<Komunikat> list = c.Load();
        list[0].Tresc = Cp1250FromUtf8("Dentysta czeka+").text;
        c.Save(list);
        const auto bytes = [&] {
            QByteArray all;
            for (const char* f : {"Dane.dat", "Sync.dat", "Sync.ini"}) {
                QFile file(c.File(f));
                all += file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
            }
            return all;
        };
        const QByteArray before = bytes();
        const QString certs = QDir(qEnvironmentVariable("XDG_DATA_HOME")).filePath("certs");
        QDir().mkpath(certs);
        const QString port = QString::number(server_.Port());
        struct Row {
            QStringList proxy;
            const char* scheme;
            const char* says;
        };
        const Row rows[] = {
            {{"tls", certs, port}, "https", "certificate"},
            {{"cut", "200", port}, "http", "no answer from the server"},
        };
        for (const Row& row : rows) {
            Proxy proxy(row.proxy);
            QVERIFY(proxy.Port() > 0);
            const Run r = c.Sync({"--server", QString("%1://127.0.0.1:%2/").arg(row.scheme).arg(proxy.Port()),
                                  "--user", server_.User(), "--calendar", "faults", "--password-stdin"},
                                 kPassword.toUtf8() + "\n");
            QCOMPARE(r.status, 1);
            QCOMPARE(LineCount(r.err), 1);
            QVERIFY2(r.err.contains(row.says), qPrintable(r.err));
            QVERIFY(bytes() == before);
        }
        // The calendar deleted on the server: the next sync makes it again.
        QVERIFY(QDir(server_.Dir() + "/storage/collection-root/jan/faults").removeRecursively());
        Run r = c.Sync();
        QCOMPARE(r.status, 1);
        QCOMPARE(LineCount(r.err), 1);
        QVERIFY2(r.err.contains("no longer on the server"), qPrintable(r.err));
        QVERIFY(c.File("Dane.dat").size() && c.Load().size() == 3);
        r = c.Sync();
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.startsWith("synced: 3 sent, 0 received"), qPrintable(r.out));
        Converged(c, {"Dentysta czeka", "Zapłacić za gaz", "Urodziny Zosi"});
    }

    // A first sync of 1 000 reminders, the sync itself killed, then the
    // server killed in the middle of the next: no event twice, and a later
    // sync finishes the work.
    void thousandKilledAndRestarted()
    {
        Computer c("thousand");
        std::vector<Komunikat> list;
        for (int i = 0; i < 1000; ++i)
            list.push_back(R(("Przypomnienie " + std::to_string(i + 1)).c_str(), 1 + i % 28));
        list[7] = list[3]; // twins get an event each
        c.Save(list);
        const QString folder = server_.Dir() + "/storage/collection-root/jan/";
        const auto onServer = [&] {
            int n = 0;
            for (QDirIterator it(folder, {"*.ics"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext(); it.next())
                ++n;
            return n;
        };
        const int already = onServer();
        const auto runUntil = [&](QProcess& p, int events) {
            while (!p.waitForFinished(20) && onServer() - already < events) {
            }
        };
        {
            QProcess p;
            c.Start(p, {"--server", server_.Url(), "--user", "jan", "--calendar", "thousand", "--password-stdin"},
                    kPassword.toUtf8() + "\n");
            runUntil(p, 300);
            p.kill(); // SIGKILL: no state written at the end
            p.waitForFinished();
        }
        QProcess p;
        c.Start(p, {});
        runUntil(p, 650);
        QVERIFY(server_.Kill());
        QVERIFY(p.waitForFinished(120000));
        QCOMPARE(p.exitCode(), 1);
        QCOMPARE(LineCount(QString::fromUtf8(p.readAllStandardError())), 1);
        QVERIFY(server_.Restart());
        const Run r = c.Sync();
        QCOMPARE(r.status, 0);
        QCOMPARE(onServer() - already, 1000);
        QCOMPARE(c.Load().size(), size_t(1000));
        Converged(c);
        QVERIFY(c.Sync().out.contains(" 1 requests"));
    }
};

QTEST_GUILESS_MAIN(TestSyncRoads)
#include "test_syncroads.moc"
