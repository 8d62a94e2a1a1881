// The running program's syncing against a real Radicale, the phone
// (python3-caldav) and gnome-keyring: at the start, after a save in the list
// window, with the list window's edits waiting, through a server that
// stalls, from the sync window, and with a wrong password.
#include "caldav/harness.h"
#include "shell/shell_rig.h"

#include "platform/net/passwordstore.h"
#include "shell/syncdriver.h"
#include "shell/windowset.h"
#include "sync/account.h"
#include "windows/dane.h"
#include "windows/synchronizacja.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>

using namespace remindo;
using namespace remindo::test;

namespace {

const QString kUser = QStringLiteral("ania");
const QString kPassword = QString::fromUtf8("hasło 9");

struct ProgramRig : ShellEnv {
    ScriptedMessages box;
    std::unique_ptr<TestState> state;
    std::unique_ptr<WindowSet> windows;

    ProgramRig()
    {
        state = MakeState();
        QDir().mkpath(Folder());
        windows = std::make_unique<WindowSet>(*state, Services());
        windows->program->Timerek().stop();
        state->messages.SetTarget(&box); // a box would be counted, never shown
    }
    ~ProgramRig()
    {
        windows.reset();
        state.reset();
    }
    QString Folder() const { return dir.path() + "/Vendly/Remindo"; }
    SyncDriver& Driver() { return *windows->sync; }
    // Until the sync under way (or the next one) has ended.
    bool Synced(int limitMs = 60000)
    {
        QSignalSpy ended(&Driver(), &SyncDriver::finished);
        return ended.wait(limitMs);
    }
    void Keep(const QString& server, const QString& password)
    {
        sync::SyncAccount a;
        a.server = server.toStdString();
        a.user = kUser.toStdString();
        QVERIFY(sync::WriteAccount(sync::AccountPath(Folder().toStdString()), a));
        QVERIFY(net::PasswordStore().Store(a.server, a.user, password.toStdString()).ok());
    }
    QStringList Texts() const
    {
        QStringList out;
        for (const Komunikat& k : state->AppState::list().items)
            out << QString::fromStdString(Utf8FromCp1250(k.Tresc));
        return out;
    }
    QString Calendar() const
    {
        QFile f(Folder() + "/Sync.dat");
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray& line : f.readAll().split('\n'))
                if (line.startsWith("calendar "))
                    return QString::fromUtf8(QByteArray::fromHex(line.mid(9)));
        return {};
    }
};

// Typed key by key, Polish letters too.
void Type(QWidget* field, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &press);
    }
}

bool PhoneHas(const Radicale& server, const QString& calendar, const QString& text)
{
    const std::optional<QString> listed = RunScript("phone.py", {calendar, server.User(), server.Password(), "list"});
    return listed && listed->contains(text);
}

} // namespace

class TestSyncProgram : public QObject {
    Q_OBJECT
    Radicale server_{kUser, kPassword};

private slots:
    void initTestCase() { QVERIFY(server_.Start()); }

    // The start syncs, a save in the list window goes up, and the phone's
    // event waits while the list window's edits do.
    void startSaveAndWaitingEdits()
    {
        QString calendar;
        {
            ProgramRig first;
            first.Keep(server_.Url(), kPassword);
            first.windows->program->TimerekTimer();
            QVERIFY(first.Synced());
            calendar = first.Calendar();
            QVERIFY(!calendar.isEmpty());
        }
        QVERIFY(Phone(server_, calendar, {"add", "phone-1", QString::fromUtf8("Urodziny Zosi")}));

        ProgramRig rig; // another computer of the same user
        rig.Keep(server_.Url(), kPassword);
        rig.windows->program->TimerekTimer();
        QVERIFY(rig.Synced());
        QVERIFY2(rig.Texts().join('|').contains(QString::fromUtf8("Urodziny Zosi")), qPrintable(rig.Texts().join('|')));
        rig.box.shown.clear(); // the start's "Plik danych nie istnieje"

        // A reminder added and saved in the list window reaches the phone.
        TFDane& dane = *rig.windows->dane;
        dane.Open();
        rig.state->session().AddReminder(Cp1250FromUtf8("Dentysta").text + "+", DateFromYmd(2027, 1, 5), 0, 1, 0, 0, 1);
        ClickOn(dane, ToQRect(layout::dane::kZapisz));
        QVERIFY(rig.Synced());
        QVERIFY(PhoneHas(server_, calendar, "Dentysta"));

        // Edits waiting in the list window: the phone's new event stays away
        // from the list until they are saved, and nothing typed is lost.
        QVERIFY(Phone(server_, calendar, {"add", "phone-2", QString::fromUtf8("Przegląd auta")}));
        dane.Open();
        rig.state->session().AddReminder(Cp1250FromUtf8("Fryzjer").text + "+", DateFromYmd(2027, 1, 6), 0, 1, 0, 0, 1);
        rig.Driver().SyncNow();
        QVERIFY(rig.Synced());
        QVERIFY(!rig.Texts().join('|').contains(QString::fromUtf8("Przegląd")));
        QVERIFY(rig.Texts().join('|').contains("Fryzjer"));
        QVERIFY(rig.state->session().DataChanged());
        ClickOn(dane, ToQRect(layout::dane::kZapisz));
        QVERIFY(rig.Synced());
        QVERIFY(rig.Texts().join('|').contains(QString::fromUtf8("Przegląd auta")));
        QVERIFY(PhoneHas(server_, calendar, "Fryzjer"));
        QVERIFY(rig.box.shown.empty());
    }

