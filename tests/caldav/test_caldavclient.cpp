// The CalDAV client against scripted answers: what servers differ in
// (prefixes, href spellings, token errors, truncation) and what the client
// must never do (write without a precondition, delete unasked).
#include "caldav/client.h"
#include "caldav/url.h"
#include "scripted.h"

#include <QTest>

using namespace remindo;
using namespace remindo::caldav;
using remindo::test::HeaderOf;
using remindo::test::ScriptedTransport;

namespace {

const std::string kCal = "https://dav.example.com/cal/jan/remindo/";

std::string Ms(const std::string& inner)
{
    return "<?xml version=\"1.0\"?><x:multistatus xmlns:x=\"DAV:\">" + inner + "</x:multistatus>";
}

std::string Item(const std::string& href, const std::string& etag)
{
    return "<x:response><x:href>" + href + "</x:href><x:propstat><x:prop><x:getetag>" + etag +
           "</x:getetag></x:prop><x:status>HTTP/1.1 200 OK</x:status></x:propstat></x:response>";
}

std::string Gone(const std::string& href)
{
    return "<x:response><x:href>" + href + "</x:href><x:status>HTTP/1.1 404 Not Found</x:status></x:response>";
}

std::vector<std::string> Hrefs(const std::vector<Member>& members)
{
    std::vector<std::string> out;
    for (const Member& m : members)
        out.push_back(m.href);
    return out;
}

} // namespace

class TestCalDavClient : public QObject {
    Q_OBJECT
private slots:
    void addressesResolveAndCompare_data()
    {
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("resolved");
        const QString base = "https://Dav.Example.com:443/cal/jan/home/";
        QTest::newRow("relative") << "x.ics" << base.toLower().replace(":443", "") + "x.ics";
        QTest::newRow("absolute path") << "/cal/jan/home/x.ics" << "https://dav.example.com/cal/jan/home/x.ics";
        QTest::newRow("dot segments") << "../other/./" << "https://dav.example.com/cal/jan/other/";
        QTest::newRow("whole address") << "http://127.0.0.1:5232/a/" << "http://127.0.0.1:5232/a/";
        QTest::newRow("scheme-relative") << "//other.example.com/x" << "https://other.example.com/x";
        QTest::newRow("encoding normalised") << "a%7eb c%c5%82%2f.ics" << "https://dav.example.com/cal/jan/home/a~b%20c%C5%82%2F.ics";
        QTest::newRow("raw UTF-8 encoded") << "/ł.ics" << "https://dav.example.com/%C5%82.ics";
        QTest::newRow("IPv6 and port") << "http://[::1]:8080/x" << "http://[::1]:8080/x";
        QTest::newRow("whitespace around") << "\n  /y.ics  " << "https://dav.example.com/y.ics";
        QTest::newRow("fragment dropped") << "z.ics#frag" << "https://dav.example.com/cal/jan/home/z.ics";
        QTest::newRow("not http") << "mailto:jan@example.com" << "";
    }
    void addressesResolveAndCompare()
    {
        QFETCH(QString, reference);
        QFETCH(QString, resolved);
        const auto base = Url::Parse("https://Dav.Example.com:443/cal/jan/home/");
        QVERIFY(base);
        const auto r = Resolve(*base, reference.toStdString());
        QCOMPARE(r ? QString::fromStdString(r->ToString()) : QString(), resolved);
    }

    void oneResourceHowEverSpelt()
    {
        auto key = [](const char* u) { return Url::Parse(u).value().Key(); };
        QCOMPARE(key("https://h/a+b.ics"), key("https://h/a%2Bb.ics"));
        QCOMPARE(key("https://h/%C5%82.ics"), key("https://h/%c5%82.ics"));
        QVERIFY(key("https://h/a%2Fb.ics") != key("https://h/a/b.ics"));
        QVERIFY(key("https://h/%2541.ics") != key("https://h/A.ics"));
        QVERIFY(key("https://h:444/x") != key("https://h/x"));
        QCOMPARE(Url::Parse("https://h/cal").value().CollectionKey(), Url::Parse("https://h/cal/").value().CollectionKey());
        for (const char* bad : {"ftp://h/", "https://jan:pw@h/", "https://h:99999/", "https:///x", "h/x", "https://[zz]/"})
            QVERIFY2(!Url::Parse(bad), bad);
        QCOMPARE(Client::MemberUrl("https://h/cal", "a b/ł@x"), std::string("https://h/cal/a%20b%2F%C5%82%40x.ics"));
    }

