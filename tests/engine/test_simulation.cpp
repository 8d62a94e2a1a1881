// A year of examination passes over mixed reminders, compared showing by
// showing with a model built from the rules themselves: occurrences found by
// walking the calendar, block lifetimes and showing limits kept in plain
// per-reminder state.

#include "engine/oracle.h"
#include "engine/rig.h"
#include "store/codec.h"

#include <QTest>

#include <map>
#include <optional>

using namespace rig;

namespace {

struct Shown {
    int64_t minute; // since the start of the run
    int index;
    int32_t warning;
    friend bool operator==(const Shown&, const Shown&) = default;
};

enum class Button { None, NotToday, Never };

// What the absent user "clicks" on a showing; both sides apply the same rule.
Button ButtonFor(int index, int dayIndex, size_t ordinal)
{
    const size_t h = (size_t(index) * 7 + size_t(dayIndex) * 13 + ordinal) % 29;
    return h == 0 ? Button::NotToday : h == 1 ? Button::Never : Button::None;
}

const Date kStart = D(2026, 3, 1);
constexpr int kDays = 365;

bool SaverRunning(int64_t minute)
{
    const int64_t day = minute / 1440, m = minute % 1440;
    if (day % 9 == 4 && m >= 600 && m < 660)
        return true; // an hour in the morning
    return (day == 100 && m >= 1410) || (day == 101 && m < 30); // an hour across midnight
}

// The 15th of each month: the list window saves at noon.
bool SaveDay(Date d) { return DayOf(d) == 15; }

std::vector<Komunikat> MixedList()
{
    struct S {
        int32_t code;
        Date data;
        int ilePrzed, czyPo, ile;
    };
    const S rows[] = {
        {0, D(2026, 6, 10), 3, 1, 2},  {0, D(2026, 9, 1), 0, 0, 1},   {0, D(2026, 2, 20), 2, 1, 1},
        {-1, D(2026, 1, 1), 0, 0, 8},  {-1, D(2027, 1, 1), 0, 0, 1},  {-2, D(2026, 2, 4), 1, 1, 3},
        {-2, D(2026, 1, 5), 3, 0, 2},  {-2, D(2026, 6, 20), 2, 1, 1}, {-3, D(2026, 1, 31), 2, 1, 4},
        {-3, D(2026, 2, 15), 0, 0, 1}, {-4, D(2024, 2, 29), 5, 1, 2}, {-4, D(2020, 12, 24), 7, 0, 5},
        {10, D(2026, 2, 25), 2, 1, 3}, {3, D(2026, 3, 2), 1, 0, 6},   {-21, D(2026, 1, 1), 2, 1, 2},
        {-52, D(2026, 1, 1), 0, 0, 7}, {-67, D(2026, 1, 1), 3, 1, 1}, {-71, D(2026, 5, 1), 0, 0, 1},
        {-18, D(2026, 1, 1), 5, 1, 3}, {1, D(2026, 3, 3), 5, 1, 3},   {-7, D(2026, 3, 3), 5, 1, 3},
        {45, D(2026, 8, 1), 4, 1, 2},  {0, D(2026, 12, 31), 5, 1, 8}, {-43, D(2026, 1, 1), 1, 1, 3},
    };
    std::vector<Komunikat> out;
    int n = 0;
    for (const S& s : rows) {
        Komunikat k;
        k.Tresc = "Zdarzenie " + std::to_string(++n) + "+";
        k.CoIle = s.code;
        k.Data = s.data;
        k.IlePrzed = s.ilePrzed;
        k.CzyPo = s.czyPo;
        k.Ile = s.ile;
        k.BlokDzisData = kStart;
        out.push_back(k);
    }
    return out;
}

// The model.
class Model {
public:
    Model(std::vector<Komunikat> list, int pokazCo) : pokazCo_(pokazCo)
    {
        for (Komunikat& k : list)
            {
            R r;
            r.k = k;
            rs_.push_back(r);
        }
    }

