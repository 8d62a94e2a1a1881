#include "samplelists.h"

#include "store/atomicfile.h"
#include "store/codec.h"
#include "store/datafile.h"
#include "store/fixedformats.h"
#include "store/messages.h"
#include "store/scramble.h"

#include "readall.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <filesystem>
#include <set>

#include <sys/stat.h>

using namespace remindo;
using samples::D;

namespace {

const std::string kDamagedText = "Plik danych jest uszkodzony.\rUtwórz nowy plik.";
const std::string kMissingText = "Plik danych nie istnieje.\rUtwórz nowy plik.";

void WriteAll(const QString& path, const std::string& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes.data(), qint64(bytes.size()));
}

std::vector<std::string> Lines(const std::string& all)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t at; (at = all.find("\r\n", start)) != std::string::npos; start = at + 2)
        out.push_back(all.substr(start, at - start));
    if (start != all.size())
        out.push_back("<no CR LF after the last line>");
    return out;
}

std::string Unescape(std::string s)
{
    const std::pair<std::string, std::string> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}};
    std::string out;
    for (size_t i = 0; i < s.size();) {
        bool done = false;
        for (const auto& [from, to] : entities)
            if (s.compare(i, from.size(), from) == 0) {
                out += to;
                i += from.size();
                done = true;
                break;
            }
        if (!done)
            out += s[i++];
    }
    return out;
}

// A regional format of month/day/two-digit year, as some systems have.
class TwoDigitYearFormats final : public RegionalFormats {
public:
    std::string ShortDate(Date d) const override
    {
        const Ymd v = YmdOf(d);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%d/%d/%02d", v.month, v.day, v.year % 100);
        return buf;
    }
    std::string LongDate(Date d) const override { return ShortDate(d); }
    std::string LongTime(const DateTime&) const override { return "00:00:00"; }
    std::string Lower(std::string_view t) const override { return std::string(t); }
    std::optional<Date> ParseShortDate(std::string_view t) const override
    {
        int m, d, y;
        char tail;
        if (std::sscanf(std::string(t).c_str(), "%d/%d/%d%c", &m, &d, &y, &tail) != 3)
            return std::nullopt;
        Date out;
        if (!TryDateFromYmd(1900 + y, m, d, out))
            return std::nullopt;
        return out;
    }
};

struct Fixture {
    QTemporaryDir dir;
    FixedFormats formats;
    ScriptedMessages messages;
    Scrambler scrambler{42};
    QString path = dir.filePath("Dane.dat");
    DataFile file{path.toStdString(), messages, formats, scrambler};

    QStringList DamagedCopies() const
    {
        return QDir(dir.path()).entryList({"Dane.dat.uszkodzony-*"}, QDir::Files);
    }
    int Load(const std::string& bytes, Komunikaty& list)
    {
        WriteAll(path, bytes);
        return file.LoadDataFile(list);
    }
};

// The hand-written file of tests/store/data, as a list.
Komunikaty HandWrittenList()
{
    Komunikaty l;
    l.AddReminder(Cp("Zażółć gęślą jaźń & <ważne>+\"cytat\" i 'apostrof' > ŚĆŹŻŁÓĘĄŃ+"), D(2026, 12, 8), -4, 7, 1, 0,
                  2, D(2026, 12, 1));
    l.AddReminder("", D(2024, 2, 29), -52, 0, 0, 1, 8, D(2027, 3, 5));
    l[1].BlokDzis = 1;
    l.AddReminder("a+b+", D(1, 1, 1), 2147483647, -2147483648, 0, 0, 365, D(9999, 12, 31));
    return l;
}

// A file with the switch on whose Nr elements are given whole.
std::string Scrambled(Scrambler& s, const std::string& count, const std::string& body = {})
{
    return "<Dane><Code>tr</Code><Ilosc>" + s.ScrambleValue(count, true) + "</Ilosc>" + body + "</Dane>";
}

std::string PlainNr(int n, const std::string& tresc = "x+", const std::string& data = "8.12.2026",
                    const std::string& coIle = "0")
{
    const std::string name = "Nr" + std::to_string(n);
    return "<" + name + "><Tresc>" + tresc + "</Tresc><Data>" + data + "</Data><CoIle>" + coIle +
           "</CoIle><IlePrzed>1</IlePrzed><CzyPo>0</CzyPo><Blok>0</Blok><BlokDzis>0</BlokDzis>"
           "<BlokDzisData>1.12.2026</BlokDzisData><Ile>" + std::to_string(n) + "</Ile></" + name + ">";
}

