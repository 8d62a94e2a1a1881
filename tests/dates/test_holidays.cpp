// Polish public holidays and Easter against python3-holidays and
// python3-dateutil, which no one here wrote.

#include "dates/date.h"
#include "dates/holidays.h"

#include <QProcess>
#include <QSet>
#include <QTest>

using namespace remindo;

namespace {

// Debian's interpreter, where the Debian packages are; a python3 earlier
// on the path may not see them.
const char* const kPython = "/usr/bin/python3";

QStringList PythonLines(const char* script)
{
    QProcess p;
    p.start(kPython, {"-c", script});
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        qFatal("%s: %s", kPython, p.readAllStandardError().constData());
    return QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

QString Iso(Date d)
{
    const Ymd y = YmdOf(d);
    return QString::asprintf("%04d-%02d-%02d", y.year, y.month, y.day);
}

} // namespace

class TestHolidays : public QObject {
    Q_OBJECT

private slots:
    void easterAgainstDateutil()
    {
        const QStringList theirs = PythonLines(
            "from dateutil.easter import easter\n"
            "for y in range(1583, 10000): print(easter(y))\n");
        QCOMPARE(theirs.size(), 10000 - 1583);
        for (int y = 1583; y < 10000; ++y)
            QCOMPARE(Iso(EasterSunday(y)), theirs[y - 1583]);
    }

    void polandAgainstPythonHolidays()
    {
        // Debian 12's python3-holidays predates the law that made 24 December
        // a holiday from 2025 on; it is added to its answer here.
        QStringList theirs = PythonLines(
            "import holidays\n"
            "for y in range(1990, 2101):\n"
            "    for d in sorted(holidays.Poland(years=y)): print(d)\n"
            "    if y >= 2025: print('%d-12-24' % y)\n");
        const QSet<QString> expected(theirs.begin(), theirs.end());
        QVERIFY(expected.size() > 111 * 12);
        QSet<QString> ours;
        for (Date d = DateFromYmd(1989, 1, 1); d <= DateFromYmd(2100, 12, 31); d = AddDays(d, 1))
            if (!PolishHoliday(d).empty())
                ours.insert(Iso(d));
        QCOMPARE(ours - expected, QSet<QString>());
        QCOMPARE(expected - ours, QSet<QString>());
    }

    void namesOnTheirDays()
    {
        // Windows-1250, like the day names.
        QCOMPARE(PolishHoliday(DateFromYmd(2026, 4, 5)), std::string_view("Wielkanoc"));
        QCOMPARE(PolishHoliday(DateFromYmd(2026, 4, 6)), std::string_view("Poniedzia\xB3" "ek Wielkanocny"));
        QCOMPARE(PolishHoliday(DateFromYmd(2025, 12, 24)), std::string_view("Wigilia Bo\xBF" "ego Narodzenia"));
        QVERIFY(PolishHoliday(DateFromYmd(2024, 12, 24)).empty());
        QVERIFY(PolishHoliday(DateFromYmd(2026, 4, 7)).empty());
    }
};

QTEST_GUILESS_MAIN(TestHolidays)
#include "test_holidays.moc"
