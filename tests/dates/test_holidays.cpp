// Polish public holidays and Easter against python3-holidays and
// python3-dateutil, which no one here wrote.

#include "dates/date.h"
#include "dates/holidays.h"

#include <QProcess>
#include <QSet>
#include <QTest>

using namespace remindo;

Q_DECLARE_METATYPE(remindo::Date)

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

// The Polish letters of Windows-1250 the names use; anything else shows as '?'.
QString Utf8(std::string_view cp1250)
{
    static const std::pair<unsigned char, const char*> letters[] = {
        {0x8C, "Ś"}, {0x9C, "ś"}, {0xB9, "ą"}, {0xEA, "ę"}, {0xBF, "ż"}, {0xB3, "ł"}, {0xF1, "ń"}, {0xF3, "ó"}};
    QString out;
    for (const char c : cp1250) {
        const unsigned char b = static_cast<unsigned char>(c);
        QString letter = b < 0x80 ? QString(QChar(b)) : QStringLiteral("?");
        for (const auto& [code, utf8] : letters)
            if (code == b)
                letter = QString::fromUtf8(utf8);
        out += letter;
    }
    return out;
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

    // Every name on its day (the movable feasts of a year whose Easter is
    // early), and no name the day after Easter Monday or before 2025's
    // Christmas Eve.
    void namesOnTheirDays_data()
    {
        QTest::addColumn<Date>("day");
        QTest::addColumn<QString>("name");
        const auto row = [](int y, int m, int d, const char* name) {
            QTest::addRow("%04d-%02d-%02d", y, m, d) << DateFromYmd(y, m, d) << QString::fromUtf8(name);
        };
        row(2026, 1, 1, "Nowy Rok");
        row(2026, 1, 6, "Święto Trzech Króli");
        row(2026, 4, 5, "Wielkanoc");
        row(2026, 4, 6, "Poniedziałek Wielkanocny");
        row(2026, 4, 7, "");
        row(2026, 5, 1, "Święto Państwowe");
        row(2026, 5, 3, "Święto Narodowe Trzeciego Maja");
        row(2026, 5, 24, "Zielone Świątki");
        row(2026, 6, 4, "Boże Ciało");
        row(2026, 8, 15, "Wniebowzięcie Najświętszej Maryi Panny");
        row(2026, 11, 1, "Wszystkich Świętych");
        row(2026, 11, 11, "Narodowe Święto Niepodległości");
        row(2024, 12, 24, "");
        row(2025, 12, 24, "Wigilia Bożego Narodzenia");
        row(2026, 12, 25, "Pierwszy dzień Bożego Narodzenia");
        row(2026, 12, 26, "Drugi dzień Bożego Narodzenia");
    }

    void namesOnTheirDays()
    {
        QFETCH(Date, day);
        QFETCH(QString, name);
        // Windows-1250, like the day names.
        QCOMPARE(Utf8(PolishHoliday(day)), name);
    }
};

QTEST_GUILESS_MAIN(TestHolidays)
#include "test_holidays.moc"