std::string Plain(const std::string& count, const std::string& body)
{
    return "<Dane><Code>fa</Code><Ilosc>" + count + "</Ilosc>" + body + "</Dane>";
}

} // namespace

class TestDataFile : public QObject {
    Q_OBJECT
private slots:
    void unscrambledFileIsByteExact()
    {
        Fixture f;
        const Komunikaty list = HandWrittenList();
        f.file.Switch = false;
        QVERIFY(f.file.SaveDataFile(list));
        const std::string expected = ReadAll(REMINDO_TEST_DATA "/Dane-fa.dat");
        QCOMPARE(ReadAll(f.path), expected);
        QVERIFY(f.messages.shown.empty());

        // and the kept file reads back to the same list, the switch unchanged
        Komunikaty back;
        QCOMPARE(f.file.LoadDataFile(back), int(kLoaded));
        QVERIFY(samples::SameStored(back, list));
        QVERIFY(!f.file.Switch);
    }

    void scrambledLayoutLineByLine()
    {
        for (uint32_t seed = 1; seed <= 40; ++seed) {
            Fixture f;
            f.scrambler.Seed(seed);
            const Komunikaty list = HandWrittenList();
            QVERIFY(f.file.SaveDataFile(list));
            const std::string all = ReadAll(f.path);
            QVERIFY(all.rfind("<Dane>\r\n", 0) == 0); // no declaration, no byte-order mark
            const std::vector<std::string> lines = Lines(all);
            QCOMPARE(lines.size(), size_t(4 + 3 * 11));
            QCOMPARE(lines.front(), std::string("<Dane>"));
            QCOMPARE(lines[1], std::string("\t<Code>tr</Code>"));
            QCOMPARE(lines.back(), std::string("</Dane>"));

            // Each value line: tabs, start tag, escaped scrambled text, end tag.
            auto value = [&](size_t at, int tabs, const std::string& name) -> std::string {
                const std::string& l = lines[at];
                const std::string open = std::string(size_t(tabs), '\t') + "<" + name + ">";
                const std::string close = "</" + name + ">";
                if (l.rfind(open, 0) != 0 || l.size() < open.size() + close.size() ||
                    l.compare(l.size() - close.size(), close.size(), close) != 0)
                    return "<bad line " + l + ">";
                const std::string inner = l.substr(open.size(), l.size() - open.size() - close.size());
                if (inner.find_first_of("<>\"") != std::string::npos)
                    return "<unescaped " + inner + ">";
                return UnscrambleValue(Unescape(inner), true).value_or("<empty>");
            };
            QCOMPARE(value(2, 1, "Ilosc"), std::string("3"));
            const char* names[] = {"Tresc", "Data", "CoIle", "IlePrzed", "CzyPo", "Blok", "BlokDzis", "BlokDzisData", "Ile"};
            for (int i = 0; i < 3; ++i) {
                const size_t at = 3 + size_t(i) * 11;
                const std::string nr = "Nr" + std::to_string(i + 1);
                QCOMPARE(lines[at], "\t<" + nr + ">");
                QCOMPARE(lines[at + 10], "\t</" + nr + ">");
                const Komunikat& k = list[i];
                const std::string expected[] = {
                    k.Tresc, f.formats.ShortDate(k.Data), std::to_string(k.CoIle), std::to_string(k.IlePrzed),
                    std::to_string(k.CzyPo), std::to_string(k.Blok), std::to_string(k.BlokDzis),
                    f.formats.ShortDate(k.BlokDzisData), std::to_string(k.Ile)};
                for (size_t j = 0; j < 9; ++j)
                    QCOMPARE(value(at + 1 + j, 2, names[j]), expected[j]);
            }
            Komunikaty back;
            QCOMPARE(f.file.LoadDataFile(back), int(kLoaded));
            QVERIFY(samples::SameStored(back, list));
        }
    }

