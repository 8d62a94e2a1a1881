// The message box and the about window, answered through their real
// handlers: clicks at the painted buttons' places and letter keys.

#include "windows/chrome_support.h"

#include "windows/about.h"
#include "windows/warning.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace remindo;
using namespace remindo::test;

namespace {

const std::string kDelete = "Tego nie można cofnąć.\rCzy rzeczywiście usunąć?";

// Shows the box without its modal loop, ready for clicks and keys.
void Open(TFWarning& box, int kind, int icon = kIconInfo, const QString& text = QStringLiteral("x"))
{
    box.Fill(kind, icon, text);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
}

void Key(TFWarning& box, Qt::Key key, Qt::KeyboardModifiers mods = {})
{
    QTest::keyClick(box.windowHandle(), key, mods);
}

} // namespace

class TestWarning : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { TFWarning::SetDriver(nullptr); }

    void box_is_a_frameless_always_on_top_picture_of_its_size()
    {
        TFWarning box;
        QCOMPARE(box.size(), QSize(350, 150));
        QCOMPARE(box.windowType(), Qt::Tool);
        QVERIFY(box.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(box.windowFlags() & Qt::WindowStaysOnTopHint);
    }

    void every_button_gives_its_answer_and_closes_the_box_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("answer");
        QTest::newRow("Zamknij") << 1 << TFWarning::PlaceOf(kAnswerZamknij).center() << 0;
        QTest::newRow("close mark, information") << 1 << TFWarning::ClosePlace().center() << 0;
        QTest::newRow("Tak") << 3 << TFWarning::PlaceOf(kAnswerTak).center() << 1;
        QTest::newRow("Nie") << 3 << TFWarning::PlaceOf(kAnswerNie).center() << 2;
        QTest::newRow("Anuluj") << 3 << TFWarning::PlaceOf(kAnswerAnuluj).center() << 3;
        QTest::newRow("close mark, question") << 3 << TFWarning::ClosePlace().center() << 3;
        QTest::newRow("Tak, its corner") << 3 << QPoint(63, 116) << 1;
        QTest::newRow("Anuluj, its far corner") << 3 << QPoint(335, 141) << 3;
    }
    void every_button_gives_its_answer_and_closes_the_box()
    {
        QFETCH(int, kind);
        QFETCH(QPoint, at);
        QFETCH(int, answer);
        TFWarning box;
        QSignalSpy answered(&box, &QDialog::finished);
        Open(box, kind);
        QCOMPARE(box.WarningResult(), kAnswerNie); // the preset
        ClickAt(box, at);
        QCOMPARE(box.WarningResult(), answer);
        QVERIFY(box.isHidden());
        QCOMPARE(answered.count(), 1);
    }

    void clicks_away_from_the_offered_buttons_do_nothing()
    {
        TFWarning box;
        // In a question box the hidden Zamknij lies under Nie and Anuluj;
        // the gap between those two is inside it and must stay dead.
        Open(box, kQuestionBox);
        ClickAt(box, {246, 129});
        ClickAt(box, {175, 70});     // on the text
        ClickAt(box, {30, 25});      // on the icon
        ClickAt(box, {322, 7});      // just beside the close mark
        ClickAt(box, {152, 128});    // between Tak and Nie
        QVERIFY(box.isVisible());
        QCOMPARE(box.WarningResult(), kAnswerNie);
        box.hide();

        // In an information box the hidden Tak, Nie and Anuluj are dead.
        Open(box, kInformationBox);
        ClickAt(box, {70, 129});
        ClickAt(box, {300, 129});
        QVERIFY(box.isVisible());
        ClickAt(box, {200, 129}); // the Zamknij part of the old Nie place
        QCOMPARE(box.WarningResult(), kAnswerZamknij);
    }

    void pressing_on_a_button_and_releasing_elsewhere_is_no_answer()
    {
        TFWarning box;
        Open(box, kQuestionBox);
        PressAt(box, TFWarning::PlaceOf(kAnswerTak).center());
        ReleaseAt(box, {20, 130});
        QVERIFY(box.isVisible());
        QCOMPARE(box.WarningResult(), kAnswerNie);
    }

    void keyboard_starts_on_the_answer_that_changes_nothing_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("answer");
        QTest::newRow("information") << 1 << "ImButZamknij" << 0;
        QTest::newRow("question") << 3 << "ImButAnuluj" << 3;
    }

    void keyboard_starts_on_the_answer_that_changes_nothing()
    {
        QFETCH(int, kind);
        QFETCH(QString, button);
        QFETCH(int, answer);
        TFWarning box;
        Open(box, kQuestionBox + kInformationBox - kind); // the other kind first: the focus must move
        Open(box, kind);
        QTRY_VERIFY(box.focusWidget());
        QCOMPARE(box.focusWidget()->objectName(), button);
        Key(box, Qt::Key_Return);
        QCOMPARE(box.WarningResult(), answer);
    }

    void letter_keys_answer_only_for_offered_buttons_in_either_case()
    {
        TFWarning box;
        Open(box, kInformationBox);
        // (Enter and Space press the focused button, Escape closes the box
        // unanswered: the keyboard's ways.)
        for (Qt::Key k : {Qt::Key_T, Qt::Key_N, Qt::Key_A})
            Key(box, k);
        QVERIFY(box.isVisible());
        QCOMPARE(box.WarningResult(), kAnswerNie);
        Key(box, Qt::Key_Z, Qt::ShiftModifier);
        QCOMPARE(box.WarningResult(), kAnswerZamknij);
        QVERIFY(box.isHidden());

        const struct {
            char key;
            int answer;
        } question[] = {{'t', 1}, {'T', 1}, {'n', 2}, {'N', 2}, {'a', 3}, {'A', 3}};
        for (const auto& q : question) {
            Open(box, kQuestionBox);
            Key(box, Qt::Key_Z);
            QVERIFY(box.isVisible());
            QTest::keyClick(box.windowHandle(), q.key);
            QCOMPARE(box.WarningResult(), q.answer);
            QVERIFY(box.isHidden());
        }
    }

    void box_is_refilled_for_each_kind_and_shows_text_as_written()
    {
        TFWarning box;
        box.Fill(kQuestionBox, kIconInfo, QString::fromStdString(kDelete));
        QVERIFY(box.Offers(kAnswerTak) && box.Offers(kAnswerNie) && box.Offers(kAnswerAnuluj));
        QVERIFY(!box.Offers(kAnswerZamknij));
        QCOMPARE(box.Text(), QStringLiteral("Tego nie można cofnąć.\nCzy rzeczywiście usunąć?"));

        box.Fill(kInformationBox, kIconAttention, QStringLiteral("a\r\nb\rc <b>d</b> &amp;"));
        QVERIFY(!box.Offers(kAnswerTak) && !box.Offers(kAnswerNie) && !box.Offers(kAnswerAnuluj));
        QVERIFY(box.Offers(kAnswerZamknij));
        QCOMPARE(box.Text(), QStringLiteral("a\nb\nc <b>d</b> &amp;"));
        auto* text = box.findChild<QLabel*>(QStringLiteral("LTekstWarning"));
        QVERIFY(text);
        QCOMPARE(text->textFormat(), Qt::PlainText);

        // An unknown kind still leaves a way out.
        box.Fill(2, 7, QString());
        QVERIFY(box.Offers(kAnswerZamknij));

        if (PicturesLinked()) {
            auto* tak = box.findChild<ClickArea*>(QStringLiteral("ImButTak"));
            auto* icon = box.findChild<QLabel*>(QStringLiteral("ImIkona"));
            tak->setPixmap(QPixmap());
            box.Fill(kQuestionBox, kIconQuestion, QString());
            QVERIFY(!tak->pixmap().isNull()); // reloaded on every call
            QCOMPARE(icon->pixmap().toImage(),
                     ExpectedPicture(QStringLiteral("ikopytanie"), icon->devicePixelRatioF())
                         .convertToFormat(icon->pixmap().toImage().format()));
            QVERIFY(!box.Background()->pixmap().isNull());
        }
    }

    void modal_box_returns_the_answer_given_through_the_window()
    {
        TFWarning box;
        Messages& messages = box;
        int shownKind = 0;
        TFWarning::SetDriver([&](TFWarning& b) {
            QVERIFY(b.isVisible());
            QVERIFY(b.IsModalOpen());
            QCOMPARE(b.windowModality(), Qt::ApplicationModal);
            shownKind = b.Offers(kAnswerTak) ? kQuestionBox : kInformationBox;
            ClickAt(b, TFWarning::PlaceOf(kAnswerAnuluj).center());
        });
        QCOMPARE(messages.ShowWarning(kQuestionBox, kIconInfo, kDelete), kAnswerAnuluj);
        QCOMPARE(shownKind, int(kQuestionBox));
        QCOMPARE(box.WarningResult(), kAnswerAnuluj);
        QVERIFY(box.isHidden());
        QVERIFY(!box.IsModalOpen());
        QCOMPARE(box.windowModality(), Qt::NonModal);

        TFWarning::SetDriver([](TFWarning& b) { QTest::keyClick(b.windowHandle(), 'z'); });
        QCOMPARE(messages.ShowWarning(kInformationBox, kIconInfo, "Zaznacz pozycję na liście."),
                 kAnswerZamknij);
    }

    // The desktop's close of a question (Alt+F4) cancels, as the close mark
    // does; it never answers the Nie that drops what the question guards.
    void box_closed_any_other_way_answers_nie()
    {
        TFWarning box;
        TFWarning::SetDriver([](TFWarning& b) { b.close(); });
        QCOMPARE(box.ShowWarning(kQuestionBox, kIconInfo, "?"), kAnswerAnuluj);
        QCOMPARE(box.ShowWarning(kInformationBox, kIconInfo, "!"), kAnswerNie);

        // Escape is the dialog's own way to close it, with the same answers.
        TFWarning::SetDriver([](TFWarning& b) { Key(b, Qt::Key_Escape); });
        QCOMPARE(box.ShowWarning(kQuestionBox, kIconInfo, "?"), kAnswerAnuluj);
        QCOMPARE(box.ShowWarning(kInformationBox, kIconInfo, "!"), kAnswerNie);

        // A driver that answers nothing cannot leave the test hanging.
        TFWarning::SetDriver([](TFWarning& b) { Key(b, Qt::Key_X); });
        QCOMPARE(box.ShowWarning(kQuestionBox, kIconInfo, "?"), kAnswerNie);
        QVERIFY(box.isHidden());
    }

    void box_asked_for_while_another_waits_gets_its_own_window()
    {
        // A timer's work inside the modal loop (a save after a reminder was
        // blocked) may need a box while the list window's question is open.
        TFWarning box;
        int inner = -1;
        QString outerTextDuringInner;
        TFWarning::SetDriver([&](TFWarning& b) {
            if (&b == &box) {
                TFWarning::SetDriver([&](TFWarning& nested) {
                    QVERIFY(&nested != &box);
                    QVERIFY(box.isVisible());
                    outerTextDuringInner = box.Text();
                    Key(nested, Qt::Key_Z);
                });
                inner = box.ShowWarning(kInformationBox, kIconInfo,
                                        "Problemy z zapisaniem pliku danych.\rCzy masz należyte uprawnienia?");
                QVERIFY(box.isVisible());
                Key(box, Qt::Key_T);
            }
        });
        QCOMPARE(box.ShowWarning(kQuestionBox, kIconInfo, "Dane zostały zmienione.\rZapisać zmiany?"),
                 kAnswerTak);
        QCOMPARE(inner, int(kAnswerZamknij));
        QCOMPARE(outerTextDuringInner, QStringLiteral("Dane zostały zmienione.\nZapisać zmiany?"));
    }

    void modal_box_without_a_driver_ends_when_the_user_clicks()
    {
        // The real path with no seam at all: a zero timer clicks as a user would.
        TFWarning box;
        QTimer::singleShot(0, &box, [&] { ClickAt(box, TFWarning::PlaceOf(kAnswerTak).center()); });
        QCOMPARE(box.ShowWarning(kQuestionBox, kIconQuestion, "Zapisać?"), kAnswerTak);
    }

    void about_window_closes_only_on_its_painted_tick_and_cannot_be_dragged()
    {
        TFAbout about;
        QCOMPARE(about.size(), QSize(386, 243));
        QCOMPARE(about.windowType(), Qt::Tool);
        QCOMPARE(about.LZapisz()->geometry(), QRect(319, 202, 27, 20));
        QCOMPARE(about.LZapisz()->cursor().shape(), Qt::PointingHandCursor);
        about.Open();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        const QPoint centred = about.pos();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(centred, screen.topLeft() + QPoint((screen.width() - 386) / 2, (screen.height() - 243) / 2));

        PressAt(about, {190, 8});
        MoveToScreen(about, about.pos() + QPoint(250, 60));
        ReleaseAt(about, {250, 60});
        QCOMPARE(about.pos(), centred);
        ClickAt(about, {310, 210});
        ClickAt(about, {40, 120});
        QVERIFY(about.isVisible());
        ClickAt(about, {332, 212});
        QVERIFY(about.isHidden());
    }
};

QTEST_MAIN(TestWarning)
#include "test_warning.moc"
