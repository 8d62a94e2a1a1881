// Dane.dat or Remindo.ini kept as a link into another folder, as users do to
// keep them in a synced folder. A link of the user's own in the program's
// private folder is followed: the save replaces the file it names and the
// link stays. Any other link is replaced itself.
#include "samplelists.h"

#include "store/atomicfile.h"
#include "store/datafile.h"
#include "store/fixedformats.h"
#include "store/messages.h"
#include "store/scramble.h"
#include "store/settingsfile.h"

#include "readall.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace remindo;

class TestLinks : public QObject {
    Q_OBJECT
private slots:
    void saveThroughALink_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("link");
        QTest::addColumn<bool>("followed");
        for (const char* file : {"Dane.dat", "Remindo.ini"}) {
            QTest::addRow("%s: the user's own", file) << file << "own" << true;
            QTest::addRow("%s: through a second link of the user's", file) << file << "chain" << true;
            QTest::addRow("%s: to a file not there yet", file) << file << "dangling" << true;
            QTest::addRow("%s: in a folder others may write in", file) << file << "shared" << false;
            QTest::addRow("%s: another user's link", file) << file << "foreign" << false;
        }
    }

    void saveThroughALink()
    {
        QFETCH(QString, file);
        QFETCH(QString, link);
        QFETCH(bool, followed);
        if (link == "foreign" && ::geteuid() != 0)
            QSKIP("only root can give a link to another user");
        QTemporaryDir app, synced;
        const Paths paths = MakePaths(app.path().toStdString());
        QVERIFY(MakeFolders(paths.settingsFolder));
        const QString folder = QString::fromStdString(paths.settingsFolder), at = folder + "/" + file;
        const QString target = synced.filePath(file);
        if (link != "dangling")
            QVERIFY(ReplaceFile(DefaultFileWriters(), target.toStdString(), "stara"));
        QVERIFY(link == "chain" ? QFile::link(file, synced.filePath("hop")) && QFile::link(synced.filePath("hop"), at)
                                : QFile::link(target, at));
        if (link == "foreign")
            QVERIFY(::lchown(QFile::encodeName(at).constData(), 65534, 65534) == 0);
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), link == "shared" ? 01777 : 0700) == 0);

        FixedFormats formats;
        ScriptedMessages messages;
        Scrambler scrambler(3);
        SettingsFile settings(paths, scrambler, nullptr);
        DataFile data(paths.dataFile, messages, formats, scrambler);
        Settings s;
        s.PokazCo = 77;
        QVERIFY(file == "Dane.dat" ? data.SaveDataFile(samples::ListA()) : settings.WriteSettings(s));
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0700) == 0);

        QCOMPARE(QFileInfo(at).isSymLink(), followed);
        QCOMPARE(ReadAll(target) == "stara", !followed);
        QCOMPARE(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), QStringList{file});
        // Read back through the link: the new version.
        Komunikaty back;
        QVERIFY(file == "Dane.dat" ? data.LoadDataFile(back) == kLoaded && samples::SameStored(back, samples::ListA())
                                   : settings.ReadSettings(s = {}) && s.PokazCo == 77);
    }
};

QTEST_GUILESS_MAIN(TestLinks)
#include "test_links.moc"
