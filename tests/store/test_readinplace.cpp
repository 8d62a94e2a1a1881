// The load's shortcut for documents in the program's own form, and the file
// mapping under it: whatever the bytes, the shortcut gives what the XML
// parser gives, or leaves the document to it.
#include "samplelists.h"

#include "store/codec.h"
#include "store/datafile.h"
#include "store/fixedformats.h"
#include "store/mappedfile.h"
#include "store/messages.h"
#include "store/scramble.h"

#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <random>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace remindo;
using samples::D;

namespace {

void WriteAll(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
}

// A list whose records carry working fields, as a reload finds them.
Komunikaty Running()
{
    Komunikaty l = samples::ListA();
    l[1].WarnToday = true;
    l[1].ShownToday = 2;
    l[2].LastShownMinute = 600;
    return l;
}

Komunikaty WithEntitiesAndEmpties()
{
    Komunikaty l;
    l.AddReminder(Cp("Zażółć & <ważne> \"cytat\" > ŚĆŹ+"), D(2026, 12, 8), -4, 7, 1, 0, 2, D(2026, 12, 1));
    l.AddReminder("", D(2024, 2, 29), -52, 0, 0, 1, 8, D(2027, 3, 5));
    l.AddReminder("a+b+", D(1, 1, 1), 2147483647, -2147483648, 0, 0, 365, D(9999, 12, 31));
    return l;
}

struct Fixture {
    QTemporaryDir dir;
    FixedFormats formats;
    ScriptedMessages messages;
    Scrambler scrambler{7};
    std::string path = dir.filePath("Dane.dat").toStdString();
    DataFile file{path, messages, formats, scrambler};

    // The list as the program writes it, plain, and plain in UTF-8 (as an
    // editor may save it).
    std::vector<std::string> Documents(const Komunikaty& l)
    {
        std::vector<std::string> docs;
        for (const bool scrambled : {true, false}) {
            file.Switch = scrambled;
            docs.push_back(file.BuildDocument(l));
        }
        file.Switch = true;
        docs.push_back(Utf8FromCp1250(docs.back()));
        return docs;
    }
};

std::string Replaced(std::string s, const std::string& from, const std::string& to)
{
    const size_t at = s.find(from);
    if (at != std::string::npos)
        s.replace(at, from.size(), to);
    return s;
}

} // namespace

class TestReadInPlace : public QObject {
    Q_OBJECT

    // Both roads on the same bytes, from the same list: the same result, the
    // same list, the same reason.
    void Compare(DataFile& file, const std::string& bytes, const char* what)
    {
        Komunikaty viaShortcut = Running(), viaTree = Running();
        std::string a = bytes, b = bytes;
        const int shortcut = file.ParseDocument(a, viaShortcut);
        const std::string shortcutWhy = file.LastError();
        const int tree = file.ParseDocumentByTree(b, viaTree);
        if (shortcut != tree || viaShortcut.items != viaTree.items || viaShortcut.SelectedIndex != viaTree.SelectedIndex ||
            shortcutWhy != file.LastError())
            QFAIL(qPrintable(QStringLiteral("%1: %2 against %3 (%4 / %5)")
                                 .arg(what)
                                 .arg(shortcut)
                                 .arg(tree)
                                 .arg(QString::fromStdString(shortcutWhy), QString::fromStdString(file.LastError()))));
    }

private slots:
    void eitherRoadGivesTheSame()
    {
        Fixture f;
        std::vector<std::pair<int, std::string>> docs; // the count, the document
        for (const Komunikaty& l : {samples::ListA(), samples::ListB(), WithEntitiesAndEmpties(), Komunikaty{}})
            for (std::string& doc : f.Documents(l))
                docs.emplace_back(l.ReminderCount(), std::move(doc));
        for (const auto& [n, doc] : docs) {
            const bool scrambled = doc.find("<Code>tr</Code>") != std::string::npos;
            Compare(f.file, doc, "as written");
            // What an editor or a hand may have done to it.
            const std::string firstValue = doc.substr(doc.find("<Tresc>") + 7, 4);
            const std::pair<std::string, std::string> edits[] = {
                {"\r\n", "\n"},
                {"<Code>", "<Code >"},
                {"<Dane>", "<?xml version=\"1.0\"?><Dane>"},
                {"<Dane>", "<!-- x --><Dane>"},
                {"<Dane>", "\xEF\xBB\xBF<Dane>"},
                {"<Dane>", "   \n<Dane>"},
                {"</Dane>\r\n", "</Dane>x"},
                {"</Dane>\r\n", "</Dane><Dane/>"},
                {"</Dane>\r\n", "</Dane>\t \r\n\r\n"},
                {"<Nr1>", "<Nr1 a=\"b\">"},
                {"<Tresc>", "<Tresc>\r"},
                {"<Tresc>", "<Tresc>  "},
                {"<Tresc>" + firstValue, "<Tresc>" + firstValue + "\r\n"},
                {"<Tresc>" + firstValue, "<Tresc>" + firstValue + std::string(1, '\0')},
                {"<Tresc>" + firstValue, "<Tresc><![CDATA[" + firstValue + "]]>"},
                {"<Tresc>" + firstValue, "<Tresc>" + firstValue + "&amp;"},
                {"<Tresc>" + firstValue, "<Tresc>" + firstValue + "&#261;"},
                {"<Data>", "<Data>   "},
                {"<Data>", "<Data></Data><Data>"},
                {"<CoIle>", "<Dummy/><CoIle>"},
                {"<Ile>", "<Ile/><Ile>"},
                {"<Code>tr</Code>", "<Code>fa</Code>"},
                {"<Code>tr</Code>", "<Code> tr </Code>"},
                {"</Nr1>", "</Nr1><Nr1></Nr1>"},
                {"<Nr2>", "<Nr3>"},
                {"<Tresc/>", "<Tresc />"},
                {"<Tresc/>", "<Tresc/ >"},
                {"<Tresc/>", "<Tresc\n/>"},
                {"<Tresc/>", "<TrescX/>"},
            };
            for (const auto& [from, to] : edits)
                Compare(f.file, Replaced(doc, from, to), qPrintable(QString::fromStdString(from + " -> " + to)));
            // A count of one more and one fewer than the reminders there are.
            const size_t ilosc = doc.find("<Ilosc>") + 7;
            for (const int other : {n + 1, n - 1, -1}) {
                std::string edited = doc;
                const std::string number = std::to_string(other);
                edited.replace(ilosc, doc.find("</Ilosc>") - ilosc,
                               scrambled ? f.scrambler.ScrambleValue(number, true) : number);
                Compare(f.file, edited, "another count");
            }
        }
    }

