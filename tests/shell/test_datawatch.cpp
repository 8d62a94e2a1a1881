// Another program replaces or rewrites the data file while the program runs:
// read again when nothing is pending, after an open editor or question has
// closed, and never over pending edits.

#include "app/staterig.h"
#include "shell/datawatch.h"
#include "store/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>


using namespace remindo;
using namespace remindo::test;

namespace {

void Replace(const std::string& path, const QByteArray& bytes, bool byRename)
{
    const QString target = QString::fromStdString(path);
    QFile f(byRename ? target + ".new" : target);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    f.close();
    if (byRename)
        QCOMPARE(std::rename((path + ".new").c_str(), path.c_str()), 0);
}

const QByteArray kEmptyList = "<Dane>\r\n\t<Code>fa</Code>\r\n\t<Ilosc>0</Ilosc>\r\n</Dane>\r\n";

// The data folder as the program makes it (its own, 0700) with one reminder saved.
void Prepare(StateRig& r)
{
    QVERIFY(MakeFolders(std::filesystem::path(r.state.dataFile.Path()).parent_path()));
    r.Add("Pierwsze", DateFromYmd(2026, 12, 9));
    QVERIFY(r.state.session().SaveList());
}

} // namespace

class TestDataWatch : public QObject {
    Q_OBJECT

private slots:
    void readsAgainWhenNothingWaits_data()
    {
        QTest::addColumn<bool>("byRename");
        QTest::addColumn<bool>("pending");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<bool>("throughLink");
        QTest::newRow("renamed over") << true << false << false << false;
        QTest::newRow("rewritten in place") << false << false << false << false;
        QTest::newRow("edits pending: left alone") << true << true << false << false;
        QTest::newRow("editor open: after it closes") << true << false << true << false;
        // Dane.dat a link of the user's own into a synced folder: the file it
        // names is watched, and a save leaves the link in place.
        QTest::newRow("renamed over, through a link") << true << false << false << true;
        QTest::newRow("rewritten in place, through a link") << false << false << false << true;
    }

    void readsAgainWhenNothingWaits()
    {
        QFETCH(bool, byRename);
        QFETCH(bool, pending);
        QFETCH(bool, busy);
        QFETCH(bool, throughLink);
        StateRig r;
        const std::string path = r.state.dataFile.Path();
        QTemporaryDir synced;
        const std::string target = synced.filePath("Dane.dat").toStdString();
        QVERIFY(MakeFolders(std::filesystem::path(path).parent_path()));
        if (throughLink)
            std::filesystem::create_symlink(target, path);
        r.Add("Pierwsze", DateFromYmd(2026, 12, 9));
        QVERIFY(r.state.session().SaveList());
        if (pending) // an edit of the list window's
            r.state.session().AddReminder(Cp("Drugie+"), DateFromYmd(2026, 12, 10), 0, 0, 0, 0, 1);
        int reloads = 0;
        bool open = busy;
        DataFileWatch watch(r.state, [&] { return open; }, [&] { ++reloads, r.state.session().ReloadDataFile(); });
        QCOMPARE(watch.Check(), ReloadAnswer::Unchanged); // our own save is no change

        if (throughLink && byRename) {
            // As a sync tool may: gone first, then the new file. Only the
            // watch on the synced folder sees it come.
            QVERIFY(std::remove(target.c_str()) == 0);
            QTest::qWait(2 * DataFileWatch::kSettleMs);
        }
        Replace(throughLink ? target : path, kEmptyList, byRename);
        if (pending) {
            QTest::qWait(2 * DataFileWatch::kSettleMs);
            QCOMPARE(reloads, 0);
            QCOMPARE(watch.Check(), ReloadAnswer::Pending);
            return;
        }
        if (busy) {
            QTest::qWait(2 * DataFileWatch::kSettleMs);
            QCOMPARE(reloads, 0);
            open = false;
        }
        QTRY_COMPARE(reloads, 1);
        QCOMPARE(r.state.list.ReminderCount(), 0);
        QCOMPARE(watch.Check(), ReloadAnswer::Unchanged);
        if (throughLink) { // the save goes through it, and no version is kept: all was read
            r.Add("Drugie", DateFromYmd(2026, 12, 10));
            QVERIFY(r.state.session().SaveList());
            QCOMPARE(QFileInfo(QString::fromStdString(path)).symLinkTarget(), QString::fromStdString(target));
            QVERIFY(r.box.shown.empty());
        }
    }

