// Another program writing the data file while this one saves: a second
// process renames its version in at the moments a save is most exposed; and
// a wrong clock for one run, set right for the next. Nothing may be lost.
#include "app/staterig.h"
#include "store/atomicfile.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

using namespace remindo;
using namespace remindo::test;

namespace {

// The real writer, with a hook at the steps another program may race.
struct HookedWriters final : FileWriterFactory {
    std::function<void(std::string_view)> hook;
    std::unique_ptr<FileWriter> NewWriter() override
    {
        auto w = std::make_unique<SafeFileWriter>();
        w->SetStepHook(hook);
        return w;
    }
};

// The message box, with a hook while it stands.
struct Box final : Messages {
    std::function<void()> whileShown;
    std::string texts;
    int ShowWarning(int, int, std::string_view text) override
    {
        texts += text;
        if (auto f = std::exchange(whileShown, nullptr))
            f();
        return kAnswerZamknij;
    }
};

// The reminder texts of the files in `folder` named so.
QStringList TextsIn(const QString& folder, const QString& pattern)
{
    FixedFormats formats;
    ScriptedMessages quiet;
    Scrambler scrambler(1);
    QStringList texts;
    for (const QString& name : QDir(folder).entryList({pattern}, QDir::Files)) {
        DataFile file(QFile::encodeName(folder + "/" + name).toStdString(), quiet, formats, scrambler);
        Komunikaty list;
        if (file.ReadDataFile(list) == kLoaded)
            for (const Komunikat& k : list.items)
                texts << QString::fromStdString(k.Tresc.substr(0, k.Tresc.find('+')));
    }
    return texts;
}

} // namespace

class TestOtherWriters : public QObject {
    Q_OBJECT
private slots:
    // At the moments named another version is renamed in by a second
    // process. After two saves of ours every version is the data file or a
    // dated copy named in a box, and the file holds our list.
    void aVersionRenamedInIsNeverLost_data()
    {
        QTest::addColumn<QStringList>("moments");
        QTest::newRow("before the save") << QStringList{"before"};
        QTest::newRow("while the box stands") << QStringList{"before", "box"};
        QTest::newRow("as the new file is complete") << QStringList{"commit"};
        QTest::newRow("between the last look and the rename") << QStringList{"rename"};
        QTest::newRow("right after the rename") << QStringList{"renamed"};
        QTest::newRow("at every moment") << QStringList{"before", "box", "commit", "rename", "renamed"};
    }

    void aVersionRenamedInIsNeverLost()
    {
        QFETCH(QStringList, moments);
        StateRig r;
        const std::string path = r.state.dataFile.Path();
        const QString folder = QString::fromStdString(path).section('/', 0, -2);
        QVERIFY(MakeFolders(folder.toStdString()));
        r.Add("Nasze", DateFromYmd(2026, 12, 9));
        QVERIFY(r.state.session().SaveList());
        // What the other program replaces of its own is its affair: a hard
        // link keeps that apart, so that only what our saves replace counts.
        QTemporaryDir replacedByIt;
        const QStringList versions = moments;
        auto put = [&](std::string_view step) {
            const QString moment = QString::fromLatin1(step.data(), qsizetype(step.size()));
            if (!moments.removeOne(moment))
                return;
            QVERIFY(::link(path.c_str(), QFile::encodeName(replacedByIt.filePath(moment)).constData()) == 0);
            Komunikaty v;
            v.AddReminder(("Wersja " + moment + "+").toStdString(), DateFromYmd(2026, 12, 20), 0, 1, 0, 0, 1, {});
            QVERIFY(ReplaceFile(DefaultFileWriters(), path + ".nowy", r.state.dataFile.BuildDocument(v)));
            QCOMPARE(QProcess::execute("mv", {QString::fromStdString(path + ".nowy"), QString::fromStdString(path)}), 0);
        };
        Box box;
        r.state.messages.SetTarget(&box);
        box.whileShown = [&] { put("box"); };
        HookedWriters writers;
        writers.hook = put;
        r.state.dataFile.SetWriters(&writers);
        put("before");
        if (moments.contains("rename") && ::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE))
            QSKIP("this file system cannot swap two names in one step");
        r.Add("Nowe", DateFromYmd(2026, 12, 10)); // an edit of ours
        QVERIFY(r.state.session().SaveList());
        QVERIFY(r.state.session().SaveList()); // whatever came during the first is kept now

        const QStringList found = TextsIn(replacedByIt.path(), "*") + TextsIn(folder, "Dane.dat.inna-wersja-*");
        for (const QString& v : versions)
            QVERIFY2(found.contains("Wersja " + v), qPrintable(v + ": lost"));
        for (const QString& copy : QDir(folder).entryList({"Dane.dat.inna-wersja-*"}))
            QVERIFY2(box.texts.find(copy.toStdString()) != std::string::npos, qPrintable(copy + ": not named"));
        QCOMPARE(TextsIn(folder, "Dane.dat"), (QStringList{"Nasze", "Nowe"}));
        QVERIFY(!r.state.session().FileChangedElsewhere());
    }

    // A run with the clock 30 days ahead, in which a reminder is answered
    // (a save), leaves nothing blocked for good once the clock is right.
    void aWrongClockBlocksNothingForGood()
    {
        const QString faketime = QStandardPaths::findExecutable("faketime");
        if (faketime.isEmpty())
            QSKIP("faketime is not installed (tools/setup.sh installs it)");
        QTemporaryDir dir;
        auto run = [&](const QString& step, const QStringList& clock) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            // In a sanitized build libfaketime is loaded before the sanitizers' runtime.
            env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
            child.setProcessEnvironment(env);
            const QStringList args = clock + QStringList{APP_CHILD, dir.path(), step};
            child.start(args[0], args.mid(1));
            child.waitForFinished(60000);
            return child.exitCode() == 0 ? QString::fromUtf8(child.readAllStandardOutput()) : "failed " + step;
        };
        QCOMPARE(run("prepare", {}), QString());
        QCOMPARE(run("answer", {faketime, "-f", "+30d"}), QString());
        // Days from today, Blok, WarnToday: the two due soon are warned of,
        // the user's own blocks stay.
        QCOMPARE(run("check", {}), QString("5 0 1\n10 0 1\n30 0 0\n5 1 0\n-40 1 0\n"));
    }
};

QTEST_GUILESS_MAIN(TestOtherWriters)
#include "test_otherwriters.moc"