    void theProgramsOwnFormIsReadInPlace()
    {
        // A written file never needs the parser, so the parser cannot hide a
        // fault of the in-place reader. Texts of 16 bytes and more with an
        // entity at every place, the last sixteen bytes of a value included.
        Fixture f;
        Komunikaty l = WithEntitiesAndEmpties();
        const char scramblesToAmpersand = char(UnscrambleByte('&'));
        for (size_t size = 16; size < 40; ++size)
            for (size_t at = 0; at < size; ++at) {
                std::string text(size, 'a');
                text[at] = scramblesToAmpersand;
                l.AddReminder(text, D(2026, 12, 8), 0, 1, 0, 0, 1, D(2026, 12, 1));
            }
        QVERIFY(f.file.SaveDataFile(l));
        Komunikaty loaded;
        QCOMPARE(f.file.LoadDataFile(loaded), int(kLoaded));
        QVERIFY(f.file.LastReadInPlace());
        QVERIFY(samples::SameStored(loaded, l));
        // Plain files too, in Windows-1250 and in UTF-8.
        for (const std::string& doc : f.Documents(WithEntitiesAndEmpties())) {
            WriteAll(f.path, doc);
            QCOMPARE(f.file.LoadDataFile(loaded), int(kLoaded));
            QVERIFY(f.file.LastReadInPlace());
            QVERIFY(samples::SameStored(loaded, WithEntitiesAndEmpties()));
        }
    }

    void eitherRoadGivesTheSameOnDamagedBytes()
    {
        // Bytes changed, dropped and added at random places of a written
        // document: the shortcut must never give a result the parser would not.
        Fixture f;
        std::mt19937 rng(20261208);
        static constexpr char kInteresting[] = "<>/&;\r\n\t \0\xFE\xC5" "Nr1DaneTresc";
        const std::string interesting(kInteresting, sizeof kInteresting - 1);
        const std::vector<std::string> docs = f.Documents(WithEntitiesAndEmpties());
        for (int round = 0; round < 6000; ++round) {
            std::string bytes = docs[size_t(round) % docs.size()];
            const int changes = 1 + int(rng() % 3);
            for (int c = 0; c < changes; ++c) {
                const size_t at = rng() % (bytes.size() + 1);
                const char byte = rng() % 2 ? interesting[rng() % interesting.size()] : char(rng());
                switch (rng() % 3) {
                case 0: if (at < bytes.size()) bytes[at] = byte; break;
                case 1: if (at < bytes.size()) bytes.erase(at, 1 + rng() % 8); break;
                default: bytes.insert(at, 1, byte); break;
                }
            }
            Compare(f.file, bytes, qPrintable(QStringLiteral("round %1").arg(round)));
        }
    }

