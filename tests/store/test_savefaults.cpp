// Saves that fail on a real file system: at each step of the write, on a
// full disk, in folders that refuse, and in a process killed mid-save.
#include "samplelists.h"

#include "store/atomicfile.h"
#include "store/datafile.h"
#include "store/filestamp.h"
#include "store/fixedformats.h"
#include "store/log.h"
#include "store/messages.h"
#include "store/scramble.h"
#include "store/settingsfile.h"

#include "readall.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <random>
#include <thread>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

using namespace remindo;

namespace {

const std::string kSaveFailed = "Problemy z zapisaniem pliku danych.\rCzy masz należyte uprawnienia?";

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden | QDir::System);
}

enum class Fault { Open, WriteNothing, WriteHalf, Commit, Rename };

// The real writer with one step made to fail; what happened before that
// step really happened on the disk. The rename fails for real: the new file
// is gone from under its temporary name.
class FaultyWriter final : public FileWriter {
public:
    explicit FaultyWriter(Fault fault) : fault_(fault) {}
    bool Open(const std::string& path) override
    {
        path_ = QString::fromStdString(path);
        return fault_ != Fault::Open && real_.Open(path);
    }
    bool Write(std::string_view bytes) override
    {
        if (fault_ == Fault::WriteNothing)
            return false;
        if (fault_ == Fault::WriteHalf) {
            real_.Write(bytes.substr(0, bytes.size() / 2));
            return false;
        }
        return real_.Write(bytes);
    }
    bool Commit() override
    {
        if (fault_ == Fault::Rename) {
            const QFileInfo target(path_);
            for (const QString& name : QDir(target.path()).entryList({target.fileName() + ".*"}, QDir::Files))
                QFile::remove(target.dir().filePath(name));
        }
        return fault_ != Fault::Commit && real_.Commit();
    }
    void Discard() override { real_.Discard(); }

private:
    Fault fault_;
    QString path_;
    SafeFileWriter real_;
};

class FaultyWriters final : public FileWriterFactory {
public:
    explicit FaultyWriters(Fault fault) : fault_(fault) {}
    std::unique_ptr<FileWriter> NewWriter() override { return std::make_unique<FaultyWriter>(fault_); }

private:
    Fault fault_;
};

constexpr Fault kAllFaults[] = {Fault::Open, Fault::WriteNothing, Fault::WriteHalf, Fault::Commit, Fault::Rename};

struct Fixture {
    QTemporaryDir dir;
    FixedFormats formats;
    ScriptedMessages messages;
    Scrambler scrambler{8};
    QString path = dir.filePath("Dane.dat");
    DataFile file{path.toStdString(), messages, formats, scrambler};

    Komunikaty Load()
    {
        Komunikaty list;
        const int r = file.LoadDataFile(list);
        if (r != kLoaded)
            list.AddReminder("<load failed " + std::to_string(r) + ">", Date(), 0, 0, 0, 0, 0, Date());
        return list;
    }
    // The old file must be byte for byte what it was, alone in its folder.
    void ExpectUntouched(const std::string& before)
    {
        QCOMPARE(ReadAll(path), before);
        QCOMPARE(Entries(dir.path()), QStringList{"Dane.dat"});
    }
    void ExpectRefused()
    {
        QVERIFY(!messages.shown.empty());
        QCOMPARE(messages.shown.back().text, kSaveFailed);
        QCOMPARE(messages.shown.back().kind, int(kInformationBox));
    }
};

bool SetFolderFlags(const QString& folder, long flags)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    const bool ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return ok;
}

long FolderFlags(const QString& folder)
{
    long flags = 0;
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::ioctl(fd, FS_IOC_GETFLAGS, &flags);
        ::close(fd);
    }
    return flags;
}

} // namespace

