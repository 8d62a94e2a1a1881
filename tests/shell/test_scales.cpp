// The windows on screens of 1x, 1.5x and 2x pixel density side by side (Qt's
// offscreen platform, tests/shell/screens.json): a window moved to the 2x
// screen is drawn anew for it, a true 2x rendering and not the 1x one
// enlarged, in its painted captions and in the text drawn at run time.
// Screenshots of the reminder window, the list window and the editor at
// each scale go to <build>/renders/scale-<ratio>-*.png.

#include "shell_rig.h"

#include "windows/editing_support.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <functional>

using namespace remindo;
using namespace remindo::test;

namespace {

const qreal kRatios[] = {1, 1.5, 2};

QScreen* ScreenOfRatio(qreal ratio)
{
    for (QScreen* s : QGuiApplication::screens())
        if (s->devicePixelRatio() == ratio)
            return s;
    return nullptr;
}

// How a 2x picture of a place stands to the 1x one. Text rendered for the
// screen's pixels crosses most of its edges within one pixel, and where it
// is not on the 1x pixel grid (curves, slants) it has detail that the 1x
// picture lacks. The 1x picture enlarged smoothly crosses no edge within one
// pixel; enlarged by repeating pixels, it has no detail of its own.
struct Edges {
    double steep = 0; // share of its edges crossed within one pixel
    double own = 0;   // its edge pixels that the pixel-repeated 1x picture lacks, to all

    bool TrueRendering() const { return steep >= 0.2 && own >= 0.1; }
};

Edges Measure(const QImage& twice, const QImage& once)
{
    const QImage g = twice.convertToFormat(QImage::Format_Grayscale8);
    const QImage doubled = once.convertToFormat(QImage::Format_Grayscale8)
                               .scaled(g.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    long edges = 0;
    long steep = 0;
    long own = 0;
    for (int y = 0; y < g.height(); ++y) {
        const uchar* row = g.constScanLine(y);
        const uchar* ref = doubled.constScanLine(y);
        for (int x = 1; x + 2 < g.width(); ++x) {
            const int d = std::abs(int(row[x + 1]) - int(row[x]));
            if (d < 24)
                continue;
            ++edges;
            // Steep: the step is most of the change across its neighbours.
            const auto [lo, hi] = std::minmax({row[x - 1], row[x], row[x + 1], row[x + 2]});
            steep += 10 * d >= 7 * (hi - lo);
            own += std::abs(int(row[x]) - int(ref[x])) >= 32;
        }
    }
    return {edges ? double(steep) / edges : 0, edges ? double(own) / edges : 0};
}

QString Describe(const Edges& e)
{
    return QStringLiteral("steep %1, own detail %2").arg(e.steep, 0, 'f', 3).arg(e.own, 0, 'f', 3);
}

// A place on a window and what is drawn there.
struct Region {
    const char* what;
    QRect place; // window pixels
};

// `show(ratio)` puts the window on the screen of that ratio; its grab there
// is saved, and at 2x each region must be a true rendering.
void CheckScales(const char* name, QWidget& window, const std::function<void(QScreen*)>& show,
                 const std::vector<Region>& regions)
{
    QImage once;
    for (const qreal ratio : kRatios) {
        QScreen* screen = ScreenOfRatio(ratio);
        show(screen);
        QCoreApplication::processEvents();
        QCOMPARE(window.screen(), screen);
        const QImage shot = window.grab().toImage();
        QCOMPARE(shot.size(), window.size() * ratio);
        QVERIFY(shot.save(QStringLiteral(REMINDO_RENDER_DIR "/scale-%1-%2.png").arg(ratio).arg(name)));
        if (ratio == 1)
            once = shot;
        if (ratio != 2)
            continue;
        for (const Region& r : regions) {
            const QRect device(r.place.topLeft() * 2, r.place.size() * 2);
            const QImage piece = once.copy(r.place);
            const Edges twice = Measure(shot.copy(device), piece);
            // The measure tells both enlargements of the 1x grab from a true rendering.
            const Edges repeated = Measure(piece.scaled(device.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation), piece);
            const Edges smooth = Measure(piece.scaled(device.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation), piece);
            QVERIFY2(!repeated.TrueRendering() && !smooth.TrueRendering(),
                     qPrintable(QStringLiteral("%1, %2: enlarged %3; %4").arg(name, r.what, Describe(repeated), Describe(smooth))));
            QVERIFY2(twice.TrueRendering(),
                     qPrintable(QStringLiteral("%1, %2 at 2x: %3").arg(name, r.what, Describe(twice))));
        }
    }
}

WorkArea AreaOf(QScreen* s)
{
    const QRect a = s->availableGeometry();
    return {a.left(), a.top(), a.left() + a.width(), a.top() + a.height()};
}

QPoint Inside(QScreen* s) { return s->availableGeometry().topLeft() + QPoint(40, 40); }

} // namespace

class TestScales : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!PicturesLinked())
            QSKIP("the painted pictures are not linked");
        for (const qreal ratio : kRatios)
            QVERIFY2(ScreenOfRatio(ratio), "tests/shell/screens.json is not in use");
        QVERIFY(QDir().mkpath(QStringLiteral(REMINDO_RENDER_DIR)));
    }

    void reminderWindow()
    {
        ShellRig r;
        namespace lg = layout::glowny;
        CheckScales("reminder", *r.glowny,
                    [&](QScreen* s) {
                        r.desktop.area = AreaOf(s);
                        r.glowny->ShowReminderWindow(0, Cp("8.12.2026 - wtorek\r\nWizyta u dentysty o 16:30\r\n"
                                                           "Zabrać kartę pacjenta"));
                    },
                    {{"the painted buttons", QRect(8, 5, 333, 27)},
                     {"the reminder's text", ToQRect(lg::kKomunikat)}});
    }

    void listAndEditor()
    {
        EditingRig r;
        r.Seed("Urodziny mamy+", D(1960, 12, 14), -4, 6, 1);
        r.Seed("Zapłacić rachunek za prąd+", D(2026, 1, 20), -3, 4, 1, 0, 2);
        r.Seed("Śmieci segregowane+wystawić przed furtkę+", D(2026, 1, 5), -2, 1);
        QVERIFY(r.OpenList());
        r.ClickRow(1);
        CheckScales("list", r.dane, [&](QScreen* s) { r.dane.move(Inside(s)); },
                    {{"the painted title", ToQRect(ld::kListwa)},
                     {"the listed reminders", ToQRect(ld::kPodListe)}});

        r.dane.move(Inside(ScreenOfRatio(1)));
        r.ClickDane(ld::kEdytujWpis);
        QVERIFY(QTest::qWaitForWindowExposed(&r.editor));
        r.ClickEditor(lw::kRozwinKalendarz);
        QVERIFY(r.editor.Picker()->IsOpen());
        const QPoint picker(lw::kKalendarz.x, lw::kKalendarz.y);
        CheckScales("editor", r.editor, [&](QScreen* s) { r.editor.move(Inside(s)); },
                    {{"a painted caption", QRect(16, 10, 200, 20)},
                     {"the typed text", ToQRect(lw::kTresc)},
                     {"the month grid", DatePicker::PlaceOf("ImCalendar").translated(picker)},
                     {"the picker's date", DatePicker::PlaceOf("LData").translated(picker)}});
    }
};

QTEST_MAIN(TestScales)
#include "test_scales.moc"