    void datesReadAsTheFixedFormsRead()
    {
        // The written form's own reader goes first; it must read exactly what
        // the general reader of the fixed forms reads, whatever the text.
        Fixture f;
        const FixedFormats fixed;
        std::vector<std::string> texts = {"8.12.2026", "08.12.2026", "31.02.2026", "29.02.2024", "1.1.2026",
                                          "1..12.2026", "8.12.20.6", "8.12.2026.", ".8.12.2026", "-8.12.2026",
                                          "8.-1.2026", "8.12.+026", "00.12.2026", "8.12.0000", "8.13.2026"};
        std::mt19937 rng(42);
        const std::string alphabet = "0123456789..-+ ";
        for (int i = 0; i < 20000; ++i) {
            std::string t(8 + rng() % 4, '0');
            for (char& c : t)
                c = alphabet[rng() % alphabet.size()];
            texts.push_back(t);
        }
        for (const std::string& t : texts) {
            if (t.find('-') == 4)
                continue; // ISO's own reader comes before the general one
            const auto want = fixed.ParseShortDate(t);
            const auto got = f.file.ParseDate(t);
            QVERIFY2(got == want, t.c_str());
        }
    }

    void loadsAndReadsOneByOneAlike()
    {
        Fixture f;
        const Komunikaty big = samples::ListB();
        std::vector<std::string> plainEdits = {"", "<Code>fa</Code>"};
        for (const bool scrambled : {true, false}) {
            f.file.Switch = scrambled;
            QVERIFY(f.file.SaveDataFile(big));
            Komunikaty loaded = Running();
            QCOMPARE(f.file.LoadDataFile(loaded), int(kLoaded));
            QVERIFY(samples::SameStored(loaded, big));
            QCOMPARE(loaded[1].ShownToday, 2); // working fields stay by index

            int starts = 0;
            Komunikaty seen;
            QCOMPARE(f.file.ReadEach([&](int32_t n) { ++starts; seen.items.clear(); seen.items.reserve(size_t(n)); },
                                     [&](int32_t i, const Komunikat& k) {
                                         QCOMPARE(i, seen.ReminderCount());
                                         seen.items.push_back(k);
                                     }),
                     int(kLoaded));
            QCOMPARE(starts, 1);
            QVERIFY(samples::SameStored(seen, big));
        }
        f.file.Switch = true;

        // Without texts: the texts come empty, everything else the same; a
        // text that cannot be read still damages the file.
        QVERIFY(f.file.SaveDataFile(big));
        Komunikaty withoutTexts;
        QCOMPARE(f.file.ReadEach([](int32_t) {}, [&](int32_t, const Komunikat& k) { withoutTexts.items.push_back(k); },
                                 false),
                 int(kLoaded));
        QCOMPARE(withoutTexts.ReminderCount(), big.ReminderCount());
        for (int i = 0; i < big.ReminderCount(); ++i) {
            QVERIFY(withoutTexts[i].Tresc.empty());
            Komunikat k = withoutTexts[i];
            k.Tresc = big[i].Tresc;
            QVERIFY(k == big[i]);
        }
        std::string unreadable = f.file.BuildDocument(big);
        const size_t tresc = unreadable.find("<Tresc>", unreadable.find("<Nr7>")) + 7;
        unreadable.insert(tresc + 1, "&#x1F600;");
        WriteAll(f.path, unreadable);
        QCOMPARE(f.file.ReadEach([](int32_t) {}, [](int32_t, const Komunikat&) {}, false), int(kDamagedReminder));
        QCOMPARE(f.file.LastError(), std::string("reminder 7 cannot be read: the character U+1F600 has no Windows-1250 form"));
        // So does a plain text's byte that Windows-1250 leaves undefined.
        f.file.Switch = false;
        std::string undefined = f.file.BuildDocument(big);
        f.file.Switch = true;
        undefined.insert(undefined.find("<Tresc>", undefined.find("<Nr9>")) + 8, "\x81");
        WriteAll(f.path, undefined);
        QCOMPARE(f.file.ReadEach([](int32_t) {}, [](int32_t, const Komunikat&) {}, false), int(kDamagedReminder));
        QCOMPARE(f.file.LastError(), std::string("reminder 9 cannot be read: the byte 0x81 is no Windows-1250 character"));

        // A damaged reminder far down: the result and the reason of the load.
        QVERIFY(f.file.SaveDataFile(big));
        std::string bytes = f.file.BuildDocument(big);
        const size_t at = bytes.find("<Data>", bytes.find("<Nr250>"));
        bytes.replace(at, bytes.find("</Data>", at) - at, "<Data>");
        WriteAll(f.path, bytes);
        int seen = 0;
        QCOMPARE(f.file.ReadEach([](int32_t) {}, [&](int32_t, const Komunikat&) { ++seen; }), int(kDamagedReminder));
        QCOMPARE(f.file.LastError(), std::string("reminder 250 cannot be read"));
        Komunikaty list = Running();
        QCOMPARE(f.file.ReadDataFile(list), int(kDamagedReminder));
        QVERIFY(list.items.empty());

        // Neither road reads what is not a regular file.
        QCOMPARE(DataFile("/dev/zero", f.messages, f.formats, f.scrambler).ReadEach([](int32_t) {}, [](int32_t, const Komunikat&) {}),
                 int(kDamagedHeader));
    }

