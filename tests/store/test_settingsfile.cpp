#include "store/fixedformats.h"
#include "store/log.h"
#include "store/scramble.h"
#include "store/settingsfile.h"
#include "store/atomicfile.h"

#include "readall.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace remindo;

namespace {

void WriteAll(const std::string& path, const std::string& bytes)
{
    QFile f(QString::fromStdString(path));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes.data(), qint64(bytes.size()));
}

// The file's lines, unscrambled; each must end in CR LF.
std::vector<std::string> Unscrambled(const std::string& all)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t at; (at = all.find("\r\n", start)) != std::string::npos; start = at + 2)
        out.push_back(UnscrambleValue(all.substr(start, at - start), true).value_or("<unreadable>"));
    if (start != all.size())
        out.push_back("<no CR LF after the last line>");
    return out;
}

struct Fixture {
    QTemporaryDir dir;
    Scrambler scrambler{3};
    Paths paths = MakePaths(dir.filePath("data").toStdString());
    SettingsFile file{paths, scrambler, nullptr};

    Fixture() { QDir().mkpath(QString::fromStdString(paths.settingsFolder)); }

    // A file of the given values, each scrambled, joined by `eol`.
    void Write(const std::vector<std::string>& values, const std::string& eol = "\r\n")
    {
        std::string all;
        for (const std::string& v : values)
            all += scrambler.ScrambleValue(v, true) + eol;
        WriteAll(paths.settingsFile, all);
    }
};

const std::vector<std::string> kDefaults = {"Remindo", "Remindo 1.02", "60", "15", "5", "0", "True", "0", "30000"};

