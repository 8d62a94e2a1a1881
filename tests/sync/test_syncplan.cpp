// The three-way part of a sync without a server: which reminder is which
// event, what each pair of changes leads to, the local ops applied to a
// list that changed meanwhile, and the state file's text.
#include "caldav/scripted.h"
#include "store/codec.h"
#include "sync/plan.h"
#include "sync/state.h"
#include "sync/syncer.h"

#include <QTest>

using namespace remindo;
using namespace remindo::sync;

namespace {

Komunikat K(const char* text, int day = 1, int32_t coIle = 0, int32_t blokDzis = 0)
{
    Komunikat k;
    k.Tresc = Cp1250FromUtf8(text).text;
    k.Data = DateFromYmd(2026, 12, day);
    k.CoIle = coIle;
    k.IlePrzed = 2;
    k.Ile = 1;
    k.BlokDzis = blokDzis;
    k.BlokDzisData = DateFromYmd(2026, 12, 9);
    return k;
}

SyncEntry E(const Komunikat& form, int position)
{
    const std::string n = std::to_string(position);
    return SyncEntry{"uid" + n, "http://h/c/" + n + ".ics", "\"e" + n + "\"", form, position};
}

// Events as their UIDs alone: enough for a sync that only writes.
class UidCodec final : public IcsCodec {
public:
    std::string Write(const std::vector<IcsEvent>& events, int64_t) override { return events.at(0).uid; }
    bool Read(std::string_view, std::vector<IcsEvent>&, std::string& why) override
    {
        why = "not read here";
        return false;
    }
};

} // namespace

class TestSyncPlan : public QObject {
    Q_OBJECT

private slots:
    void decidesEachPairOfChanges()
    {
        const Komunikat base = K("Dentysta+"), mine = K("Dentysta o 10+"), theirs = K("Dentysta o 12+");
        const Komunikat answered = K("Dentysta+", 1, 0, 1); // "Przypomnij jutro" is a change too
        struct Row {
            const char* name;
            LocalSide local;
            const Komunikat* localForm;
            ServerSide server;
            const Komunikat* serverForm;
            Action expected;
        };
        const Row rows[] = {
            {"nothing", LocalSide::Same, &base, ServerSide::Same, nullptr, Action::Nothing},
            {"edited here", LocalSide::Edited, &mine, ServerSide::Same, nullptr, Action::Upload},
            {"answered here", LocalSide::Edited, &answered, ServerSide::Same, nullptr, Action::Upload},
            {"edited there", LocalSide::Same, &base, ServerSide::Changed, &theirs, Action::TakeServer},
            {"answered there", LocalSide::Same, &base, ServerSide::Changed, &answered, Action::TakeServer},
            {"new ETag, same event", LocalSide::Same, &base, ServerSide::Changed, &base, Action::Refresh},
            {"edited both, alike", LocalSide::Edited, &mine, ServerSide::Changed, &mine, Action::Refresh},
            {"edited both, differently", LocalSide::Edited, &mine, ServerSide::Changed, &theirs, Action::KeepBoth},
            {"edited here, new ETag there", LocalSide::Edited, &mine, ServerSide::Changed, &base, Action::Upload},
            {"deleted here", LocalSide::Deleted, nullptr, ServerSide::Same, nullptr, Action::DeleteOnServer},
            {"deleted here, edited there", LocalSide::Deleted, nullptr, ServerSide::Changed, &theirs, Action::AddLocal},
            {"deleted here, new ETag there", LocalSide::Deleted, nullptr, ServerSide::Changed, &base,
             Action::DeleteOnServer},
            {"deleted there", LocalSide::Same, &base, ServerSide::Gone, nullptr, Action::RemoveLocal},
            {"edited here, deleted there", LocalSide::Edited, &mine, ServerSide::Gone, nullptr, Action::Recreate},
            {"deleted on both", LocalSide::Deleted, nullptr, ServerSide::Gone, nullptr, Action::Forget},
        };
        for (const Row& r : rows)
            QVERIFY2(Decide(base, r.local, r.localForm, r.server, r.serverForm) == r.expected, r.name);
    }

    void pairsRemindersWithTheirEvents()
    {
        const Komunikat a = K("A+", 1), b = K("B+", 2), c = K("C+", 3), d = K("D+", 4);
        struct Row {
            const char* name;
            std::vector<Komunikat> local;
            std::vector<SyncEntry> entries;
            std::vector<int> expected;
        };
        const Row rows[] = {
            {"unchanged", {a, b, c}, {E(a, 0), E(b, 1), E(c, 2)}, {0, 1, 2}},
            {"moved", {c, a, b}, {E(a, 0), E(b, 1), E(c, 2)}, {2, 0, 1}},
            {"an edit keeps its place", {a, K("B zmienione+", 9), c}, {E(a, 0), E(b, 1), E(c, 2)}, {0, 1, 2}},
            {"two edits in one gap", {a, K("x+", 8), K("y+", 9), d}, {E(a, 0), E(b, 1), E(c, 2), E(d, 3)},
             {0, 1, 2, 3}},
            // One of two gone, the other edited: the one whose text stayed is the edit.
            {"deleted beside an edited date", {K("B+", 20), c}, {E(a, 0), E(b, 1), E(c, 2)}, {1, 2}},
            {"... or its date and rule", {K("Bb+", 2), c}, {E(a, 0), E(b, 1), E(c, 2)}, {1, 2}},
            {"added at the end", {a, b, d}, {E(a, 0), E(b, 1)}, {0, 1, -1}},
            {"twins pair once each", {a, a, a}, {E(a, 0), E(a, 1)}, {0, 1, -1}},
            {"all deleted", {}, {E(a, 0)}, {}},
            {"first sync", {a, b}, {}, {-1, -1}},
        };
        for (const Row& r : rows)
            QVERIFY2(Pair(r.local, r.entries) == r.expected, r.name);
    }