class TestSaveFaults : public QObject {
    Q_OBJECT
private slots:
    void everyStepOfTheDataFileSave()
    {
        for (Fault fault : kAllFaults) {
            Fixture f;
            QVERIFY(f.file.SaveDataFile(samples::ListA()));
            const std::string before = ReadAll(f.path);
            FaultyWriters writers(fault);
            f.file.SetWriters(&writers);
            QVERIFY(!f.file.SaveDataFile(samples::ListB()));
            f.ExpectRefused();
            f.ExpectUntouched(before);
            f.file.SetWriters(nullptr);
            QVERIFY(samples::SameStored(f.Load(), samples::ListA()));
        }
    }

    void everyStepOfTheSettingsAndLogWrites()
    {
        for (Fault fault : kAllFaults) {
            QTemporaryDir dir;
            Scrambler scrambler(2);
            const Paths paths = MakePaths(dir.path().toStdString());
            SettingsFile settings(paths, scrambler, nullptr);
            Settings s;
            settings.PrepareSettings(s);
            const std::string before = ReadAll(QString::fromStdString(paths.settingsFile));
            FaultyWriters writers(fault);
            settings.SetWriters(&writers);
            s.PokazCo = 1;
            QVERIFY(!settings.WriteSettings(s));
            QCOMPARE(ReadAll(QString::fromStdString(paths.settingsFile)), before);
            QCOMPARE(Entries(QString::fromStdString(paths.settingsFolder)), QStringList{"Remindo.ini"});

            FixedFormats formats;
            Date day = DateFromYmd(2027, 3, 5);
            DateTime pass = MakeDateTime(day, 8, 0);
            DiagnosticLog log(day, pass, formats);
            log.SetMode(1);
            log.SetFolder(dir.path().toStdString());
            log.WriteLog("a");
            log.FlushLog();
            const std::string logBefore = ReadAll(dir.filePath("202735.txt"));
            // A new day's file is written whole, through the writer.
            log.SetWriters(&writers);
            day = DateFromYmd(2027, 3, 6);
            log.WriteLog("b");
            log.FlushLog();
            QCOMPARE(ReadAll(dir.filePath("202735.txt")), logBefore);
            QVERIFY(!QFile::exists(dir.filePath("202736.txt")));
            QCOMPARE(log.UnwrittenLines(), size_t(1));
            QCOMPARE(log.Lines().size(), size_t(2));
            log.SetWriters(nullptr);
            log.FlushLog();
            QCOMPARE(ReadAll(dir.filePath("202736.txt")), logBefore + "6.03.2027 08:00:00 b\r\n");
        }
    }

