// Dane.dat or Remindo.ini kept as a link into another folder, as users do to
// keep them in a synced folder. A link of the user's own in the program's
// private folder is followed: the save replaces the file it names and the
// link stays. Any other link is replaced itself, as before.
#include "samplelists.h"

#include "store/atomicfile.h"
#include "store/datafile.h"
#include "store/fixedformats.h"
#include "store/messages.h"
#include "store/scramble.h"
#include "store/settingsfile.h"

#include "readall.h"

#include <QDir>
#include <QFile>
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
        for (const QString file : {"Dane.dat", "Remindo.ini"}) {
            QTest::addRow("%s: the user's own, in the private folder", qPrintable(file)) << file << "own" << true;
            QTest::addRow("%s: through a second link of the user's", qPrintable(file)) << file << "chain" << true;
            QTest::addRow("%s: to a file not there yet", qPrintable(file)) << file << "dangling" << true;
            QTest::addRow("%s: in a folder others may write in", qPrintable(file)) << file << "shared" << false;
            QTest::addRow("%s: another user's link", qPrintable(file)) << file << "foreign" << false;
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
        const QString folder = QString::fromStdString(paths.settingsFolder);
        const QString at = folder + "/" + file;
        const QString target = synced.filePath(file);
        const std::string old = "stara wersja";
        if (link != "dangling")
            QVERIFY(ReplaceFile(DefaultFileWriters(), target.toStdString(), old));
        if (link == "chain") {
            QVERIFY(QFile::link(file, synced.filePath("hop"))); // relative, beside its file
            QVERIFY(QFile::link(synced.filePath("hop"), at));
        } else {
            QVERIFY(QFile::link(target, at));
        }
        if (link == "foreign")
            QVERIFY(::lchown(QFile::encodeName(at).constData(), 65534, 65534) == 0);
        const QByteArray folderName = QFile::encodeName(folder);
        if (link == "shared")
            QVERIFY(::chmod(folderName.constData(), 01777) == 0);

        FixedFormats formats;
        ScriptedMessages messages;
        Scrambler scrambler(3);
        Settings s;
        s.PokazCo = 77;
        SettingsFile settings(paths, scrambler, nullptr);
        DataFile data(paths.dataFile, messages, formats, scrambler);
        if (file == "Dane.dat") {
            QCOMPARE(QString::fromStdString(data.Target()), followed ? target : at);
            QVERIFY(data.SaveDataFile(samples::ListA()));
        } else {
            QVERIFY(settings.WriteSettings(s));
        }
        ::chmod(folderName.constData(), 0700);

        QCOMPARE(QFileInfo(at).isSymLink(), followed);
        QCOMPARE(ReadAll(target) == old, !followed);
        // Nothing left behind in either folder.
        QCOMPARE(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden | QDir::System),
                 QStringList{file});
        // Read back through the path: the new version, wherever it went.
        if (file == "Dane.dat") {
            Komunikaty back;
            if (followed) {
                QCOMPARE(data.LoadDataFile(back), int(kLoaded));
                QVERIFY(samples::SameStored(back, samples::ListA()));
            }
        } else if (followed) {
            Settings back;
            QVERIFY(settings.ReadSettings(back));
            QCOMPARE(back.PokazCo, 77);
        }
    }
};

QTEST_GUILESS_MAIN(TestLinks)
#include "test_links.moc"