    // Elements are DAV:'s by their namespace, whatever the prefix; a getetag
    // of another namespace, or a collection, is no event.
    void namespacesByNameNotPrefix()
    {
        ScriptedTransport t;
        t.Answer(207,
                 "<?xml version=\"1.0\"?><multistatus xmlns=\"DAV:\" xmlns:q=\"DAV:\">"
                 "<response><href>/cal/jan/remindo/</href><propstat><prop><resourcetype><collection/>"
                 "<C:calendar xmlns:C=\"urn:ietf:params:xml:ns:caldav\"/></resourcetype></prop>"
                 "<status>HTTP/1.1 200 OK</status></propstat></response>"
                 "<q:response><q:href>a.ics</q:href><q:propstat><q:prop><q:getetag>\"1\"</q:getetag></q:prop>"
                 "<q:status>HTTP/1.1 200 OK</q:status></q:propstat></q:response>"
                 "<response><href>b.ics</href><propstat><prop><getetag xmlns=\"urn:decoy\">\"2\"</getetag></prop>"
                 "<status>HTTP/1.1 200 OK</status></propstat></response>"
                 "<response><href>c.ics</href><propstat><prop><getetag>unquoted</getetag></prop>"
                 "<status>HTTP/1.1 200 OK</status></propstat><propstat><prop><getetag>\"no\"</getetag></prop>"
                 "<status>HTTP/1.1 404 Not Found</status></propstat></response>"
                 "<response><href>sub/</href><propstat><prop><resourcetype><collection/></resourcetype>"
                 "<getetag>\"3\"</getetag></prop><status>HTTP/1.1 200 OK</status></propstat></response>"
                 "</multistatus>");
        const auto r = Client(t).Members(kCal);
        QVERIFY(r.ok());
        QCOMPARE(r.value.size(), size_t(2));
        QCOMPARE(r.value[0].href, kCal + "a.ics");
        QCOMPARE(r.value[0].etag, std::string("\"1\""));
        QCOMPARE(r.value[1].href, kCal + "c.ics");
        QCOMPARE(r.value[1].etag, std::string("\"unquoted\""));
    }