    void permissionsOfTheOldFileAreKept()
    {
        Fixture f;
        QVERIFY(f.file.SaveDataFile(samples::ListA()));
        const QByteArray name = QFile::encodeName(f.path);
        QVERIFY(chmod(name.constData(), 0640) == 0);
        QVERIFY(f.file.SaveDataFile(samples::ListB()));
        struct stat st {};
        QVERIFY(stat(name.constData(), &st) == 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0640));
    }

    void fullDisk()
    {
        Fixture f;
        QVERIFY(f.file.SaveDataFile(samples::ListA()));
        const std::string before = ReadAll(f.path);
        // A file-size limit makes every write past it fail as a full disk would.
        struct rlimit old {};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &old) == 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = 4096;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        const bool saved = f.file.SaveDataFile(samples::ListB());
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!saved);
        f.ExpectRefused();
        f.ExpectUntouched(before);
    }

    void lastByteDoesNotFit()
    {
        // Every byte but the last fits under the limit: only the very end of
        // the write fails, where a buffered writer's final flush would.
        Fixture f;
        QVERIFY(f.file.SaveDataFile(samples::ListB()));
        const std::string before = ReadAll(f.path);
        const size_t size = f.file.BuildDocument(samples::ListA()).size();
        struct rlimit old {};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &old) == 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = size - 1;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        const bool saved = f.file.SaveDataFile(samples::ListA());
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!saved);
        f.ExpectRefused();
        f.ExpectUntouched(before);
        QCOMPARE(f.file.LastError(), std::string(std::strerror(EFBIG)));
    }

    void realFullFileSystem()
    {
        // A small memory file system, nearly full: the new file fits its
        // first pages and not the rest.
        if (geteuid() != 0)
            QSKIP("mounting a small file system needs root");
        QTemporaryDir mount;
        const QByteArray at = QFile::encodeName(mount.path());
        if (::mount("remindo-test", at.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0700") != 0)
            QSKIP(qPrintable(QString("this process cannot mount a tmpfs: ") + std::strerror(errno)));
        struct Unmount {
            QByteArray at;
            ~Unmount() { ::umount2(at.constData(), MNT_DETACH); }
        } unmount{at};

        FixedFormats formats;
        ScriptedMessages messages;
        Scrambler scrambler(4);
        const QString path = mount.filePath("Dane.dat");
        DataFile file(QFile::encodeName(path).toStdString(), messages, formats, scrambler);
        QVERIFY(file.SaveDataFile(samples::ListA()));
        const std::string before = ReadAll(path);
        Komunikaty big;
        for (int i = 0; i < 40; ++i)
            big.AddReminder(std::string(250, 'a' + i % 26) + "+", samples::D(2026, 12, 8), 0, 1, 0, 0, 1,
                            samples::D(2026, 12, 8));
        QVERIFY(file.BuildDocument(big).size() > 12000);

        // Leave 8 KiB free.
        QFile filler(mount.filePath("filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray page(4096, 'f');
        while (filler.write(page) == page.size() && filler.flush()) {
        }
        filler.close();
        struct statvfs fs {};
        QVERIFY(statvfs(at.constData(), &fs) == 0);
        const qint64 free = qint64(fs.f_bavail) * qint64(fs.f_frsize);
        QVERIFY(filler.resize(filler.size() - (8192 - free)));

        QVERIFY(!file.SaveDataFile(big));
        QCOMPARE(messages.shown.back().text, kSaveFailed);
        QCOMPARE(file.LastError(), std::string(std::strerror(ENOSPC)));
        QCOMPARE(ReadAll(path), before);
        QCOMPARE(Entries(mount.path()), (QStringList{"Dane.dat", "filler"}));

        // The settings file and the log on the same full disk.
        Komunikaty loaded;
        QCOMPARE(file.LoadDataFile(loaded), int(kLoaded));
        QVERIFY(samples::SameStored(loaded, samples::ListA()));
        std::string why;
        QVERIFY(!ReplaceFile(DefaultFileWriters(), QFile::encodeName(mount.filePath("Remindo.ini")).toStdString(),
                             std::string(12000, 's'), &why));
        QCOMPARE(why, std::string(std::strerror(ENOSPC)));
        QCOMPARE(Entries(mount.path()), (QStringList{"Dane.dat", "filler"}));
    }

    void pathsThatCannotBeWrittenEvenByRoot()
    {
        Fixture f;
        // The folder of the file is a regular file.
        const QString blocker = f.dir.filePath("plik");
        QFile(blocker).open(QIODevice::WriteOnly);
        DataFile under((blocker + "/Dane.dat").toStdString(), f.messages, f.formats, f.scrambler);
        QVERIFY(!under.SaveDataFile(samples::ListA()));
        f.ExpectRefused();
        Komunikaty list = samples::ListA();
        QCOMPARE(under.LoadDataFile(list), int(kMissing));
        QCOMPARE(QFileInfo(blocker).size(), 0);

        // The file's name is taken by a folder: a load finds it damaged and
        // leaves it, a save refuses.
        QDir().mkpath(f.path);
        QCOMPARE(f.file.LoadDataFile(list), int(kDamagedHeader));
        QVERIFY(!f.file.SaveDataFile(samples::ListA()));
        QVERIFY(QFileInfo(f.path).isDir());

        // Settings under a file: start-up gets the defaults and goes on.
        Scrambler scrambler(1);
        SettingsFile settings(MakePaths(blocker.toStdString()), scrambler, nullptr);
        Settings s;
        s.BadajCo = 99;
        settings.PrepareSettings(s);
        QCOMPARE(s.BadajCo, 5);
        QVERIFY(!settings.WriteSettings(s));
    }

    void folderThatRefusesTheRename()
    {
        Fixture f;
        QVERIFY(f.file.SaveDataFile(samples::ListA()));
        const std::string before = ReadAll(f.path);
        // An append-only folder takes new names but lets no name be replaced
        // or removed, which holds for root too.
        const long flags = FolderFlags(f.dir.path());
        if (!SetFolderFlags(f.dir.path(), flags | FS_APPEND_FL))
            QSKIP("this file system or this process cannot make a folder append-only");
        const bool saved = f.file.SaveDataFile(samples::ListB());
        SetFolderFlags(f.dir.path(), flags);
        QVERIFY(!saved);
        f.ExpectRefused();
        QCOMPARE(ReadAll(f.path), before);
        // The new file's temporary name could not be removed in that folder
        // either; it is all that is left there besides the old file.
        for (const QString& name : Entries(f.dir.path()))
            QVERIFY(name == "Dane.dat" || name.startsWith("Dane.dat."));
    }

    void folderWithoutWritePermission()
    {
        Fixture f;
        QVERIFY(f.file.SaveDataFile(samples::ListA()));
        const std::string before = ReadAll(f.path);
        const QByteArray folder = QFile::encodeName(f.dir.path());
        if (geteuid() != 0) {
            QVERIFY(chmod(folder.constData(), 0555) == 0);
            const bool saved = f.file.SaveDataFile(samples::ListB());
            chmod(folder.constData(), 0700);
            QVERIFY(!saved);
            f.ExpectRefused();
            f.ExpectUntouched(before);
            return;
        }
        // Root may write anywhere, so the save runs in a child that gives up
        // root for the user nobody. Only the folder refuses: the file itself
        // is nobody's, so a save that fell back to writing it in place would
        // succeed and cut it.
        QVERIFY(chmod(folder.constData(), 0755) == 0);
        QVERIFY(chown(QFile::encodeName(f.path).constData(), 65534, 65534) == 0);
        QProcess child;
        child.start(SAVE_CHILD, {"once", f.path, "65534"});
        if (!child.waitForFinished(60000) || child.exitStatus() != QProcess::NormalExit)
            QSKIP("the helper could not run");
        if (child.exitCode() == 3)
            QSKIP("this process cannot change to the user nobody");
        if (child.exitCode() == 127 || child.exitCode() == 126)
            QSKIP("the user nobody cannot run the helper from this build folder");
        QCOMPARE(child.exitCode(), 1);
        QCOMPARE(child.readAllStandardOutput().toStdString(), kSaveFailed + "\n");
        f.ExpectUntouched(before);
    }

    void foldersArePrivateAndLinksAreNeverFollowed()
    {
        // Under umask 000 the folders are still the user's alone.
        QTemporaryDir dir;
        const mode_t old = ::umask(0);
        const bool made = MakeFolders(dir.filePath("a/Vendly/Remindo").toStdString());
        ::umask(old);
        QVERIFY(made);
        for (const char* folder : {"a", "a/Vendly", "a/Vendly/Remindo"}) {
            struct stat st {};
            QVERIFY(::stat(QFile::encodeName(dir.filePath(folder)).constData(), &st) == 0);
            QCOMPARE(int(st.st_mode & 07777), 0700);
        }
        // A link put in the data file's place in a folder others may write
        // in: the save replaces the link, never the file it names.
        Fixture f;
        const QString victim = f.dir.filePath("victim");
        {
            QFile v(victim);
            QVERIFY(v.open(QIODevice::WriteOnly));
            v.write("mine");
        }
        QVERIFY(QFile::link(victim, f.path));
        const QByteArray folder = QFile::encodeName(f.dir.path());
        QVERIFY(::chmod(folder.constData(), 01777) == 0);
        const bool saved = f.file.SaveDataFile(samples::ListA());
        QVERIFY(::chmod(folder.constData(), 0700) == 0);
        QVERIFY(saved);
        QCOMPARE(ReadAll(victim), std::string("mine"));
        QVERIFY(!QFileInfo(f.path).isSymLink());
        QVERIFY(samples::SameStored(f.Load(), samples::ListA()));
    }

    // Copies of other versions are bounded: the newest kKeptCopies stay, and
    // bytes already held by a copy make no second one.
    void keptCopiesAreBounded()
    {
        QTemporaryDir dir;
        const std::string path = QFile::encodeName(dir.filePath("Dane.dat")).toStdString();
        const QString own = dir.filePath("Dane.dat.inna-wersja-moja");
        QFile(own).open(QIODevice::WriteOnly); // the user's own file: never removed
        std::vector<std::string> names;
        for (int i = 0; i < kKeptCopies + 3; ++i) {
            QVERIFY(ReplaceFile(DefaultFileWriters(), path, "wersja " + std::to_string(i)));
            names.push_back(KeepDatedCopy(path, ".inna-wersja-"));
            QVERIFY(!names.back().empty());
        }
        QCOMPARE(KeepDatedCopy(path, ".inna-wersja-"), names.back());
        // Another kind of copy is counted apart.
        QVERIFY(!KeepDatedCopy(path, ".bak-").empty());
        for (int i = 0; i < kKeptCopies + 3; ++i) {
            const QString name = QString::fromStdString(names[size_t(i)]);
            QCOMPARE(QFile::exists(name), i >= 3);
            if (i >= 3)
                QCOMPARE(ReadAll(name), "wersja " + std::to_string(i));
        }
        QVERIFY(QFile::exists(own));
        QCOMPARE(Entries(dir.path()).size(), qsizetype(1 + kKeptCopies + 1 + 1));
    }

    void onlyOurOwnLeftoversAreRemoved()
    {
        QTemporaryDir dir;
        auto put = [&](const QString& name, const QByteArray& bytes) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        const QStringList gone = {"Dane.dat.tmp-Ab12Cd", "Remindo.ini.tmp-xyzXY9", "Dane.dat.bak-1.tmp-000000"};
        const QStringList kept = {"Dane.dat", "Dane.dat.backup", "Dane.dat.uszkodzony-20261208-101010",
                                  "Dane.dat.tmp-Ab12C", "Inny.dat.tmp-Ab12Cd", "link.tmp-abcdef"};
        for (const QString& name : gone + kept)
            put(name, "<Dane>\r\n\t<Code>tr</Code>\r\n");
        QVERIFY(QFile::link(dir.filePath("Dane.dat"), dir.filePath("Dane.dat.tmp-abcdef")));
        // Another user's, in a folder shared with them: theirs to remove.
        // Only root can give a file away.
        put("Dane.dat.tmp-obcy99", "<Dane>");
        const bool theirs = ::chown(QFile::encodeName(dir.filePath("Dane.dat.tmp-obcy99")).constData(), 65534, 65534) == 0;
        QCOMPARE(RemoveLeftoverTemporaries(dir.path().toStdString()), size_t(gone.size() + !theirs));
        QStringList expected = kept + QStringList{"Dane.dat.tmp-abcdef"};
        if (theirs)
            expected << "Dane.dat.tmp-obcy99";
        expected.sort();
        QCOMPARE(Entries(dir.path()), expected);
        if (!theirs)
            QSKIP("another user's leftover needs root to be made (chown); the rest passed");
    }

    void fileThatCouldNotBeReadIsNeverReplaced()
    {
        // Larger than any reader takes (sparse: no disk used).
        Fixture f;
        QVERIFY(f.file.SaveDataFile(samples::ListA()));
        QVERIFY(::truncate(QFile::encodeName(f.path).constData(), off_t(kMaxReadSize) + 1) == 0);
        Komunikaty list = samples::ListB();
        QCOMPARE(f.file.LoadDataFile(list), int(kDamagedHeader));
        QVERIFY(!f.file.SaveDataFile(Komunikaty{}));
        QVERIFY(f.messages.shown.back().text.find(f.path.toStdString()) != std::string::npos);
        QCOMPARE(QFileInfo(f.path).size(), qint64(kMaxReadSize) + 1);
        QVERIFY(f.file.DamagedCopy().empty());
        // Once the user has moved it away, saves go on.
        QVERIFY(QFile::rename(f.path, f.path + ".moved"));
        QVERIFY(f.file.SaveDataFile(samples::ListA()));

        // Mode 000: the program runs as a user who may not read it. Root
        // reads everything, so as root the user is nobody, in a child.
        QVERIFY(f.file.SaveDataFile(samples::ListA()));
        const std::string before = ReadAll(f.path);
        const QByteArray path = QFile::encodeName(f.path);
        if (geteuid() != 0) {
            QVERIFY(chmod(path.constData(), 0) == 0);
            QCOMPARE(f.file.LoadDataFile(list), int(kDamagedHeader));
            QVERIFY(!f.file.SaveDataFile(Komunikaty{}));
            QVERIFY(chmod(path.constData(), 0600) == 0);
            QCOMPARE(ReadAll(f.path), before);
            return;
        }
        const QByteArray folder = QFile::encodeName(f.dir.path());
        QVERIFY(chown(folder.constData(), 65534, 65534) == 0 && chown(path.constData(), 65534, 65534) == 0);
        QVERIFY(chmod(path.constData(), 0) == 0);
        QProcess child;
        child.start(SAVE_CHILD, {"once", f.path, "65534", "load"});
        if (!child.waitForFinished(60000) || child.exitStatus() != QProcess::NormalExit)
            QSKIP("the helper could not run");
        if (child.exitCode() == 3 || child.exitCode() == 126 || child.exitCode() == 127)
            QSKIP("the user nobody cannot run the helper here");
        QCOMPARE(child.exitCode(), 1);
        QVERIFY(child.readAllStandardOutput().contains(path));
        QCOMPARE(ReadAll(f.path), before);
        struct stat st {};
        QVERIFY(::stat(path.constData(), &st) == 0);
        QCOMPARE(int(st.st_mode & 07777), 0);
    }

    void killedInTheMiddleOfSaves()
    {
        Fixture f;
        const Komunikaty a = samples::ListA();
        const Komunikaty b = samples::ListB();
        QVERIFY(f.file.SaveDataFile(a));
        std::mt19937 rng(20261208);
        int sawA = 0, sawB = 0, leftovers = 0;
        for (int round = 0; round < 40; ++round) {
            QProcess child;
            child.start(SAVE_CHILD, {"loop", f.path});
            QVERIFY2(child.waitForStarted(30000), "helper did not start");
            QVERIFY(child.waitForReadyRead(30000));
            std::this_thread::sleep_for(std::chrono::microseconds(rng() % 40000));
            child.kill(); // SIGKILL
            QVERIFY(child.waitForFinished(30000));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);

            const Komunikaty now = f.Load();
            const bool isA = samples::SameStored(now, a);
            const bool isB = samples::SameStored(now, b);
            QVERIFY2(isA || isB, ("round " + std::to_string(round) + ": neither list").c_str());
            (isA ? sawA : sawB)++;
            // a kill between naming the new file and the rename; the next
            // start removes what it left
            leftovers += int(Entries(f.dir.path()).size()) - 1;
            RemoveLeftoverTemporaries(f.dir.path().toStdString());
            QCOMPARE(Entries(f.dir.path()), QStringList{"Dane.dat"});
        }
        QVERIFY(f.messages.shown.empty());
        qInfo("after 40 kills: list A %d times, list B %d times, %d temporary names left", sawA, sawB, leftovers);
    }
};

QTEST_GUILESS_MAIN(TestSaveFaults)
#include "test_savefaults.moc"
