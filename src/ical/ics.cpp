#include "ical/ics.h"

#include "dates/datetools.h"
#include "engine/occurrence.h"
#include "store/codec.h"
#include "store/textnumbers.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <tuple>

namespace remindo {

namespace {

// libical keeps INTERVAL in a short, and writes no date after the year 3000.
constexpr int32_t kMaxInterval = 32767;
constexpr int kLastYear = 3000;

// What iCalendar has no word for. The date and the code are written only
// where DTSTART and the rule do not give them back, and so is the text
// where SUMMARY does not.
constexpr const char* kData = "X-REMINDO-DATA";
constexpr const char* kCoIle = "X-REMINDO-COILE";
constexpr const char* kTresc = "X-REMINDO-TRESC";
constexpr const char* kCzyPo = "X-REMINDO-CZYPO";
constexpr const char* kIle = "X-REMINDO-ILE";
constexpr const char* kBlok = "X-REMINDO-BLOK";
constexpr const char* kBlokDzis = "X-REMINDO-BLOKDZIS";
constexpr const char* kBlokDzisData = "X-REMINDO-BLOKDZISDATA";

int WeekdayNumber(Date d) { return WeekdayOfDate(d) + 1; }

std::string Basic(Date d)
{
    const Ymd y = YmdOf(d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", y.year, y.month, y.day);
    return buf;
}

std::optional<Date> FromBasic(const std::string& text)
{
    const auto part = [&](size_t from, size_t len) { return ParseInt32(std::string_view(text).substr(from, len)); };
    Date d;
    if (text.size() != 8 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    if (!TryDateFromYmd(*part(0, 4), *part(4, 2), *part(6, 2), d))
        return std::nullopt;
    return d;
}

// Lines of a stored text, one per line of the summary.
std::string SummaryOf(const std::string& tresc)
{
    std::vector<std::string> lines;
    TextToLines(tresc, lines);
    std::string joined;
    for (size_t i = 0; i < lines.size(); ++i)
        joined += (i ? "\n" : "") + lines[i];
    return joined;
}

std::string TrescOf(const std::string& summary)
{
    if (summary.empty())
        return {};
    std::string tresc;
    for (const char c : summary)
        tresc += c == '\n' ? '+' : c;
    return tresc + '+';
}

// libical drops the blanks at either end of a value.
bool KeepsItsEnds(std::string_view value)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    return value.empty() || (!blank(value.front()) && !blank(value.back()));
}

IcsRule Freq(const char* freq, int interval = 1)
{
    IcsRule r;
    r.freq = freq;
    r.interval = interval;
    return r;
}

// Days 28 to `last`, the last of them that the month has: the program's
// "the last day of the month when the month is shorter".
void MonthEnd(IcsRule& r, int last)
{
    for (int d = 28; d <= last; ++d)
        r.byMonthDay.push_back(d);
    r.bySetPos = {-1};
}

// The rule of a reminder and its first occurrence on or after its date;
// false with a reason when iCalendar cannot say it.
bool RuleOf(const Komunikat& k, IcsEvent& e, Date& start, std::string& why)
{
    const Recurrence rec = DecodeRecurrence(k.CoIle);
    const Ymd ymd = YmdOf(k.Data);
    start = FirstOccurrence(k);
    IcsRule r;
    switch (rec.kind) {
    case RecurrenceKind::None:
        why = "its code " + std::to_string(k.CoIle) + " names no recurrence";
        return false;
    case RecurrenceKind::OneOff:
        return true;
    case RecurrenceKind::Daily:
        r = Freq("DAILY");
        break;
    case RecurrenceKind::EveryXDays:
        if (rec.every > kMaxInterval) {
            why = "every " + std::to_string(rec.every) + " days is more than an iCalendar rule can hold here";
            return false;
        }
        r = Freq("DAILY", rec.every);
        break;
    case RecurrenceKind::Weekly:
        r = Freq("WEEKLY");
        break;
    case RecurrenceKind::Monthly:
        r = Freq("MONTHLY");
        if (ymd.day > 28)
            MonthEnd(r, ymd.day);
        break;
    case RecurrenceKind::Yearly:
        r = Freq("YEARLY");
        if (ymd.month == 2 && ymd.day == 29) {
            r.byMonth = {2};
            MonthEnd(r, 29);
        }
        break;
    case RecurrenceKind::DaysOfMonth:
        if (rec.k == kEveryWeekdayOfMonth) {
            r = Freq("WEEKLY");
            r.byDay = {{0, rec.w}};
        } else if (rec.IsWeekdayRule()) {
            r = Freq("MONTHLY");
            r.byDay = {{rec.k == kLastWeekdayOfMonth ? -1 : int(rec.k), rec.w}};
        } else {
            // A count the editor never writes: the passes warn every day.
            r = Freq("DAILY");
            e.extra.emplace_back(kCoIle, std::to_string(k.CoIle));
        }
        break;
    }
    e.rules.push_back(r);
    return true;
}

uint64_t Fnv1a(uint64_t h, std::string_view bytes)
{
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ULL;
    }
    return h;
}

// The same reminder gets the same UID at every export, so that a calendar
// that subscribes to the file keeps its event; an edited text, date or rule
// makes it a new one.
uint64_t UidHash(const Komunikat& k)
{
    const uint64_t h = Fnv1a(0xcbf29ce484222325ULL, k.Tresc);
    return Fnv1a(h, std::string(1, '\0') + std::to_string(k.Data.serial) + "/" + std::to_string(k.CoIle));
}

std::string Uid(uint64_t h, int n)
{
    char buf[64];
    if (n == 1)
        std::snprintf(buf, sizeof buf, "%016llx@remindo.vendly.pl", static_cast<unsigned long long>(h));
    else
        std::snprintf(buf, sizeof buf, "%016llx-%d@remindo.vendly.pl", static_cast<unsigned long long>(h), n);
    return buf;
}

// ------------------------------------------------------------------ import

// A summary's first line or a UID as a message shows it: cut after 80
// characters, control characters as blanks, so that nothing reaches the
// terminal as a command.
std::string Shown(std::string_view utf8)
{
    std::string out;
    size_t chars = 0;
    for (const char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if ((b & 0xC0) != 0x80 && ++chars > 80) {
            out += "\xE2\x80\xA6"; // …
            break;
        }
        out += b < 0x20 || b == 0x7F ? ' ' : c;
    }
    return out;
}

std::string Named(const IcsEvent& e)
{
    const std::string_view first = std::string_view(e.summary).substr(0, e.summary.find('\n'));
    if (first.empty())
        return e.component + (e.uid.empty() ? "" : " " + Shown(e.uid));
    return "\"" + Shown(first) + "\"";
}

struct NoKind {
    std::string why;
};

std::string Counted(int64_t n, const char* unit)
{
    return std::to_string(n) + " " + unit + (n == 1 ? "" : "s");
}

// "1 day 12 hours", "15 minutes": a span of time as a calendar says it.
std::string Span(int64_t seconds)
{
    const uint64_t s = seconds < 0 ? 0 - uint64_t(seconds) : uint64_t(seconds);
    const std::pair<uint64_t, const char*> units[] = {
        {s / 86400, "day"}, {s / 3600 % 24, "hour"}, {s / 60 % 60, "minute"}, {s % 60, "second"}};
    std::string out;
    for (const auto& [n, unit] : units)
        if (n)
            out += (out.empty() ? "" : " ") + Counted(int64_t(n), unit);
    return out.empty() ? "0 seconds" : out;
}

// "the day of the month, or the month's last day when it is shorter", as
// the rule's BYMONTHDAY and BYSETPOS say it for `day`.
bool SameDayOfMonth(const IcsRule& r, int day)
{
    // The 31st, or the last day of a shorter month, is every month's last day.
    if (day == 31 && r.byMonthDay == std::vector<int>{-1} && r.bySetPos.empty())
        return true;
    if (day <= 28)
        return r.bySetPos.empty() && (r.byMonthDay.empty() || r.byMonthDay == std::vector<int>{day});
    IcsRule expected;
    MonthEnd(expected, day);
    return r.byMonthDay == expected.byMonthDay && r.bySetPos == expected.bySetPos;
}

// The recurrence of a rule whose series starts on `s`.
Recurrence RecurrenceOf(const std::vector<IcsRule>& rules, Date s)
{
    if (rules.empty())
        return {RecurrenceKind::OneOff};
    if (rules.size() > 1)
        throw NoKind{"several rules (RRULE) in one event"};
    const IcsRule& r = rules.front();
    const auto no = [&](const std::string& why) { return NoKind{why + " (" + r.text + ")"}; };
    if (!r.other.empty()) {
        std::string parts;
        for (const std::string& p : r.other)
            parts += (parts.empty() ? "" : ", ") + p;
        throw no(parts + ": Remindo's rules have no end and no hours");
    }
    if (r.interval < 1)
        throw no("an interval below 1");
    if (r.byDay.size() > 1)
        throw no("several weekdays in one rule");
    const Ymd ymd = YmdOf(s);
    const int w = WeekdayNumber(s);
    const bool byDay = !r.byDay.empty();
    const bool byDate = !r.byMonthDay.empty() || !r.byMonth.empty() || !r.bySetPos.empty();
    const auto onItsWeekday = [&] {
        if (r.byDay.front().weekday != w)
            throw no("the first date is not one of the rule's days");
    };
    if (r.freq == "DAILY") {
        if (byDay || byDate)
            throw no("a daily rule on some days only");
        return r.interval == 1 ? Recurrence{RecurrenceKind::Daily} : Recurrence::Every(r.interval);
    }
    if (r.freq == "WEEKLY") {
        if (byDate)
            throw no("a weekly rule on some dates only");
        if (!byDay && r.interval == 1)
            return {RecurrenceKind::Weekly};
        if (!byDay) // every n weeks is every 7n days
            return Recurrence::Every(7 * r.interval);
        onItsWeekday();
        if (r.interval != 1)
            throw no("a weekday every " + std::to_string(r.interval) + " weeks");
        return Recurrence::WeekdayOfMonth(kEveryWeekdayOfMonth, w);
    }
    if (r.freq != "MONTHLY" && r.freq != "YEARLY")
        throw no(r.freq.empty() ? "a rule libical cannot read" : "a rule repeating " + r.freq);
    if (r.interval != 1)
        throw no("every " + std::to_string(r.interval) + (r.freq == "MONTHLY" ? " months" : " years"));
    if (r.freq == "MONTHLY") {
        if (!r.byMonth.empty())
            throw no("a monthly rule in some months only");
        if (!byDay) {
            if (!SameDayOfMonth(r, ymd.day))
                throw no(ymd.day > 28 ? "months without day " + std::to_string(ymd.day) +
                                            " skipped, where Remindo takes their last day"
                                      : "days of the month other than the first date's");
            return {RecurrenceKind::Monthly};
        }
        if (byDate)
            throw no("a weekday on some dates only");
        onItsWeekday();
        const int n = r.byDay.front().position;
        if (n == 0)
            return Recurrence::WeekdayOfMonth(kEveryWeekdayOfMonth, w);
        if (n >= 1 && n <= 4 && NextNthWeekdayOfMonth(w, n, s) == s)
            return Recurrence::WeekdayOfMonth(n, w);
        if (n == -1 && NextLastWeekdayOfMonth(w, s) == s)
            return Recurrence::WeekdayOfMonth(kLastWeekdayOfMonth, w);
        throw no((n >= 1 && n <= 4) || n == -1 ? "the first date is not one of the rule's days"
                                              : "a weekday at place " + std::to_string(n) + " in the month");
    }
    // Yearly: the first date's day and month; a leap year's 29 February is
    // 28 February in the other years.
    if (byDay)
        throw no("a yearly rule on weekdays");
    if (ymd.month == 2 && ymd.day == 29) {
        if (r.byMonth != std::vector<int>{2} || !SameDayOfMonth(r, 29))
            throw no("29 February skipped in the other years, where Remindo takes 28 February");
        return {RecurrenceKind::Yearly};
    }
    const bool itsMonth = r.byMonth.empty() || r.byMonth == std::vector<int>{ymd.month};
    // A day of the month without a month is that day of every month.
    const bool itsDay = r.bySetPos.empty() &&
                        (r.byMonthDay.empty() || (!r.byMonth.empty() && r.byMonthDay == std::vector<int>{ymd.day}));
    if (!itsMonth || !itsDay)
        throw no("days other than the first date's");
    return {RecurrenceKind::Yearly};
}

template <typename T>
T Extra(const IcsEvent& e, const char* name, T fallback, const char* what,
        const std::function<std::optional<T>(const std::string&)>& parse)
{
    for (const auto& [n, v] : e.extra)
        if (n == name) {
            if (const std::optional<T> value = parse(v))
                return *value;
            throw NoKind{std::string(name) + ": not " + what + ": " + v};
        }
    return fallback;
}

int32_t ExtraNumber(const IcsEvent& e, const char* name, int32_t fallback)
{
    return Extra<int32_t>(e, name, fallback, "a whole number",
                          [](const std::string& v) { return ParseInt32(v); });
}

Date ExtraDate(const IcsEvent& e, const char* name, Date fallback)
{
    return Extra<Date>(e, name, fallback, "a date (YYYYMMDD)", FromBasic);
}

// The editor's limits: at most two lines and 160 characters, line breaks
// aside. A text far longer stalls the program's windows.
constexpr size_t kMaxTextLines = 2;
constexpr size_t kMaxTextChars = 160;

void CheckFits(const std::string& tresc, const char* what)
{
    const size_t ends = size_t(std::count(tresc.begin(), tresc.end(), '+'));
    const size_t lines = ends + (tresc.empty() || tresc.back() == '+' ? 0 : 1);
    const size_t chars = tresc.size() - ends;
    if (lines > kMaxTextLines)
        throw NoKind{std::string(what) + ": " + std::to_string(lines) + " lines, where Remindo keeps at most " +
                     std::to_string(kMaxTextLines)};
    if (chars > kMaxTextChars)
        throw NoKind{std::string(what) + ": " + std::to_string(chars) + " characters, where Remindo keeps at most " +
                     std::to_string(kMaxTextChars)};
}

// A stored text holds no control characters but the tab (and a line break
// only as its "+"); libical would drop a carriage return at the next export.
std::string Cp1250Text(std::string utf8, const char* what)
{
    for (char& c : utf8)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n')
            c = ' ';
    const Cp1250Result r = Cp1250FromUtf8(utf8);
    if (!r.ok()) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "U+%04X", unsigned(r.rejected.front()));
        throw NoKind{std::string(what) + ": the character " + buf + " has no Windows-1250 form"};
    }
    return r.text;
}