    void Prepare(Date today, int minute)
    {
        for (R& r : rs_) {
            int k = 0, w = 0;
            switch (oracle::KindOf(r.k.CoIle, k, w)) {
            case oracle::Kind::None: break;
            case oracle::Kind::Daily:
                if (int64_t(r.k.Data.serial) - r.k.IlePrzed > today.serial) {
                    Window(r, r.k.Data - today, today, minute); // not begun, window not open
                    break;
                }
                if (r.todayBlock == today)
                    break; // still blocked for today: nothing changes
                r.todayBlock.reset();
                r.forGood = false;
                Mark(r, minute);
                break;
            case oracle::Kind::OneOff: {
                const int32_t d = r.k.Data - today;
                if (d < -r.k.IlePrzed)
                    r.forGood = true; // long past
                else
                    Window(r, d, today, minute);
                break;
            }
            default: Window(r, oracle::Distance(r.k, today), today, minute);
            }
        }
    }

    std::optional<Shown> Pass(int64_t minute, Date today, bool saver, int dayIndex, size_t ordinal)
    {
        if (today != today_) {
            today_ = today;
            Prepare(today, int(minute % 1440));
        }
        if (saver)
            return std::nullopt;
        const int m = int(minute % 1440);
        for (size_t i = 0; i < rs_.size(); ++i) {
            R& r = rs_[i];
            if (r.forGood || r.todayBlock || !r.marked)
                continue;
            const oracle::Class c = oracle::Classify(r.k, today);
            if (c.kind == 0 || (c.kind == 2 && r.k.CzyPo != 1))
                continue;
            if (r.shown >= r.k.Ile || m - r.last <= pokazCo_)
                continue;
            ++r.shown;
            r.last = m;
            switch (ButtonFor(int(i), dayIndex, ordinal)) {
            case Button::NotToday: r.todayBlock = today; break;
            case Button::Never: r.forGood = true; break;
            case Button::None: break;
            }
            return Shown{minute, int(i), c.kind == 1 ? c.days : AfterWarning};
        }
        return std::nullopt;
    }

    Date today_ = kStart;

private:
    struct R {
        Komunikat k;
        bool forGood = false;
        std::optional<Date> todayBlock; // blocked for this day, until a preparation releases it
        bool marked = false;
        int shown = 0;
        int last = 0;
    };

    void Mark(R& r, int minute)
    {
        r.marked = true;
        r.shown = 0;
        r.last = minute - 59;
    }

    // Marked while the nearer occurrence lies within the window and nothing
    // blocks it; leaving the window ends every block.
    void Window(R& r, int32_t d, Date today, int minute)
    {
        r.marked = false;
        const bool inside = std::abs(d) <= r.k.IlePrzed;
        if (inside && !r.forGood) {
            if (r.todayBlock != today) {
                r.todayBlock.reset();
                Mark(r, minute);
            }
        }
        if (!inside) {
            r.forGood = false;
            r.todayBlock.reset();
        }
    }

    std::vector<R> rs_;
    int pokazCo_;
};

} // namespace

class TestSimulation : public QObject {
    Q_OBJECT
private slots:
    void yearOfPasses_data()
    {
        QTest::addColumn<int>("pokazCo");
        QTest::addColumn<int>("badajCo");
        QTest::newRow("defaults") << 60 << 5;
        QTest::newRow("off the hour") << 60 << 7;
        QTest::newRow("no gap") << 0 << 11;
        QTest::newRow("long gap") << 150 << 3;
    }