    // Started before there is a data file (remindo-data or a sync tool makes
    // it later): only the folder's watch sees the file come.
    void aFileThatComesLaterIsRead()
    {
        StateRig r;
        const std::string path = r.state.dataFile.Path();
        QVERIFY(MakeFolders(std::filesystem::path(path).parent_path()));
        int reloads = 0;
        DataFileWatch watch(r.state, [] { return false; }, [&] { ++reloads, r.state.session().ReloadDataFile(); });
        r.Add("Pierwsze", DateFromYmd(2026, 12, 9));
        Replace(path, QByteArray::fromStdString(r.state.dataFile.BuildDocument(r.state.list)), true);
        r.state.list.items.clear();
        QTRY_COMPARE(reloads, 1);
        QCOMPARE(r.state.list.ReminderCount(), 1);
    }

    // A sync tool that renames a new version in every 100 ms restarts the
    // settle each time; the list is read again all the same.
    void aSteadyWriterIsReadAllTheSame()
    {
        StateRig r;
        Prepare(r);
        const std::string path = r.state.dataFile.Path();
        int reloads = 0;
        DataFileWatch watch(r.state, [] { return false; }, [&] { ++reloads, r.state.session().ReloadDataFile(); });
        std::atomic<bool> stop{false};
        std::thread writer([&] {
            for (int i = 0; i < 600 && !stop; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(100))) {
                std::ofstream(path + ".new", std::ios::binary) << kEmptyList.constData();
                std::rename((path + ".new").c_str(), path.c_str());
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(reloads > 0, 5 * DataFileWatch::kMostWaitMs);
        stop = true;
        writer.join();
    }

    // A writer rewriting the file in place pauses half way: the half file is
    // read again after the settle before it counts as damaged.
    void aFileHalfWrittenIsReadAgain_data()
    {
        QTest::addColumn<bool>("finished");
        QTest::newRow("the writer pauses half way, then finishes") << true;
        QTest::newRow("the file stays damaged") << false;
    }

    void aFileHalfWrittenIsReadAgain()
    {
        QFETCH(bool, finished);
        StateRig r;
        Prepare(r);
        const std::string path = r.state.dataFile.Path();
        int looks = 0, reloads = 0;
        DataFileWatch watch(r.state, [&] { return ++looks, false; }, [&] { ++reloads, r.state.session().ReloadDataFile(); });
        r.Add("Drugie", DateFromYmd(2026, 12, 10));
        const std::string whole = r.state.dataFile.BuildDocument(r.state.list), half = whole.substr(0, whole.size() / 2);
        std::ofstream in(path, std::ios::binary | std::ios::trunc);
        in << half << std::flush;
        QTRY_VERIFY(looks > 0);
        QCOMPARE(reloads, 0);
        if (finished)
            in << whole.substr(half.size());
        in.close();
        QTRY_COMPARE(reloads, 1);
        QVERIFY(!finished || r.state.list.ReminderCount() == 2);
        QCOMPARE(r.box.shown.size(), size_t(!finished));
        QCOMPARE(QDir(QString::fromStdString(path).section('/', 0, -2)).entryList({"Dane.dat.uszkodzony-*"}).size(),
                 qsizetype(!finished));
    }
};

QTEST_GUILESS_MAIN(TestDataWatch)
#include "test_datawatch.moc"
