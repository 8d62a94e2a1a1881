// remindo-data's iCalendar import on arbitrary text: every event becomes a
// reminder or a refusal with its reason, every reminder's text fits the
// editor, and what was imported survives an export and a second import
// unchanged, and adds nothing to its own list. A text that the check before
// libical lets through never makes libical nest deeper than that check
// counts (libical frees components by recursion).
#include "fuzzhelpers.h"

#include "ical/ics.h"
#include "icscodec.h"

#include <libical/ical.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using namespace remindo;

namespace {

// How deep libical nests the text, walked without recursion.
int LibicalDepth(const std::string& text)
{
    icalcomponent* root = icalparser_parse_string(text.c_str());
    int deepest = 0;
    std::vector<std::pair<icalcomponent*, int>> stack;
    if (root)
        stack.emplace_back(root, 1);
    while (!stack.empty()) {
        const auto [c, depth] = stack.back();
        stack.pop_back();
        deepest = std::max(deepest, depth);
        for (icalcomponent* child = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); child;
             child = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
            stack.emplace_back(child, depth + 1);
    }
    if (root)
        icalcomponent_free(root);
    return deepest;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::unique_ptr<IcsCodec> codec = MakeLibicalCodec();
    const Date today = DateFromYmd(2026, 12, 8);
    std::vector<IcsEvent> events;
    std::string why;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const bool read = codec->Read(text, events, why);
    const bool checked = why.rfind("components nested", 0) != 0 && why.rfind("line ", 0) != 0;
    if (checked && text.find('\0') == std::string::npos)
        // One more for the XROOT that libical puts around several calendars.
        fuzz::Check(LibicalDepth(text) <= kMaxIcsDepth + 1, "libical nests no deeper than the check counts");
    if (!read) {
        fuzz::Check(!why.empty(), "a calendar refused says why");
        return 0;
    }
    const IcsImport first = RemindersOf(events, today);
    fuzz::Check(first.list.items.size() + first.refused.size() == events.size(), "each event imported or refused");
    for (const Komunikat& k : first.list.items) {
        const size_t ends = size_t(std::count(k.Tresc.begin(), k.Tresc.end(), '+'));
        fuzz::Check(ends + (k.Tresc.empty() || k.Tresc.back() == '+' ? 0 : 1) <= 2 && k.Tresc.size() - ends <= 160,
                    "an imported text fits the editor");
    }

    // A code read from X-REMINDO-COILE may name no recurrence, and a date
    // lie past what libical writes: such a reminder is left out, and named.
    const IcsExport exported = EventsOf(first.list);
    fuzz::Check(exported.left.size() + exported.events.size() == first.list.items.size(), "the left out named");
    std::vector<Komunikat> exportable;
    for (const int i : exported.indices)
        exportable.push_back(first.list.items[size_t(i)]);
    if (exported.events.empty())
        return 0;
    std::vector<IcsEvent> again;
    fuzz::Check(codec->Read(codec->Write(exported.events, 0), again, why), "an export reads back");
    const IcsImport second = RemindersOf(again, today);
    fuzz::Check(second.refused.empty(), "an export imports whole");
    fuzz::Check(second.list.items == exportable, "the same reminders after an export");
    // Into the list it came from, an export adds nothing.
    const IcsImport into = RemindersOf(again, today, first.list);
    fuzz::Check(into.list.items.empty() && size_t(into.alreadyThere) == again.size(),
                "an export adds nothing to its own list");
    return 0;
}