    void fileCutShortWhileMapped()
    {
        // Another program truncates the file under the mapping: the pages
        // read as zeros, the mapping says so, the program goes on.
        QTemporaryDir dir;
        const std::string path = dir.filePath("cut").toStdString();
        const size_t page = size_t(::sysconf(_SC_PAGESIZE));
        WriteAll(path, std::string(3 * page, 'x'));
        WriteAll(path + "-2", std::string(page, 'y'));
        const int fd = ::open(path.c_str(), O_RDONLY);
        const int fd2 = ::open((path + "-2").c_str(), O_RDONLY);
        MappedFile mapped, other;
        QVERIFY(mapped.Map(fd, 3 * page));
        QVERIFY(other.Map(fd2, page));
        ::close(fd);
        ::close(fd2);
        QCOMPARE(mapped.Data()[0], 'x');
        QVERIFY(!mapped.Changed());
        QCOMPARE(::truncate(path.c_str(), 0), 0);
        size_t zeros = 0;
        for (size_t i = 0; i < mapped.Size(); ++i)
            zeros += mapped.Data()[i] == 0;
        QCOMPARE(zeros, 3 * page);
        QVERIFY(mapped.Changed());
        QVERIFY(!other.Changed());
        QCOMPARE(other.Data()[page - 1], 'y');
        QVERIFY(!MappedFile().Map(-1, page));
        MappedFile empty;
        QVERIFY(!empty.Map(::open(path.c_str(), O_RDONLY), 0));
    }

    void mappingsComeAndGoWithoutEnd()
    {
        // Each mapping gives back its place among the handler's few.
        QTemporaryDir dir;
        const std::string path = dir.filePath("f").toStdString();
        WriteAll(path, "x");
        const int fd = ::open(path.c_str(), O_RDONLY);
        for (int i = 0; i < 100; ++i)
            QVERIFY2(MappedFile().Map(fd, 1), qPrintable(QString::number(i)));
        ::close(fd);
    }

    void busErrorsElsewhereStillEndTheProcess()
    {
        // The handler mends only our own mappings; any other bus error is
        // what it always was. In a fresh process, away from the test
        // framework's own handler.
        QTemporaryDir dir;
        const std::string path = dir.filePath("theirs").toStdString();
        const pid_t child = ::fork();
        if (child == 0) {
            ::setenv("BUS_ERROR_FILE", path.c_str(), 1);
            ::execl("/proc/self/exe", "test_readinplace", static_cast<char*>(nullptr));
            ::_exit(7);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
#ifdef __SANITIZE_ADDRESS__
        // The sanitizer's own handler was there before ours: it reports and exits.
        QVERIFY(WIFSIGNALED(status) || (WEXITSTATUS(status) != 0 && WEXITSTATUS(status) < 3));
#else
        QVERIFY2(WIFSIGNALED(status), qPrintable(QStringLiteral("exit %1").arg(WEXITSTATUS(status))));
        QCOMPARE(WTERMSIG(status), SIGBUS);
#endif
    }
};

// The child of busErrorsElsewhereStillEndTheProcess: one mapping of ours,
// then a bus error on a mapping of someone else's.
[[noreturn]] void BusErrorElsewhere(const std::string& path)
{
    const size_t page = size_t(::sysconf(_SC_PAGESIZE));
    WriteAll(path, std::string(2 * page, 'x'));
    WriteAll(path + "-ours", std::string(page, 'o'));
    MappedFile ours;
    if (!ours.Map(::open((path + "-ours").c_str(), O_RDONLY), page))
        ::_exit(3);
    auto* theirs = static_cast<volatile char*>(
        ::mmap(nullptr, 2 * page, PROT_READ, MAP_SHARED, ::open(path.c_str(), O_RDONLY), 0));
    if (theirs == MAP_FAILED || ::truncate(path.c_str(), 0) != 0)
        ::_exit(4);
    const char c = theirs[page];
    ::_exit(c == 0 ? 5 : 6);
}

int main(int argc, char** argv)
{
    if (const char* path = std::getenv("BUS_ERROR_FILE"))
        BusErrorElsewhere(path);
    QCoreApplication app(argc, argv);
    TestReadInPlace test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_readinplace.moc"
