// Another program writing the data file while this one saves: a second
// process renames its own version in at the moments a save is most exposed,
// and a wrong clock, set right between two runs. Nothing may be lost.
#include "app/staterig.h"
#include "store/atomicfile.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <filesystem>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

using namespace remindo;
using namespace remindo::test;

namespace {

// One-shot hooks between the steps of the real writer.
struct Hooks {
    std::function<void()> beforeCommit, beforeRename, afterCommit;
};

void Run(std::function<void()>& hook)
{
    if (auto h = std::exchange(hook, nullptr))
        h();
}

class HookedWriter final : public FileWriter {
public:
    explicit HookedWriter(Hooks& hooks) : hooks_(hooks) {}
    bool Open(const std::string& path) override { return real_.Open(path); }
    bool Write(std::string_view bytes) override { return real_.Write(bytes); }
    bool Commit() override
    {
        Run(hooks_.beforeCommit);
        real_.SetBeforeRename(std::exchange(hooks_.beforeRename, nullptr));
        const bool done = real_.Commit();
        Run(hooks_.afterCommit);
        return done;
    }
    void Discard() override { real_.Discard(); }
    void SetMode(unsigned mode) override { real_.SetMode(mode); }
    void SetNoReplace() override { real_.SetNoReplace(); }
    std::string Error() const override { return real_.Error(); }
    void SetReplaceCheck(ReplaceCheck* check) override { real_.SetReplaceCheck(check); }
    FileStamp Written() const override { return real_.Written(); }

private:
    Hooks& hooks_;
    SafeFileWriter real_;
};

class HookedWriters final : public FileWriterFactory {
public:
    Hooks hooks;
    std::unique_ptr<FileWriter> NewWriter() override { return std::make_unique<HookedWriter>(hooks); }
};

// The message box, with a hook while it stands.
class Box final : public Messages {
public:
    std::function<void()> whileShown;
    std::vector<std::string> texts;
    int ShowWarning(int, int, std::string_view text) override
    {
        texts.emplace_back(text);
        Run(whileShown);
        return kAnswerZamknij;
    }
};

// The other program: a second process renames its version in.
void Put(const std::string& path, const QString& text)
{
    QCOMPARE(QProcess::execute(APP_CHILD, {"put", QString::fromStdString(path), text}), 0);
}

// The texts of the reminders a file holds.
QStringList TextsIn(const std::string& path)
{
    FixedFormats formats;
    ScriptedMessages quiet;
    Scrambler scrambler(1);
    DataFile file(path, quiet, formats, scrambler);
    Komunikaty list;
    QStringList texts;
    if (file.ReadDataFile(list) == kLoaded)
        for (const Komunikat& k : list.items)
            texts << QString::fromStdString(k.Tresc.substr(0, k.Tresc.find('+')));
    return texts;
}

std::vector<std::string> CopiesBeside(const std::string& path, const std::string& infix)
{
    std::vector<std::string> copies;
    const std::filesystem::path file(path);
    for (const auto& e : std::filesystem::directory_iterator(file.parent_path()))
        if (e.path().filename().string().rfind(file.filename().string() + infix, 0) == 0)
            copies.push_back(e.path().string());
    return copies;
}

// Whether this file system swaps two names in one step.
bool SwapsNames(const QString& folder)
{
    const QByteArray a = QFile::encodeName(folder + "/swap-a"), b = QFile::encodeName(folder + "/swap-b");
    QFile(QString::fromLocal8Bit(a)).open(QIODevice::WriteOnly);
    QFile(QString::fromLocal8Bit(b)).open(QIODevice::WriteOnly);
    const bool swapped = ::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_EXCHANGE) == 0;
    ::unlink(a.constData());
    ::unlink(b.constData());
    return swapped;
}

} // namespace

class TestOtherWriters : public QObject {
    Q_OBJECT
private slots:
    // At each moment of a save another version is renamed in. When our two
    // saves are done, every version is the data file or a dated copy beside
    // it, every copy was named in a box, and the file holds our list.
    void aVersionRenamedInIsNeverLost_data()
    {
        QTest::addColumn<QStringList>("moments");
        QTest::newRow("before the save") << QStringList{"before"};
        QTest::newRow("while the box stands") << QStringList{"before", "box"};
        QTest::newRow("as the new file is complete") << QStringList{"commit"};
        QTest::newRow("between the last look and the rename") << QStringList{"rename"};
        QTest::newRow("right after the rename") << QStringList{"after"};
        QTest::newRow("at every moment") << QStringList{"before", "box", "commit", "rename", "after"};
    }