    void emptyListAndSwitch()
    {
        Fixture f;
        // Saving an empty list writes Code and Ilosc and nothing else.
        QVERIFY(f.file.SaveDataFile(Komunikaty{}));
        const std::vector<std::string> lines = Lines(ReadAll(f.path));
        QCOMPARE(lines.size(), size_t(4));
        QCOMPARE(lines[3], std::string("</Dane>"));
        Komunikaty list = samples::ListA();
        QCOMPARE(f.file.LoadDataFile(list), int(kLoaded));
        QCOMPARE(list.ReminderCount(), 0);

        // An unscrambled file loads, and the next save is scrambled again.
        QCOMPARE(f.Load(ReadAll(REMINDO_TEST_DATA "/Dane-fa.dat"), list), int(kLoaded));
        QCOMPARE(list.ReminderCount(), 3);
        QVERIFY(f.file.Switch);
        QVERIFY(f.file.SaveDataFile(list));
        QCOMPARE(Lines(ReadAll(f.path))[1], std::string("\t<Code>tr</Code>"));
    }

    void headerDamageLeavesTheList()
    {
        Fixture f;
        const Komunikaty edits = samples::ListA();
        const std::string scrambledZero = Scrambled(f.scrambler, "0");
        std::string otherCase = scrambledZero;
        otherCase.replace(otherCase.find(">tr<"), 4, ">TR<");
        std::string noCode = scrambledZero;
        noCode.erase(noCode.find("<Code>"), std::string("<Code>tr</Code>").size());
        const std::string cases[] = {
            "", "not xml at all", "<Dane><Code>tr</Code>", otherCase, noCode,
            "<Inne><Code>fa</Code><Ilosc>0</Ilosc></Inne>", Plain("", ""), Plain("1x", ""),
            Plain("99999999999", ""), "<Dane><Code>tr</Code><Ilosc></Ilosc></Dane>",
        };
        for (const std::string& bytes : cases) {
            Komunikaty list = edits;
            f.messages.shown.clear();
            QCOMPARE(f.Load(bytes, list), int(kDamagedHeader));
            QVERIFY(list.items == edits.items);
            QCOMPARE(f.messages.shown.size(), size_t(1));
            // The copy kept (none of an empty file) is named on a line of its own.
            const std::string copy = QFileInfo(QString::fromStdString(f.file.DamagedCopy())).fileName().toStdString();
            QCOMPARE(copy.empty(), bytes.empty());
            QCOMPARE(f.messages.shown[0].text, copy.empty() ? kDamagedText : kDamagedText + "\rKopia: " + copy);
            QCOMPARE(f.messages.shown[0].kind, int(kInformationBox));
            QCOMPARE(f.messages.shown[0].icon, int(kIconInfo));
            QVERIFY(f.file.Switch);
        }
    }

    void reminderDamageEmptiesTheList()
    {
        Fixture f;
        const std::string cases[] = {
            Plain("3", PlainNr(1) + PlainNr(2)),          // one Nr missing
            Plain("-1", ""),                               // negative count
            Plain("1", PlainNr(1, "x+", "31.02.2026")),    // no such day
            Plain("1", PlainNr(1, "x+", "jutro")),         // not a date
            Plain("1", PlainNr(1, "x+", "8.12.2026", "7a")), // not a number
            Plain("1", PlainNr(1, "x+", "8.12.2026", "")),   // empty number
            Plain("1", "<Nr1><Tresc>x+</Tresc></Nr1>"),   // fields missing
            Plain("2147483647", PlainNr(1)),               // a count the file cannot hold
            // switch on: an empty value cannot be unscrambled
            Scrambled(f.scrambler, "1", "<Nr1><Tresc></Tresc></Nr1>"),
        };
        for (const std::string& bytes : cases) {
            Komunikaty list = samples::ListA();
            list.SelectedIndex = 2;
            QCOMPARE(f.Load(bytes, list), int(kDamagedReminder));
            QCOMPARE(list.ReminderCount(), 0);
            QCOMPARE(list.SelectedIndex, -1);
            QCOMPARE(f.messages.shown.back().text, DamagedMessage(f.file.DamagedCopy()));
        }
    }

