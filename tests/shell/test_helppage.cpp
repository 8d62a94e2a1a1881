// The help page beside the built program: found where F1 looks, the same as
// its source, readable as UTF-8 and without dead links.

#include "windows/help.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTest>

using namespace remindo;

namespace {

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestHelpPage : public QObject {
    Q_OBJECT

private slots:
    void build_lays_the_help_folder_beside_the_program()
    {
        const QString program = QStringLiteral(REMINDO_PROGRAM_DIR);
        const QString page = HelpPagePath(program);
        QCOMPARE(page, QDir::cleanPath(program + QStringLiteral("/Pomoc/index.htm")));
        QVERIFY(QFileInfo(page).isFile());

        const QString source = QStringLiteral(REMINDO_HELP_SOURCE);
        QDirIterator it(source, QDir::Files, QDirIterator::Subdirectories);
        int files = 0;
        while (it.hasNext()) {
            const QString src = it.next();
            const QString copy = program + QStringLiteral("/Pomoc/") + QDir(source).relativeFilePath(src);
            QVERIFY2(Read(copy) == Read(src), qPrintable(copy));
            ++files;
        }
        QVERIFY(files >= 1);
    }

    void page_is_utf8_polish_html_without_dead_links()
    {
        const QString folder = QStringLiteral(REMINDO_HELP_SOURCE);
        const QByteArray bytes = Read(folder + QStringLiteral("/index.htm"));
        QVERIFY(!bytes.isEmpty());
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString html = utf8.decode(bytes);
        QVERIFY(!utf8.hasError());
        // The charset must be declared early enough for every browser to see it.
        QVERIFY(bytes.left(1024).contains("<meta charset=\"utf-8\">"));
        QVERIFY(html.contains(QStringLiteral("<html lang=\"pl\">")));

        QSet<QString> ids;
        const QRegularExpression idRe(QStringLiteral("\\bid=\"([^\"]+)\""));
        for (const auto& m : idRe.globalMatch(html)) {
            QVERIFY2(!ids.contains(m.captured(1)), qPrintable(m.captured(1)));
            ids.insert(m.captured(1));
        }

        const QRegularExpression linkRe(QStringLiteral("\\b(?:href|src)=\"([^\"]+)\""));
        int links = 0;
        for (const auto& m : linkRe.globalMatch(html)) {
            const QString target = m.captured(1);
            ++links;
            if (target.startsWith(QLatin1Char('#'))) {
                QVERIFY2(ids.contains(target.mid(1)), qPrintable(target));
            } else {
                QVERIFY2(!target.contains(QStringLiteral("://")), qPrintable(target)); // works offline
                QVERIFY2(QFileInfo(folder + QLatin1Char('/') + target).isFile(), qPrintable(target));
            }
        }
        QVERIFY(links > 10);

        // Every window the menu opens, the letter keys of the boxes and the holidays are explained.
        for (const char* word : {"Dane", "Kalendarz", "Ustawienia", "O programie", "Zakończ",
                                 "Przypomnij później", "Przypomnij jutro", "Już więcej nie przypominaj",
                                 "<kbd>T</kbd>", "<kbd>N</kbd>", "<kbd>A</kbd>", "<kbd>Z</kbd>", "<kbd>F1</kbd>", "Wielkanoc"})
            QVERIFY2(html.contains(QString::fromUtf8(word)), word);
    }
};

QTEST_GUILESS_MAIN(TestHelpPage)
#include "test_helppage.moc"
