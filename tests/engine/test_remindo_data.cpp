// The command-line tool as a user runs it: output, exit status, and what it
// leaves on the disk.

#include "qtservices.h"

#include "store/atomicfile.h"
#include "store/codec.h"
#include "store/datafile.h"
#include "store/fixedformats.h"
#include "store/messages.h"
#include "store/scramble.h"
#include "store/settingsfile.h"
#include "remindo_version.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace remindo;

namespace {

Date D(int y, int m, int d) { return DateFromYmd(y, m, d); }

struct Run {
    int status = -1;
    QString out, err;
};

} // namespace

class TestRemindoData : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString data_;

    QString Xdg() const { return dir_.filePath("xdg"); }
    QString damagedPath() const { return dir_.filePath("damaged.dat"); }
    QString UserData() const { return Xdg() + "/Vendly/Remindo/Dane.dat"; }

    Run Tool(const QStringList& args, const QString& program = REMINDO_DATA_TOOL, const QString& locale = "C.UTF-8")
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", Xdg());
        env.insert("LC_ALL", locale);
        p.setProcessEnvironment(env);
        p.start(program, args);
        if (!p.waitForFinished(60000))
            return {};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

    static Komunikaty SmallList()
    {
        Komunikaty list;
        const Date akt = D(2026, 12, 1);
        list.AddReminder(Cp("Urodziny+Zośki+"), D(2020, 12, 10), -4, 3, 1, 0, 2, akt);
        list.AddReminder("Codziennie+", D(2026, 1, 1), -1, 0, 0, 0, 2, akt);
        list.AddReminder("Wtorki\tz tabem+", D(2026, 1, 1), -53, 0, 0, 1, 1, akt);
        list.AddReminder("Zepsuty kod+", D(2026, 1, 1), -18, 0, 0, 0, 1, akt);
        list.AddReminder("Raz+", D(2026, 12, 6), 0, 2, 1, 0, 1, akt);
        return list;
    }

    static void Write(const QString& path, const Komunikaty& list, bool scrambled = true)
    {
        ScriptedMessages m;
        FixedFormats f;
        Scrambler s(5);
        DataFile file(QFile::encodeName(path).toStdString(), m, f, s);
        file.Switch = scrambled;
        QVERIFY(file.SaveDataFile(list));
    }

    static Komunikaty Read(const QString& path, int* result = nullptr)
    {
        ScriptedMessages m;
        FixedFormats f;
        Scrambler s(5);
        DataFile file(QFile::encodeName(path).toStdString(), m, f, s);
        Komunikaty list;
        const int r = file.LoadDataFile(list);
        if (result)
            *result = r;
        return list;
    }

    // A plain data file of one reminder, its bytes as given.
    static void WriteOnePlain(const QString& path, const QByteArray& tresc, const QByteArray& data = "8.12.2026",
                              const QByteArray& before = {})
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(before + "<Dane><Code>fa</Code><Ilosc>1</Ilosc><Nr1><Tresc>" + tresc + "</Tresc><Data>" + data +
                "</Data><CoIle>0</CoIle><IlePrzed>1</IlePrzed><CzyPo>0</CzyPo><Blok>0</Blok>"
                "<BlokDzis>0</BlokDzis><BlokDzisData>1.12.2026</BlokDzisData><Ile>1</Ile></Nr1></Dane>");
    }

    static int Mode(const QString& path)
    {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
    }

    static QByteArray Bytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        data_ = dir_.filePath("small.dat");
        Write(data_, SmallList());
        QFile ics(dir_.filePath("one.ics"));
        QVERIFY(ics.open(QIODevice::WriteOnly));
        ics.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Test//EN\r\nBEGIN:VEVENT\r\nUID:1@test\r\n"
                  "DTSTAMP:20260101T000000Z\r\nDTSTART;VALUE=DATE:20261216\r\nSUMMARY:Jeden\r\nEND:VEVENT\r\n"
                  "END:VCALENDAR\r\n");
    }

    void list()
    {
        const Run r = Tool({"--file", data_, "list", "--today", "2026-12-08"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QString());
        QCOMPARE(r.out, QString::fromUtf8(
                            "nr\tcoile\tdata\tileprzed\tczypo\tblok\tnext\tprev\ttoday\ttresc\n"
                            "1\t-4\t2020-12-10\t3\t1\t0\t2026-12-10\t2025-12-10\tbefore 2\tUrodziny / Zośki\n"
                            "2\t-1\t2026-01-01\t0\t0\t0\t2026-12-08\t2026-12-07\tbefore 0\tCodziennie\n"
                            "3\t-53\t2026-01-01\t0\t0\t1\t2026-12-08\t2026-12-08\tbefore 0\tWtorki\\tz tabem\n"
                            "4\t-18\t2026-01-01\t0\t0\t0\t-\t-\tnone\tZepsuty kod\n"
                            "5\t0\t2026-12-06\t2\t1\t0\t2026-12-06\t2026-12-06\tafter -2\tRaz\n"));
    }

    void listEscapesWhatWouldBreakARowOrReachTheTerminal()
    {
        Komunikaty one;
        one.AddReminder("Dwa\nwiersze\a \x1b[2J\\+", D(2026, 12, 8), 0, 0, 0, 0, 1, D(2026, 12, 1));
        const QString file = dir_.filePath("controls.dat");
        Write(file, one);
        const Run r = Tool({"--file", file, "list", "--today", "2026-12-08"});
        QVERIFY2(r.out.endsWith("\tDwa\\nwiersze\\x07 \\x1B[2J\\\\\n"), qPrintable(r.out));
        QCOMPARE(r.out.count('\n'), 2);
    }

    // The tool shows the engine's dates: a monthly reminder on the 31st comes
    // on the last day of a shorter month.
    void listShortensTheThirtyFirst()
    {
        Komunikaty one;
        one.AddReminder("Czynsz+", D(2026, 1, 31), -3, 1, 0, 0, 1, D(2026, 1, 1));
        const QString path = dir_.filePath("monthly31.dat");
        Write(path, one);
        const Run r = Tool({"--file", path, "list", "--today", "2026-04-29"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QString("nr\tcoile\tdata\tileprzed\tczypo\tblok\tnext\tprev\ttoday\ttresc\n"
                                "1\t-3\t2026-01-31\t1\t0\t0\t2026-04-30\t2026-03-31\tbefore 1\tCzynsz\n"));
    }

    // Nothing comes before a reminder's first date: not the daily one dated
    // in May, not the Tuesdays from a Wednesday.
    void listTakesTheFirstOccurrence()
    {
        Komunikaty two;
        two.AddReminder("Od maja+", D(2027, 5, 18), -1, 1, 0, 0, 1, D(2026, 12, 1));
        two.AddReminder("Wtorki+", D(2026, 12, 9), -53, 1, 0, 0, 1, D(2026, 12, 1));
        const QString path = dir_.filePath("first.dat");
        Write(path, two);
        const Run r = Tool({"--file", path, "list", "--today", "2026-12-08"});
        QCOMPARE(r.out, QString("nr\tcoile\tdata\tileprzed\tczypo\tblok\tnext\tprev\ttoday\ttresc\n"
                                "1\t-1\t2027-05-18\t1\t0\t0\t2027-05-18\t2027-05-18\tnone\tOd maja\n"
                                "2\t-53\t2026-12-09\t1\t0\t0\t2026-12-15\t2026-12-15\tnone\tWtorki\n"));
    }

    void week()
    {
        const Run r = Tool({"week", "2026-12-13", "--file", data_});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QString("2026-12-07\t2\n2026-12-08\t2,3\n2026-12-09\t2\n2026-12-10\t1,2\n"
                                "2026-12-11\t2\n2026-12-12\t2\n2026-12-13\t2\n"));
        // Holidays in a third column, counted as no reminder.
        QCOMPARE(Tool({"week", "2026-04-06", "--file", data_}).out.section('\n', 0, 1),
                 QString("2026-04-06\t2\tPoniedziałek Wielkanocny\n2026-04-07\t2,3"));
    }

    void previewWithDefaultSettings()
    {
        QVERIFY(!QFile::exists(Xdg() + "/Vendly/Remindo/Remindo.ini"));
        const QByteArray before = Bytes(data_);
        const Run r = Tool({"--file", data_, "preview", "--from", "2026-12-08", "--days", "2", "--every", "60"});
        QCOMPARE(r.status, 0);
        // One showing a pass, the lower number first; each reminder at most Ile
        // times a day, more than an hour apart. The one-off two days past shows
        // once when the others are done; the blocked Tuesday one never.
        QCOMPARE(r.out, QString("2026-12-08 01:00\t1\t2\n"
                                "2026-12-08 02:00\t2\t0\n"
                                "2026-12-08 03:00\t1\t2\n"
                                "2026-12-08 04:00\t2\t0\n"
                                "2026-12-08 05:00\t5\t-1\n"
                                "2026-12-09 01:00\t1\t1\n"
                                "2026-12-09 02:00\t2\t0\n"
                                "2026-12-09 03:00\t1\t1\n"
                                "2026-12-09 04:00\t2\t0\n"));
        QVERIFY(!QFile::exists(Xdg() + "/Vendly/Remindo/Remindo.ini")); // nothing created
        QCOMPARE(Bytes(data_), before);                                  // nothing saved
    }

    void previewWithTheSettingsFile()
    {
        QVERIFY(QDir().mkpath(Xdg() + "/Vendly/Remindo"));
        Settings s;
        s.PokazCo = 0;
        s.BadajCo = 30;
        s.LogMode = 2; // a test mode would show nothing; the preview ignores it
        Scrambler scr(3);
        SettingsFile file(MakePaths(QFile::encodeName(Xdg()).toStdString()), scr, nullptr);
        QVERIFY(file.WriteSettings(s));
        const QByteArray ini = Bytes(Xdg() + "/Vendly/Remindo/Remindo.ini");
        const Run r = Tool({"--file", data_, "preview", "--from", "2026-12-08", "--days", "1"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QString("2026-12-08 00:30\t1\t2\n"
                                "2026-12-08 01:00\t1\t2\n"
                                "2026-12-08 01:30\t2\t0\n"
                                "2026-12-08 02:00\t2\t0\n"
                                "2026-12-08 02:30\t5\t-1\n"));
        QCOMPARE(Bytes(Xdg() + "/Vendly/Remindo/Remindo.ini"), ini); // read, not rewritten

        // A BadajCo of 0 (a damaged line) runs at the default five minutes,
        // as in the program, instead of showing nothing.
        s.BadajCo = 0;
        QVERIFY(file.WriteSettings(s));
        const Run zero = Tool({"--file", data_, "preview", "--from", "2026-12-08", "--days", "1"});
        QCOMPARE(zero.status, 0);
        QVERIFY2(zero.out.startsWith("2026-12-08 00:05\t1\t2\n2026-12-08 00:10\t"), qPrintable(zero.out));
        QFile::remove(Xdg() + "/Vendly/Remindo/Remindo.ini");
    }

    void exportAndImport()
    {
        const QString plain = dir_.filePath("plain.dat");
        Run r = Tool({"--file", data_, "export", "--plain", plain});
        QCOMPARE(r.status, 0);
        QVERIFY(Bytes(plain).startsWith("<Dane>\r\n\t<Code>fa</Code>\r\n"));
        int result = -1;
        QCOMPARE(Read(plain, &result).items, SmallList().items);
        QCOMPARE(result, int(kLoaded));

        // Into an account that has no data file yet: the folder is made, no copy kept.
        r = Tool({"import", plain});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QString());
        QVERIFY(Bytes(UserData()).startsWith("<Dane>\r\n\t<Code>tr</Code>\r\n"));
        QCOMPARE(Read(UserData()).items, SmallList().items);
        QVERIFY(!QFile::exists(UserData() + ".bak"));

        // Over an existing one: the old file is kept beside it, as private
        // as it was, and a second import keeps the first copy too.
        Komunikaty other;
        other.AddReminder("Inny+", D(2027, 1, 1), 0, 1, 0, 0, 1, D(2026, 12, 1));
        const QString otherPath = dir_.filePath("other.dat");
        Write(otherPath, other, false);
        const QByteArray old = Bytes(UserData());
        QVERIFY(QFile::setPermissions(UserData(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        r = Tool({"import", otherPath});
        QCOMPARE(r.status, 0);
        QCOMPARE(Read(UserData()).items, other.items);
        const QDir folder = QFileInfo(UserData()).dir();
        QStringList copies = folder.entryList({"Dane.dat.bak*"}, QDir::Files);
        QCOMPARE(copies.size(), 1);
        QVERIFY2(QRegularExpression("^Dane\\.dat\\.bak-\\d{8}-\\d{6}$").match(copies[0]).hasMatch(),
                 qPrintable(copies[0]));
        QCOMPARE(Bytes(folder.filePath(copies[0])), old);
        QCOMPARE(r.out, "the old list was kept as " + folder.filePath(copies[0]) + "\n");
        QCOMPARE(Mode(folder.filePath(copies[0])), 0640);
        QCOMPARE(Mode(UserData()), 0640);
        r = Tool({"list", "--today", "2026-12-08"});
        QVERIFY(r.out.endsWith("\tnone\tInny\n"));

        const QByteArray second = Bytes(UserData());
        r = Tool({"import", plain});
        QCOMPARE(r.status, 0);
        r = Tool({"import", damagedPath()}); // refused: no copy, nothing replaced
        QCOMPARE(r.status, 1);
        copies = folder.entryList({"Dane.dat.bak*"}, QDir::Files, QDir::Name);
        QCOMPARE(copies.size(), 2); // the refused import made none
        QSet<QByteArray> kept;
        for (const QString& c : copies)
            kept.insert(Bytes(folder.filePath(c)));
        QCOMPARE(kept, (QSet<QByteArray>{old, second}));
        QCOMPARE(Read(UserData()).items, SmallList().items);

        // An export is as private as the data file it copies.
        const QString exported = dir_.filePath("exported.dat");
        r = Tool({"export", exported});
        QCOMPARE(r.status, 0);
        QCOMPARE(Mode(exported), 0640);
    }

    void importsAPlainFileInUtf8()
    {
        const QString account = dir_.filePath("utf8-account");
        auto tool = [&](const QStringList& args) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("XDG_DATA_HOME", account);
            p.setProcessEnvironment(env);
            p.start(REMINDO_DATA_TOOL, args);
            p.waitForFinished(60000);
            return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardError()));
        };
        const QString plain = dir_.filePath("utf8.dat");
        WriteOnePlain(plain, "Zażółć &#x105;+", "8.12.2026", "\xEF\xBB\xBF");
        QCOMPARE(tool({"import", plain}).first, 0);
        const Komunikaty list = Read(account + "/Vendly/Remindo/Dane.dat");
        QCOMPARE(list.ReminderCount(), 1);
        QCOMPARE(list[0].Tresc, Cp("Zażółć ą+"));

        // A character Windows-1250 has not: refused, naming the reminder; nothing written.
        const QByteArray before = Bytes(account + "/Vendly/Remindo/Dane.dat");
        WriteOnePlain(plain, "\xE2\x82\xAC \xE2\x98\x83+");
        const auto [status, err] = tool({"import", plain});
        QCOMPARE(status, 1);
        QCOMPARE(err, "remindo-data: " + plain +
                          ": damaged data file: reminder 1 cannot be read: the character U+2603 has no Windows-1250 "
                          "form\n");
        QCOMPARE(Bytes(account + "/Vendly/Remindo/Dane.dat"), before);
        QCOMPARE(QDir(account + "/Vendly/Remindo").entryList(QDir::Files), QStringList{"Dane.dat"});
    }

    void importNeverWritesWhatCannotBeReadBack()
    {
        const QString account = dir_.filePath("refusing-account");
        const QString target = account + "/Vendly/Remindo/Dane.dat";
        QVERIFY(QDir().mkpath(account + "/Vendly/Remindo"));
        Write(target, SmallList());
        const QByteArray before = Bytes(target);
        auto import = [&](const QString& file) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("XDG_DATA_HOME", account);
            p.setProcessEnvironment(env);
            p.start(REMINDO_DATA_TOOL, {"import", file});
            p.waitForFinished(60000);
            return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardError()));
        };
        const QString plain = dir_.filePath("refused.dat");
        // Bytes Windows-1250 leaves undefined, which scrambling would change.
        for (const char* undefined : {"\x81", "\x83"}) {
            WriteOnePlain(plain, QByteArray("a") + undefined + "b+");
            const auto [status, err] = import(plain);
            QCOMPARE(status, 1);
            QVERIFY2(err.contains("reminder 1 cannot be read: the byte 0x"), qPrintable(err));
        }
        // 14 MB of a letter that scrambles to '&', written as "&amp;": 70 MB.
        QFile f(plain);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("<Dane><Code>fa</Code><Ilosc>14</Ilosc>");
        for (int i = 1; i <= 14; ++i)
            f.write("<Nr" + QByteArray::number(i) + "><Tresc>" + QByteArray(1000000, '8') +
                    "</Tresc><Data>8.12.2026</Data><CoIle>0</CoIle><IlePrzed>1</IlePrzed><CzyPo>0</CzyPo><Blok>0</Blok>"
                    "<BlokDzis>0</BlokDzis><BlokDzisData>1.12.2026</BlokDzisData><Ile>1</Ile></Nr" +
                    QByteArray::number(i) + ">");
        f.write("</Dane>");
        f.close();
        const auto [status, err] = import(plain);
        QCOMPARE(status, 1);
        QVERIFY2(err.contains("larger than 64 MiB"), qPrintable(err));
        QCOMPARE(Bytes(target), before);
        QFile::remove(plain);
    }

    void writesAndReadsOnlyRegularFiles()
    {
        const QString fifo = dir_.filePath("fifo");
        QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        const QString folder = dir_.filePath("a-folder");
        QVERIFY(QDir().mkpath(folder));
        const QString huge = dir_.filePath("huge.dat");
        {
            QFile f(huge);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(qint64(65) << 20)); // sparse: nothing is really written
        }
        const struct {
            QStringList args;
            QString path, reason;
        } refused[] = {
            {{"--file", data_, "export", fifo}, fifo, "FIFO"},
            {{"--file", data_, "export", "--plain", folder}, folder, "Is a directory"},
            {{"--file", fifo, "list"}, fifo, "FIFO"},
            {{"--file", "/dev/zero", "week", "2026-12-08"}, "/dev/zero", "device"},
            {{"--file", folder, "list"}, folder, "Is a directory"},
            {{"--file", data_, "import", fifo}, fifo, "FIFO"},
            {{"--file", huge, "list"}, huge, "larger than 64 MiB"},
            {{"--file", data_, "export", dir_.filePath("no/such/folder/out.dat")}, dir_.filePath("no/such/folder/out.dat"),
             "No such file or directory"},
        };
        for (const auto& c : refused) {
            const Run r = Tool(c.args);
            QCOMPARE(r.status, 1);
            QCOMPARE(r.out, QString());
            QVERIFY2(r.err.startsWith("remindo-data: " + c.path + ": ") && r.err.contains(c.reason) &&
                         r.err.count('\n') == 1,
                     qPrintable(r.err));
        }
        struct stat st {};
        QVERIFY(::stat(QFile::encodeName(fifo).constData(), &st) == 0 && S_ISFIFO(st.st_mode));
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(QDir(dir_.path()).entryList({"fifo*", "a-folder*"}, QDir::AllEntries | QDir::System),
                 (QStringList{"a-folder", "fifo"}));
    }

    // An export never replaces a link: one to a regular file (through other
    // links, or relative to its own folder) is written through, the link
    // left as it was; one to anything else is refused in one line.
    void exportNeverReplacesALink()
    {
        const QDir links(dir_.filePath("links"));
        QVERIFY(links.mkpath("."));
        QVERIFY(links.mkpath("a-folder"));
        const QString expected = links.filePath("expected.dat"), expectedIcs = links.filePath("expected.ics");
        const Run plain = Tool({"--file", data_, "export", "--plain", expected});
        const Run ics = Tool({"--file", data_, "export", "--ics", expectedIcs});
        QCOMPARE(plain.status + ics.status, 0);
        const struct {
            const char* link;
            const char* to;
            const char* option;
            const char* written; // the file written through, or nullptr
            QString refused;     // what the one line says
        } cases[] = {
            {"stdout", "/proc/self/fd/1", "--plain", nullptr, "it links to /proc/self/fd/1, a FIFO, not a regular file"},
            {"null", "/dev/null", "--plain", nullptr, "it links to /dev/null, a device, not a regular file"},
            {"folder", "a-folder", "--plain", nullptr, "it links to a-folder, a folder, not a regular file"},
            {"dangling", "missing.dat", "--plain", nullptr, "it links to missing.dat, which does not exist"},
            {"relative", "target.dat", "--plain", "target.dat", {}},
            {"chain", "relative", "--plain", "target.dat", {}}, // through the link above
            {"absolute.ics", "/TARGET/target.ics", "--ics", "target.ics", {}},
        };
        for (const auto& c : cases) {
            const QString to = QString(c.to).replace("/TARGET", links.path());
            QVERIFY(!::symlink(QFile::encodeName(to).constData(), QFile::encodeName(links.filePath(c.link)).constData()));
        }
        const auto readLink = [](const QString& link) {
            char buf[4096];
            const ssize_t n = ::readlink(QFile::encodeName(link).constData(), buf, sizeof buf);
            return n < 0 ? QString() : QFile::decodeName(QByteArray(buf, int(n)));
        };
        for (const auto& c : cases) {
            const QString link = links.filePath(c.link);
            if (c.written) {
                QFile f(links.filePath(c.written));
                QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
                f.write("old\n");
            }
            const QStringList before = links.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
            const Run r = Tool({"--file", data_, "export", c.option, link});
            QVERIFY2(r.status == (c.written ? 0 : 1), qPrintable(QString(c.link) + ": " + r.err));
            const bool isIcs = QString(c.option) == "--ics";
            QCOMPARE(r.out, c.written ? (isIcs ? ics : plain).out : QString());
            QCOMPARE(r.err, c.written ? QString() : "remindo-data: " + link + ": cannot be written: " + c.refused + "\n");
            QCOMPARE(readLink(link), QString(c.to).replace("/TARGET", links.path()));
            if (c.written)
                QCOMPARE(Bytes(links.filePath(c.written)), Bytes(isIcs ? expectedIcs : expected));
            QCOMPARE(links.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot), before);
        }
    }

    // A plain file of 14 MB reads, but scrambled it would pass 64 MiB: the
    // import fails, the old file as it was and no copy of it beside it.
    void aFailedImportKeepsNoCopy()
    {
        const QString account = dir_.filePath("failing-account");
        const QString target = account + "/Vendly/Remindo/Dane.dat";
        QVERIFY(QDir().mkpath(account + "/Vendly/Remindo"));
        Write(target, SmallList());
        const QByteArray before = Bytes(target);
        const QString plain = dir_.filePath("unsavable.dat");
        WriteOnePlain(plain, QByteArray(14000000, '8') + '+'); // '8' scrambles to '&', saved as "&amp;"
        const Run r = Tool({"--file", target, "import", plain});
        QFile::remove(plain);
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains("larger than 64 MiB") && r.err.count('\n') == 1, qPrintable(r.err));
        QCOMPARE(Bytes(target), before);
        QCOMPARE(QDir(account + "/Vendly/Remindo").entryList(QDir::Files | QDir::Hidden), QStringList{"Dane.dat"});
    }

    void outputThatCannotBeWritten()
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LC_ALL", "C.UTF-8");
        p.setProcessEnvironment(env);
        p.setStandardOutputFile("/dev/full");
        p.start(REMINDO_DATA_TOOL, {"--file", data_, "list", "--today", "2026-12-08"});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 1);
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(err, QString("remindo-data: standard output: No space left on device\n"));
    }

    void helpAndTheEndOfOptions()
    {
        Run r = Tool({"-h"});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.startsWith("usage: remindo-data"));
        QCOMPARE(Tool({"--help"}).out, r.out);
        r = Tool({"--version"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QString("remindo-data " REMINDO_VERSION "\n"));

        // After -- a name that looks like an option is a file.
        QProcess p;
        p.setWorkingDirectory(dir_.path());
        p.start(REMINDO_DATA_TOOL, {"--file", data_, "export", "--", "--plain"});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(Bytes(dir_.filePath("--plain")).startsWith("<Dane>\r\n\t<Code>tr</Code>\r\n"));
        r = Tool({"--file", data_, "list", "--", "--today"});
        QCOMPARE(r.status, 2);
    }

    // A date that only the system's regional format reads: the tool loads
    // its Qt module for it. The same tool alone, without its module, still
    // does what needs no Qt and says in one line what it cannot do.
    void theQtModuleOnlyWhenNeeded()
    {
        const QString regional = dir_.filePath("regional.dat");
        WriteOnePlain(regional, "Po amerykańsku+", "12/31/26");
        const QDate expected = QLocale(QLocale::English, QLocale::UnitedStates).toDate("12/31/26", QLocale::ShortFormat);
        QVERIFY(expected.isValid());
        Run r = Tool({"--file", regional, "list", "--today", "2026-12-08"}, REMINDO_DATA_TOOL, "en_US.UTF-8");
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out.split('\n').value(1).split('\t').value(2), expected.toString(Qt::ISODate));

        QTemporaryDir lone;
        const QString tool = lone.filePath("remindo-data");
        QVERIFY(QFile::copy(REMINDO_DATA_TOOL, tool));
        const Run week = Tool({"--file", data_, "week", "2026-12-13"}, tool);
        QCOMPARE(week.err, QString());
        QCOMPARE(week.out, Tool({"--file", data_, "week", "2026-12-13"}).out);
        QCOMPARE(Tool({"--file", data_, "list", "--today", "2026-12-08"}, tool).status, 0);
        const QString copy = lone.filePath("copy.dat");
        QCOMPARE(Tool({"--file", data_, "export", copy}, tool).status, 0);
        QCOMPARE(Read(copy).items, SmallList().items);

        const auto oneLine = [](const Run& r, const QString& reason) {
            QCOMPARE(r.status, 1);
            QCOMPARE(r.out, QString());
            QVERIFY2(r.err.startsWith("remindo-data: the module libremindo-data-qt.so cannot be loaded: ") &&
                         r.err.contains(reason) && r.err.endsWith("\n") && r.err.count('\n') == 1,
                     qPrintable(r.err));
        };
        // The data folder and the regional formats are the module's.
        oneLine(Tool({"list"}, tool), "libremindo-data-qt.so: cannot open shared object file");
        oneLine(Tool({"--file", regional, "list", "--today", "2026-12-08"}, tool, "en_US.UTF-8"),
                "cannot open shared object file");
        // A module that is there but is no library: its own reason.
        QFile bad(lone.filePath("libremindo-data-qt.so"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("not a library\n");
        bad.close();
        oneLine(Tool({"list"}, tool), lone.filePath("libremindo-data-qt.so") + ": ");
        // libical has a module of its own.
        const Run ics = Tool({"--file", data_, "export", "--ics", lone.filePath("x.ics")}, tool);
        QCOMPARE(ics.status, 1);
        QVERIFY2(ics.err.startsWith("remindo-data: the module libremindo-data-ics.so cannot be loaded: "),
                 qPrintable(ics.err));
    }

    // In-process: the desktop is asked only by the commands that need it, at
    // most once a run, and not getting it is the command's one-line error.
    void theDesktopIsAskedOnlyWhenNeeded()
    {
        cli::QtDesktopServices qt;
        int asked = 0;
        bool available = true;
        const cli::ServicesSource source = [&](std::string& why) -> cli::DesktopServices* {
            ++asked;
            if (available)
                return &qt;
            why = "no desktop here";
            return nullptr;
        };
        const std::string file = QFile::encodeName(data_).toStdString();
        std::string out, err;
        QCOMPARE(cli::Run({"--file", file, "week", "2026-12-13"}, out, err, source), 0);
        QCOMPARE(QString::fromStdString(out), Tool({"--file", data_, "week", "2026-12-13"}).out);
        QCOMPARE(asked, 0);

        // The data folder from XDG_DATA_HOME, and the formats, on Qt here.
        const QString account = dir_.filePath("in-process");
        QVERIFY(QDir().mkpath(account + "/Vendly/Remindo"));
        Write(account + "/Vendly/Remindo/Dane.dat", SmallList());
        const QByteArray oldXdg = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(account));
        out.clear();
        const int status = cli::Run({"list", "--today", "2026-12-08"}, out, err, source);
        qputenv("XDG_DATA_HOME", oldXdg);
        QCOMPARE(status, 0);
        QCOMPARE(QString::fromStdString(out), Tool({"--file", data_, "list", "--today", "2026-12-08"}).out);
        QCOMPARE(asked, 1);

        asked = 0;
        available = false;
        out = "partial";
        QCOMPARE(cli::Run({"preview", "--from", "2026-12-08", "--days", "2"}, out, err, source), 1);
        QCOMPARE(out, std::string());
        QCOMPARE(err, std::string("remindo-data: no desktop here\n"));
        QCOMPARE(asked, 1);
    }

    // After a write the running copy is asked to read the file again, and
    // the output says what it answered.
    void importTellsTheRunningCopy()
    {
        struct Asked final : cli::DesktopServices {
            cli::QtDesktopServices qt;
            int answer = -1;
            std::string path;
            std::string AppDataFolder() override { return qt.AppDataFolder(); }
            const RegionalFormats& Formats() override { return qt.Formats(); }
            int AskToReload(const std::string& p) override
            {
                path = p;
                return answer;
            }
        } desktop;
        const cli::ServicesSource source = [&](std::string&) -> cli::DesktopServices* { return &desktop; };
        const std::string target = QFile::encodeName(dir_.filePath("told.dat")).toStdString();
        const std::string from = QFile::encodeName(data_).toStdString();
        const struct {
            int answer;
            const char* said; // empty: nothing said
        } answers[] = {{0, "shows the new list"}, {1, "shows the new list"}, {2, "unsaved edits"}, {3, ""}, {-1, ""}};
        for (const auto& a : answers) {
            desktop.answer = a.answer;
            std::string out, err;
            QCOMPARE(cli::Run({"--file", target, "import", from}, out, err, source), 0);
            QCOMPARE(desktop.path, target);
            QVERIFY2(*a.said ? out.find(a.said) != std::string::npos : out.find("Remindo") == std::string::npos,
                     out.c_str());
        }
    }

    void errors_data()
    {
        // 2 for what was asked wrongly, 1 for what went wrong while working.
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        const QString missing = dir_.filePath("nothing.dat");
        QTest::newRow("no command") << QStringList{} << 2;
        QTest::newRow("unknown command") << QStringList{"--file", data_, "sort"} << 2;
        QTest::newRow("unknown option") << QStringList{"--file", data_, "list", "--verbose"} << 2;
        QTest::newRow("option of another command") << QStringList{"--file", data_, "week", "2026-12-08", "--days", "2"} << 2;
        QTest::newRow("bad date") << QStringList{"--file", data_, "week", "2026-02-30"} << 2;
        QTest::newRow("not iso") << QStringList{"--file", data_, "list", "--today", "8.12.2026"} << 2;
        QTest::newRow("no date") << QStringList{"--file", data_, "week"} << 2;
        QTest::newRow("two dates") << QStringList{"--file", data_, "week", "2026-12-08", "2026-12-09"} << 2;
        QTest::newRow("zero days") << QStringList{"--file", data_, "preview", "--from", "2026-12-08", "--days", "0"} << 2;
        QTest::newRow("days not a number") << QStringList{"--file", data_, "preview", "--from", "2026-12-08", "--days", "x"} << 2;
        QTest::newRow("no from") << QStringList{"--file", data_, "preview", "--days", "3"} << 2;
        QTest::newRow("every zero")
            << QStringList{"--file", data_, "preview", "--from", "2026-12-08", "--days", "1", "--every", "0"} << 2;
        QTest::newRow("option without value") << QStringList{"--file"} << 2;
        QTest::newRow("missing file") << QStringList{"--file", missing, "list"} << 1;
        QTest::newRow("missing import") << QStringList{"--file", missing, "import", missing} << 1;
        QTest::newRow("damaged file") << QStringList{"--file", dir_.filePath("damaged.dat"), "week", "2026-12-08"} << 1;
        QTest::newRow("damaged import") << QStringList{"--file", data_, "import", dir_.filePath("damaged.dat")} << 1;
        QTest::newRow("plain iCalendar") << QStringList{"--file", data_, "export", "--ics", "--plain", missing} << 2;
        QTest::newRow("replace without iCalendar")
            << QStringList{"--file", data_, "import", "--replace", dir_.filePath("damaged.dat")} << 2;
        QTest::newRow("skip without iCalendar")
            << QStringList{"--file", data_, "import", "--skip-unsupported", dir_.filePath("damaged.dat")} << 2;
        QTest::newRow("no calendar") << QStringList{"--file", data_, "import", "--ics", dir_.filePath("damaged.dat")}
                                     << 1;
        QTest::newRow("calendar into a damaged list")
            << QStringList{"--file", dir_.filePath("damaged.dat"), "import", "--ics", dir_.filePath("one.ics")} << 1;
        QTest::newRow("missing calendar") << QStringList{"--file", data_, "import", "--ics", missing} << 1;
        QTest::newRow("calendar from a device") << QStringList{"--file", data_, "import", "--ics", "/dev/zero"} << 1;
    }

    void errors()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        const QString damaged = damagedPath();
        QFile f(damaged);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("<Dane>\r\n\t<Code>tr</Code>\r\n\t<Ilosc>");
        f.close();
        const QByteArray before = Bytes(data_);

        const Run r = Tool(args);
        QCOMPARE(r.status, status);
        QCOMPARE(r.out, QString());
        QVERIFY2(r.err.startsWith("remindo-data: ") && r.err.endsWith("\n") && r.err.count('\n') == 1,
                 qPrintable(r.err));
        QCOMPARE(Bytes(data_), before);
        QCOMPARE(Bytes(damaged), QByteArray("<Dane>\r\n\t<Code>tr</Code>\r\n\t<Ilosc>"));
        QCOMPARE(QDir(dir_.path()).entryList({"damaged.dat*"}, QDir::Files), QStringList{"damaged.dat"});
    }

};

QTEST_GUILESS_MAIN(TestRemindoData)
#include "test_remindo_data.moc"
