// The CalDAV client and its Qt transport against a real Radicale, with the
// phone (python3-caldav) writing to the same calendar, and the faults a
// sync meets: a wrong password, a 412, a server killed or stalled, a cut
// connection, an untrusted certificate, plain http:// elsewhere, a redirect
// elsewhere. The request counts of discovery and of listing 1 000 events
// are measured here.
#include "caldav/client.h"
#include "harness.h"
#include "platform/net/httptransport.h"
#include "platform/net/netthread.h"

#include <QFile>
#include <QTimer>

#include <atomic>
#include <set>

using namespace remindo;
using namespace remindo::caldav;
using namespace remindo::test;
using remindo::net::QtHttpTransport;
using remindo::net::TransportOptions;

namespace {

std::string Event(const std::string& uid, const std::string& summary)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Remindo tests//EN\r\nBEGIN:VEVENT\r\nUID:" + uid +
           "\r\nDTSTAMP:20261201T120000Z\r\nDTSTART;VALUE=DATE:20261224\r\nSUMMARY:" + summary +
           "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

std::string UidOf(const std::string& ical)
{
    const size_t at = ical.find("UID:");
    return at == std::string::npos ? std::string() : ical.substr(at + 4, ical.find_first_of("\r\n", at) - at - 4);
}

// The same address through another port (a proxy's).
std::string OnPort(const std::string& url, int port)
{
    const size_t slash = url.find('/', 8);
    return "http://127.0.0.1:" + std::to_string(port) + url.substr(slash);
}

// Passes requests on, and kills the server before the request numbered `killBefore`.
class KillingTransport final : public HttpTransport {
public:
    KillingTransport(HttpTransport& inner, Radicale& server, int killBefore)
        : inner_(inner), server_(server), killBefore_(killBefore) {}
    HttpResponse Send(const HttpRequest& request) override
    {
        if (++count_ == killBefore_)
            server_.Kill();
        return inner_.Send(request);
    }

private:
    HttpTransport& inner_;
    Radicale& server_;
    int killBefore_;
    int count_ = 0;
};

} // namespace

class TestCalDavServer : public QObject {
    Q_OBJECT

    Radicale server_{"jan", QString::fromUtf8("hasło:Żółw 1")};
    std::string calendar_;

    TransportOptions Options(std::chrono::milliseconds timeout = std::chrono::seconds(120)) const
    {
        TransportOptions o;
        o.user = server_.User().toStdString();
        o.password = server_.Password().toStdString();
        o.timeout = timeout;
        return o;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(server_.Start());
        QtHttpTransport t(Options());
        Client c(t);
        const auto account = c.Discover(server_.Url().toStdString());
        QVERIFY2(account.ok(), account.status.message.c_str());
        const auto made = c.UseCalendar(account.value, "Remindo");
        QVERIFY2(made.ok(), made.status.message.c_str());
        calendar_ = made.value.url;
    }

    void cleanupTestCase() { server_.Stop(); }

    void discoversTheCalendarItMade()
    {
        QtHttpTransport t(Options());
        Client c(t);
        const std::string root = server_.Url().toStdString();
        const auto account = c.Discover(root);
        QVERIFY2(account.ok(), account.status.message.c_str());
        qInfo("requests for a discovery from the server's address: %zu", c.Requests());
        QCOMPARE(account.value.principal, root + "jan/");
        QCOMPARE(account.value.home, root + "jan/");
        QCOMPARE(account.value.calendars.size(), size_t(1));
        const Calendar& cal = account.value.calendars[0];
        QCOMPARE(cal.url, calendar_);
        QCOMPARE(cal.displayName, std::string("Remindo"));
        QVERIFY(cal.events);
        QVERIFY(!cal.syncToken.empty());
        QVERIFY(!cal.ctag.empty());
        // Found again, not made again.
        const size_t before = c.Requests();
        QCOMPARE(c.UseCalendar(account.value, "Remindo").value.url, calendar_);
        QCOMPARE(c.Requests(), before);
        // A calendar's own address, and the principal's.
        const auto direct = c.Discover(calendar_);
        QVERIFY2(direct.ok(), direct.status.message.c_str());
        QVERIFY(direct.value.principal.empty());
        QCOMPARE(direct.value.calendars.size(), size_t(1));
        QCOMPARE(direct.value.calendars[0].url, calendar_);
        QCOMPARE(c.UseCalendar(direct.value, "Inna nazwa").value.url, calendar_);
        const auto principal = c.Discover(root + "jan/");
        QVERIFY2(principal.ok(), principal.status.message.c_str());
        QCOMPARE(principal.value.calendars.size(), size_t(1));
    }

