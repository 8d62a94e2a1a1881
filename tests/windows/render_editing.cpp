// Renders the list window with reminders (also with texts written elsewhere,
// without their final "+"), the editor with its date picker, with its kind
// list open and with the word under its text field, and both recurrence
// panels, to PNG files in <build>/renders, so that anyone can look at them.

#include "windows/editing_support.h"

#include <QPainter>

using namespace remindo;
using namespace remindo::test;

namespace {

QString RenderDir() { return QStringLiteral(REMINDO_RENDER_DIR); }

bool Save(const QImage& image, const char* name)
{
    return image.save(RenderDir() + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
}

// The window with its open drop-down list painted where the desktop shows it.
QImage WithPopup(QWidget& window, QComboBox* combo)
{
    QImage image = window.grab().toImage();
    QWidget* popup = combo->view()->window();
    const QPoint at = popup->mapToGlobal(QPoint(0, 0)) - window.mapToGlobal(QPoint(0, 0));
    QImage canvas(image.size().expandedTo(QSize(at.x() + popup->width(), at.y() + popup->height())),
                  QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter p(&canvas);
    p.drawImage(0, 0, image);
    p.drawImage(at, popup->grab().toImage());
    return canvas;
}

// The dialog over the editor, as the user sees them together.
QImage Over(QWidget& below, QWidget& above)
{
    QImage image = below.grab().toImage();
    QPainter p(&image);
    p.drawImage(above.pos() - below.pos(), above.grab().toImage());
    return image;
}

} // namespace

class RenderEditing : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(QDir().mkpath(RenderDir())); }

    void windows()
    {
        EditingRig r;
        const Date today = r.state.engineState.DataAkt;
        QVERIFY(r.OpenList());
        const QImage empty = r.dane.grab().toImage();
        r.Seed("Urodziny mamy+", DateFromYmd(1960, 12, 14), -4, 6, 1);
        r.Seed("Zapłacić rachunek za prąd+", DateFromYmd(2026, 1, 20), -3, 4, 1, 0, 2);
        r.Seed("Wypłata+", DateFromYmd(2026, 1, 30), -66, 3);
        r.Seed("Śmieci segregowane+wystawić przed furtkę+", DateFromYmd(2026, 1, 5), -2, 1);
        r.Seed("Wizyta u dentysty, godz. 15:30+", DateFromYmd(2026, 12, 17), 0, 2, 1);
        r.Seed("Podlać kwiaty+", today, 4, 0);
        r.Seed("Żółć, gęś i łódź — wszystkie polskie litery ąćęłńóśźż+", today, -1, 0);
        QVERIFY(r.OpenList());
        r.ClickRow(1);
        const QImage list = r.dane.grab().toImage();
        QCOMPARE(list.size(), QSize(386, 447));
        QVERIFY(Save(list, "dane"));
        // The reminders are listed inside the list's panel alone.
        QVERIFY(ChangedOnlyIn(empty, list, Place(ld::kPodListe)));

        r.ClickRow(2);
        r.ClickDane(ld::kEdytujWpis);
        QVERIFY(QTest::qWaitForWindowExposed(&r.editor));
        QVERIFY(Save(r.editor.grab().toImage(), "wprowadzane"));

        const QImage editor = r.editor.grab().toImage();
        r.ClickEditor(lw::kRozwinKalendarz);
        QVERIFY(r.editor.Picker()->IsOpen());
        const QImage picker = r.editor.grab().toImage();
        QCOMPARE(picker.size(), QSize(374, 395));
        QVERIFY(ChangedOnlyIn(editor, picker, Place(lw::kKalendarz)));
        QVERIFY(Save(picker, "wprowadzane-kalendarz"));

        r.ClickEditor(lw::kRozwinListe);
        QTRY_VERIFY(r.editor.KindBox()->view()->isVisible());
        QVERIFY(Save(WithPopup(r.editor, r.editor.KindBox()), "wprowadzane-lista"));
        r.editor.KindBox()->hidePopup();

        // Every X days: the editor's choice opens the dialog over it.
        r.ChooseKind(5);
        QVERIFY(QTest::qWaitForWindowExposed(&r.dialog));
        r.SetDays("15");
        const QImage fifteen = r.dialog.grab().toImage();
        r.SetDays("14");
        QVERIFY(Save(r.dialog.grab().toImage(), "czestosc-co-x-dni"));
        QVERIFY(ChangedOnlyIn(fifteen, r.dialog.grab().toImage(), Place(layout::czestosc::kCoIleDni)));
        QVERIFY(Save(Over(r.editor, r.dialog), "wprowadzane-czestosc-co-x-dni"));
        r.ClickDialog(layout::czestosc::kAnuluj);

        r.ChooseKind(6);
        QVERIFY(QTest::qWaitForWindowExposed(&r.dialog));
        QVERIFY(Save(r.dialog.grab().toImage(), "czestosc-dni-miesiaca"));
        ClickOn(r.dialog, Place(layout::czestosc::kRozwinListaJaki));
        QTRY_VERIFY(r.dialog.JakieBox()->view()->isVisible());
        QVERIFY(Save(WithPopup(r.dialog, r.dialog.JakieBox()), "czestosc-dni-miesiaca-lista"));
        r.dialog.JakieBox()->hidePopup();
        r.ClickDialog(layout::czestosc::kOkWOD);
        QVERIFY(Save(r.editor.grab().toImage(), "wprowadzane-po-wyborze"));
        r.ClickEditor(lw::kAnuluj);

        // A rule from elsewhere that no entry stands for.
        r.Seed("Reguła z innego programu+", today, -8, 2);
        r.ClickRow(r.dane.Lista()->count() - 1);
        r.ClickDane(ld::kEdytujWpis);
        QVERIFY(r.editor.RuleUnknown());
        QVERIFY(Save(r.editor.grab().toImage(), "wprowadzane-nieznana-regula"));
    }

