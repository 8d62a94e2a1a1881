#include "app/teststate.h"

#include "store/atomicfile.h"
#include "store/fixedformats.h"

#include <cstdio>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <QTest>

using namespace remindo;

namespace {

struct Rig {
    QTemporaryDir dir;
    ManualClock clock{MakeDateTime(DateFromYmd(2026, 12, 8), 9, 0)};
    FixedFormats formats;
    NoScreenSaver saver;
    ScriptedMessages box;
    test::TestState state{AppEnvironment{clock, formats, saver, MakePaths(dir.path().toStdString())}};

    Rig()
    {
        state.messages.SetTarget(&box);
        for (const char* t : {"a+", "b+", "c+", "d+"})
            state.list.AddReminder(t, DateFromYmd(2026, 12, 8), 0, 1, 0, 0, 1, state.engineState.DataAkt);
    }
};

} // namespace

class TestAppState : public QObject {
    Q_OBJECT
private slots:
    // The reminder window's buttons must keep acting on the reminder it shows.
    void deletionKeepsTheShownReminder()
    {
        Rig r;
        r.state.engineState.CurrentReminderIndex = 2; // "c+"
        r.state.list.SelectedIndex = 0;
        r.state.session().DeleteSelected();
        QCOMPARE(r.state.engineState.CurrentReminderIndex, 1);
        QCOMPARE(r.state.list[1].Tresc, std::string("c+"));

        r.state.list.SelectedIndex = 2; // "d+", after it
        r.state.session().DeleteSelected();
        QCOMPARE(r.state.engineState.CurrentReminderIndex, 1);

        r.state.list.SelectedIndex = 1; // the shown one itself
        r.state.session().DeleteSelected();
        QCOMPARE(r.state.engineState.CurrentReminderIndex, -1);
        QVERIFY(!r.state.session().CurrentReminderValid());

        r.state.list.SelectedIndex = 7; // no such reminder: nothing happens
        r.state.session().DeleteSelected();
        QCOMPARE(r.state.list.ReminderCount(), 1);
    }

    void reloadForgetsTheShownReminder()
    {
        Rig r;
        r.state.engineState.CurrentReminderIndex = 1;
        QVERIFY(r.state.session().CurrentReminderValid());
        QCOMPARE(r.state.session().ReloadDataFile(), int(kMissing));
        QCOMPARE(r.state.engineState.CurrentReminderIndex, -1);
        QCOMPARE(r.box.shown.size(), size_t(1));
    }

    void zeroTimersRunAtTheirDefaults()
    {
        Settings s;
        s.BadajCo = 0;
        s.UkryjPo = -4;
        QCOMPARE(ExaminationIntervalMs(s), 5 * 60000);
        QCOMPARE(AutoHideIntervalMs(s), 15 * 1000);
        s.BadajCo = kMaxBadajCo + 1;
        s.UkryjPo = kMaxUkryjPo;
        QCOMPARE(ExaminationIntervalMs(s), kMaxBadajCo * 60000);
        QCOMPARE(AutoHideIntervalMs(s), kMaxUkryjPo * 1000);
        QVERIFY(ExaminationIntervalMs(s) > 0 && AutoHideIntervalMs(s) > 0);
    }

    // A save never destroys a version it has not read: another program's
    // file (renamed over, or rewritten in place) is kept beside it first,
    // with its permissions, and the box names the copy.
    void saveKeepsAVersionNotRead_data()
    {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<bool>("kept");
        QTest::newRow("untouched") << "" << false;
        QTest::newRow("renamed over") << "rename" << true;
        QTest::newRow("rewritten in place") << "rewrite" << true;
        // Within the second of the version read, to the same size: only the
        // nanoseconds of its time stamp tell it from ours.
        QTest::newRow("rewritten in place, same size, same second") << "same size" << true;
        QTest::newRow("removed") << "remove" << false;
    }