    void writesAgainstEtags()
    {
        QtHttpTransport t(Options());
        Client c(t);
        const std::string href = Client::MemberUrl(calendar_, "w-1@remindo ł");
        const auto created = c.Put(href, Event("w-1@remindo ł", "Pierwszy"), Precondition::Create());
        QVERIFY2(created.ok(), created.status.message.c_str());
        QVERIFY(!created.value.empty());
        QCOMPARE(c.Put(href, Event("w-1@remindo ł", "Drugi raz"), Precondition::Create()).status.outcome,
                 Outcome::PreconditionFailed);
        const auto got = c.Get(href);
        QVERIFY2(got.ok(), got.status.message.c_str());
        QCOMPARE(got.value.etag, created.value);
        QVERIFY(got.value.data.find("SUMMARY:Pierwszy") != std::string::npos);
        const auto updated = c.Put(href, Event("w-1@remindo ł", "Zmieniony"), Precondition::Match(created.value));
        QVERIFY2(updated.ok(), updated.status.message.c_str());
        QVERIFY(updated.value != created.value);
        QCOMPARE(c.Put(href, Event("w-1@remindo ł", "Stary"), Precondition::Match(created.value)).status.outcome,
                 Outcome::PreconditionFailed);
        QCOMPARE(c.Delete(href, created.value).outcome, Outcome::PreconditionFailed);
        QVERIFY(c.Get(href).value.data.find("SUMMARY:Zmieniony") != std::string::npos);
        QVERIFY(c.Delete(href, updated.value).ok());
        QCOMPARE(c.Get(href).status.outcome, Outcome::Gone);
        QCOMPARE(c.Delete(href, updated.value).outcome, Outcome::Gone);
    }

    // The phone writes between the listing and the write: 412, and the
    // phone's version stays.
    void phoneWritesBetweenListingAndWriting()
    {
        QtHttpTransport t(Options());
        Client c(t);
        const std::string href = Client::MemberUrl(calendar_, "race-1");
        QVERIFY(c.Put(href, Event("race-1", "Remindo"), Precondition::Create()).ok());
        const auto listed = c.Members(calendar_);
        QVERIFY2(listed.ok(), listed.status.message.c_str());
        std::string etag;
        for (const Member& m : listed.value)
            if (m.href == href)
                etag = m.etag;
        QVERIFY(!etag.empty());
        QVERIFY(Phone(server_, QString::fromStdString(calendar_), {"edit", "race-1", "Z telefonu"}));
        const auto put = c.Put(href, Event("race-1", "Remindo znowu"), Precondition::Match(etag));
        QCOMPARE(put.status.outcome, Outcome::PreconditionFailed);
        QCOMPARE(put.status.http, 412);
        QVERIFY(c.Get(href).value.data.find("SUMMARY:Z telefonu") != std::string::npos);
    }

