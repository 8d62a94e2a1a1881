#include "store/codec.h"
#include "store/fixedformats.h"
#include "store/log.h"

#include "readall.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <map>
#include <random>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace remindo;

namespace {

struct Fixture {
    QTemporaryDir dir;
    FixedFormats formats;
    Date dataAkt = DateFromYmd(2027, 3, 5);
    DateTime passTime = MakeDateTime(dataAkt, 14, 0, 0);
    DiagnosticLog log{dataAkt, passTime, formats};
    QString folder = dir.filePath("Test");

    Fixture()
    {
        QDir().mkpath(folder);
        log.SetFolder(folder.toStdString());
    }
    QStringList Files() const { return QDir(folder).entryList(QDir::Files); }
};

} // namespace

class TestLog : public QObject {
    Q_OBJECT
private slots:
    void fileNames()
    {
        QCOMPARE(DiagnosticLog::FileNameFor(DateFromYmd(2026, 12, 7)), std::string("2026127.txt"));
        QCOMPARE(DiagnosticLog::FileNameFor(DateFromYmd(2027, 3, 5)), std::string("202735.txt"));
    }

    void offRecordsAndWritesNothing()
    {
        QTemporaryDir dir;
        FixedFormats formats;
        Date day = DateFromYmd(2027, 3, 5);
        DateTime pass = MakeDateTime(day, 14, 0);
        DiagnosticLog log(day, pass, formats);
        log.SetFolder(dir.filePath("Test").toStdString()); // not created
        QVERIFY(!log.Recording());
        log.WriteLog("linia");
        log.FlushLog();
        QVERIFY(log.Lines().empty());
        QVERIFY(!QFileInfo::exists(dir.filePath("Test")));
    }

    void linesCarryThePassTimeAndGoToTheDaysFile()
    {
        Fixture f;
        f.log.SetMode(1);
        f.passTime = MakeDateTime(f.dataAkt, 14, 0, 0);
        // logged at 14:03, during the pass that started at 14:00:00
        f.log.WriteLog(Cp("Badanie: przypomnienie 3 pokazane, żółte"));
        f.log.WriteLog("");
        f.log.FlushLog();
        QCOMPARE(f.Files(), QStringList{"202735.txt"});
        const std::string first = "5.03.2027 14:00:00 " + Cp("Badanie: przypomnienie 3 pokazane, żółte");
        QCOMPARE(ReadAll(f.folder + "/202735.txt"), first + "\r\n5.03.2027 14:00:00 \r\n");

        // a second flush the same day: one file, every line so far
        f.passTime = MakeDateTime(f.dataAkt, 14, 5, 7);
        f.log.WriteLog("dalej");
        f.log.FlushLog();
        QCOMPARE(f.Files().size(), 1);
        QCOMPARE(ReadAll(f.folder + "/202735.txt"),
                 first + "\r\n5.03.2027 14:00:00 \r\n5.03.2027 14:05:07 dalej\r\n");

        // past midnight the buffer goes on whole into the new day's file
        const std::string yesterday = ReadAll(f.folder + "/202735.txt");
        f.dataAkt = DateFromYmd(2027, 3, 6);
        f.passTime = MakeDateTime(f.dataAkt, 0, 1, 0);
        f.log.WriteLog("nowy dzień");
        f.log.FlushLog();
        QCOMPARE(ReadAll(f.folder + "/202735.txt"), yesterday);
        QCOMPARE(ReadAll(f.folder + "/202736.txt"), yesterday + "6.03.2027 00:01:00 nowy dzień\r\n");
    }

    void modeTwoWritesAndModeThreeOnlyRecords()
    {
        Fixture f;
        f.log.SetMode(2);
        f.log.WriteLog("a");
        f.log.FlushLog();
        QCOMPARE(f.Files().size(), 1);

        Fixture g;
        g.log.SetMode(3);
        QVERIFY(g.log.Recording());
        g.log.WriteLog("a");
        g.log.FlushLog();
        QCOMPARE(g.log.Lines().size(), size_t(1));
        QVERIFY(g.Files().isEmpty());
    }