    void countDecidesWhatIsRead()
    {
        Fixture f;
        Komunikaty list;
        std::string five;
        for (int n = 1; n <= 5; ++n)
            five += PlainNr(n);
        QCOMPARE(f.Load(Plain("2", five), list), int(kLoaded));
        QCOMPARE(list.ReminderCount(), 2);
        QCOMPARE(list[1].Ile, 2);

        // Order of the Nr elements and of the fields does not matter; a
        // duplicate name is read from its first element.
        const std::string shuffled = Plain(
            "2", PlainNr(2) + "<Nr1><Ile>9</Ile><Tresc>a+</Tresc><Data>8.12.2026</Data><CoIle>-1</CoIle>"
                              "<IlePrzed>1</IlePrzed><CzyPo>0</CzyPo><Blok>0</Blok><BlokDzis>0</BlokDzis>"
                              "<BlokDzisData>1.12.2026</BlokDzisData></Nr1>" + PlainNr(1));
        QCOMPARE(f.Load(shuffled, list), int(kLoaded));
        QCOMPARE(list[0].Ile, 9);
        QCOMPARE(list[0].CoIle, -1);
    }

    void readingIsLenientWhereTheFileWasEdited()
    {
        Fixture f;
        Komunikaty list;
        // Blanks and line breaks around values, LF line ends, a declaration,
        // entities of every kind, an unscrambled empty text written either way.
        const std::string edited =
            "<?xml version=\"1.0\"?>\n<Dane>\n  <Code> fa </Code>\n  <Ilosc>\n    2\n  </Ilosc>\n" +
            PlainNr(1, "  a &amp; b &lt;&gt; &quot;c&quot; &apos;d&apos;+  ") + PlainNr(2, "") + "</Dane>\n";
        QCOMPARE(f.Load(edited, list), int(kLoaded));
        QCOMPARE(list[0].Tresc, std::string("a & b <> \"c\" 'd'+"));
        QCOMPARE(list[1].Tresc, std::string());
        std::string noTresc = Plain("1", PlainNr(1));
        noTresc.erase(noTresc.find("<Tresc>"), std::string("<Tresc>x+</Tresc>").size());
        QCOMPARE(f.Load(noTresc, list), int(kLoaded));
        QCOMPARE(list[0].Tresc, std::string());
    }

    void datesReadAcrossRegionalSettings()
    {
        Fixture f;
        Komunikaty list;
        // ISO and the Polish form both read whatever the regional settings.
        QCOMPARE(f.Load(Plain("2", PlainNr(1, "a+", "2026-12-08") + PlainNr(2, "b+", "8.12.2026")), list),
                 int(kLoaded));
        QCOMPARE(list[0].Data, D(2026, 12, 8));
        QCOMPARE(list[1].Data, D(2026, 12, 8));

        // Dates are written as d.MM.yyyy whatever the regional format, so a
        // two-digit-year format cannot bring 2026 back as 1926, and the
        // Polish reader takes the file too.
        TwoDigitYearFormats twoDigit;
        DataFile us(f.path.toStdString(), f.messages, twoDigit, f.scrambler);
        us.Switch = false;
        Komunikaty dated;
        dated.AddReminder("a+", D(2026, 12, 8), 0, 0, 0, 0, 1, D(1999, 1, 2));
        QVERIFY(us.SaveDataFile(dated));
        const std::string text = ReadAll(f.path);
        QVERIFY(text.find("<Data>8.12.2026</Data>") != std::string::npos);
        QVERIFY(text.find("<BlokDzisData>2.01.1999</BlokDzisData>") != std::string::npos);
        QCOMPARE(us.LoadDataFile(list), int(kLoaded));
        QVERIFY(samples::SameStored(list, dated));
        QCOMPARE(f.file.LoadDataFile(list), int(kLoaded));
        QVERIFY(samples::SameStored(list, dated));
        // A file of the two-digit form still reads where that form is the regional one.
        QCOMPARE(f.Load(Plain("1", PlainNr(1, "a+", "12/8/26")), list), int(kDamagedReminder));
        QCOMPARE(us.LoadDataFile(list), int(kLoaded));
        QCOMPARE(list[0].Data, D(1926, 12, 8));
    }

