// Renders the settings dialog and the calendar window (a week with
// reminders, with the month picker open, the week of Easter, and a month's
// last day standing in for the 31st) to PNG files in <build>/renders, for a
// look by eye and for the README.

#include "windows/chrome_support.h"

#include "windows/kalendarz.h"
#include "windows/datepicker.h"
#include "app/staterig.h"
#include "windows/synchronizacja.h"
#include "windows/ustawienia.h"
#include "app/syncservice.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QTest>

using namespace remindo;

namespace {

QString RenderDir() { return QStringLiteral(REMINDO_RENDER_DIR); }

using Rig = test::StateRig;

// The reminders the pictures show.
void AddSamples(Rig& r)
{
    const Date today = r.clock.Today();
    r.Add("Urodziny Ani+kupić kwiaty+", DateFromYmd(1990, 12, 9), -4);
    r.Add("Przegląd samochodu+", AddDays(today, 2));
    r.Add("Składka ubezpieczenia+", DateFromYmd(2026, 1, 10), -3);
    r.Add("Spotkanie zespołu+", DateFromYmd(2026, 1, 7), -2);
    r.Add("Basen+", DateFromYmd(2026, 1, 3), -56);
    r.Add("Zapłacić za prąd+", AddDays(today, 1), 0, 1);
    r.Add("Podlać kwiaty na balkonie, na parapecie w kuchni i w pokoju od ogrodu+", today, 3);
}

bool Save(QWidget& w, const char* name, QSize size)
{
    const QImage image = w.grab().toImage();
    return image.size() == size && image.save(RenderDir() + QLatin1Char('/') + QLatin1String(name));
}

// The syncing as the sync window sees it, after a sync that went well.
class ShownSync final : public SyncService {
public:
    sync::SyncAccount Account() const override
    {
        sync::SyncAccount a;
        a.server = "https://chmura.example.org/remote.php/dav/";
        a.user = "ania";
        return a;
    }
    void SaveAccount(const sync::SyncAccount&, const std::string&, std::function<void(const std::string&)> done) override
    {
        done({});
    }
    void SyncNow() override {}
    bool Running() const override { return false; }
    std::string LastLine() const override { return "10.12.2026 08:15: wysłano 2, odebrano 1"; }
    std::string KeyringLine() const override { return keyring; }
    void ProbeKeyring() override {}
    void Follow(std::function<void()>) override {}
    std::string keyring;
};

} // namespace

class RenderDialogs : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(QDir().mkpath(RenderDir())); }

    // With the keyring missing too, so that both lines show.
    void syncWindow()
    {
        ShownSync service;
        service.keyring = "Brak usługi haseł (Secret Service): hasła nie można przechować, więc "
                          "synchronizacja nie działa.";
        TFSynchronizacja window(service);
        window.Open();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(Save(window, "synchronizacja.png", QSize(386, 300)));
    }

    void settingsDialog()
    {
        Rig r;
        TFUstawienia dialog(r.state);
        dialog.Open();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(Save(dialog, "ustawienia.png", QSize(386, 243)));

        // Each value is drawn in its own place.
        const QImage before = dialog.grab().toImage();
        r.state.settings.UkryjPo += 1;
        dialog.Open();
        QVERIFY(test::ChangedOnlyIn(before, dialog.grab().toImage(), ToQRect(layout::ustawienia::kUkryjPo)));
        r.state.settings.UkryjPo -= 1;
        r.state.settings.SoundOn = !r.state.settings.SoundOn;
        dialog.Open();
        QVERIFY(test::ChangedOnlyIn(before, dialog.grab().toImage(), ToQRect(layout::ustawienia::kPtaszek2)));
    }

    void calendarWindow()
    {
        Rig r;
        TFkalendarz window(r.state);
        window.Open();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage empty = window.grab().toImage();
        AddSamples(r);
        window.Open();
        QVERIFY(Save(window, "kalendarz.png", QSize(500, 500)));
        // The reminders are listed inside the listing's viewport alone.
        QVERIFY(test::ChangedOnlyIn(empty, window.grab().toImage(), ToQRect(layout::kalendarz::kPodImgKalendarz)));

        // The week choice's third entry opens the month picker.
        test::ClickOn(window, ToQRect(layout::kalendarz::kRozwinKalendarz));
        QAbstractItemView* view = window.KtoryBox()->view();
        QVERIFY(view->isVisible());
        view->setCurrentIndex(window.KtoryBox()->model()->index(2, 0));
        QTest::keyClick(view, Qt::Key_Return);
        QVERIFY(window.PKalendarz()->isVisible());
        QVERIFY(Save(window, "kalendarz-wybor.png", QSize(500, 500)));
    }

    void calendarAtEaster()
    {
        // The week that ends on Easter Sunday 2026, scrolled down to it.
        Rig r(DateFromYmd(2026, 4, 1));
        AddSamples(r);
        TFkalendarz window(r.state);
        window.Open();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.Listwa()->setValue(window.Listwa()->maximum());
        QVERIFY(Save(window, "kalendarz-wielkanoc.png", QSize(500, 500)));
    }

    void calendarAtAMonthEnd()
    {
        // The week that ends on Sunday 28 February 2027, scrolled down to it:
        // the rent due on the 31st from January stands on the month's last day.
        Rig r(DateFromYmd(2027, 2, 24));
        AddSamples(r);
        r.Add("Czynsz - ostatni dzień miesiąca+", DateFromYmd(2027, 1, 31), -3);
        TFkalendarz window(r.state);
        window.Open();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const Zdarzenie& sunday = r.state.calendar.Tydzien[6];
        QCOMPARE(sunday.Dzien, DateFromYmd(2027, 2, 28));
        QCOMPARE(sunday.Zdarzenia, std::vector<int32_t>{r.state.list.ReminderCount() - 1});
        window.Listwa()->setValue(window.Listwa()->maximum());
        QVERIFY(Save(window, "kalendarz-koniec-miesiaca.png", QSize(500, 500)));
    }
};

QTEST_MAIN(RenderDialogs)
#include "render_dialogs.moc"
