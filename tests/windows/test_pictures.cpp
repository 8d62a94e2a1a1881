// The painted artwork: the words on every picture, the embedded pictures'
// sizes and format, painted faces under the windows' click areas, the icon
// and the reminder sound.

#include "painter/icon.h"
#include "painter/pictures.h"
#include "painter/style.h"
#include "resources/resources.h"
#include "windows/layout.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <QTest>
#include <QtEndian>

#include <array>
#include <cmath>
#include <map>

using namespace remindo;
using painter::Picture;

namespace {

QRect R(layout::Rect r) { return QRect(r.x, r.y, r.w, r.h); }

// The pictures the program loads, with their sizes as the windows need them.
const std::map<QString, QSize>& ExpectedSizes()
{
    static const std::map<QString, QSize> sizes = {
        {"komczerwony", {349, 90}},    {"komzolty", {349, 90}},      {"komzielony", {349, 90}},
        {"komniebieski", {349, 90}},   {"oknowarning", {350, 150}},  {"ikoinfo", {42, 43}},
        {"komniebieski_bez_ikony", {349, 90}},
        {"ikopytanie", {42, 43}},      {"ikouwaga", {42, 43}},       {"buttak", {88, 26}},
        {"butnie", {88, 26}},          {"butanuluj", {88, 26}},      {"butzamknij", {88, 26}},
        {"ptaszekok", {19, 18}},       {"ptaszekno", {19, 18}},      {"palkamala", {112, 6}},
        {"palkaduza", {112, 6}},       {"tlo_dane", {386, 447}},     {"tlo_wprowadzane", {374, 395}},
        {"tlo_czestosc_a", {336, 137}}, {"tlo_czestosc_b", {336, 137}},
        {"tlo_wybor_daty", {188, 220}}, {"tlo_kalendarz", {500, 500}},
        {"tlo_ustawienia", {386, 243}}, {"tlo_about", {386, 243}},
        {"tlo_synchronizacja", {386, 300}},
        {"listwagora", {16, 16}},       {"listwadol", {16, 16}},     {"listwasuwak", {16, 40}},
    };
    return sizes;
}

QImage LoadEmbedded(const QString& name)
{
    QImageReader reader(QStringLiteral(":/pictures/") + name + QStringLiteral(".jpg"), "jpeg");
    reader.setAutoDetectImageFormat(false);
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

// Largest channel difference between the mean colours of two pixel sets.
int MeanDifference(const QImage& img, const std::vector<QPoint>& a, const std::vector<QPoint>& b)
{
    const auto mean = [&](const std::vector<QPoint>& pts) {
        double s[3] = {0, 0, 0};
        for (const QPoint& p : pts) {
            const QRgb c = img.pixel(p);
            s[0] += qRed(c);
            s[1] += qGreen(c);
            s[2] += qBlue(c);
        }
        return std::array<double, 3>{s[0] / pts.size(), s[1] / pts.size(), s[2] / pts.size()};
    };
    const auto ma = mean(a);
    const auto mb = mean(b);
    double d = 0;
    for (int i = 0; i < 3; ++i)
        d = std::max(d, std::abs(ma[i] - mb[i]));
    return static_cast<int>(d);
}

std::vector<QPoint> Ring(const QRect& r)
{
    std::vector<QPoint> pts;
    for (int x = r.left(); x <= r.right(); ++x)
        pts.insert(pts.end(), {QPoint(x, r.top()), QPoint(x, r.bottom())});
    for (int y = r.top() + 1; y < r.bottom(); ++y)
        pts.insert(pts.end(), {QPoint(r.left(), y), QPoint(r.right(), y)});
    return pts;
}

} // namespace

class TestPictures : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(painter::LoadFonts(&error), qPrintable(error));
        InitResources();
        InitResources(); // a second call is harmless
    }

    void captionsAreTheWindowsWords_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("words");
        const QStringList buttons = {"Przypomnij później", "Przypomnij jutro",
                                     "Już więcej nie przypominaj"};
        for (const char* kom : {"komczerwony", "komzolty", "komzielony"})
            QTest::newRow(kom) << kom << buttons;
        for (const char* none : {"oknowarning", "ikoinfo", "ikopytanie", "ikouwaga", "ptaszekok",
                                 "ptaszekno", "palkamala", "palkaduza", "listwagora", "listwadol",
                                 "listwasuwak"})
            QTest::newRow(none) << none << QStringList();
        QTest::newRow("buttak") << "buttak" << QStringList{"Tak"};
        QTest::newRow("butnie") << "butnie" << QStringList{"Nie"};
        QTest::newRow("butanuluj") << "butanuluj" << QStringList{"Anuluj"};
        QTest::newRow("butzamknij") << "butzamknij" << QStringList{"Zamknij"};
        QTest::newRow("tlo_dane") << "tlo_dane" << QStringList{"Remindo - dane"};
        QTest::newRow("tlo_wprowadzane")
            << "tlo_wprowadzane"
            << QStringList{"Treść komunikatu",
                           "Data pierwszego wystąpienia",
                           "Częstotliwość zdarzenia",
                           "Rozpocznij powiadamianie",
                           "dni przed",
                           "- ostrzegaj również po upływie terminu",
                           "Powiadamiaj",
                           "raz/razy dziennie",
                           "- odblokuj/zablokuj zdarzenie"};
        QTest::newRow("tlo_czestosc_a") << "tlo_czestosc_a"
                                        << QStringList{"Zdarzenie występuje co", "dni"};
        QTest::newRow("tlo_czestosc_b")
            << "tlo_czestosc_b" << QStringList{"Zdarzenie występuje cyklicznie w", "miesiąca"};
        QTest::newRow("tlo_wybor_daty")
            << "tlo_wybor_daty" << QStringList{"Dzisiaj", "Pn", "Wt", "Śr", "Cz", "Pt", "So", "Nd"};
        QTest::newRow("tlo_kalendarz")
            << "tlo_kalendarz" << QStringList{"Remindo - kalendarz", "Wskaż interesujący Cię tydzień"};
        QTest::newRow("tlo_ustawienia") << "tlo_ustawienia"
                                        << QStringList{"Remindo - ustawienia",
                                                       "Komunikat pokaż co",
                                                       "minut",
                                                       "Badaj zdarzenia co",
                                                       "minut",
                                                       "Okno komunikatu ukryj po",
                                                       "sekundach",
                                                       "- komunikatom towarzyszy dźwięk",
                                                       "Poziom głośności dźwięku"};
        QTest::newRow("tlo_about") << "tlo_about"
                                   << QStringList{"Remindo - o programie", "Remindo 1.02"};
        QTest::newRow("tlo_synchronizacja")
            << "tlo_synchronizacja"
            << QStringList{"Remindo - synchronizacja", "Adres serwera", "Użytkownik", "Hasło", "Nazwa kalendarza",
                           "Synchronizuj teraz"};
    }

    // What was actually painted, read back from the painting, word for word.
    void captionsAreTheWindowsWords()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, words);
        const Picture pic = painter::PaintPicture(name);
        QVERIFY(!pic.image.isNull());
        QCOMPARE(pic.captions, words);
        QVERIFY2(pic.problems.isEmpty(), qPrintable(pic.problems.join('\n')));
    }

    // The blue panel: its title, and a sentence on one line that ends in the
    // link word lying in the help click area.
    void bluePanelEndsInTheLinkWord()
    {
        for (const char* name : {"komniebieski", "komniebieski_bez_ikony"}) {
            const Picture pic = painter::PaintPicture(name);
            QVERIFY2(pic.problems.isEmpty(), qPrintable(pic.problems.join('\n')));
            QCOMPARE(pic.captions.value(0), QString("Remindo 1.02"));
            QCOMPARE(pic.captions.value(3), QString("tutaj"));
            QCOMPARE(pic.captions.size(), 5);
            for (const QString& c : pic.captions)
                QVERIFY(!c.trimmed().isEmpty());
            // the link word is drawn inside its click area: underlined ink there
            const QRect link = R(layout::glowny::kPomoc);
            int ink = 0;
            for (int y = link.top(); y <= link.bottom(); ++y)
                for (int x = link.left(); x <= link.right(); ++x)
                    ink += qGray(pic.image.pixel(x, y)) < 160;
            QVERIFY2(ink > 30, qPrintable(QString::number(ink)));
        }
    }

    void everyPictureIsEmbedded_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("scale");
        QTest::addColumn<QSize>("size");
        for (const auto& [name, size] : ExpectedSizes()) {
            QTest::newRow(qPrintable(name)) << name << 1 << size;
            QTest::newRow(qPrintable(name + "@2x")) << name << 2 << size * 2;
        }
    }

    // Each picture is in the program at 1x and 2x, is a JPEG (not just named
    // so), has its window's exact size in device pixels, and shows what the
    // painter painted at that scale, with the same words and nothing that
    // does not fit.
    void everyPictureIsEmbedded()
    {
        QFETCH(QString, name);
        QFETCH(int, scale);
        QFETCH(QSize, size);
        const QString file = scale == 1 ? name : name + QStringLiteral("@2x");
        QFile f(QStringLiteral(":/pictures/") + file + QStringLiteral(".jpg"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray head = f.read(3);
        QCOMPARE(head, QByteArray("\xFF\xD8\xFF", 3));
        const QImage img = LoadEmbedded(file);
        QVERIFY(!img.isNull());
        QCOMPARE(img.size(), size);

        // the compression must keep the small text crisp
        const Picture pic = painter::PaintPicture(name, scale);
        QVERIFY2(pic.problems.isEmpty(), qPrintable(pic.problems.join('\n')));
        QCOMPARE(pic.captions, painter::PaintPicture(name).captions);
        const QImage painted = pic.image.convertToFormat(QImage::Format_RGB32);
        QCOMPARE(painted.size(), size);
        double sum = 0;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                const QRgb a = img.pixel(x, y), b = painted.pixel(x, y);
                sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                       std::abs(qBlue(a) - qBlue(b));
            }
        const double mean = sum / (3.0 * size.width() * size.height());
        QVERIFY2(mean < 2.0, qPrintable(QString::number(mean)));
    }

    void painterListsExactlyThePictures()
    {
        std::map<QString, QSize> listed;
        for (const auto& info : painter::PictureList())
            listed[QString::fromLatin1(info.name)] = QSize(info.width, info.height);
        QVERIFY(listed == ExpectedSizes());
        QVERIFY(painter::PaintPicture("nosuchpicture").image.isNull());
    }

    // Click areas lie inside their picture and never on top of each other.
    void clickAreasAreApart()
    {
        for (const auto& info : painter::PictureList()) {
            const Picture pic = painter::PaintPicture(QString::fromLatin1(info.name));
            const QRect whole = pic.image.rect();
            for (size_t i = 0; i < pic.clickAreas.size(); ++i) {
                const QRect a = R(pic.clickAreas[i]);
                QVERIFY2(whole.contains(a), info.name);
                for (size_t j = i + 1; j < pic.clickAreas.size(); ++j)
                    QVERIFY2(!a.intersects(R(pic.clickAreas[j])),
                             qPrintable(QStringLiteral("%1: areas %2 and %3 overlap")
                                            .arg(info.name)
                                            .arg(i)
                                            .arg(j)));
            }
        }
    }

    void buttonFacesLieUnderTheirClickAreas_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("area");
        namespace lg = layout::glowny;
        for (const char* kom : {"komczerwony", "komzolty", "komzielony"}) {
            QTest::newRow(qPrintable(QString(kom) + " later")) << kom << R(lg::kPozniej);
            QTest::newRow(qPrintable(QString(kom) + " tomorrow")) << kom << R(lg::kNieDzis);
            QTest::newRow(qPrintable(QString(kom) + " never")) << kom << R(lg::kNiePrzypominaj);
        }
        QTest::newRow("warning close") << "oknowarning" << R(layout::warning::kClose);
        QTest::newRow("dane new") << "tlo_dane" << R(layout::dane::kNowyWpis);
        QTest::newRow("dane cancel") << "tlo_dane" << R(layout::dane::kAnuluj);
        QTest::newRow("dane save") << "tlo_dane" << R(layout::dane::kZapisz);
        QTest::newRow("editor cancel") << "tlo_wprowadzane" << R(layout::wprowadzane::kAnuluj);
        QTest::newRow("editor save") << "tlo_wprowadzane" << R(layout::wprowadzane::kZapisz);
        QTest::newRow("every x cancel") << "tlo_czestosc_a" << R(layout::czestosc::kAnuluj);
        QTest::newRow("weekday save") << "tlo_czestosc_b" << R(layout::czestosc::kOkWOD);
        QTest::newRow("calendar close") << "tlo_kalendarz" << R(layout::kalendarz::kClose);
        QTest::newRow("settings less") << "tlo_ustawienia" << R(layout::ustawienia::kPokazCoMniej);
        QTest::newRow("settings save") << "tlo_ustawienia" << R(layout::ustawienia::kZapisz);
        QTest::newRow("about tick") << "tlo_about" << R(layout::about::kZapisz);
    }

    // The outline of a painted face follows the click area: its edge stands
    // out from what lies just outside it.
    void buttonFacesLieUnderTheirClickAreas()
    {
        QFETCH(QString, name);
        QFETCH(QRect, area);
        const QImage img = LoadEmbedded(name);
        const int d = MeanDifference(img, Ring(area), Ring(area.adjusted(-2, -2, 2, 2)));
        QVERIFY2(d >= 15, qPrintable(QString::number(d)));
    }

    // Red, yellow, green and blue differ at a glance, and the reminder text
    // always sits on white.
    void reminderColoursAreDistinct()
    {
        const QStringList names = {"komczerwony", "komzolty", "komzielony", "komniebieski"};
        std::vector<QColor> strip;
        for (const QString& n : names) {
            const QImage img = LoadEmbedded(n);
            strip.push_back(QColor(img.pixel(3, 60))); // beside the text field
            const QRect text = R(layout::glowny::kKomunikat);
            for (const QPoint p : {text.topLeft(), text.center(), text.bottomRight()})
                QVERIFY2(qGray(img.pixel(p)) >= 250, qPrintable(n));
        }
        for (size_t i = 0; i < strip.size(); ++i)
            for (size_t j = i + 1; j < strip.size(); ++j) {
                int hue = std::abs(strip[i].hsvHue() - strip[j].hsvHue());
                hue = std::min(hue, 360 - hue);
                QVERIFY2(hue >= 30, qPrintable(names[int(i)] + " / " + names[int(j)]));
            }
    }

    void iconInBothForms()
    {
        QImageReader reader(":/pictures/remindo.png");
        const QImage png = reader.read();
        QCOMPARE(png.size(), QSize(64, 64));
        QVERIFY(png.hasAlphaChannel());
        QCOMPARE(qAlpha(png.pixel(0, 0)), 0); // rounded corner: transparent

        QSvgRenderer svg(QStringLiteral(":/pictures/remindo.svg"));
        QVERIFY(svg.isValid());
        QImage drawn(64, 64, QImage::Format_ARGB32_Premultiplied);
        drawn.fill(Qt::transparent);
        QPainter p(&drawn);
        svg.render(&p);
        p.end();
        const QImage expected = png.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        double sum = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const QRgb a = drawn.pixel(x, y), b = expected.pixel(x, y);
                sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                       std::abs(qBlue(a) - qBlue(b)) + std::abs(qAlpha(a) - qAlpha(b));
            }
        QVERIFY2(sum / (4 * 64 * 64) < 4.0, qPrintable(QString::number(sum / (4 * 64 * 64))));

        // the copy kept for the desktop entry is the painter's current icon
        QFile kept(QStringLiteral(REMINDO_SOURCE_DIR "/resources/remindo.svg"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QVERIFY2(kept.readAll() == painter::IconSvg(),
                 "resources/remindo.svg is stale: build the target remindo-update-icon");
    }

    // A short 16-bit PCM chime that starts and ends in silence and never clips.
    void reminderSound()
    {
        QFile f(":/sounds/dobre.wav");
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray wav = f.readAll();
        QVERIFY(wav.size() > 44);
        const char* d = wav.constData();
        QCOMPARE(wav.left(4), QByteArray("RIFF"));
        QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(qFromLittleEndian<quint32>(d + 4), quint32(wav.size() - 8));
        QCOMPARE(qFromLittleEndian<quint16>(d + 20), quint16(1)); // PCM
        const int channels = qFromLittleEndian<quint16>(d + 22);
        const int rate = int(qFromLittleEndian<quint32>(d + 24));
        QCOMPARE(channels, 1);
        QVERIFY(rate == 22050 || rate == 44100);
        QCOMPARE(qFromLittleEndian<quint32>(d + 28), quint32(rate * 2));
        QCOMPARE(qFromLittleEndian<quint16>(d + 32), quint16(2));
        QCOMPARE(qFromLittleEndian<quint16>(d + 34), quint16(16));
        QCOMPARE(wav.mid(36, 4), QByteArray("data"));
        const int bytes = int(qFromLittleEndian<quint32>(d + 40));
        QCOMPARE(bytes, wav.size() - 44);

        const int n = bytes / 2;
        const double seconds = double(n) / rate;
        QVERIFY2(seconds > 0.5 && seconds < 2.0, qPrintable(QString::number(seconds)));
        int peak = 0;
        double mean = 0;
        for (int i = 0; i < n; ++i) {
            const int s = qFromLittleEndian<qint16>(d + 44 + 2 * i);
            peak = std::max(peak, std::abs(s));
            mean += s;
        }
        QVERIFY2(peak < 32000 && peak > 16000, qPrintable(QString::number(peak)));
        QVERIFY(std::abs(mean / n) < 100); // no offset to thump the speaker
        QVERIFY(std::abs(qFromLittleEndian<qint16>(d + 44)) < 100);
        QVERIFY(std::abs(qFromLittleEndian<qint16>(d + 44 + 2 * (n - 1))) < 100);
    }
};

QTEST_MAIN(TestPictures)
#include "test_pictures.moc"