    void plainFilesInUtf8AndCharacterReferences()
    {
        Fixture f;
        const std::string zazolc = Cp("Zażółć gęślą jaźń+");
        const std::string body = PlainNr(1, "Zażółć gęślą jaźń+") + PlainNr(2, "a&amp;b &#261;&#x15A; &lt;x&gt; &foo;+");
        const std::string second = "a&b " + Cp("ąŚ") + " <x> &foo;+";
        struct Case {
            const char* what;
            std::string bytes;
        } const utf8[] = {
            {"byte-order mark", "\xEF\xBB\xBF" + Plain("2", body)},
            {"declaration", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" + Plain("2", body)},
            {"valid UTF-8 alone", Plain("2", body)},
        };
        for (const Case& c : utf8) {
            Komunikaty list;
            QVERIFY2(f.Load(c.bytes, list) == kLoaded, c.what);
            QVERIFY2(list[0].Tresc == zazolc, c.what);
            QVERIFY2(list[1].Tresc == second, c.what);
        }

        // Windows-1250 bytes that are no UTF-8 stay as they are, and so does
        // a file that names another encoding; references become bytes of it.
        Komunikaty list;
        QCOMPARE(f.Load(Plain("2", PlainNr(1, zazolc) + PlainNr(2, "a&amp;b &#261;&#x15A; &lt;x&gt; &foo;+")), list),
                 int(kLoaded));
        QCOMPARE(list[0].Tresc, zazolc);
        QCOMPARE(list[1].Tresc, second);
        const std::string twoBytes = "\xC4\x85+"; // valid UTF-8 and two Windows-1250 letters
        QCOMPARE(f.Load("<?xml version=\"1.0\" encoding=\"windows-1250\"?>" + Plain("1", PlainNr(1, twoBytes)), list),
                 int(kLoaded));
        QCOMPARE(list[0].Tresc, twoBytes);

        // A character Windows-1250 cannot hold: the reminder is named, the list emptied.
        const std::string refused[] = {Plain("2", PlainNr(1, "x+") + PlainNr(2, "\xF0\x9F\x98\x80+")),
                                       Plain("2", PlainNr(1, "x+") + PlainNr(2, "&#x1F600;+"))};
        for (const std::string& bytes : refused) {
            Komunikaty l = samples::ListA();
            QCOMPARE(f.Load(bytes, l), int(kDamagedReminder));
            QVERIFY(l.items.empty());
            QCOMPARE(f.file.LastError(), std::string("reminder 2 cannot be read: the character U+1F600 has no "
                                                     "Windows-1250 form"));
        }

        // A scrambled file is never taken for UTF-8, and saving writes Windows-1250.
        QCOMPARE(f.Load(utf8[0].bytes, list), int(kLoaded));
        QVERIFY(f.file.SaveDataFile(list));
        const std::string saved = ReadAll(f.path);
        QVERIFY(saved.find("\xEF\xBB\xBF") == std::string::npos);
        Komunikaty back;
        QCOMPARE(f.file.LoadDataFile(back), int(kLoaded));
        QVERIFY(samples::SameStored(back, list));
    }

    void denseDocumentsAndReloadsOfEverySize()
    {
        // Elements far denser than the program writes, and loads of growing
        // and shrinking files through the same data file.
        Fixture f;
        std::string dense = "<Dane><Code>fa</Code><Ilosc>1</Ilosc>";
        for (int i = 0; i < 200000; ++i)
            dense += "<a/>";
        dense += PlainNr(1, "gęsto+") + "</Dane>";
        Komunikaty list;
        QCOMPARE(f.Load(dense, list), int(kLoaded));
        QCOMPARE(list[0].Tresc, Cp("gęsto+")); // valid UTF-8, so read as UTF-8
        Komunikaty big = samples::ListB();
        for (const Komunikaty& l : {samples::ListA(), big, samples::ListA(), Komunikaty{}, big}) {
            QVERIFY(f.file.SaveDataFile(l));
            QCOMPARE(f.file.LoadDataFile(list), int(kLoaded));
            QVERIFY(samples::SameStored(list, l));
        }
        QVERIFY(f.messages.shown.empty());
    }

    void longTextsSurviveLoadAndSave()
    {
        // A hand-edited plain file with a long text: the load, the next save
        // and the load after it keep every byte, the last "+" included.
        Fixture f;
        const std::string tresc = std::string(300, 'a') + "+" + std::string(299, 'b') + "+";
        Komunikaty list;
        QCOMPARE(f.Load(Plain("1", PlainNr(1, tresc)), list), int(kLoaded));
        QCOMPARE(list[0].Tresc, tresc);
        QVERIFY(f.file.SaveDataFile(list));
        Komunikaty back;
        QCOMPARE(f.file.LoadDataFile(back), int(kLoaded));
        QCOMPARE(back[0].Tresc, tresc);
        std::vector<std::string> lines;
        TextToLines(back[0].Tresc, lines);
        QCOMPARE(lines.size(), size_t(2));
    }

    void missingFile()
    {
        Fixture f;
        Komunikaty list = samples::ListA();
        f.file.Switch = false;
        QCOMPARE(f.file.LoadDataFile(list), int(kMissing));
        QVERIFY(list.items == samples::ListA().items);
        QVERIFY(!f.file.Switch);
        QCOMPARE(f.messages.shown.size(), size_t(1));
        QCOMPARE(f.messages.shown[0].text, kMissingText);
        QVERIFY(!QFile::exists(f.path));
        QVERIFY(f.DamagedCopies().isEmpty());
    }

    void reloadKeepsWorkingFieldsAndSelection()
    {
        Fixture f;
        QVERIFY(f.file.SaveDataFile(samples::ListA())); // three reminders
        Komunikaty list = samples::ListA();
        list.AddReminder("nowe+", D(2026, 1, 1), 0, 0, 0, 0, 1, D(2026, 1, 1)); // an edit to discard
        list[1].WarnToday = true;
        list[1].ShownToday = 2;
        list[1].LastShownMinute = 600;
        list[1].Tresc = "zmienione+";
        QCOMPARE(list.SelectedIndex, 3);
        QCOMPARE(f.file.LoadDataFile(list), int(kLoaded));
        QCOMPARE(list.ReminderCount(), 3);
        QVERIFY(samples::SameStored(list, samples::ListA()));
        QVERIFY(list[1].WarnToday);
        QCOMPARE(list[1].ShownToday, 2);
        QCOMPARE(list[1].LastShownMinute, 600);
        QCOMPARE(list.SelectedIndex, 2); // still a reminder of the list
    }

    void damagedFileIsKeptBeforeAnythingOverwritesIt()
    {
        Fixture f;
        QVERIFY(f.file.SaveDataFile(samples::ListB()));
        std::string cut = ReadAll(f.path);
        cut.resize(cut.size() / 2);
        WriteAll(f.path, cut);

        Komunikaty list;
        QCOMPARE(f.file.LoadDataFile(list), int(kDamagedHeader));
        QCOMPARE(f.file.LoadDataFile(list), int(kDamagedHeader));
        QStringList copies = f.DamagedCopies();
        QCOMPARE(copies.size(), 1); // loading the same damage again makes no second copy
        const QString copy = QDir(f.dir.path()).filePath(copies[0]);
        QCOMPARE(QString::fromStdString(f.file.DamagedCopy()), copy);
        QVERIFY(QRegularExpression("^Dane\\.dat\\.uszkodzony-\\d{8}-\\d{6}$").match(copies[0]).hasMatch());
        QCOMPARE(ReadAll(copy), cut);
        QCOMPARE(QFileInfo(copy).permissions(), QFileInfo(f.path).permissions());

        // The start-up empties the list and saves; the damaged bytes stay.
        QVERIFY(f.file.SaveDataFile(Komunikaty{}));
        QCOMPARE(ReadAll(copy), cut);

        // An empty file has nothing to keep.
        WriteAll(f.path, "");
        QCOMPARE(f.file.LoadDataFile(list), int(kDamagedHeader));
        QCOMPARE(f.DamagedCopies().size(), 1);

        // Other damage gets a copy of its own, as private as the file; a
        // good load makes none.
        WriteAll(f.path, "<Dane>");
        QVERIFY(QFile::setPermissions(f.path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        QCOMPARE(f.file.LoadDataFile(list), int(kDamagedHeader));
        QCOMPARE(f.DamagedCopies().size(), 2);
        QCOMPARE(QFileInfo(f.file.DamagedCopy().c_str()).permissions(),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);
        QVERIFY(f.file.SaveDataFile(samples::ListA()));
        QCOMPARE(f.file.LoadDataFile(list), int(kLoaded));
        QVERIFY(f.file.DamagedCopy().empty());
        QCOMPARE(f.DamagedCopies().size(), 2);
    }

    void damagedCopyTakesAFreeNameBesideTheFile()
    {
        QTemporaryDir dir;
        const std::string base = QFile::encodeName(dir.path()).toStdString();
        // A file name in a local 8-bit encoding (ISO 8859-2 "łóż", not UTF-8).
        const std::string name = "Dane-\xb3\xf3\xbf.dat";
        const std::string prefix = name + ".uszkodzony-";
        auto put = [&](const std::string& file, const std::string& bytes) {
            QVERIFY(ReplaceFile(DefaultFileWriters(), base + "/" + file, bytes));
        };
        // The names of this second and the next two are taken, with and
        // without -2; so are, by a folder and a FIFO, two other names.
        const QDateTime start = QDateTime::currentDateTime();
        std::set<std::string> taken;
        for (int s = 0; s < 3; ++s) {
            const std::string stamp = start.addSecs(s).toString("yyyyMMdd-HHmmss").toStdString();
            for (const std::string& n : {prefix + stamp, prefix + stamp + "-2"}) {
                put(n, "<Dane>\r\n");
                taken.insert(n);
            }
        }
        QVERIFY(::mkdir((base + "/" + prefix + "folder").c_str(), 0700) == 0);
        QVERIFY(::mkfifo((base + "/" + prefix + "fifo").c_str(), 0600) == 0);
        put(name, "<Dane>");

        // Reached by a relative path through "..": the copy's name is absolute and clean.
        QVERIFY(QDir().mkpath(dir.filePath("sub")));
        const QString cwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.filePath("sub")));
        FixedFormats formats;
        ScriptedMessages messages;
        Scrambler scrambler(1);
        DataFile file("../" + name, messages, formats, scrambler);
        Komunikaty list;
        const int first = file.LoadDataFile(list);
        const std::string copy = file.DamagedCopy();
        const int again = file.LoadDataFile(list);
        QVERIFY(QDir::setCurrent(cwd));

        QCOMPARE(first, int(kDamagedHeader));
        QCOMPARE(again, int(kDamagedHeader));
        QCOMPARE(file.DamagedCopy(), copy); // the same damage again: the same copy
        QVERIFY2(copy.compare(0, base.size() + 1 + prefix.size(), base + "/" + prefix) == 0, copy.c_str());
        const std::string copyName = copy.substr(base.size() + 1);
        QVERIFY2(!taken.count(copyName), copyName.c_str());
        const std::string tail = copyName.substr(prefix.size());
        QVERIFY2(QRegularExpression("^\\d{8}-\\d{6}(-3)?$").match(QString::fromStdString(tail)).hasMatch(),
                 tail.c_str());
        if (taken.count(prefix + tail.substr(0, 15)))
            QCOMPARE(tail.substr(15), std::string("-3"));
        std::string bytes;
        QVERIFY(ReadWholeFile(copy, bytes));
        QCOMPARE(bytes, std::string("<Dane>"));
        // Qt cannot list or remove such names; the standard library can.
        size_t entries = 0;
        for (const auto& e : std::filesystem::directory_iterator(base))
            entries += e.path().filename().native().compare(0, 5, "Dane-") == 0;
        QCOMPARE(entries, taken.size() + 4);
        std::filesystem::remove_all(base);
    }

    void textsSurviveWithAndWithoutScrambling()
    {
        // Every byte a stored text may hold, and the characters the file escapes.
        std::string every;
        for (int c = 32; c < 256; ++c)
            if (!IsUnusedByte(static_cast<unsigned char>(c)))
                every += char(c);
        const std::string texts[] = {
            "&<>\"'+", "&amp;+", "]]>+<!-- -->+", Cp("ąćęłńóśźż ĄĆĘŁŃÓŚŹŻ+"), "a" + every.substr(0, 200) + "z+",
            "z" + every.substr(200) + "a+", "+", "bez plusa"};
        for (bool on : {true, false}) {
            for (uint32_t seed = 0; seed < 20; ++seed) {
                Fixture f;
                f.scrambler.Seed(seed);
                f.file.Switch = on;
                Komunikaty list;
                for (const std::string& t : texts)
                    list.AddReminder(t, D(2026, 12, 8), 0, 0, 0, 0, 1, D(2026, 12, 8));
                QVERIFY(f.file.SaveDataFile(list));
                Komunikaty back;
                QCOMPARE(f.file.LoadDataFile(back), int(kLoaded));
                for (int i = 0; i < list.ReminderCount(); ++i)
                    QCOMPARE(back[i].Tresc, list[i].Tresc);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "test_datafile.moc"