    // Texts written elsewhere without the final "+": the list shows every
    // line of them, the editor opens with both lines.
    void textsWithoutTheFinalPlus()
    {
        EditingRig r;
        r.Seed("Urodziny mamy+", DateFromYmd(1960, 12, 14), -4, 6, 1);
        r.Seed("Odebrać paczkę z poczty+przed 18:00", DateFromYmd(2026, 12, 10), 0, 2, 1);
        r.Seed("Zadzwonić do hydraulika", DateFromYmd(2026, 12, 11), 0, 1);
        QVERIFY(r.OpenList());
        QCOMPARE(r.Lines(), (QStringList{QStringLiteral("Urodziny mamy "),
                                         QStringLiteral("Odebrać paczkę z poczty przed 18:00 "),
                                         QStringLiteral("Zadzwonić do hydraulika ")}));
        r.ClickRow(1);
        QVERIFY(Save(r.dane.grab().toImage(), "dane-bez-plusa"));
        r.ClickDane(ld::kEdytujWpis);
        QVERIFY(QTest::qWaitForWindowExposed(&r.editor));
        QCOMPARE(r.editor.Memo()->toPlainText(), QStringLiteral("Odebrać paczkę z poczty\nprzed 18:00"));
        QVERIFY(Save(r.editor.grab().toImage(), "wprowadzane-bez-plusa"));
        // A third line is refused, with the reason under the field.
        r.editor.Memo()->moveCursor(QTextCursor::End);
        r.TypeText(QStringLiteral("\n"));
        QVERIFY(r.editor.MemoHint()->isVisible());
        QVERIFY(Save(r.editor.grab().toImage(), "wprowadzane-dwa-wiersze"));
        r.ClickEditor(lw::kAnuluj);
    }
};

QTEST_MAIN(RenderEditing)
#include "render_editing.moc"