    void syncCollectionSeesExactlyThePhonesChanges()
    {
        QtHttpTransport t(Options());
        Client c(t);
        for (const char* uid : {"s-keep", "s-edit", "s-del"})
            QVERIFY(c.Put(Client::MemberUrl(calendar_, uid), Event(uid, "Remindo"), Precondition::Create()).ok());
        const auto first = c.ChangesSince(calendar_, "");
        QVERIFY2(first.ok(), first.status.message.c_str());
        QVERIFY(first.value.complete);
        QVERIFY(!first.value.syncToken.empty());

        const QString cal = QString::fromStdString(calendar_);
        QVERIFY(Phone(server_, cal, {"add", "s-new", "Nowy z telefonu"}));
        QVERIFY(Phone(server_, cal, {"edit", "s-edit", "Zmieniony w telefonie"}));
        QVERIFY(Phone(server_, cal, {"delete", "s-del"}));

        c.ResetCount();
        const auto changes = c.ChangesSince(calendar_, first.value.syncToken);
        QVERIFY2(changes.ok(), changes.status.message.c_str());
        QCOMPARE(c.Requests(), size_t(1));
        QVERIFY(!changes.value.complete);
        QCOMPARE(changes.value.removed, std::vector<std::string>{Client::MemberUrl(calendar_, "s-del")});
        std::vector<std::string> hrefs;
        for (const Member& m : changes.value.changed)
            hrefs.push_back(m.href);
        const auto fetched = c.Fetch(calendar_, hrefs);
        QVERIFY2(fetched.ok(), fetched.status.message.c_str());
        std::set<std::string> uids;
        for (const Resource& r : fetched.value.found)
            uids.insert(UidOf(r.data));
        QCOMPARE(uids, (std::set<std::string>{"s-new", "s-edit"}));
        QCOMPARE(changes.value.changed.size(), size_t(2));

        c.ResetCount();
        const auto none = c.ChangesSince(calendar_, changes.value.syncToken);
        QVERIFY2(none.ok(), none.status.message.c_str());
        QCOMPARE(c.Requests(), size_t(1));
        QVERIFY(none.value.changed.empty() && none.value.removed.empty());

        // A token the server never gave: everything again, from a fresh token.
        const auto forgotten = c.ChangesSince(calendar_, "http://radicale.org/ns/sync/0000");
        QVERIFY2(forgotten.ok(), forgotten.status.message.c_str());
        QVERIFY(forgotten.value.complete);
        QCOMPARE(forgotten.value.changed.size(), c.Members(calendar_).value.size());
        QVERIFY(!forgotten.value.syncToken.empty());
    }

    void wrongPasswordIsAuthFailed()
    {
        for (const auto& [user, password] : {std::pair{"jan", "hasło"}, std::pair{"nieznany", "hasło:Żółw 1"}}) {
            TransportOptions o = Options();
            o.user = user;
            o.password = password;
            QtHttpTransport t(o);
            Client c(t);
            const auto account = c.Discover(server_.Url().toStdString());
            QCOMPARE(account.status.outcome, Outcome::AuthFailed);
            QCOMPARE(account.status.http, 401);
            QCOMPARE(c.Put(Client::MemberUrl(calendar_, "never"), Event("never", "x"), Precondition::Create())
                         .status.outcome,
                     Outcome::AuthFailed);
        }
    }

    // Killed between two batches of a listing: a transport error, not a
    // short list; once it runs again the same call finishes the work.
    void serverKilledMidListingThenRestarted()
    {
        QVERIFY(server_.Seed("przerwany", 30));
        const std::string cal = server_.Url().toStdString() + "jan/przerwany/";
        QtHttpTransport inner(Options());
        {
            KillingTransport t(inner, server_, 3);
            Client c(t);
            c.SetBatchSize(10);
            const auto members = c.Members(cal);
            QVERIFY2(members.ok(), members.status.message.c_str());
            QCOMPARE(members.value.size(), size_t(30));
            std::vector<std::string> hrefs;
            for (const Member& m : members.value)
                hrefs.push_back(m.href);
            const auto fetched = c.Fetch(cal, hrefs);
            QCOMPARE(fetched.status.outcome, Outcome::Transport);
            QCOMPARE(fetched.status.transport, TransportError::Refused);
            QVERIFY(fetched.value.found.empty());
            QVERIFY(fetched.status.message.find("REPORT " + cal) == 0);
        }
        QVERIFY(server_.Restart());
        Client c(inner);
        c.SetBatchSize(10);
        const auto members = c.Members(cal);
        QVERIFY2(members.ok(), members.status.message.c_str());
        std::vector<std::string> hrefs;
        for (const Member& m : members.value)
            hrefs.push_back(m.href);
        const auto fetched = c.Fetch(cal, hrefs);
        QVERIFY2(fetched.ok(), fetched.status.message.c_str());
        QCOMPARE(fetched.value.found.size(), size_t(30));
    }