Komunikat Mapped(const IcsEvent& e, Date today)
{
    if (!e.other.empty())
        throw NoKind{e.other.front()};
    if (!e.hasStart)
        throw NoKind{"no date (DTSTART)"};
    Date s;
    if (!TryDateFromYmd(e.start.year, e.start.month, e.start.day, s))
        throw NoKind{"a date Remindo cannot hold"};
    Komunikat k;
    k.CoIle = ExtraNumber(e, kCoIle, RecurrenceOf(e.rules, s).Code());
    k.Data = ExtraDate(e, kData, s);
    bool ownText = false;
    for (const auto& [n, v] : e.extra)
        ownText = ownText || n == kTresc;
    if (ownText) {
        k.Tresc = Extra<std::string>(e, kTresc, {}, "a text", [](const std::string& v) {
            const bool quoted = v.size() >= 2 && v.front() == '"' && v.back() == '"';
            return Cp1250Text(quoted ? v.substr(1, v.size() - 2) : v, kTresc);
        });
        CheckFits(k.Tresc, kTresc);
    } else {
        k.Tresc = TrescOf(Cp1250Text(e.summary, "the summary"));
        if (e.summary.find('+') != std::string::npos)
            throw NoKind{"a \"+\" in the summary, where Remindo ends a line"};
        CheckFits(k.Tresc, "the summary");
    }
    const int64_t before = e.hasAlarm ? e.alarmDaysBefore : 0;
    k.IlePrzed = static_cast<int32_t>(std::clamp<int64_t>(before, std::numeric_limits<int32_t>::min(),
                                                          std::numeric_limits<int32_t>::max()));
    k.CzyPo = ExtraNumber(e, kCzyPo, 0);
    k.Ile = ExtraNumber(e, kIle, 1);
    k.Blok = ExtraNumber(e, kBlok, 0);
    k.BlokDzis = ExtraNumber(e, kBlokDzis, 0);
    k.BlokDzisData = ExtraDate(e, kBlokDzisData, today);
    return k;
}

} // namespace

