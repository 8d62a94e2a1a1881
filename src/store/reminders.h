#pragma once
// The reminder record and the one program-wide reminder list.
// Texts are Windows-1250 bytes; each line of a reminder text ends in '+'
// (the last may lack it in a text written elsewhere).

#include "dates/date.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace remindo {

// One reminder (`_Komunikat`; a leading underscore before a capital is
// reserved in C++, so the type drops it).
struct Komunikat {
    std::string Tresc;
    Date Data;
    int32_t CoIle = 0;
    int32_t IlePrzed = 0;
    int32_t CzyPo = 0;
    int32_t Blok = 0;
    int32_t BlokDzis = 0;
    Date BlokDzisData;
    int32_t Ile = 0;
    // Working state of the engine, never stored.
    bool WarnToday = false;
    int32_t ShownToday = 0;
    int32_t LastShownMinute = 0;
    // The engine's today when a preparation pass blocked this one-off
    // reminder for good; none (serial 0) when it did not.
    Date PassBlockedOn;

    friend bool operator==(const Komunikat&, const Komunikat&) = default;
};

// The list window's list, as the store sees it: items to refill and a row to select.
class ReminderListView {
public:
    virtual ~ReminderListView() = default;
    virtual void SetItems(const std::vector<std::string>& items) = 0;
    virtual void SelectRow(int row) = 0; // -1 selects none
};

// `_Komunikaty` with `ReminderCount` and `SelectedIndex`.
class Komunikaty {
public:
    std::vector<Komunikat> items;
    int32_t SelectedIndex = -1;

    int32_t ReminderCount() const { return int32_t(items.size()); }
    Komunikat& operator[](int i) { return items[size_t(i)]; }
    const Komunikat& operator[](int i) const { return items[size_t(i)]; }

    // The window that lists the reminders; may be null (no window yet).
    void SetView(ReminderListView* view) { view_ = view; }

    // `dataAkt` is the engine's today, which a new reminder's day block starts on.
    void AddReminder(std::string tresc, Date data, int32_t coIle, int32_t ilePrzed, int32_t czyPo,
                     int32_t blok, int32_t ile, Date dataAkt);
    void UpdateReminder(std::string tresc, Date data, int32_t coIle, int32_t ilePrzed, int32_t czyPo,
                        int32_t blok, int32_t ile);
    // Removes the reminder at SelectedIndex; an invalid index changes nothing.
    void DeleteReminder();
    void FillReminderList(std::vector<std::string>& listItems);
    // Fills the view (if any) and selects SelectedIndex in it.
    void RefreshView();

private:
    ReminderListView* view_ = nullptr;
};

// Lines of a text, one per '+', appended; characters after the last '+'
// (a text that lacks its final '+') make one more line.
void TextToLines(std::string_view text, std::vector<std::string>& lines);
// The text with every '+' turned into a carriage return.
std::string TextToDisplay(std::string_view text);
// The lines (as TextToLines) joined, each followed by one blank.
std::string TextToListLine(std::string_view text);

inline constexpr size_t kListLineWidth = 45;

} // namespace remindo