    void connectionCutMidAnswer()
    {
        Proxy proxy({"cut", "300", QString::number(server_.Port())});
        QVERIFY(proxy.Port() > 0);
        QtHttpTransport t(Options());
        Client c(t);
        const auto members = c.Members(OnPort(calendar_, proxy.Port()));
        QVERIFY2(members.status.outcome == Outcome::Transport, members.status.message.c_str());
        QCOMPARE(members.status.transport, TransportError::Cut);
        QVERIFY(members.value.empty());
    }

    // A server that takes the request and never answers costs the caller's
    // limit, not the stall: the proxy is still holding when the call is over.
    void stalledServerTimesOut()
    {
        QTemporaryDir dir;
        const QString log = dir.filePath("stall.log");
        Proxy proxy({"stall", "30", log});
        QVERIFY(proxy.Port() > 0);
        QtHttpTransport t(Options(std::chrono::milliseconds(1500)));
        Client c(t);
        const auto account = c.Discover("http://127.0.0.1:" + std::to_string(proxy.Port()) + "/");
        QCOMPARE(account.status.outcome, Outcome::Transport);
        QCOMPARE(account.status.transport, TransportError::Timeout);
        QFile f(log);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray seen = f.readAll();
        QVERIFY(seen.contains("accepted"));
        QVERIFY(!seen.contains("released"));
    }

    void untrustedCertificateRefused()
    {
        QTemporaryDir dir;
        Proxy proxy({"tls", dir.path(), QString::number(server_.Port())});
        QVERIFY(proxy.Port() > 0);
        QtHttpTransport t(Options());
        Client c(t);
        const auto account = c.Discover("https://127.0.0.1:" + std::to_string(proxy.Port()) + "/");
        QCOMPARE(account.status.outcome, Outcome::Transport);
        QCOMPARE(account.status.transport, TransportError::TlsUntrusted);
        QVERIFY2(account.status.message.find("certificate") != std::string::npos, account.status.message.c_str());
    }

