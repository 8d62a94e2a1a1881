// The iCalendar text through libical, and the entry point of
// libremindo-data-ics.so.
#include "icscodec.h"

#include <libical/ical.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace remindo {

namespace {

struct ComponentFree {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

// ------------------------------------------------------- before libical reads

// On an RRULE, the part that libical would read as another number, as the
// file writes it: libical keeps INTERVAL in a short (70000 comes in as 4464,
// 65537 as 1) and a weekday's place times eight in one.
constexpr const char* kMisread = "X-REMINDO-MISREAD";

bool SameLetters(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

// A number as libical reads it (blanks, a sign, digits, whatever follows
// ignored), held far from overflowing.
int64_t LeadingNumber(std::string_view s)
{
    size_t i = s.find_first_not_of(" \t");
    if (i == std::string_view::npos)
        return 0;
    const bool negative = s[i] == '-';
    if (s[i] == '+' || s[i] == '-')
        ++i;
    int64_t n = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
        n = std::min<int64_t>(n * 10 + (s[i] - '0'), int64_t(1) << 40);
    return negative ? -n : n;
}

// The first part of a rule whose number libical would wrap; empty when none.
std::string_view WrappedPart(std::string_view rule)
{
    for (size_t from = 0; from < rule.size();) {
        const size_t end = std::min(rule.find(';', from), rule.size());
        const std::string_view part = rule.substr(from, end - from);
        from = end + 1;
        const size_t eq = part.find('=');
        if (eq == std::string_view::npos)
            continue;
        const std::string_view key = part.substr(0, eq), value = part.substr(eq + 1);
        if (SameLetters(key, "INTERVAL")) {
            const int64_t n = LeadingNumber(value);
            if (n < 1 || n > 32767)
                return part;
        } else if (SameLetters(key, "BYDAY")) {
            for (size_t d = 0; d <= value.size();) {
                const size_t comma = std::min(value.find(',', d), value.size());
                const int64_t place = LeadingNumber(value.substr(d, comma - d));
                if (place < -53 || place > 53)
                    return part;
                d = comma + 1;
            }
        }
    }
    return {};
}

// The text libical is to read: false with the reason when a line is longer
// than kMaxIcsLine or components nest deeper than kMaxIcsDepth; a rule that
// libical would misread carries the part, as written, in kMisread.
bool Prepare(std::string_view text, std::string& out, std::string& why)
{
    // One content line: the physical lines after the first begin with a
    // blank, dropped when they are joined. `pieces`: where each begins, in
    // `line` and in `text`.
    std::string line;
    std::vector<std::pair<size_t, size_t>> pieces;
    std::vector<std::pair<size_t, std::string>> marks; // insertions into `text`, in order
    size_t number = 0, first = 0;
    int depth = 0;
    const auto contentLine = [&]() {
        if (pieces.empty())
            return true;
        const size_t nameEnd = std::min({line.find(':'), line.find(';'), line.size()});
        std::string name; // blanks left out, as libical does; only short names matter
        for (size_t i = 0; i < nameEnd && name.size() <= 8; ++i)
            if (line[i] != ' ' && line[i] != '\t')
                name += char(std::toupper(static_cast<unsigned char>(line[i])));
        if (name == "BEGIN") {
            // libical ends a component at any END; counting only "END:" and
            // every BEGIN, this depth is never below libical's.
            if (++depth > kMaxIcsDepth) {
                why = "components nested more than " + std::to_string(kMaxIcsDepth) + " deep (line " +
                      std::to_string(first) + ")";
                return false;
            }
        } else if (nameEnd == 3 && line.size() > 3 && line[3] == ':' && SameLetters(line.substr(0, 3), "END")) {
            depth = std::max(0, depth - 1);
        } else if (name == "RRULE") {
            bool quoted = false;
            size_t colon = 0;
            while (colon < line.size() && (quoted || line[colon] != ':'))
                quoted = quoted != (line[colon++] == '"');
            const std::string_view part =
                colon < line.size() ? WrappedPart(std::string_view(line).substr(colon + 1)) : std::string_view();
            if (!part.empty()) {
                std::string written; // what a quoted parameter can hold
                for (const char c : part.substr(0, 60))
                    written += c > ' ' && c < 127 && c != '"' ? c : '?';
                // Right after the name, before the file's own parameters.
                size_t k = pieces.size() - 1;
                while (pieces[k].first > nameEnd)
                    --k;
                marks.emplace_back(pieces[k].second + (nameEnd - pieces[k].first),
                                   std::string(";") + kMisread + "=\"" + written + "\"");
            }
        }
        return true;
    };
    for (size_t b = 0; b < text.size();) {
        const size_t newline = std::min(text.find('\n', b), text.size());
        size_t end = newline;
        if (end > b && text[end - 1] == '\r')
            --end;
        ++number;
        if (end - b > kMaxIcsLine) {
            why = "line " + std::to_string(number) + " is longer than " + std::to_string(kMaxIcsLine) +
                  " bytes, the longest line read here";
            return false;
        }
        if (!pieces.empty() && end > b && (text[b] == ' ' || text[b] == '\t')) {
            pieces.emplace_back(line.size(), b + 1);
            line.append(text.substr(b + 1, end - b - 1));
        } else {
            if (!contentLine())
                return false;
            line.assign(text.substr(b, end - b));
            pieces.assign(1, {0, b});
            first = number;
        }
        b = newline + 1;
    }
    if (!contentLine())
        return false;
    out.clear();
    out.reserve(text.size() + marks.size() * 100);
    size_t from = 0;
    for (const auto& [at, mark] : marks) {
        out.append(text.substr(from, at - from));
        out += mark;
        from = at;
    }
    out.append(text.substr(from));
    return true;
}

// The part kMisread carries, when it is the property's first parameter.
std::string MarkedPart(icalproperty* p)
{
    icalparameter* first = icalproperty_get_first_parameter(p, ICAL_ANY_PARAMETER);
    const char* name = first && icalparameter_isa(first) == ICAL_X_PARAMETER ? icalparameter_get_xname(first) : nullptr;
    const char* value = name && std::string_view(name) == kMisread ? icalparameter_get_xvalue(first) : nullptr;
    return value ? value : "";
}

std::string MisreadReason(const std::string& part)
{
    const bool interval = SameLetters(std::string_view(part).substr(0, part.find('=')), "INTERVAL");
    return "RRULE: " + part + " is beyond what libical reads (" + (interval ? "1 to 32767" : "places -53 to 53") +
           ")";
}

// ---------------------------------------------------------------- libical

// libical's BYDAY value: the position and the weekday as sign * (|position| * 8 + weekday).
short EncodeDay(const IcsWeekday& d)
{
    const int magnitude = (d.position < 0 ? -d.position : d.position) * 8 + d.weekday;
    return static_cast<short>(d.position < 0 ? -magnitude : magnitude);
}

template <size_t N>
void Fill(short (&target)[N], const std::vector<int>& values)
{
    size_t i = 0;
    for (; i < values.size() && i + 1 < N; ++i)
        target[i] = static_cast<short>(values[i]);
    target[i] = ICAL_RECURRENCE_ARRAY_MAX;
}

template <size_t N>
std::vector<int> Values(const short (&source)[N])
{
    std::vector<int> out;
    for (size_t i = 0; i < N && source[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        out.push_back(source[i]);
    return out;
}

icalproperty* Rule(const IcsRule& rule)
{
    icalrecurrencetype r;
    icalrecurrencetype_clear(&r);
    r.freq = icalrecur_string_to_freq(rule.freq.c_str());
    r.interval = static_cast<short>(rule.interval);
    Fill(r.by_month_day, rule.byMonthDay);
    Fill(r.by_month, rule.byMonth);
    Fill(r.by_set_pos, rule.bySetPos);
    std::vector<int> days;
    for (const IcsWeekday& d : rule.byDay)
        days.push_back(EncodeDay(d));
    Fill(r.by_day, days);
    return icalproperty_new_rrule(r);
}

icaltimetype DateOf(const Ymd& d)
{
    icaltimetype t = icaltime_null_date();
    t.year = d.year;
    t.month = d.month;
    t.day = d.day;
    return t;
}

IcsRule RuleOf(icalproperty* p)
{
    const icalrecurrencetype r = icalproperty_get_rrule(p);
    IcsRule rule;
    rule.freq = r.freq == ICAL_NO_RECURRENCE ? "" : icalrecur_freq_to_string(r.freq);
    rule.interval = r.interval;
    rule.byMonthDay = Values(r.by_month_day);
    rule.byMonth = Values(r.by_month);
    rule.bySetPos = Values(r.by_set_pos);
    for (const int day : Values(r.by_day))
        rule.byDay.push_back({icalrecurrencetype_day_position(static_cast<short>(day)),
                              static_cast<int>(icalrecurrencetype_day_day_of_week(static_cast<short>(day)))});
    if (r.count > 0)
        rule.other.push_back("COUNT");
    if (!icaltime_is_null_time(r.until))
        rule.other.push_back("UNTIL");
    const std::pair<const char*, bool> parts[] = {
        {"BYSECOND", !Values(r.by_second).empty()}, {"BYMINUTE", !Values(r.by_minute).empty()},
        {"BYHOUR", !Values(r.by_hour).empty()},     {"BYYEARDAY", !Values(r.by_year_day).empty()},
        {"BYWEEKNO", !Values(r.by_week_no).empty()}, {"RSCALE", r.rscale != nullptr}};
    for (const auto& [name, present] : parts)
        if (present)
            rule.other.push_back(name);
    if (char* text = icalrecurrencetype_as_string_r(const_cast<icalrecurrencetype*>(&r))) {
        rule.text = text;
        std::free(text);
    }
    return rule;
}

// Names `what` among what the event loses, once.
void NotKept(IcsEvent& e, const std::string& what)
{
    if (std::find(e.notKept.begin(), e.notKept.end(), what) == e.notKept.end())
        e.notKept.push_back(what);
}

// The earliest alarm before the start, exactly and in whole days rounded
// towards the start (an alarm of minutes or hours before is on the day).
// An alarm at a fixed time, or counted from the end, tells no days before.
void ReadAlarms(icalcomponent* event, IcsEvent& out)
{
    for (icalcomponent* a = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT); a;
         a = icalcomponent_get_next_component(event, ICAL_VALARM_COMPONENT)) {
        icalproperty* p = icalcomponent_get_first_property(a, ICAL_TRIGGER_PROPERTY);
        if (!p)
            continue;
        const icaltriggertype t = icalproperty_get_trigger(p);
        if (!icaltime_is_null_time(t.time)) {
            NotKept(out, "an alarm at a fixed time");
            continue;
        }
        icalparameter* related = icalproperty_get_first_parameter(p, ICAL_RELATED_PARAMETER);
        if (related && icalparameter_get_related(related) == ICAL_RELATED_END) {
            NotKept(out, "an alarm counted from the end");
            continue;
        }
        const icaldurationtype& d = t.duration;
        const int64_t seconds = (int64_t(d.weeks) * 7 + d.days) * 86400 + int64_t(d.hours) * 3600 +
                                int64_t(d.minutes) * 60 + d.seconds;
        const int64_t before = d.is_neg ? seconds : -seconds;
        if (!out.hasAlarm || before > out.alarmSecondsBefore)
            out.alarmSecondsBefore = before;
        out.hasAlarm = true;
    }
    out.alarmDaysBefore = out.alarmSecondsBefore / 86400;
}

// The day a time falls on here: a time in a time zone (the file's VTIMEZONE
// or the system's zone of that name) or in UTC is taken to the user's time
// zone; a date, or a time without a zone, is the day the file writes.
Ymd DayHere(const icaltimetype& t, bool& moved)
{
    moved = false;
    if (t.is_date || !t.zone)
        return {t.year, t.month, t.day};
    const time_t at = icaltime_as_timet_with_zone(t, t.zone);
    struct tm local{};
    if (!localtime_r(&at, &local))
        return {t.year, t.month, t.day};
    moved = true;
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

Ymd DayHere(const icaltimetype& t)
{
    bool moved = false;
    return DayHere(t, moved);
}

bool Before(const Ymd& a, const Ymd& b)
{
    return std::tie(a.year, a.month, a.day) < std::tie(b.year, b.month, b.day);
}

std::string IsoText(const Ymd& d)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buf;
}

// The last day an event covers, from its end (a date's end or a time's end
// is not itself covered); a reminder keeps only the first.
void ReadEnd(icalproperty* p, icalcomponent* c, const icaltimetype& start, IcsEvent& e)
{
    const bool duration = icalproperty_isa(p) == ICAL_DURATION_PROPERTY;
    icaltimetype end = duration ? icaltime_add(start, icalproperty_get_duration(p))
                                : icalproperty_get_datetime_with_component(p, c);
    if (icaltime_is_null_time(end) || !icaltime_is_valid_time(end) || icaltime_compare(end, start) <= 0)
        return;
    if (end.is_date)
        icaltime_adjust(&end, -1, 0, 0, 0);
    else
        icaltime_adjust(&end, 0, 0, 0, -1);
    const Ymd last = DayHere(end);
    if (Before(e.start, last))
        NotKept(e, std::string(duration ? "DURATION" : "DTEND") + " (until " + IsoText(last) + ")");
}

IcsEvent EventOf(icalcomponent* c)
{
    IcsEvent e;
    e.component = icalcomponent_isa(c) == ICAL_VTODO_COMPONENT ? "VTODO" : "VEVENT";
    if (const char* uid = icalcomponent_get_uid(c))
        e.uid = uid;
    if (const char* summary = icalcomponent_get_summary(c))
        e.summary = summary;
    icalproperty* start = icalcomponent_get_first_property(c, ICAL_DTSTART_PROPERTY);
    if (!start && e.component == "VTODO")
        start = icalcomponent_get_first_property(c, ICAL_DUE_PROPERTY);
    icaltimetype startTime = icaltime_null_time();
    if (start) {
        const icaltimetype t = icalproperty_get_datetime_with_component(start, c);
        if (!icaltime_is_null_time(t) && icaltime_is_valid_time(t)) {
            startTime = t;
            e.hasStart = true;
            e.start = DayHere(t, e.zoned);
            e.timed = !t.is_date;
            icalparameter* tzid = icalproperty_get_first_parameter(start, ICAL_TZID_PARAMETER);
            if (e.timed && !t.zone && tzid && icalparameter_get_tzid(tzid))
                e.unknownZone = icalparameter_get_tzid(tzid);
        }
    }
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_ANY_PROPERTY)) {
        switch (icalproperty_isa(p)) {
        // What a reminder keeps, and what a calendar keeps for itself.
        case ICAL_UID_PROPERTY:
        case ICAL_DTSTAMP_PROPERTY:
        case ICAL_CREATED_PROPERTY:
        case ICAL_LASTMODIFIED_PROPERTY:
        case ICAL_SEQUENCE_PROPERTY:
        case ICAL_TRANSP_PROPERTY:
        case ICAL_SUMMARY_PROPERTY:
        case ICAL_DTSTART_PROPERTY:
            break;
        case ICAL_DUE_PROPERTY:
            if (p != start) {
                const icaltimetype due = icalproperty_get_datetime_with_component(p, c);
                NotKept(e, icaltime_is_null_time(due) || !icaltime_is_valid_time(due)
                               ? std::string("DUE")
                               : "DUE (" + IsoText(DayHere(due)) + ")");
            }
            break;
        case ICAL_DTEND_PROPERTY:
        case ICAL_DURATION_PROPERTY:
            if (e.hasStart)
                ReadEnd(p, c, startTime, e);
            break;
        case ICAL_RRULE_PROPERTY:
            if (const std::string part = MarkedPart(p); !part.empty())
                e.other.push_back(MisreadReason(part));
            e.rules.push_back(RuleOf(p));
            break;
        case ICAL_EXDATE_PROPERTY:
            e.other.push_back("EXDATE: dates taken out of the rule");
            break;
        case ICAL_RDATE_PROPERTY:
            e.other.push_back("RDATE: dates added to the rule");
            break;
        case ICAL_EXRULE_PROPERTY:
            e.other.push_back("EXRULE: a rule taken out of the rule");
            break;
        case ICAL_RECURRENCEID_PROPERTY:
            e.other.push_back("RECURRENCE-ID: one changed occurrence of a series");
            break;
        case ICAL_XLICERROR_PROPERTY: {
            // An empty property is left out and changes nothing, but an empty
            // rule would make a series a one-off.
            const std::string error = icalproperty_get_xlicerror(p) ? icalproperty_get_xlicerror(p) : "";
            const bool empty = error.rfind("No value for ", 0) == 0 && error.rfind("No value for RRULE", 0) != 0;
            if (!empty)
                e.other.push_back("a line libical cannot read: " + error);
            break;
        }
        case ICAL_X_PROPERTY: {
            const char* name = icalproperty_get_x_name(p);
            const char* value = icalproperty_get_x(p);
            if (name && std::string_view(name).substr(0, 10) == "X-REMINDO-")
                e.extra.emplace_back(name, value ? value : "");
            else
                NotKept(e, name ? name : "X-");
            break;
        }
        default: {
            const char* name = icalproperty_get_property_name(p);
            NotKept(e, name && *name ? name : "a property libical has no name for");
            break;
        }
        }
    }
    for (icalcomponent* sub = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); sub;
         sub = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
        if (icalcomponent_isa(sub) != ICAL_VALARM_COMPONENT) {
            const char* name = icalcomponent_kind_to_string(icalcomponent_isa(sub));
            NotKept(e, name && *name ? name : "a component libical has no name for");
        }
    ReadAlarms(c, e);
    return e;
}

// Every VEVENT and VTODO but those inside another, in the order of the
// file; a stack of our own instead of recursion, however deep it nests.
void Collect(icalcomponent* root, std::vector<IcsEvent>& events)
{
    std::vector<icalcomponent*> stack{root};
    while (!stack.empty()) {
        icalcomponent* c = stack.back();
        stack.pop_back();
        const icalcomponent_kind kind = icalcomponent_isa(c);
        if (kind == ICAL_VEVENT_COMPONENT || kind == ICAL_VTODO_COMPONENT) {
            events.push_back(EventOf(c));
            continue;
        }
        const size_t children = stack.size();
        for (icalcomponent* child = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); child;
             child = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
            stack.push_back(child);
        std::reverse(stack.begin() + std::ptrdiff_t(children), stack.end());
    }
}

class LibicalCodec final : public IcsCodec {
public:
    // A damaged file is answered, never aborted on.
    LibicalCodec() { icalerror_set_errors_are_fatal(0); }