Settings Odd()
{
    Settings s;
    s.PokazCo = 7;
    s.UkryjPo = 8;
    s.BadajCo = 9;
    s.LogMode = 10;
    s.SoundOn = false;
    s.LogDetail = 11;
    s.Volume = 12;
    return s;
}

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT
private slots:
    void firstStartCreatesFoldersAndDefaults()
    {
        QTemporaryDir dir;
        Scrambler scrambler(1);
        // Not even the data folder exists on a fresh account.
        const Paths p = MakePaths(dir.filePath("fresh/.local/share").toStdString());
        SettingsFile file(p, scrambler, nullptr);
        Settings s = Odd();
        file.PrepareSettings(s);
        QVERIFY(QFileInfo(dir.filePath("fresh/.local/share/Vendly/Remindo/Remindo.ini")).isFile());
        QCOMPARE(QString::fromStdString(p.dataFile), dir.filePath("fresh/.local/share/Vendly/Remindo/Dane.dat"));
        QCOMPARE(Unscrambled(ReadAll(p.settingsFile)), kDefaults);
        QCOMPARE(s.PokazCo, 60);
        QCOMPARE(s.Volume, uint16_t(30000));
        QVERIFY(s.SoundOn);
        // every line scrambled: no plain value is left in the file
        QVERIFY(ReadAll(p.settingsFile).find("Remindo") == std::string::npos);
    }

    void settingsFolderNamesAreBytesAndFailuresAreQuiet()
    {
        QTemporaryDir dir;
        Scrambler scrambler(1);
        // A folder name in a local 8-bit encoding (ISO 8859-2 "łóż"), not
        // UTF-8: made and used byte for byte.
        const std::string base = QFile::encodeName(dir.path()).toStdString();
        const Paths p = MakePaths(base + "/konto-\xb3\xf3\xbf/share");
        Settings s = Odd();
        SettingsFile(p, scrambler, nullptr).PrepareSettings(s);
        struct stat st {};
        QVERIFY(::stat(p.settingsFile.c_str(), &st) == 0 && S_ISREG(st.st_mode));
        std::string bytes;
        QVERIFY(ReadWholeFile(p.settingsFile, bytes));
        QCOMPARE(Unscrambled(bytes), kDefaults);

        // A file where a folder should be: nothing made, nothing thrown; the
        // program goes on with the defaults.
        WriteAll(base + "/plik", "x");
        const Paths q = MakePaths(base + "/plik/share");
        Settings t = Odd();
        SettingsFile(q, scrambler, nullptr).PrepareSettings(t);
        QCOMPARE(t.PokazCo, 60);
        QVERIFY(!FileExists(q.settingsFile));
        QCOMPARE(ReadAll(base + "/plik"), std::string("x"));
    }

    void writtenFileReadsBack()
    {
        Fixture f;
        Settings s = Odd();
        s.NameWithVersion = "Remindo 0.9 (stara wersja)";
        QVERIFY(f.file.WriteSettings(s));
        Settings back;
        QVERIFY(f.file.ReadSettings(back));
        QCOMPARE(back.NameWithVersion, s.NameWithVersion);
        QCOMPARE(back.PokazCo, 7);
        QCOMPARE(back.UkryjPo, 8);
        QCOMPARE(back.BadajCo, 9);
        QCOMPARE(back.LogMode, 10);
        QVERIFY(!back.SoundOn);
        QCOMPARE(back.LogDetail, 11);
        QCOMPARE(back.Volume, uint16_t(12));
        // and a start-up keeps a usable file as it is
        const std::string before = ReadAll(f.paths.settingsFile);
        Settings started;
        f.file.PrepareSettings(started);
        QCOMPARE(started.PokazCo, 7);
        QCOMPARE(ReadAll(f.paths.settingsFile), before);
    }

    void unusableFilesAreReplaced_data()
    {
        QTest::addColumn<std::vector<std::string>>("values");
        QTest::newRow("other product") << std::vector<std::string>{"Remindo2", "x", "1", "1", "1", "0", "True"};
        QTest::newRow("six lines") << std::vector<std::string>{"Remindo", "x", "1", "2", "3", "4"};
        QTest::newRow("one line") << std::vector<std::string>{"Remindo"};
        QTest::newRow("empty first line") << std::vector<std::string>{""};
    }
    void unusableFilesAreReplaced()
    {
        QFETCH(std::vector<std::string>, values);
        Fixture f;
        f.Write(values);
        Settings s = Odd();
        QVERIFY(!f.file.ReadSettings(s));
        f.file.PrepareSettings(s);
        QCOMPARE(s.PokazCo, 60);
        QCOMPARE(s.LogDetail, 0);
        QCOMPARE(Unscrambled(ReadAll(f.paths.settingsFile)).size(), size_t(9));
        Settings again;
        QVERIFY(f.file.ReadSettings(again));
    }

    void emptyAndMissingFiles()
    {
        Fixture f;
        WriteAll(f.paths.settingsFile, "");
        Settings s;
        QVERIFY(!f.file.ReadSettings(s));
        QFile::remove(QString::fromStdString(f.paths.settingsFile));
        QVERIFY(!f.file.ReadSettings(s));
        // A settings "file" that cannot be read at all: defaults, no crash.
        QDir().mkpath(QString::fromStdString(f.paths.settingsFile));
        s = Odd();
        f.file.PrepareSettings(s);
        QCOMPARE(s.BadajCo, 5);
    }

    void singleValues()
    {
        Fixture f;
        // eight lines: Volume missing reads as 0, the file is usable
        f.Write({"Remindo", "Remindo 1.02", "1", "2", "3", "4", "True", "6"});
        Settings s;
        QVERIFY(f.file.ReadSettings(s));
        QCOMPARE(s.Volume, uint16_t(0));
        QCOMPARE(s.LogDetail, 6);

        // not numbers become 0 and reading goes on; "true" is not "True";
        // the volume keeps its low 16 bits
        f.Write({"Remindo", "", "abc", "", "1e3", " 4", "true", "+5", "70000"});
        s = Odd();
        QVERIFY(f.file.ReadSettings(s));
        QCOMPARE(s.NameWithVersion, std::string());
        QCOMPARE(s.PokazCo, 0);
        QCOMPARE(s.UkryjPo, 0);
        QCOMPARE(s.BadajCo, 0);
        QCOMPARE(s.LogMode, 0);
        QVERIFY(!s.SoundOn);
        QCOMPARE(s.LogDetail, 5);
        QCOMPARE(s.Volume, uint16_t(4464));

        f.Write({"Remindo", "x", "-3", "0", "0", "-1", "False", "-2", "-1"});
        QVERIFY(f.file.ReadSettings(s));
        QCOMPARE(s.PokazCo, -3);
        QCOMPARE(s.LogMode, -1);
        QCOMPARE(s.LogDetail, -2);
        QCOMPARE(s.Volume, uint16_t(65535));
        f.Write({"Remindo", "x", "1", "1", "1", "0", "True", "0", "99999999999"});
        QVERIFY(f.file.ReadSettings(s));
        QCOMPARE(s.Volume, uint16_t(0));
    }

    void timerValuesAreCutToWhatATimerHolds()
    {
        Fixture f;
        Settings s;
        f.Write({"Remindo", "x", "2147483647", "2147484", "35792", "0", "True", "0", "0"});
        QVERIFY(f.file.ReadSettings(s));
        QCOMPARE(s.UkryjPo, kMaxUkryjPo);
        QCOMPARE(s.BadajCo, kMaxBadajCo);
        QCOMPARE(s.PokazCo, 2147483647); // not a timer
        QVERIFY(int64_t(s.UkryjPo) * 1000 <= INT32_MAX && int64_t(s.BadajCo) * 60000 <= INT32_MAX);
        f.Write({"Remindo", "x", "1", "2147483", "35791", "0", "True", "0", "0"});
        QVERIFY(f.file.ReadSettings(s));
        QCOMPARE(s.UkryjPo, 2147483);
        QCOMPARE(s.BadajCo, 35791);
        f.Write({"Remindo", "x", "1", "-15", "-1", "0", "True", "0", "0"});
        QVERIFY(f.file.ReadSettings(s));
        QCOMPARE(s.UkryjPo, 0);
        QCOMPARE(s.BadajCo, 0);
    }

    void lineEndsOfAnEditedFile()
    {
        for (const std::string eol : {"\n", "\r"}) {
            Fixture f;
            f.Write({"Remindo", "x", "1", "2", "3", "4", "True", "6", "7"}, eol);
            Settings s;
            QVERIFY(f.file.ReadSettings(s));
            QCOMPARE(s.Volume, uint16_t(7));
        }
        Fixture f;
        f.Write({"Remindo", "x", "1", "2", "3", "4", "True"});
        std::string all = ReadAll(f.paths.settingsFile);
        all.resize(all.size() - 2); // no line break after the last line
        WriteAll(f.paths.settingsFile, all);
        Settings s;
        QVERIFY(f.file.ReadSettings(s));
        QVERIFY(s.SoundOn);
    }

    void onlyWhatNineLinesHoldIsRead()
    {
        // Padded far beyond them (sparse: no disk used): the nine lines are
        // read, the rest never enters memory, the user's values stay.
        Fixture f;
        QVERIFY(f.file.WriteSettings(Odd()));
        QVERIFY(::truncate(f.paths.settingsFile.c_str(), off_t(kMaxReadSize) + 1) == 0);
        Settings s;
        QVERIFY(f.file.ReadSettings(s));
        QCOMPARE(s.Volume, uint16_t(12));
    }

    void recreationIsLoggedOnlyAboveDetailThree()
    {
        for (int detail : {3, 4}) {
            Fixture f;
            Date day = DateFromYmd(2026, 12, 8);
            DateTime pass = MakeDateTime(day, 9, 30);
            FixedFormats formats;
            DiagnosticLog log(day, pass, formats);
            log.SetMode(1);
            SettingsFile file(f.paths, f.scrambler, &log);
            f.Write({"Inny program"});
            Settings s;
            s.LogDetail = detail;
            file.PrepareSettings(s);
            if (detail > 3) {
                QCOMPARE(log.Lines().size(), size_t(1));
                QCOMPARE(log.Lines()[0], std::string("8.12.2026 09:30:00 Utworzono nowy plik ini"));
            } else {
                QVERIFY(log.Lines().empty());
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settingsfile.moc"