    void discoveryFollowsPrincipalToHome()
    {
        ScriptedTransport t;
        t.Answer(404); // no /.well-known/caldav
        t.Answer(207, Ms("<x:response><x:href>/</x:href><x:propstat><x:prop><x:current-user-principal>"
                         "<x:href>/principals/jan/</x:href></x:current-user-principal></x:prop>"
                         "<x:status>HTTP/1.1 200 OK</x:status></x:propstat></x:response>"));
        t.Answer(207, Ms("<x:response><x:href>/principals/jan/</x:href><x:propstat><x:prop>"
                         "<c:calendar-home-set xmlns:c=\"urn:ietf:params:xml:ns:caldav\"><x:href>"
                         "https://dav.example.com/cal/jan</x:href></c:calendar-home-set></x:prop>"
                         "<x:status>HTTP/1.1 200 OK</x:status></x:propstat></x:response>"));
        t.Answer(207, Ms("<x:response><x:href>/cal/jan/</x:href><x:propstat><x:prop><x:resourcetype>"
                         "<x:collection/></x:resourcetype></x:prop><x:status>HTTP/1.1 200 OK</x:status>"
                         "</x:propstat></x:response>"
                         "<x:response><x:href>/cal/jan/tasks/</x:href><x:propstat><x:prop><x:resourcetype>"
                         "<c:calendar xmlns:c=\"urn:ietf:params:xml:ns:caldav\"/></x:resourcetype>"
                         "<x:displayname>Remindo</x:displayname><c:supported-calendar-component-set "
                         "xmlns:c=\"urn:ietf:params:xml:ns:caldav\"><c:comp name=\"VTODO\"/>"
                         "</c:supported-calendar-component-set></x:prop><x:status>HTTP/1.1 200 OK</x:status>"
                         "</x:propstat></x:response>"));
        t.Answer(201); // MKCALENDAR: the tasks list named Remindo takes no events
        t.Answer(207, Ms("<x:response><x:href>/cal/jan/remindo/</x:href><x:propstat><x:prop><x:resourcetype>"
                         "<c:calendar xmlns:c=\"urn:ietf:params:xml:ns:caldav\"/></x:resourcetype>"
                         "<x:sync-token>t1</x:sync-token></x:prop><x:status>HTTP/1.1 200 OK</x:status>"
                         "</x:propstat></x:response>"));
        Client c(t);
        const auto account = c.Discover("https://dav.example.com");
        QVERIFY2(account.ok(), account.status.message.c_str());
        QCOMPARE(t.sent[0].url, std::string("https://dav.example.com/.well-known/caldav"));
        QCOMPARE(account.value.principal, std::string("https://dav.example.com/principals/jan/"));
        QCOMPARE(account.value.home, std::string("https://dav.example.com/cal/jan/"));
        QCOMPARE(account.value.calendars.size(), size_t(1));
        QVERIFY(!account.value.calendars[0].events);
        const auto cal = c.UseCalendar(account.value, "Remindo");
        QVERIFY2(cal.ok(), cal.status.message.c_str());
        QCOMPARE(t.sent[4].method, std::string("MKCALENDAR"));
        QCOMPARE(cal.value.url, kCal);
        QCOMPARE(cal.value.syncToken, std::string("t1"));
        QCOMPARE(c.Requests(), size_t(6));
    }

    // A token the server forgot (403 or 409, valid-sync-token) starts over
    // from an empty one; a server without sync-collection lists ETags.
    void syncFallsBack_data()
    {
        QTest::addColumn<int>("refusal");
        QTest::addColumn<bool>("withSync");
        QTest::newRow("403 valid-sync-token") << 403 << true;
        QTest::newRow("409") << 409 << true;
        QTest::newRow("no sync-collection (501)") << 501 << false;
        QTest::newRow("no sync-collection (403 supported-report)") << 403 << false;
    }
    void syncFallsBack()
    {
        QFETCH(int, refusal);
        QFETCH(bool, withSync);
        ScriptedTransport t;
        if (withSync) {
            t.Answer(refusal, "<error xmlns=\"DAV:\"><valid-sync-token/></error>");
            t.Answer(207, Ms("<x:sync-token>t9</x:sync-token>" + Item("a.ics", "\"1\"") + Item("b.ics", "\"2\"")));
        } else {
            t.Answer(refusal, "<error xmlns=\"DAV:\"><supported-report/></error>");
            t.Answer(207, Ms(Item(kCal, "\"c\"") + Item("a.ics", "\"1\"") + Item("b.ics", "\"2\"")));
        }
        const auto r = Client(t).ChangesSince(kCal, withSync ? "old" : "");
        QVERIFY2(r.ok(), r.status.message.c_str());
        QVERIFY(r.value.complete);
        QCOMPARE(Hrefs(r.value.changed), (std::vector<std::string>{kCal + "a.ics", kCal + "b.ics"}));
        QVERIFY(r.value.removed.empty());
        QCOMPARE(r.value.syncToken, std::string(withSync ? "t9" : ""));
        QCOMPARE(t.sent.size(), size_t(2));
        if (withSync)
            QVERIFY(t.sent[1].body.find("<d:sync-token></d:sync-token>") != std::string::npos);
        else
            QCOMPARE(t.sent[1].method, std::string("PROPFIND"));
    }