    void plainHttpOnlyToThisComputer_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("loopback");
        QTest::newRow("127.0.0.1") << "127.0.0.1" << true;
        QTest::newRow("127.8.9.10") << "127.8.9.10" << true;
        QTest::newRow("::1") << "::1" << true;
        QTest::newRow("localhost") << "LocalHost" << true;
        QTest::newRow("localhost.example.com") << "localhost.example.com" << false;
        QTest::newRow("127.0.0.1.example.com") << "127.0.0.1.example.com" << false;
        QTest::newRow("192.0.2.1") << "192.0.2.1" << false;
        QTest::newRow("example.invalid") << "example.invalid" << false;
    }
    void plainHttpOnlyToThisComputer()
    {
        QFETCH(QString, host);
        QFETCH(bool, loopback);
        QCOMPARE(QtHttpTransport::IsLoopback(host.toStdString()), loopback);
        if (loopback)
            return;
        QtHttpTransport t(Options());
        Client c(t);
        const auto account = c.Discover("http://" + host.toStdString() + "/dav/");
        QCOMPARE(account.status.transport, TransportError::Insecure);
        QCOMPARE(c.Requests(), size_t(0)); // refused before any connection
        QVERIFY(account.status.message.find("--insecure") != std::string::npos);
    }

    // The well-known address's redirect (same origin) is followed; one to
    // another origin is not, and says where it pointed.
    void redirectsStayOnTheirOrigin()
    {
        QtHttpTransport t(Options());
        const HttpResponse wellKnown =
            t.Send({"PROPFIND", server_.Url().toStdString() + ".well-known/caldav", {{"Depth", "0"}}, {}});
        QCOMPARE(wellKnown.status, 207);
        QCOMPARE(wellKnown.exchanges, 2);
        QCOMPARE(wellKnown.url, server_.Url().toStdString());

        Proxy proxy({"redirect", server_.Url()});
        QVERIFY(proxy.Port() > 0);
        Client c(t);
        const auto account = c.Discover("http://127.0.0.1:" + std::to_string(proxy.Port()) + "/");
        QCOMPARE(account.status.outcome, Outcome::Other);
        QCOMPARE(account.status.http, 301);
        QCOMPARE(c.Requests(), size_t(2));
        QVERIFY(account.status.message.find(server_.Url().toStdString()) != std::string::npos);
    }

    // The program's windows go on while a sync waits on a stalled server,
    // and the program's end cancels it at once.
    void windowsNeverWaitOnTheNetwork()
    {
        QTemporaryDir dir;
        const QString log = dir.filePath("stall.log");
        Proxy proxy({"stall", "60", log});
        QVERIFY(proxy.Port() > 0);
        QtHttpTransport t(Options(std::chrono::seconds(60)));
        net::NetThread thread;
        Reply<Account> answer;
        std::atomic<bool> jobDone{false};
        bool doneHere = false;
        QObject receiver;
        thread.Run(
            [&] {
                Client c(t);
                answer = c.Discover("http://127.0.0.1:" + std::to_string(proxy.Port()) + "/x/");
                jobDone = true;
            },
            &receiver, [&] { doneHere = QThread::currentThread() == receiver.thread(); });
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(log), 30000);
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(10);
        QTRY_VERIFY_WITH_TIMEOUT(ticks >= 5, 30000);
        QVERIFY(!jobDone);
        t.Cancel();
        QTRY_VERIFY_WITH_TIMEOUT(doneHere, 30000);
        QCOMPARE(answer.status.transport, TransportError::Cancelled);
    }

    // What a first sync, a sync with nothing changed and a sync of one edit
    // cost in requests, with 1 000 events.
    void requestsForAThousand()
    {
        QVERIFY(server_.Seed("tysiac", 1000));
        QtHttpTransport t(Options(std::chrono::seconds(240)));
        Client c(t);
        const auto account = c.Discover(server_.Url().toStdString());
        QVERIFY2(account.ok(), account.status.message.c_str());
        const size_t discovery = c.Requests();
        const auto cal = c.UseCalendar(account.value, "tysiac");
        QVERIFY2(cal.ok(), cal.status.message.c_str());

        c.ResetCount();
        const auto all = c.ChangesSince(cal.value.url, "");
        QVERIFY2(all.ok(), all.status.message.c_str());
        QCOMPARE(all.value.changed.size(), size_t(1000));
        std::vector<std::string> hrefs;
        for (const Member& m : all.value.changed)
            hrefs.push_back(m.href);
        const auto fetched = c.Fetch(cal.value.url, hrefs);
        QVERIFY2(fetched.ok(), fetched.status.message.c_str());
        QCOMPARE(fetched.value.found.size(), size_t(1000));
        const size_t full = c.Requests();

        c.ResetCount();
        const auto listing = c.Members(cal.value.url);
        QVERIFY(listing.ok());
        QCOMPARE(listing.value.size(), size_t(1000));
        QVERIFY(c.Fetch(cal.value.url, hrefs).ok());
        const size_t fullWithoutSync = c.Requests();

        c.ResetCount();
        const auto none = c.ChangesSince(cal.value.url, all.value.syncToken);
        QVERIFY2(none.ok(), none.status.message.c_str());
        QVERIFY(none.value.changed.empty() && none.value.removed.empty());
        const size_t unchanged = c.Requests();

        QVERIFY(Phone(server_, QString::fromStdString(cal.value.url), {"edit", "seed-7", "Zmieniony"}));
        c.ResetCount();
        const auto one = c.ChangesSince(cal.value.url, none.value.syncToken);
        QVERIFY2(one.ok(), one.status.message.c_str());
        QCOMPARE(one.value.changed.size(), size_t(1));
        const auto edited = c.Fetch(cal.value.url, {one.value.changed[0].href});
        QVERIFY(edited.ok() && edited.value.found.size() == 1);
        QVERIFY(edited.value.found[0].data.find("Zmieniony") != std::string::npos);
        const size_t oneEdit = c.Requests();

        qInfo("requests: discovery %zu; all of 1000 events by sync-collection %zu, by PROPFIND %zu; "
              "nothing changed %zu; one edit %zu",
              discovery, full, fullWithoutSync, unchanged, oneEdit);
        QCOMPARE(discovery, size_t(4)); // well-known (and its redirect), principal, home
        QCOMPARE(full, size_t(11));     // one listing, ten multigets of 100
        QCOMPARE(fullWithoutSync, size_t(11));
        QCOMPARE(unchanged, size_t(1));
        QCOMPARE(oneEdit, size_t(2));
    }
};

QTEST_GUILESS_MAIN(TestCalDavServer)
#include "test_caldavserver.moc"