    void aFailedFlushChangesNothing()
    {
        Fixture f;
        f.log.SetMode(1);
        f.log.WriteLog("pierwsza");
        f.log.FlushLog();
        const std::string good = ReadAll(f.folder + "/202735.txt");

        // the folder is gone: nothing is created, nothing is said
        const QString gone = f.dir.filePath("gone/Test");
        f.log.SetFolder(gone.toStdString());
        f.log.WriteLog("druga");
        f.log.FlushLog();
        QVERIFY(!QFileInfo::exists(f.dir.filePath("gone")));
        QCOMPARE(f.log.UnwrittenLines(), size_t(1)); // the unwritten line waits
        QCOMPARE(f.log.Lines().size(), size_t(2));

        // the day's file name is taken by a folder: the old files stay as they were
        f.log.SetFolder(f.folder.toStdString());
        f.dataAkt = DateFromYmd(2027, 3, 6);
        QDir().mkpath(f.folder + "/202736.txt");
        f.log.FlushLog();
        QVERIFY(QFileInfo(f.folder + "/202736.txt").isDir());
        QCOMPARE(ReadAll(f.folder + "/202735.txt"), good);
        QCOMPARE(f.Files(), QStringList{"202735.txt"});

        // and once writing works again, the file holds every line
        f.dataAkt = DateFromYmd(2027, 3, 5);
        f.log.FlushLog();
        QCOMPARE(ReadAll(f.folder + "/202735.txt"), good + "5.03.2027 14:00:00 druga\r\n");
    }

    void aDayOfFlushesGivesWhatWholeRewritesGave()
    {
        // A run that crosses midnight twice and comes back to a name already
        // used (11 January and 1 November give the same digits): after every
        // flush each file holds exactly what rewriting it whole from every
        // line since start-up gave, and an earlier day's file what it held
        // at its last flush.
        Fixture f;
        f.log.SetMode(1);
        std::vector<std::string> all;             // every line since start-up
        std::map<std::string, std::string> files; // what each file must hold
        std::mt19937 rng(12);
        const Date days[] = {DateFromYmd(2027, 1, 10), DateFromYmd(2027, 1, 11), DateFromYmd(2027, 1, 12),
                             DateFromYmd(2027, 11, 1)};
        int flushes = 0;
        for (Date day : days) {
            f.dataAkt = day;
            for (int minute = 0; minute < 1440; minute += 5) {
                f.passTime = MakeDateTime(day, minute / 60, minute % 60, int(rng() % 60));
                const int lines = int(rng() % 4);
                for (int i = 0; i < lines; ++i) {
                    const std::string text = Cp("Komunikat nr ") + std::to_string(rng() % 100) + " " +
                                             std::string(rng() % 40, 'x');
                    f.log.WriteLog(text);
                    all.push_back(f.formats.ShortDate(day) + " " + f.formats.LongTime(f.passTime) + " " + text);
                }
                if (rng() % 3 == 0)
                    continue; // lines that wait for a later flush
                f.log.FlushLog();
                ++flushes;
                std::string whole;
                for (const std::string& l : all)
                    whole += l + "\r\n";
                files[DiagnosticLog::FileNameFor(day)] = whole;
                if (flushes % 50 == 1 || minute == 1435)
                    for (const auto& [name, content] : files)
                        QCOMPARE(ReadAll(f.folder + "/" + QString::fromStdString(name)), content);
            }
        }
        QCOMPARE(f.Files().size(), 3); // 2027110, 2027111 (twice), 2027112
        for (const auto& [name, content] : files)
            QCOMPARE(ReadAll(f.folder + "/" + QString::fromStdString(name)), content);
        // What was written left memory; only lines after the last flush
        // stay, and every line since start-up can still be listed.
        QVERIFY(f.log.UnwrittenLines() < 4);
        QVERIFY(f.log.Lines() == all);
    }

    void aLogThatCannotBeWrittenKeepsOnlyTheNewestLines()
    {
        Fixture f;
        f.log.SetMode(1);
        f.log.SetFolder(f.dir.filePath("gone").toStdString());
        const size_t most = DiagnosticLog::kMostWaitingLines;
        for (size_t i = 0; i < most + most / 2; ++i) {
            f.log.WriteLog(std::to_string(i));
            if (i % 1000 == 0)
                f.log.FlushLog();
        }
        const size_t kept = f.log.UnwrittenLines();
        QVERIFY(kept <= most);
        // Only the oldest quarter goes when the backlog is full, not all of it.
        QVERIFY2(kept >= most - most / 4, qPrintable(QString::number(kept)));
        f.log.SetFolder(f.folder.toStdString());
        f.log.FlushLog();
        const std::vector<std::string> lines = f.log.Lines();
        QCOMPARE(lines.size(), 1 + kept);
        QCOMPARE(lines.front(), Cp("5.03.2027 14:00:00 Pominięto " + std::to_string(most + most / 2 - kept) +
                                   " wierszy dziennika, których nie dało się zapisać"));
        QCOMPARE(lines.back(), "5.03.2027 14:00:00 " + std::to_string(most + most / 2 - 1));
        f.log.WriteLog("dalej");
        f.log.FlushLog();
        QCOMPARE(f.log.Lines().back(), std::string("5.03.2027 14:00:00 dalej")); // said once
        QCOMPARE(f.log.Lines().size(), lines.size() + 1);
    }

