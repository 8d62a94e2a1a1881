// remindo-data's iCalendar import on arbitrary text: every event becomes a
// reminder or a refusal with its reason, and what was imported survives an
// export and a second import unchanged, and adds nothing to its own list.
#include "fuzzhelpers.h"

#include "ics.h"
#include "icscodec.h"

#include <cstdint>

using namespace remindo;
using namespace remindo::cli;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::unique_ptr<IcsCodec> codec = MakeLibicalCodec();
    const Date today = DateFromYmd(2026, 12, 8);
    std::vector<IcsEvent> events;
    std::string why;
    if (!codec->Read(std::string_view(reinterpret_cast<const char*>(data), size), events, why)) {
        fuzz::Check(!why.empty(), "a calendar refused says why");
        return 0;
    }
    const IcsImport first = RemindersOf(events, today);
    fuzz::Check(first.list.items.size() + first.refused.size() == events.size(), "each event imported or refused");

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
