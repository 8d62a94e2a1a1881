#include "store/reminders.h"

#include <utility>

namespace remindo {
namespace {
// The seven fields the editor sets.
void StoreEdited(Komunikat& k, std::string tresc, Date data, int32_t coIle, int32_t ilePrzed, int32_t czyPo,
                 int32_t blok, int32_t ile)
{
    k.Tresc = std::move(tresc);
    k.Data = data;
    k.CoIle = coIle;
    k.IlePrzed = ilePrzed;
    k.CzyPo = czyPo;
    k.Blok = blok;
    k.Ile = ile;
}
} // namespace

void Komunikaty::AddReminder(std::string tresc, Date data, int32_t coIle, int32_t ilePrzed, int32_t czyPo,
                             int32_t blok, int32_t ile, Date dataAkt)
{
    Komunikat k;
    StoreEdited(k, std::move(tresc), data, coIle, ilePrzed, czyPo, blok, ile);
    k.BlokDzis = 0;
    k.BlokDzisData = dataAkt;
    items.push_back(std::move(k));
    SelectedIndex = ReminderCount() - 1;
    RefreshView();
}

void Komunikaty::UpdateReminder(std::string tresc, Date data, int32_t coIle, int32_t ilePrzed, int32_t czyPo,
                                int32_t blok, int32_t ile)
{
    if (SelectedIndex < 0 || SelectedIndex >= ReminderCount())
        return;
    Komunikat& k = items[size_t(SelectedIndex)];
    StoreEdited(k, std::move(tresc), data, coIle, ilePrzed, czyPo, blok, ile);
    if (blok == 0)
        k.BlokDzis = 0;
    RefreshView();
}

void Komunikaty::DeleteReminder()
{
    if (SelectedIndex < 0 || SelectedIndex >= ReminderCount())
        return;
    items.erase(items.begin() + SelectedIndex);
    if (SelectedIndex == 0)
        SelectedIndex = items.empty() ? -1 : 0;
    else
        --SelectedIndex;
    RefreshView();
}

void Komunikaty::FillReminderList(std::vector<std::string>& listItems)
{
    listItems.clear();
    listItems.reserve(items.size());
    for (const Komunikat& k : items) {
        std::string line = TextToListLine(k.Tresc);
        if (line.size() > kListLineWidth)
            line.resize(kListLineWidth);
        listItems.push_back(std::move(line));
    }
    if (ReminderCount() < 1) {
        listItems.clear();
        SelectedIndex = -1;
    } else if (SelectedIndex < 0) {
        SelectedIndex = 0;
    }
}

void Komunikaty::RefreshView()
{
    std::vector<std::string> listItems;
    FillReminderList(listItems);
    if (view_) {
        view_->SetItems(listItems);
        view_->SelectRow(SelectedIndex);
    }
}

namespace {
// Each piece that a "+" ends is a line, an empty one too. A text written
// elsewhere may lack the final "+": what follows the last "+" is then a line
// as well, so that every window shows, and the editor keeps, the same lines.
template <typename F>
void ForEachLine(std::string_view text, F&& f)
{
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            f(text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < text.size())
        f(text.substr(start));
}
} // namespace

void TextToLines(std::string_view text, std::vector<std::string>& lines)
{
    ForEachLine(text, [&](std::string_view line) { lines.emplace_back(line); });
}

std::string TextToDisplay(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c == '+')
            c = '\r';
    return out;
}

std::string TextToListLine(std::string_view text)
{
    std::string out;
    ForEachLine(text, [&](std::string_view line) {
        out.append(line);
        out.push_back(' ');
    });
    return out;
}

} // namespace remindo