std::string ReminderUid(const Komunikat& k, int nth) { return Uid(UidHash(k), nth); }

bool EventOf(const Komunikat& k, IcsEvent& e, std::string& why)
{
    e = IcsEvent();
    Date start;
    if (!RuleOf(k, e, start, why))
        return false;
    if (YmdOf(start).year > kLastYear) {
        why = "its first date lies after the year " + std::to_string(kLastYear) + ", past what libical writes";
        return false;
    }
    e.uid = ReminderUid(k);
    e.summary = Utf8FromCp1250(SummaryOf(k.Tresc));
    e.hasStart = true;
    e.start = YmdOf(start);
    if (start != k.Data)
        e.extra.emplace_back(kData, Basic(k.Data));
    // Quoted, so that blanks at its ends stay.
    if (TrescOf(SummaryOf(k.Tresc)) != k.Tresc || !KeepsItsEnds(e.summary))
        e.extra.emplace_back(kTresc, "\"" + Utf8FromCp1250(k.Tresc) + "\"");
    e.extra.emplace_back(kCzyPo, std::to_string(k.CzyPo));
    e.extra.emplace_back(kIle, std::to_string(k.Ile));
    e.extra.emplace_back(kBlok, std::to_string(k.Blok));
    e.extra.emplace_back(kBlokDzis, std::to_string(k.BlokDzis));
    e.extra.emplace_back(kBlokDzisData, Basic(k.BlokDzisData));
    e.hasAlarm = true;
    e.alarmDaysBefore = k.IlePrzed;
    e.alarmSecondsBefore = int64_t(k.IlePrzed) * 86400;
    return true;
}

