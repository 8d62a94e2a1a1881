// Another program replaces or rewrites the data file while the program runs:
// read again when nothing is pending, after an open editor or question has
// closed, and never over pending edits.

#include "app/staterig.h"
#include "shell/datawatch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <cstdio>

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

} // namespace

class TestDataWatch : public QObject {
    Q_OBJECT

private slots:
    void readsAgainWhenNothingWaits_data()
    {
        QTest::addColumn<bool>("byRename");
        QTest::addColumn<bool>("pending");
        QTest::addColumn<bool>("busy");
        QTest::newRow("renamed over") << true << false << false;
        QTest::newRow("rewritten in place") << false << false << false;
        QTest::newRow("edits pending: left alone") << true << true << false;
        QTest::newRow("editor open: after it closes") << true << false << true;
    }

    void readsAgainWhenNothingWaits()
    {
        QFETCH(bool, byRename);
        QFETCH(bool, pending);
        QFETCH(bool, busy);
        StateRig r;
        QVERIFY(QDir().mkpath(QFileInfo(QString::fromStdString(r.state.dataFile.Path())).absolutePath()));
        r.Add("Pierwsze", DateFromYmd(2026, 12, 9));
        QVERIFY(r.state.SaveList());
        r.state.DataChanged = pending;
        int reloads = 0;
        bool open = busy;
        DataFileWatch watch(r.state, [&] { return open; }, [&] { ++reloads, r.state.ReloadDataFile(); });
        QCOMPARE(watch.Check(), ReloadAnswer::Unchanged); // our own save is no change

        Replace(r.state.dataFile.Path(), "<Dane>\r\n\t<Code>fa</Code>\r\n\t<Ilosc>0</Ilosc>\r\n</Dane>\r\n", byRename);
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
    }
};

QTEST_GUILESS_MAIN(TestDataWatch)
#include "test_datawatch.moc"