    // A truncated answer (507 on the collection) goes on from its token; a
    // later word about an event replaces an earlier one.
    void syncTruncatedGoesOn()
    {
        ScriptedTransport t;
        t.Answer(207, Ms("<x:sync-token>t2</x:sync-token>" + Item("a.ics", "\"1\"") + Gone("b.ics") +
                         Gone("c.ics") + "<x:response><x:href>" + kCal +
                         "</x:href><x:status>HTTP/1.1 507 Insufficient Storage</x:status></x:response>"));
        t.Answer(207, Ms("<x:sync-token>t3</x:sync-token>" + Gone("a.ics") + Item("c.ics", "\"4\"") +
                         Item("d%2Bx.ics", "\"5\"")));
        const auto r = Client(t).ChangesSince(kCal, "t1");
        QVERIFY2(r.ok(), r.status.message.c_str());
        QVERIFY(!r.value.complete);
        QCOMPARE(Hrefs(r.value.changed), (std::vector<std::string>{kCal + "c.ics", kCal + "d%2Bx.ics"}));
        QCOMPARE(r.value.removed, (std::vector<std::string>{kCal + "a.ics", kCal + "b.ics"}));
        QCOMPARE(r.value.syncToken, std::string("t3"));
        QVERIFY(t.sent[1].body.find(">t2<") != std::string::npos);
        QCOMPARE(HeaderOf(t.sent[0], "Depth"), std::string("0"));
    }