    void saveKeepsAVersionNotRead()
    {
        QFETCH(QString, meanwhile);
        QFETCH(bool, kept);
        Rig r;
        const std::string path = r.state.dataFile.Path();
        QVERIFY(MakeFolders(std::filesystem::path(path).parent_path()));
        QVERIFY(r.state.session().SaveList());
        QVERIFY(::chmod(path.c_str(), 0640) == 0);
        const auto modifiedAt = [&](long ns) {
            const timespec times[2] = {{0, UTIME_OMIT}, {1796000000, ns}};
            return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
        };
        QVERIFY(modifiedAt(100000000));
        r.state.session().ReloadDataFile();
        std::string other = "<Dane>\r\n\t<Code>fa</Code>\r\n\t<Ilosc>0</Ilosc>\r\n</Dane>\r\n";
        if (meanwhile == "same size") {
            QVERIFY(ReadWholeFile(path, other));
            other[other.size() / 2] ^= 1;
            std::FILE* f = std::fopen(path.c_str(), "r+b");
            std::fwrite(other.data(), 1, other.size(), f);
            std::fclose(f);
            QVERIFY(modifiedAt(600000000));
        } else if (meanwhile == "rename") {
            QVERIFY(WriteNewFile(DefaultFileWriters(), path + ".x", other, 0640));
            QVERIFY(std::rename((path + ".x").c_str(), path.c_str()) == 0);
        } else if (meanwhile == "rewrite") {
            std::FILE* f = std::fopen(path.c_str(), "wb");
            std::fwrite(other.data(), 1, other.size(), f);
            std::fclose(f);
        } else if (meanwhile == "remove") {
            std::remove(path.c_str());
        }
        r.state.list.DeleteReminder(); // an edit of ours
        QVERIFY(r.state.session().SaveList());

        std::vector<std::string> copies;
        for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
            if (e.path().filename().string().rfind("Dane.dat.inna-wersja-", 0) == 0)
                copies.push_back(e.path().string());
        QCOMPARE(copies.size(), size_t(kept));
        QCOMPARE(r.box.shown.size(), size_t(kept));
        if (kept) {
            std::string bytes;
            QVERIFY(ReadWholeFile(copies[0], bytes));
            QCOMPARE(bytes, other);
            QCOMPARE(FileMode(copies[0]), 0640u);
            QVERIFY(r.box.shown[0].text.find(std::filesystem::path(copies[0]).filename().string()) !=
                    std::string::npos);
        }
        Komunikaty back;
        QCOMPARE(r.state.dataFile.LoadDataFile(back), int(kLoaded));
        QCOMPARE(back.ReminderCount(), 3); // ours written
        QVERIFY(!r.state.session().FileChangedElsewhere());
    }

    // A block the preparation pass sets on a past one-off reminder is not
    // written, but a reload within the run keeps it on that reminder, and on
    // no other one.
    void aPassBlockStaysInMemoryOnly_data()
    {
        QTest::addColumn<bool>("sameReminder");
        QTest::newRow("the same reminder read again") << true;
        QTest::newRow("another reminder in its place") << false;
    }

    void aPassBlockStaysInMemoryOnly()
    {
        QFETCH(bool, sameReminder);
        Rig r;
        const std::string path = r.state.dataFile.Path();
        QVERIFY(MakeFolders(std::filesystem::path(path).parent_path()));
        r.state.list.items.clear();
        r.state.engine.Start(); // today from the rig's clock
        r.state.list.AddReminder("minione+", DateFromYmd(2026, 11, 20), 0, 3, 0, 0, 1, DateFromYmd(2026, 12, 8));
        r.state.engine.PreparationPass();
        QCOMPARE(r.state.list[0].Blok, 1);
        QVERIFY(r.state.session().SaveList());
        Komunikaty stored;
        QCOMPARE(r.state.dataFile.ReadDataFile(stored), int(kLoaded));
        QCOMPARE(stored[0].Blok, 0);
        if (!sameReminder) {
            stored[0].Tresc = "inne+";
            QVERIFY(ReplaceFile(DefaultFileWriters(), path, r.state.dataFile.BuildDocument(stored)));
        }
        QCOMPARE(r.state.session().ReloadDataFile(), int(kLoaded));
        QCOMPARE(r.state.list[0].Blok, sameReminder ? 1 : 0);
    }
};

QTEST_GUILESS_MAIN(TestAppState)
#include "test_appstate.moc"