IcsExport EventsOf(const Komunikaty& list)
{
    IcsExport out;
    std::map<uint64_t, int> seen;
    for (int i = 0; i < list.ReminderCount(); ++i) {
        const Komunikat& k = list[i];
        IcsEvent e;
        std::string why;
        if (!EventOf(k, e, why)) {
            const std::string summary = Utf8FromCp1250(SummaryOf(k.Tresc));
            out.left.push_back("not exported: reminder " + std::to_string(i + 1) + " \"" +
                               summary.substr(0, summary.find('\n')) + "\": " + why);
            continue;
        }
        const uint64_t h = UidHash(k);
        e.uid = Uid(h, ++seen[h]);
        out.events.push_back(std::move(e));
        out.indices.push_back(i);
    }
    return out;
}

std::optional<Komunikat> ReminderOf(const IcsEvent& e, Date today, std::string& why, std::vector<std::string>* notes)
{
    Komunikat k;
    try {
        k = Mapped(e, today);
    } catch (const NoKind& no) {
        why = Named(e) + ": " + no.why;
        return std::nullopt;
    }
    if (!notes)
        return k;
    if (!e.unknownZone.empty())
        notes->push_back("time zone unknown: " + Named(e) + ": " + e.unknownZone +
                         ", its date taken as the file writes it");
    if (!e.notKept.empty()) {
        std::string names;
        for (const std::string& n : e.notKept)
            names += (names.empty() ? "" : ", ") + n;
        notes->push_back("not kept: " + Named(e) + ": " + names);
    }
    if (e.hasAlarm && e.alarmSecondsBefore != e.alarmDaysBefore * 86400)
        notes->push_back("rounded: " + Named(e) + ": an alarm " + Span(e.alarmSecondsBefore) +
                         (e.alarmSecondsBefore < 0 ? " after" : " before") + " is " +
                         Counted(e.alarmDaysBefore, "day") + " before");
    return k;
}