    void aVersionRenamedInIsNeverLost()
    {
        QFETCH(QStringList, moments);
        StateRig r;
        const std::string path = r.state.dataFile.Path();
        QVERIFY(MakeFolders(std::filesystem::path(path).parent_path()));
        if (moments.contains("rename") && !SwapsNames(QString::fromStdString(std::filesystem::path(path).parent_path())))
            QSKIP("this file system cannot swap two names in one step");
        r.Add("Nasze", DateFromYmd(2026, 12, 9));
        QVERIFY(r.state.SaveList());
        Box box;
        r.state.messages.SetTarget(&box);
        HookedWriters writers;
        r.state.dataFile.SetWriters(&writers);

        // What the other program replaces of its own is its affair: a hard
        // link keeps it apart, so that only what our saves replace counts.
        QTemporaryDir replacedByIt;
        QStringList versions;
        auto put = [&](const QString& moment) {
            if (!moments.contains(moment))
                return;
            ::link(path.c_str(), QFile::encodeName(replacedByIt.filePath(moment)).constData());
            versions << "Wersja " + moment;
            Put(path, versions.back());
        };
        put("before");
        box.whileShown = [&] { put("box"); };
        writers.hooks.beforeCommit = [&] { put("commit"); };
        writers.hooks.beforeRename = [&] { put("rename"); };
        writers.hooks.afterCommit = [&] { put("after"); };
        r.Add("Nowe", DateFromYmd(2026, 12, 10)); // an edit of ours
        QVERIFY(r.state.SaveList());
        writers.hooks = {};
        box.whileShown = nullptr;
        QVERIFY(r.state.SaveList()); // whatever came during the first is kept now

        QStringList found;
        std::string named;
        for (const std::string& text : box.texts)
            named += text;
        for (const std::string& copy : CopiesBeside(path, ".inna-wersja-")) {
            found += TextsIn(copy);
            QVERIFY2(named.find(std::filesystem::path(copy).filename().string()) != std::string::npos, copy.c_str());
        }
        for (const QString& name : QDir(replacedByIt.path()).entryList(QDir::Files))
            found += TextsIn(QFile::encodeName(replacedByIt.filePath(name)).toStdString());
        for (const QString& v : versions)
            QVERIFY2(found.contains(v), qPrintable(v + " is lost"));
        QCOMPARE(TextsIn(path), (QStringList{"Nasze", "Nowe"}));
        QVERIFY(!r.state.FileChangedElsewhere());
    }

    // A clock set 30 days ahead for one run, in which a reminder is answered
    // (a save), must leave nothing blocked for good once it is set right:
    // a block a pass set is the clock's, not the user's.
    void aWrongClockBlocksNothingForGood()
    {
        const QString faketime = QStandardPaths::findExecutable("faketime");
        if (faketime.isEmpty())
            QSKIP("faketime is not installed (tools/setup.sh installs it)");
        QTemporaryDir dir;
        auto run = [&](const QString& step, const QString& shift) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            // libfaketime comes before the sanitizers' runtime in a sanitized build.
            env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
            child.setProcessEnvironment(env);
            QStringList args{APP_CHILD, "run", dir.path(), step};
            if (shift.isEmpty())
                child.start(APP_CHILD, args.mid(1));
            else
                child.start(faketime, QStringList{"-f", shift} + args);
            if (!child.waitForFinished(60000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
                qWarning() << step << child.exitCode() << child.readAllStandardError();
            return child.exitCode() == 0 ? QString::fromUtf8(child.readAllStandardOutput()) : QString("failed");
        };
        QCOMPARE(run("prepare", {}), QString());
        QCOMPARE(run("answer", "+30d"), QString());
        // days from today, Blok, WarnToday
        const QStringList expected{"5 0 1",  // due in 5 days: warned
                                   "10 0 1", // due in 10 days: warned
                                   "30 0 0", // its window not open yet
                                   "5 1 0",  // the user's block stays
                                   "-40 1 0"};
        QCOMPARE(run("check", {}).split('\n', Qt::SkipEmptyParts), expected);
    }
};

QTEST_GUILESS_MAIN(TestOtherWriters)
#include "test_otherwriters.moc"
