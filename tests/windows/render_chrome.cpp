// Renders the message box in both kinds with each icon, and the about
// window, to PNG files in <build>/renders, so that anyone can look at them.

#include "windows/chrome_support.h"

#include "store/datafile.h"
#include "windows/about.h"
#include "windows/warning.h"

#include <QDir>
#include <QTest>

using namespace remindo;

namespace {

QString RenderDir()
{
    return QStringLiteral(REMINDO_RENDER_DIR);
}

using test::Differences;

} // namespace

class RenderChrome : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(QDir().mkpath(RenderDir())); }

    void message_box_in_both_kinds_with_each_icon()
    {
        const struct {
            int kind;
            const char* name;
            const char* text;
        } kinds[] = {
            {kInformationBox, "information", "Plik danych nie istnieje.\rUtwórz nowy plik."},
            {kQuestionBox, "question", "Dane zostały zmienione.\rZapisać zmiany?"},
        };
        const char* icons[] = {"ikoinfo", "ikopytanie", "ikouwaga"};
        TFWarning box;
        for (const auto& k : kinds) {
            for (int icon = 1; icon <= 3; ++icon) {
                box.Fill(k.kind, icon, QString());
                const QImage blank = box.grab().toImage();
                box.Fill(k.kind, icon, QString::fromUtf8(k.text));
                const QImage image = box.grab().toImage();
                QCOMPARE(image.size(), QSize(350, 150));
                // The text is drawn inside its place and nowhere else.
                QVERIFY(Differences(image, blank, QRect(17, 51, 313, 53)) > 50);
                QCOMPARE(Differences(image, blank, QRect(0, 0, 350, 51)), 0);
                const QString file = QStringLiteral("%1/warning-%2-%3.png")
                                         .arg(RenderDir(), QLatin1String(k.name), QLatin1String(icons[icon - 1]));
                QVERIFY2(image.save(file), qPrintable(file));
            }
        }
    }

    // The damaged-file message names the copy kept beside the file, and its
    // three lines stand in the box's text place.
    void damaged_file_message_names_the_copy()
    {
        TFWarning box;
        box.Fill(kInformationBox, kIconInfo,
                 QString::fromStdString(DamagedMessage("/tmp/Dane.dat.uszkodzony-20261208-090000-2")));
        const QLabel* label = box.findChild<QLabel*>(QStringLiteral("LTekstWarning"));
        QCOMPARE(label->text(),
                 QStringLiteral("Plik danych jest uszkodzony.\nUtwórz nowy plik.\nKopia: Dane.dat.uszkodzony-20261208-090000-2"));
        QVERIFY(label->heightForWidth(label->width()) <= label->height());
        QVERIFY(box.grab().toImage().save(RenderDir() + QStringLiteral("/damaged-file.png")));
    }

    void about_window()
    {
        TFAbout about;
        const QImage image = about.grab().toImage();
        QCOMPARE(image.size(), QSize(386, 243));
        QVERIFY(image.save(RenderDir() + QStringLiteral("/about.png")));
    }
};

QTEST_MAIN(RenderChrome)
#include "render_chrome.moc"
