#include "engine/engine.h"

#include "dates/datetools.h"
#include "store/codec.h"
#include "store/formats.h"
#include "store/log.h"
#include "store/reminders.h"
#include "store/settings.h"

#include <cstdlib>
#include <string>

namespace remindo {
namespace {

// The program's fixed log texts, converted once.
struct Texts {
    std::string midnight = Cp("Minęła północ - dokonano ponownego badania komunikatów");
    std::string passStarts = Cp("Nadszedł czas badania zdarzeń");
    std::string saverRuns = Cp("Działa wygaszacz");
    std::string stillStanding = Cp("Poprzedni komunikat jest jeszcze widoczny");
    std::string valueOf = Cp(" wartość zdarzenia - ");
    std::string expired = Cp("Upłynął termin zdarzenia!\r");
    std::string warnBefore = Cp("Ostrzeżenie jednorazowe przed czasem: ");
    std::string warnAfter = Cp("Ostrzeżenie jednorazowe po czasie: ");
    std::string tooEarly = Cp("Za wcześnie na ostrzeżenie lub koniec ostrzeżeń");
    std::string examineStarts = Cp("Zaczynamy badać zdarzenie nr ");
    std::string notToday = Cp(" - dziś nie ostrzegamy");
    std::string blockedToday = Cp(" jest zablokowane dziś");
    std::string prepStarts = Cp("Rozpoczęcie badania komunikatów");
    std::string prepEnds = Cp("Koniec badania komunikatów");
    std::string unblockedToday = Cp("Odblokowano zdarzenie dziś nr: ");
    std::string blockedForGood = Cp("Zablokowano na stałe zdarzenie nr ");
    std::string clockBack = Cp("Zegar cofnięty: zdjęto blokadę założoną ");
};

const Texts& T()
{
    static const Texts texts;
    return texts;
}

const std::string kLine17(17, '-');
const std::string kLine27(27, '-');

std::string N(int index) { return std::to_string(index + 1); }

} // namespace

Engine::Engine(EngineState& state, Komunikaty& list, const Settings& settings, DiagnosticLog& log,
               const RegionalFormats& formats, const Clock& clock, ScreenSaver& saver, ReminderPresenter& presenter)
    : state_(state), list_(list), settings_(settings), log_(log), formats_(formats), clock_(clock), saver_(saver),
      presenter_(presenter)
{
}

void Engine::Start()
{
    const DateTime now = clock_.Now();
    state_.DataAkt = now.date;
    state_.PassTime = now;
}

bool Engine::Detail(int above) const { return log_.Recording() && settings_.LogDetail > above; }

void Engine::Log(const std::string& text)
{
    if (log_.Recording())
        log_.WriteLog(text);
}

int32_t Engine::MinuteOfDay() const
{
    if (settings_.LogMode == 0 || settings_.LogMode == 1)
        return clock_.Now().minuteOfDay();
    return state_.PassTime.minuteOfDay();
}

// ---------------------------------------------------------------- examination

void Engine::ExaminationPass()
{
    state_.PassTime = clock_.Now();
    CheckNewDay();

    Log(kLine17);
    if (Detail(0))
        log_.WriteLog(T().passStarts);
    log_.FlushLog();

    if (saver_.ScreenSaverRunning()) {
        if (Detail(1)) {
            log_.WriteLog(T().saverRuns);
            log_.WriteLog(kLine17);
        }
        log_.FlushLog();
        return;
    }
    if (presenter_.ReminderStanding()) {
        // Replacing it would cut its time short and use up a showing the
        // user never had; a new one waits until it has gone.
        if (Detail(1)) {
            log_.WriteLog(T().stillStanding);
            log_.WriteLog(kLine17);
        }
        log_.FlushLog();
        return;
    }

    for (int i = 0; i < list_.ReminderCount(); ++i) {
        Log(kLine17);
        if (Detail(1))
            log_.WriteLog("Komunikat nr " + N(i) + " przed badaniem zdarzenia");
        const int32_t r = ExamineReminder(i);
        if (Detail(1))
            log_.WriteLog("Komunikat nr " + N(i) + T().valueOf + std::to_string(r));
        log_.FlushLog();
        if (r == NoWarning)
            continue;

        state_.CurrentReminderIndex = i;
        const Komunikat& k = list_[i];
        std::string text;
        if (r == AfterWarning) {
            text = T().expired + TextToDisplay(k.Tresc);
        } else {
            const Date day = IncDay(state_.DataAkt, r);
            text = formats_.ShortDate(day) + " - " + std::string(DayName(WeekdayOfDate(day))) + "\r" +
                   TextToDisplay(k.Tresc);
        }
        if (settings_.LogMode == 0 || settings_.LogMode == 1) {
            presenter_.ShowReminderWindow(r, text);
            presenter_.StartAutoHideTimer();
            if (settings_.LogMode == 1 && Detail(0))
                log_.WriteLog((r == AfterWarning ? "Komunikat po czasie do zdarzenia nr "
                                                 : "Komunikat przed czasem do zdarzenia nr ") +
                              N(i));
        }
        break; // one reminder per pass
    }
    Log(std::string());
    log_.FlushLog();
}

void Engine::CheckNewDay()
{
    if (settings_.LogMode != 0 && settings_.LogMode != 1)
        return;
    // Whole dates, not day numbers: a month asleep still makes a new day, and
    // so does a clock set back. DataAkt is compared too, because a save of the
    // list just after midnight prepares with the old today but stamps the new
    // date as the last preparation.
    const Date today = clock_.Today();
    if (state_.LastPreparationDate == today && state_.DataAkt == today)
        return;
    state_.DataAkt = today;
    state_.LastPreparationDate = state_.DataAkt;
    PreparationPass();
    if (Detail(0)) {
        log_.WriteLog(kLine17);
        log_.WriteLog(T().midnight);
    }
}

int32_t Engine::ExamineReminder(int index)
{
    Komunikat& k = list_[index];
    if (Detail(0))
        log_.WriteLog(T().examineStarts + N(index));
    if (k.Blok == 1) {
        if (Detail(0))
            log_.WriteLog("Zdarzenie nr " + N(index) + " jest zablokowane");
        return NoWarning;
    }
    if (k.BlokDzis == 1) {
        if (Detail(0))
            log_.WriteLog("Zdarzenie nr " + N(index) + T().blockedToday);
        return NoWarning;
    }
    int32_t r = NoWarning;
    if (k.WarnToday) {
        const DayClass c = ClassifyDay(k, state_.DataAkt);
        if (c.kind == DayClass::Before)
            r = WarnBefore(index, c.days);
        else if (c.kind == DayClass::After)
            r = WarnAfter(index, c.days);
        if (Detail(0))
            log_.WriteLog("Zdarzenie nr " + N(index) + " - to dzisiaj");
        if (Detail(2))
            log_.WriteLog(r != NoWarning ? std::string("Ostrzegamy!!!") : T().tooEarly);
    } else if (Detail(0)) {
        log_.WriteLog("Zdarzenie nr " + N(index) + T().notToday);
    }
    if (Detail(0))
        log_.WriteLog("Koniec badania zdarzenie nr " + N(index));
    return r;
}

int32_t Engine::WarnIfAllowed(int index, int32_t d, int32_t answer, const std::string& what)
{
    Komunikat& k = list_[index];
    const int32_t minute = MinuteOfDay();
    if (k.ShownToday >= k.Ile || int64_t(minute) - k.LastShownMinute <= settings_.PokazCo)
        return NoWarning;
    ++k.ShownToday;
    k.LastShownMinute = minute;
    if (Detail(1))
        log_.WriteLog(what + std::to_string(d) + " dni nr " + std::to_string(k.ShownToday) + "/" +
                      std::to_string(k.Ile));
    return answer;
}

int32_t Engine::WarnBefore(int index, int32_t d) { return WarnIfAllowed(index, d, d, T().warnBefore); }

int32_t Engine::WarnAfter(int index, int32_t d)
{
    if (list_[index].CzyPo != 1)
        return NoWarning;
    return WarnIfAllowed(index, d, AfterWarning, T().warnAfter);
}

// ---------------------------------------------------------------- preparation

void Engine::PreparationPass()
{
    if (log_.Recording()) {
        log_.WriteLog(std::string());
        log_.WriteLog(T().prepStarts);
        log_.WriteLog("********* " + formats_.ShortDate(state_.DataAkt) + " *********");
    }
    log_.FlushLog();
    for (int i = 0; i < list_.ReminderCount(); ++i) {
        Log(kLine27);
        log_.FlushLog();
        if (log_.Recording())
            log_.WriteLog("Badamy zdarzenie nr " + N(i));
        PrepareByKind(i);
    }
    state_.LastPreparationDate = clock_.Today();
    if (log_.Recording()) {
        log_.WriteLog(T().prepEnds);
        log_.WriteLog(std::string(27, '*') + " ");
    }
    log_.FlushLog();
}

void Engine::PrepareByKind(int index)
{
    Komunikat& k = list_[index];
    const Date today = state_.DataAkt;
    switch (DecodeRecurrence(k.CoIle).kind) {
    case RecurrenceKind::OneOff: {
        if (k.Blok != 1)
            k.PassBlockedOn = Date();
        if (k.Blok == 1 && k.PassBlockedOn.serial != 0 && today < k.PassBlockedOn) {
            // Blocked by a pass while the clock stood ahead of today (a wrong
            // clock, corrected since): the block was never the user's.
            k.Blok = 0;
            if (log_.Recording())
                log_.WriteLog(T().clockBack + formats_.ShortDate(k.PassBlockedOn) + " - zdarzenie nr " + N(index));
            k.PassBlockedOn = Date();
        }
        const int32_t d = k.Data - today;
        if (int64_t(d) < -int64_t(k.IlePrzed)) {
            if (k.Blok != 1)
                k.PassBlockedOn = today;
            k.Blok = 1;
            if (Detail(1))
                log_.WriteLog(T().blockedForGood + N(index));
            return;
        }
        PrepareReminder(index, d);
        if (log_.Recording())
            log_.WriteLog("Ilosc dni do zdarzenia nr " + N(index) + " - " + std::to_string(d));
        if (Detail(1))
            TraceOccurrence(log_, formats_, k, index, d, -100, k.Data, k.Data);
        return;
    }
    case RecurrenceKind::Daily:
        if (today < k.Data && !WindowOpened(k, today)) {
            // Not begun, and its first warning day is still ahead: out of its
            // window like any other kind, which also ends its blocks.
            const int32_t u = k.Data - today;
            PrepareReminder(index, u);
            if (Detail(1))
                TraceOccurrence(log_, formats_, k, index, u, -u, k.Data, k.Data);
            return;
        }
        if (ReleaseTodayBlock(index)) {
            k.ShownToday = 0;
            k.LastShownMinute = StartMinute();
            k.Blok = 0;
            k.WarnToday = true;
            if (Detail(1)) {
                const Date now = clock_.Today();
                TraceOccurrence(log_, formats_, k, index, 0, 0, IncDay(now, -1), now);
            }
        }
        return;
    case RecurrenceKind::Weekly:
    case RecurrenceKind::Monthly:
    case RecurrenceKind::Yearly:
    case RecurrenceKind::EveryXDays:
    case RecurrenceKind::DaysOfMonth: {
        const Occurrences o = OccurrencesOf(k, today);
        const int32_t u = o.next - today;
        const int32_t p = today - o.previous;
        PrepareReminder(index, p < u ? p : u);
        if (Detail(1))
            TraceOccurrence(log_, formats_, k, index, u, p, o.previous, o.next);
        return;
    }
    case RecurrenceKind::None: return;
    }
}

void Engine::PrepareReminder(int index, int32_t d)
{
    Komunikat& k = list_[index];
    k.WarnToday = false;
    const int64_t distance = std::llabs(int64_t(d));
    if (distance <= k.IlePrzed && k.Blok == 0 && ReleaseTodayBlock(index)) {
        k.WarnToday = true;
        k.ShownToday = 0;
        k.LastShownMinute = StartMinute();
        if (Detail(1))
            log_.WriteLog("Przygotowanie do ostrzegania - zdarzenie nr: " + N(index));
    }
    if (distance > k.IlePrzed) {
        k.Blok = 0;
        k.BlokDzis = 0;
        if (Detail(1))
            log_.WriteLog("Odblokowano zdarzenie nr " + N(index));
    }
}

bool Engine::ReleaseTodayBlock(int index)
{
    Komunikat& k = list_[index];
    if (k.BlokDzis != 1)
        return true;
    if (k.BlokDzisData == state_.DataAkt)
        return false;
    k.BlokDzis = 0;
    if (Detail(1))
        log_.WriteLog(T().unblockedToday + N(index));
    return true;
}

} // namespace remindo