    std::string Write(const std::vector<IcsEvent>& events, int64_t stamp) override
    {
        Component cal(icalcomponent_new_vcalendar());
        icalcomponent_add_property(cal.get(), icalproperty_new_prodid("-//Vendly//Remindo//PL"));
        icalcomponent_add_property(cal.get(), icalproperty_new_version("2.0"));
        icalcomponent_add_property(cal.get(), icalproperty_new_calscale("GREGORIAN"));
        const icaltimetype dtstamp =
            icaltime_from_timet_with_zone(static_cast<time_t>(stamp), 0, icaltimezone_get_utc_timezone());
        for (const IcsEvent& e : events) {
            icalcomponent* ev = icalcomponent_new_vevent();
            icalcomponent_add_property(ev, icalproperty_new_uid(e.uid.c_str()));
            icalcomponent_add_property(ev, icalproperty_new_dtstamp(dtstamp));
            icalcomponent_add_property(ev, icalproperty_new_dtstart(DateOf(e.start)));
            // libical reads an empty SUMMARY back as a fault: none at all is an empty text.
            if (!e.summary.empty())
                icalcomponent_add_property(ev, icalproperty_new_summary(e.summary.c_str()));
            // A reminder takes no time of anyone's day.
            icalcomponent_add_property(ev, icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
            for (const IcsRule& r : e.rules)
                icalcomponent_add_property(ev, Rule(r));
            for (const auto& [name, value] : e.extra) {
                icalproperty* x = icalproperty_new_x(value.c_str());
                icalproperty_set_x_name(x, name.c_str());
                icalcomponent_add_property(ev, x);
            }
            if (e.hasAlarm) {
                icalcomponent* alarm = icalcomponent_new_valarm();
                icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
                icalcomponent_add_property(alarm, icalproperty_new_description(
                                                      e.summary.empty() ? "Remindo" : e.summary.c_str()));
                icaltriggertype trigger;
                trigger.time = icaltime_null_time();
                trigger.duration = icaldurationtype_null_duration();
                trigger.duration.is_neg = e.alarmDaysBefore > 0;
                trigger.duration.days = static_cast<unsigned int>(e.alarmDaysBefore < 0 ? -e.alarmDaysBefore
                                                                                        : e.alarmDaysBefore);
                icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
                icalcomponent_add_component(ev, alarm);
            }
            icalcomponent_add_component(cal.get(), ev);
        }
        char* text = icalcomponent_as_ical_string_r(cal.get());
        std::string out = text ? text : "";
        std::free(text);
        return out;
    }

    bool Read(std::string_view text, std::vector<IcsEvent>& events, std::string& why) override
    {
        // libical reads a C string: a NUL inside the text would end it early.
        if (text.find('\0') != std::string_view::npos) {
            why = "not an iCalendar file (it holds a NUL byte)";
            return false;
        }
        std::string prepared;
        if (!Prepare(text, prepared, why))
            return false;
        Component root(icalparser_parse_string(prepared.c_str()));
        if (root)
            Collect(root.get(), events);
        if (events.empty()) {
            why = root ? "no VEVENT or VTODO in it" : "not an iCalendar file";
            return false;
        }
        return true;
    }
};

} // namespace

std::unique_ptr<IcsCodec> MakeLibicalCodec() { return std::make_unique<LibicalCodec>(); }

} // namespace remindo

extern "C" __attribute__((visibility("default"))) remindo::IcsCodec* remindo_data_ics()
{
    return remindo::MakeLibicalCodec().release();
}