    void statusesBecomeOutcomes_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("transport");
        QTest::addColumn<int>("outcome");
        const int none = int(TransportError::None);
        QTest::newRow("201") << 201 << none << int(Outcome::Ok);
        QTest::newRow("401") << 401 << none << int(Outcome::AuthFailed);
        QTest::newRow("403") << 403 << none << int(Outcome::Forbidden);
        QTest::newRow("404") << 404 << none << int(Outcome::Gone);
        QTest::newRow("410") << 410 << none << int(Outcome::Gone);
        QTest::newRow("412") << 412 << none << int(Outcome::PreconditionFailed);
        QTest::newRow("507") << 507 << none << int(Outcome::InsufficientStorage);
        QTest::newRow("500") << 500 << none << int(Outcome::Other);
        QTest::newRow("301 not followed") << 301 << none << int(Outcome::Other);
        QTest::newRow("refused") << 0 << int(TransportError::Refused) << int(Outcome::Transport);
        QTest::newRow("timeout") << 0 << int(TransportError::Timeout) << int(Outcome::Transport);
        QTest::newRow("tls") << 0 << int(TransportError::TlsUntrusted) << int(Outcome::Transport);
        QTest::newRow("cut") << 0 << int(TransportError::Cut) << int(Outcome::Transport);
    }
    void statusesBecomeOutcomes()
    {
        QFETCH(int, status);
        QFETCH(int, transport);
        QFETCH(int, outcome);
        ScriptedTransport t;
        if (transport != int(TransportError::None))
            t.Fail(TransportError(transport));
        else
            t.Answer(status, "line one\nline two", {{"ETag", "\"e2\""}, {"Location", "https://else.example/"}});
        const auto r = Client(t).Put(kCal + "x.ics", "BEGIN:VCALENDAR", Precondition::Match("\"e1\""));
        QCOMPARE(int(r.status.outcome), outcome);
        QCOMPARE(int(r.status.transport), transport);
        if (r.ok()) {
            QCOMPARE(r.value, std::string("\"e2\""));
        } else {
            QVERIFY(r.status.message.find(kCal + "x.ics") != std::string::npos);
            QVERIFY(r.status.message.find('\n') == std::string::npos);
        }
    }

    // Writes always carry a precondition; a taken name is passed over, never
    // replaced; nothing is deleted unless asked, and never without an ETag.
    void writesOnlyWhatItIsAsked()
    {
        ScriptedTransport t;
        Client c(t);
        t.Answer(201);
        t.Answer(204);
        QVERIFY(c.Put(kCal + "n.ics", "X", Precondition::Create()).ok());
        QVERIFY(c.Put(kCal + "n.ics", "X", Precondition::Match("W/\"7\"")).ok());
        QCOMPARE(HeaderOf(t.sent[0], "If-None-Match"), std::string("*"));
        QCOMPARE(HeaderOf(t.sent[0], "If-Match"), std::string());
        QCOMPARE(HeaderOf(t.sent[1], "If-Match"), std::string("W/\"7\""));

        t.Answer(409, "<D:error xmlns:D=\"DAV:\"><D:resource-must-be-null/></D:error>");
        t.Answer(405);
        t.Answer(201);
        t.Answer(207, Ms("<x:response><x:href>/cal/jan/m-j-lista-3/</x:href><x:propstat><x:prop><x:resourcetype>"
                         "<c:calendar xmlns:c=\"urn:ietf:params:xml:ns:caldav\"/></x:resourcetype></x:prop>"
                         "<x:status>HTTP/1.1 200 OK</x:status></x:propstat></x:response>"));
        const auto made = c.MakeCalendar("https://dav.example.com/cal/jan/", "M&J <lista>");
        QVERIFY2(made.ok(), made.status.message.c_str());
        QCOMPARE(t.sent[2].url, std::string("https://dav.example.com/cal/jan/m-j-lista/"));
        QCOMPARE(t.sent[4].url, std::string("https://dav.example.com/cal/jan/m-j-lista-3/"));
        QVERIFY(t.sent[4].body.find("M&amp;J &lt;lista&gt;") != std::string::npos);

        t.Answer(409); // a conflict of another kind (no parent) is the caller's to know
        QCOMPARE(c.MakeCalendar("https://dav.example.com/none/", "Remindo").status.http, 409);

        const size_t before = t.sent.size();
        QCOMPARE(c.Delete(kCal + "n.ics", "").outcome, Outcome::Other);
        QCOMPARE(t.sent.size(), before);
        for (const auto& request : t.sent)
            QVERIFY(request.method != "DELETE");
        t.Answer(204);
        QVERIFY(c.Delete(kCal + "n.ics", "abc").ok());
        QCOMPARE(HeaderOf(t.sent.back(), "If-Match"), std::string("\"abc\""));
    }

    void fetchesInBatches()
    {
        ScriptedTransport t;
        Client c(t);
        c.SetBatchSize(100);
        std::vector<std::string> hrefs;
        for (int i = 0; i < 250; ++i)
            hrefs.push_back(kCal + "e" + std::to_string(i) + (i == 7 ? "&amp.ics" : ".ics"));
        for (int batch = 0; batch < 3; ++batch) {
            std::string inner;
            for (int i = batch * 100; i < std::min(250, batch * 100 + 100); ++i) {
                const std::string path = "/cal/jan/remindo/e" + std::to_string(i) + (i == 7 ? "%26amp.ics" : ".ics");
                if (i == 42) {
                    inner += Gone(path);
                    continue;
                }
                if (i == 43)
                    continue; // not mentioned at all
                inner += "<x:response><x:href>" + path + "</x:href><x:propstat><x:prop><x:getetag>\"" +
                         std::to_string(i) + "\"</x:getetag><C:calendar-data xmlns:C=\"urn:ietf:params:xml:ns:caldav\">"
                         "<![CDATA[BEGIN:VCALENDAR\nUID:" + std::to_string(i) +
                         "]]></C:calendar-data></x:prop><x:status>HTTP/1.1 200 OK</x:status></x:propstat></x:response>";
            }
            t.Answer(207, Ms(inner));
        }
        const auto r = c.Fetch(kCal, hrefs);
        QVERIFY2(r.ok(), r.status.message.c_str());
        QCOMPARE(t.sent.size(), size_t(3));
        QVERIFY(t.sent[0].body.find("<d:href>/cal/jan/remindo/e7&amp;amp.ics</d:href>") != std::string::npos);
        QCOMPARE(r.value.found.size(), size_t(248));
        QCOMPARE(r.value.missing.size(), size_t(2));
        QCOMPARE(r.value.found[7].href, hrefs[7]);
        QCOMPARE(r.value.found[7].data, std::string("BEGIN:VCALENDAR\nUID:7"));
        QCOMPARE(r.value.found[7].etag, std::string("\"7\""));
    }
};

QTEST_GUILESS_MAIN(TestCalDavClient)
#include "test_caldavclient.moc"