    void aFullDiskLosesNoLine()
    {
        // An append that does not fit is taken back whole and its lines wait.
        Fixture f;
        f.log.SetMode(1);
        f.log.WriteLog("pierwsza");
        f.log.FlushLog();
        const std::string path = (f.folder + "/202735.txt").toStdString();
        const std::string good = ReadAll(path);
        struct rlimit old {};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &old) == 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = good.size() + 10;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        f.log.WriteLog(std::string(100, 'd'));
        f.log.FlushLog();
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QCOMPARE(ReadAll(path), good);
        QCOMPARE(f.log.UnwrittenLines(), size_t(1));
        f.log.FlushLog();
        QCOMPARE(ReadAll(path), good + "5.03.2027 14:00:00 " + std::string(100, 'd') + "\r\n");
        QCOMPARE(f.log.UnwrittenLines(), size_t(0));
        QCOMPARE(f.log.Lines(), (std::vector<std::string>{"5.03.2027 14:00:00 pierwsza",
                                                          "5.03.2027 14:00:00 " + std::string(100, 'd')}));
    }

    void logFolderBesideTheProgramElseInTheStateFolder()
    {
        QTemporaryDir dir;
        const QString program = dir.filePath("bin");
        const QString stateHome = dir.filePath("state");
        const QString state = stateHome + "/Vendly/Remindo/Test";
        const std::string installed = QFile::encodeName(dir.filePath("usr/bin")).toStdString();
        const auto choose = [&](const std::string& folder) {
            return QString::fromStdString(
                DiagnosticLog::PrepareLogFolder(folder, installed, QFile::encodeName(stateHome).toStdString()));
        };
        QDir().mkpath(program);
        QCOMPARE(choose(program.toStdString()), program + "/Test");
        QVERIFY(QFileInfo(program + "/Test").isDir());
        QCOMPARE(QDir(program + "/Test").entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{});

        // A program folder where Test cannot be made (here a file stands in
        // the way, which holds even for root).
        const QString blocked = dir.filePath("blocked");
        QDir().mkpath(blocked);
        QFile(blocked + "/Test").open(QIODevice::WriteOnly);
        QCOMPARE(choose(blocked.toStdString()), state);
        QVERIFY(QFileInfo(state).isDir());

        // Names are bytes: a folder in a local 8-bit encoding (ISO 8859-2
        // "łóż", not UTF-8), given with a final slash.
        const std::string latin = QFile::encodeName(dir.path()).toStdString() + "/program-\xb3\xf3\xbf";
        ::mkdir(latin.c_str(), 0700);
        QCOMPARE(DiagnosticLog::PrepareLogFolder(latin + "/", installed, stateHome.toStdString()), latin + "/Test");
        struct stat st {};
        QVERIFY(::stat((latin + "/Test").c_str(), &st) == 0 && S_ISDIR(st.st_mode));

        // A folder that can be made but where no file can be opened (here no
        // descriptor is left, which holds even for root): the state folder.
        const QString noFiles = dir.filePath("no-files");
        QDir().mkpath(noFiles);
        struct rlimit old {};
        QVERIFY(getrlimit(RLIMIT_NOFILE, &old) == 0);
        const int lowest = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        QVERIFY(lowest >= 0);
        ::close(lowest);
        struct rlimit few = old;
        few.rlim_cur = rlim_t(lowest);
        QVERIFY(setrlimit(RLIMIT_NOFILE, &few) == 0);
        const QString chosen = choose(noFiles.toStdString());
        setrlimit(RLIMIT_NOFILE, &old);
        QCOMPARE(chosen, state);
        QVERIFY(QFileInfo(noFiles + "/Test").isDir());
        QCOMPARE(QDir(noFiles + "/Test").entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{});

        // The installed program, even run by the owner of its folder (root
        // from /usr/bin), and a program in somebody else's folder: nothing
        // is made beside them.
        QVERIFY(QDir().mkpath(QString::fromStdString(installed)));
        const QString others = dir.filePath("others");
        QDir().mkpath(others);
        if (geteuid() == 0)
            QVERIFY(chown(QFile::encodeName(others).constData(), 65534, 65534) == 0);
        for (const QString& folder : {QString::fromStdString(installed), QString::fromStdString(installed) + "/../bin/",
                                      geteuid() == 0 ? others : QStringLiteral("/")}) {
            QCOMPARE(choose(QFile::encodeName(folder).toStdString()), state);
            QVERIFY2(!QFileInfo::exists(folder + "/Test"), qPrintable(folder));
        }
    }
};

QTEST_GUILESS_MAIN(TestLog)
#include "test_log.moc"