    // The ops meet a list edited while the network part ran: an op whose
    // reminder is no longer as expected is skipped and its entry restored,
    // so that the next sync meets a change on both sides and keeps both.
    void applyingSkipsWhatChangedMeanwhile()
    {
        const Komunikat a = K("A+", 1), b = K("B+", 2), c = K("C+", 3);
        const Komunikat a2 = K("A z serwera+", 1), b2 = K("B z serwera+", 2), n = K("Nowe+", 5);
        SyncState state;
        state.entries = {E(a, 0), E(b, 1), E(c, 2)};
        const SyncEntry before = state.entries[1];
        // After the sync: a and b took the server's forms, c was deleted there, n is new.
        state.entries[0].form = a2;
        state.entries[1].form = b2;
        state.entries[1].etag = "\"new\"";
        state.entries.erase(state.entries.begin() + 2);
        state.entries.push_back(SyncEntry{"n", "http://h/c/n.ics", "\"n\"", n, -1});
        std::vector<LocalOp> ops(4);
        ops[0] = {LocalOp::Replace, 0, a, a2, E(a, 0).href, E(a, 0)};
        ops[1] = {LocalOp::Replace, 1, b, b2, before.href, before};
        ops[2] = {LocalOp::Remove, 2, c, {}, E(c, 2).href, E(c, 2)};
        ops[3] = {LocalOp::Add, -1, {}, n, "http://h/c/n.ics", std::nullopt};
        // Meanwhile b was edited here and a reminder added before the rest.
        std::vector<Komunikat> list = {K("Wstawione+", 7), a, K("B tutaj+", 2), c};
        QCOMPARE(ApplyOps(list, ops, state), 1);
        const std::vector<Komunikat> expected = {K("Wstawione+", 7), a2, K("B tutaj+", 2), n};
        QVERIFY(list == expected);
        QCOMPARE(state.entries.size(), size_t(3));
        const auto entry = [&](const std::string& href) {
            return *std::find_if(state.entries.begin(), state.entries.end(),
                                 [&](const SyncEntry& e) { return e.href == href; });
        };
        QVERIFY(SameForm(entry(before.href).form, b));
        QCOMPARE(entry(before.href).etag, before.etag);
        QCOMPARE(entry(E(a, 0).href).position, 1);
        QCOMPARE(entry("http://h/c/n.ics").position, 3);
    }

    // A server that runs out of room in the middle: one line, and the state
    // handed out to be written holds only what both sides hold (the old
    // token, the events written so far), never what the list lacks.
    void brokenOffKeepsWhatBothSidesHold()
    {
        test::ScriptedTransport http;
        caldav::Client client(http);
        UidCodec codec;
        const Komunikat a = K("A+", 1), b = K("B+", 2), n1 = K("Nowe 1+", 3), n2 = K("Nowe 2+", 4);
        SyncState state;
        state.account = "konto";
        state.calendar = "http://h/c/";
        state.token = "stary";
        state.entries = {E(a, 0), E(b, 1)};
        http.Answer(207, "<?xml version=\"1.0\"?><d:multistatus xmlns:d=\"DAV:\"><d:sync-token>nowy</d:sync-token>"
                         "</d:multistatus>");
        http.Answer(201, {}, {{"ETag", "\"n1\""}});
        http.Answer(507);
        std::vector<SyncState> written;
        Syncer syncer(client, codec, DateFromYmd(2026, 12, 9), [&](const SyncState& s) { written.push_back(s); }, 1);
        const SyncResult r = syncer.Run({a, b, n1, n2}, state, "konto", "http://h/c/");
        QVERIFY(!r.ok);
        QVERIFY2(r.error.find("no room") != std::string::npos, r.error.c_str());
        QVERIFY(r.ops.empty());
        QCOMPARE(r.requests, size_t(3));
        QCOMPARE(written.size(), size_t(2)); // after the first PUT, and at the break
        const SyncState& last = written.back();
        QCOMPARE(last.token, std::string("stary"));
        QCOMPARE(last.entries.size(), size_t(3));
        QVERIFY(std::any_of(last.entries.begin(), last.entries.end(),
                            [&](const SyncEntry& e) { return SameForm(e.form, n1) && e.etag == "\"n1\""; }));
        QCOMPARE(StateText(r.state), StateText(last));
    }

    void stateFileTextRoundTrips()
    {
        SyncState s;
        s.account = "https://dav.example/\nzażółć\ncal";
        s.calendar = "https://dav.example/c/";
        s.token = "http://radicale.org/ns/sync/1 2";
        Komunikat k = K("Zażółć gęślą+druga linia+", 3, -4, 1);
        k.Blok = 1;
        k.CzyPo = 1;
        k.Ile = 3;
        s.entries = {E(k, 0), E(K("+"), 1)};
        s.entries[1].etag.clear();
        s.notHeld = {{"https://dav.example/c/meeting.ics", "\"m\""}};
        const std::string text = StateText(s);
        SyncState back;
        QVERIFY(ParseState(text, back));
        QCOMPARE(StateText(back), text);
        QVERIFY(SameForm(back.entries[0].form, k));
        QCOMPARE(back.account, s.account);
        // A file cut short or with anything foreign in it is no state at all.
        for (const std::string& bad : {text.substr(0, text.size() - 4), text + "x\n",
                                       text.substr(0, text.find("item")) + "item 00 zz\nend\n", std::string()}) {
            SyncState untouched;
            QVERIFY(!ParseState(bad, untouched));
            QVERIFY(untouched.entries.empty());
        }
    }
};

QTEST_APPLESS_MAIN(TestSyncPlan)
#include "test_syncplan.moc"