IcsImport RemindersOf(const std::vector<IcsEvent>& events, Date today, const Komunikaty& already)
{
    IcsImport out;
    // An event that came from this list keeps the UID of its reminder's
    // export even when a calendar program has changed it since.
    std::set<std::string> exported;
    for (const IcsEvent& e : EventsOf(already).events)
        exported.insert(e.uid);
    std::set<std::tuple<std::string, int32_t, int32_t>> held;
    for (const Komunikat& k : already.items)
        held.emplace(k.Tresc, k.Data.serial, k.CoIle);
    for (const IcsEvent& e : events) {
        if (!e.uid.empty() && exported.count(e.uid)) {
            ++out.alreadyThere;
            continue;
        }
        std::string why;
        std::vector<std::string> notes;
        std::optional<Komunikat> k = ReminderOf(e, today, why, &notes);
        if (!k) {
            out.refused.push_back(why);
            continue;
        }
        if (held.count({k->Tresc, k->Data.serial, k->CoIle})) {
            ++out.alreadyThere;
            continue;
        }
        out.list.items.push_back(std::move(*k));
        out.droppedTimes = out.droppedTimes || e.timed;
        out.movedZones = out.movedZones || e.zoned;
        out.notes.insert(out.notes.end(), notes.begin(), notes.end());
    }
    return out;
}

} // namespace remindo
