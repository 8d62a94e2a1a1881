#include "platform/core/apppaths.h"
#include "platform/core/qtregionalformats.h"

#include "store/codec.h"
#include "store/datafile.h"
#include "store/messages.h"
#include "store/scramble.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace remindo;

namespace {

Date D(int y, int m, int d) { return DateFromYmd(y, m, d); }

const char* const kLocales[] = {"pl_PL", "en_US", "en_GB", "de_DE", "fr_FR", "cs_CZ", "hu_HU", "ja_JP",
                                "zh_CN", "ko_KR", "ar_EG", "fa_IR", "hi_IN", "he_IL", "th_TH", "nl_NL"};

} // namespace

class TestQtRegionalFormats : public QObject {
    Q_OBJECT
private slots:
    void noRegionalSettingsMeansPolish()
    {
        // The tests run under LC_ALL=C.UTF-8, so the system locale is C.
        QtRegionalFormats system;
        QCOMPARE(system.Locale().language(), QLocale::Polish);
        const QtRegionalFormats posix{QLocale::c()};
        QCOMPARE(posix.Locale().language(), QLocale::Polish);
        QCOMPARE(posix.ShortDate(D(2026, 12, 8)), std::string("8.12.2026"));
        QCOMPARE(posix.LongDate(D(2026, 12, 8)), Cp("wtorek, 8 grudnia 2026"));
        QCOMPARE(posix.LongTime(MakeDateTime(D(2026, 12, 8), 14, 3, 5)), std::string("14:03:05"));
        QCOMPARE(posix.LongTime(MakeDateTime(D(2026, 12, 8), 0, 0, 0)), std::string("00:00:00"));
        QCOMPARE(posix.LongTime(MakeDateTime(D(2026, 12, 8), 23, 59, 59)), std::string("23:59:59"));
        QCOMPARE(posix.Lower(Cp("ZAŻÓŁĆ GĘŚLĄ JAŹŃ 12+")), Cp("zażółć gęślą jaźń 12+"));
        QCOMPARE(posix.ParseShortDate("8.12.2026"), std::optional<Date>(D(2026, 12, 8)));
        QCOMPARE(posix.ParseShortDate("08.12.2026"), std::optional<Date>(D(2026, 12, 8)));
        for (const char* bad : {"", "jutro", "31.02.2026", "8.12", "2026-12-08x"})
            QVERIFY2(!posix.ParseShortDate(bad), bad);
    }

    void longTimeNeverCarriesATimeZone()
    {
        for (const char* name : kLocales) {
            const QtRegionalFormats f{QLocale(QString::fromLatin1(name))};
            QVERIFY2(!f.LongTimeFormat().contains(QLatin1Char('t')), name);
            const std::string t = Utf8FromCp1250(f.LongTime(MakeDateTime(D(2026, 12, 8), 14, 3, 5)));
            for (const char* zone : {"UTC", "GMT", "CET", "CEST", "Coordinated"})
                QVERIFY2(t.find(zone) == std::string::npos, (std::string(name) + ": " + t).c_str());
        }
        const std::pair<const char*, const char*> exact[] = {
            {"en_US", "2:03:05 PM"}, {"en_GB", "14:03:05"}, {"de_DE", "14:03:05"}, {"cs_CZ", "14:03:05"}};
        for (const auto& [name, expected] : exact) {
            const QtRegionalFormats f{QLocale(QString::fromLatin1(name))};
            const QString t = QString::fromStdString(Utf8FromCp1250(f.LongTime(MakeDateTime(D(2026, 12, 8), 14, 3, 5))));
            QCOMPARE(t, QString::fromUtf8(expected));
        }
    }

    // Whatever the regional settings, a date the data file writes reads back
    // as the same day, including two-digit-year and non-Latin formats.
    void dataFileDatesSurviveEveryLocale()
    {
        ScriptedMessages messages;
        Scrambler scrambler(1);
        const Date days[] = {D(2026, 12, 8), D(1999, 1, 2), D(2069, 12, 31), D(2070, 1, 1), D(1, 1, 1), D(9999, 12, 31),
                             D(2024, 2, 29)};
        for (const char* name : kLocales) {
            const QtRegionalFormats f{QLocale(QString::fromLatin1(name))};
            const DataFile file("/nonexistent", messages, f, scrambler);
            for (Date d : days) {
                const std::string text = file.DateText(d);
                QVERIFY2(file.ParseDate(text) == d, (std::string(name) + ": " + Utf8FromCp1250(text)).c_str());
            }
        }
        // A file written under Polish settings reads under any other.
        const QtRegionalFormats polish{QLocale::c()};
        const DataFile written("/nonexistent", messages, polish, scrambler);
        for (const char* name : kLocales) {
            const QtRegionalFormats f{QLocale(QString::fromLatin1(name))};
            const DataFile reading("/nonexistent", messages, f, scrambler);
            QVERIFY2(reading.ParseDate(written.DateText(D(2026, 12, 8))) == D(2026, 12, 8), name);
        }
    }

    void applicationDataFolder()
    {
        QTemporaryDir dir;
        const QByteArray old = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path()));
        QCOMPARE(QString::fromStdString(AppDataFolder()), dir.path());
        qunsetenv("XDG_DATA_HOME");
        QCOMPARE(QString::fromStdString(AppDataFolder()), QDir::homePath() + "/.local/share");
        qputenv("XDG_DATA_HOME", old);
        QVERIFY(!ProgramFolder().empty());
    }
};

QTEST_GUILESS_MAIN(TestQtRegionalFormats)
#include "test_qtregionalformats.moc"