    // A server that stalls holds the sync, never the windows: a click on the
    // list window is handled while the sync still waits for its answer.
    void stallingServer()
    {
        QTemporaryDir work;
        const QString log = work.filePath("proxy.log");
        Proxy proxy({"stall", "30", log});
        QVERIFY(proxy.Port() > 0);
        ProgramRig rig;
        rig.Keep(QStringLiteral("http://127.0.0.1:%1/").arg(proxy.Port()), kPassword);
        TFDane& dane = *rig.windows->dane;
        rig.windows->program->TimerekTimer(); // the start's sync
        dane.Open();
        QTRY_VERIFY_WITH_TIMEOUT(QFile(log).size() > 0, 20000); // the proxy holds the request
        QVERIFY(rig.Driver().Running());
        ClickOn(dane, ToQRect(layout::dane::kAnuluj));
        QVERIFY(!dane.isVisible());
        QVERIFY(rig.Driver().Running());
        QVERIFY(!FileBytes(log.toStdString()).contains("released"));
        // The rig goes with the sync under way: cancelled, not waited out.
    }

    // The sync window keeps the account (the password in the keyring only),
    // "Synchronizuj teraz" syncs and shows how it went; a wrong password is
    // a quiet line there and no box.
    void syncWindow()
    {
        ProgramRig rig;
        TFSynchronizacja& w = *rig.windows->synchronizacja;
        QVERIFY(rig.windows->program->ActivateAction("synchronizuj"));
        QVERIFY(w.isVisible());
        const QString server = server_.Url();
        for (int row = 0; row < 4; ++row)
            w.Field(row)->clear();
        Type(w.Field(0), server);
        Type(w.Field(1), kUser);
        Type(w.Field(2), kPassword);
        Type(w.Field(3), "Okno");
        ClickOn(w, ToQRect(layout::synchronizacja::kZapisz));
        QVERIFY(rig.Synced());
        QVERIFY(!w.isVisible());
        sync::SyncAccount kept;
        QCOMPARE(sync::ReadAccount(sync::AccountPath(rig.Folder().toStdString()), kept), sync::AccountRead::Read);
        QCOMPARE(QString::fromStdString(kept.server), server);
        QCOMPARE(kept.calendar, std::string("Okno"));
        QCOMPARE(QString::fromStdString(net::PasswordStore().Read(kept.server, kept.user).password), kPassword);
        // No file of ours holds the password.
        for (const QString& name : QDir(rig.Folder()).entryList(QDir::Files))
            QVERIFY2(!FileBytes((rig.Folder() + "/" + name).toStdString()).contains(kPassword.toUtf8()),
                     qPrintable(name));

        w.Open();
        QVERIFY(w.Field(2)->text().isEmpty()); // never shown back
        ClickOn(w, ToQRect(layout::synchronizacja::kSynchronizuj));
        QVERIFY(rig.Synced());
        QVERIFY2(w.LWynik()->text().contains(QString::fromUtf8("wysłano")), qPrintable(w.LWynik()->text()));

        QVERIFY(net::PasswordStore().Store(kept.server, kept.user, "zle").ok());
        ClickOn(w, ToQRect(layout::synchronizacja::kSynchronizuj));
        QVERIFY(rig.Synced());
        QVERIFY2(w.LWynik()->text().contains(QString::fromUtf8("błąd: serwer nie przyjął nazwy użytkownika lub hasła")), qPrintable(w.LWynik()->text()));
        QVERIFY(rig.box.shown.empty());
        QVERIFY(w.isVisible());
    }

    // Run alone on a bus without a Secret Service (test_syncprogram_nokeyring):
    // the window says so in one line, and no account is kept.
    void noKeyring()
    {
        if (qEnvironmentVariable("REMINDO_TEST_KEYRING") != "absent")
            QSKIP("for the bus without a Secret Service");
        ProgramRig rig;
        TFSynchronizacja& w = *rig.windows->synchronizacja;
        w.Open();
        QTRY_VERIFY_WITH_TIMEOUT(w.LUwaga()->text().contains("Secret Service"), 20000);
        Type(w.Field(0), server_.Url());
        Type(w.Field(1), kUser);
        Type(w.Field(2), kPassword);
        ClickOn(w, ToQRect(layout::synchronizacja::kZapisz));
        QTRY_VERIFY_WITH_TIMEOUT(!w.LUwaga()->text().isEmpty(), 20000);
        QVERIFY(w.isVisible());
        QVERIFY(!QFile::exists(rig.Folder() + "/Sync.ini"));
        QVERIFY(rig.box.shown.empty());
    }
};

QTEST_MAIN(TestSyncProgram)
#include "test_syncprogram.moc"