    void yearOfPasses()
    {
        QFETCH(int, pokazCo);
        QFETCH(int, badajCo);

        Rig rig(MakeDateTime(kStart, 0, 0));
        rig.settings.PokazCo = pokazCo;
        rig.settings.BadajCo = badajCo;
        rig.list.items = MixedList();
        rig.engine.PreparationPass(); // the load at 00:00

        Model model(MixedList(), pokazCo);
        model.Prepare(kStart, 0);

        std::vector<Shown> got, want;
        std::vector<std::pair<int, int>> nevers; // (index, day) of the "never again" clicks
        rig.presenter.onShow = [&](const Showing& s) {
            const int dayIndex = s.at.date - kStart;
            const size_t ordinal = rig.presenter.shown.size() - 1;
            Komunikat& k = rig.list[s.index];
            switch (ButtonFor(s.index, dayIndex, ordinal)) {
            case Button::NotToday:
                k.BlokDzis = 1;
                k.BlokDzisData = rig.state.DataAkt;
                break;
            case Button::Never:
                k.Blok = 1;
                nevers.push_back({s.index, dayIndex});
                break;
            case Button::None: break;
            }
        };

        int midnights = 0;
        Date lastDay = kStart;
        for (int64_t minute = badajCo; minute < int64_t(kDays) * 1440; minute += badajCo) {
            const Date day = IncDay(kStart, int(minute / 1440));
            const int m = int(minute % 1440);
            if (day != lastDay)
                ++midnights;
            // A save of the list on the 15th, just before the first pass after noon.
            if (SaveDay(day) && m >= 720 && m - badajCo < 720 && day == lastDay) {
                rig.clock.Set(MakeDateTime(day, 12, 0));
                rig.engine.PreparationPass();
                model.Prepare(day, 720);
            }
            lastDay = day;
            rig.clock.Set(MakeDateTime(day, m / 60, m % 60));
            rig.saver.running = SaverRunning(minute);

            const size_t before = rig.presenter.shown.size();
            rig.engine.ExaminationPass();
            std::optional<Shown> engineShowed;
            if (rig.presenter.shown.size() > before) {
                const Showing& s = rig.presenter.shown.back();
                engineShowed = Shown{minute, s.index, s.warning};
                got.push_back(*engineShowed);
                // The window's heading names a real occurrence.
                if (s.warning >= 0) {
                    const Date occ = IncDay(day, s.warning);
                    QVERIFY(oracle::Occurs(rig.list[s.index], occ));
                    QCOMPARE(s.text.substr(0, rig.formats.ShortDate(occ).size()), rig.formats.ShortDate(occ));
                } else {
                    QCOMPARE(s.text.substr(0, 26), Cp("Upłynął termin zdarzenia!\r"));
                }
            }
            const std::optional<Shown> modelShowed =
                model.Pass(minute, day, SaverRunning(minute), int(minute / 1440), want.size());
            if (modelShowed)
                want.push_back(*modelShowed);
            if (engineShowed != modelShowed) {
                auto str = [](const std::optional<Shown>& x) {
                    return x ? QString("nr %1 with %2").arg(x->index + 1).arg(x->warning) : QString("nothing");
                };
                QFAIL(qPrintable(QString("day %1 %2:%3: the engine showed %4, the model %5")
                                     .arg(minute / 1440).arg(m / 60).arg(m % 60, 2, 10, QChar('0'))
                                     .arg(str(engineShowed), str(modelShowed))));
            }
        }
        QCOMPARE(midnights, kDays - 1);

        // The run covered what it was built for.
        std::map<int, int> perReminder;
        bool green = false, yellow = false, red = false, after = false;
        for (const Shown& s : got) {
            ++perReminder[s.index];
            green |= s.warning >= 2;
            yellow |= s.warning == 1;
            red |= s.warning == 0;
            after |= s.warning == AfterWarning;
            QVERIFY(!SaverRunning(s.minute));
        }
        QVERIFY(green && yellow && red && after);
        for (int never : {2, 18, 19, 20})
            QCOMPARE(perReminder.count(never), size_t(0));
        for (int i : {0, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 21, 22, 23})
            QVERIFY2(perReminder[i] > 0, qPrintable(QString("reminder %1 never shown").arg(i + 1)));
        QVERIFY(rig.list[2].Blok == 1);
        // Blocks for good that ended by themselves: a periodic reminder seen again on a later day.
        int released = 0;
        for (auto [index, dayIndex] : nevers)
            if (index != 3 && index != 4 && std::any_of(got.begin(), got.end(), [&](const Shown& s) {
                    return s.index == index && s.minute / 1440 > dayIndex;
                }))
                ++released;
        QVERIFY(released >= 3);
    }
};

QTEST_GUILESS_MAIN(TestSimulation)
#include "test_simulation.moc"
