// The data-file loader on arbitrary bytes. Every input must end in one of
// the three load results, leave the list as that result promises, and a list
// that loaded must survive a save and a second load. The load's shortcut for
// the program's own form must give exactly what the XML parser gives.
#include "fuzzhelpers.h"

#include "store/datafile.h"
#include "store/fixedformats.h"
#include "store/messages.h"
#include "store/scramble.h"

#include <cstdint>

using namespace remindo;

namespace {

class SilentMessages final : public Messages {
public:
    int ShowWarning(int, int, std::string_view) override { return kAnswerZamknij; }
};

Komunikaty StartingList()
{
    Komunikaty list;
    list.AddReminder("pierwsze+", Date(46000), 0, 1, 0, 0, 1, Date(46000));
    list.AddReminder("drugie+", Date(46001), -1, 2, 1, 0, 2, Date(46000));
    list[1].WarnToday = true;
    list[1].ShownToday = 3;
    return list;
}

// Texts that the scrambled form holds exactly: the bytes of stored texts
// (control characters never are), whatever their length.
bool SurvivesScrambling(const std::string& t)
{
    for (char ch : t) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 32 || IsUnusedByte(c))
            return false;
    }
    return true;
}

bool SameStoredFields(const Komunikat& a, const Komunikat& b)
{
    return a.Data == b.Data && a.CoIle == b.CoIle && a.IlePrzed == b.IlePrzed && a.CzyPo == b.CzyPo &&
           a.Blok == b.Blok && a.BlokDzis == b.BlokDzis && a.BlokDzisData == b.BlokDzisData && a.Ile == b.Ile;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = fuzz::PrivateFolder() + "/Dane.dat";
    static const FixedFormats formats;
    static Scrambler scrambler(1234);
    SilentMessages messages;

    fuzz::WriteBytes(path, data, size);
    DataFile file(path, messages, formats, scrambler);
    Komunikaty list = StartingList();
    const Komunikaty before = list;
    const int result = file.LoadDataFile(list);
    if (!file.DamagedCopy().empty())
        std::remove(file.DamagedCopy().c_str());

    {
        std::string viaShortcut(reinterpret_cast<const char*>(data), size), viaTree = viaShortcut;
        Komunikaty a = StartingList(), b = StartingList();
        const int shortcut = file.ParseDocument(viaShortcut, a);
        const std::string why = file.LastError();
        const int tree = file.ParseDocumentByTree(viaTree, b);
        fuzz::Check(shortcut == tree && a.items == b.items && why == file.LastError(),
                    "the shortcut and the parser give the same load");
    }

    fuzz::Check(result == kLoaded || result == kDamagedHeader || result == kDamagedReminder,
                "a file that exists loads as 0, 1 or 2");
    fuzz::Check(file.Switch, "the switch comes back after a load");
    fuzz::Check(result != kDamagedHeader || list.items == before.items, "result 1 leaves the list");
    fuzz::Check(result != kDamagedReminder || list.items.empty(), "result 2 empties the list");
    fuzz::Check(list.SelectedIndex < list.ReminderCount(), "the selection stays inside the list");
    if (result != kLoaded)
        return 0;

    for (size_t i = 0; i < list.items.size() && i < before.items.size(); ++i)
        fuzz::Check(list.items[i].ShownToday == before.items[i].ShownToday, "working fields are kept");

    fuzz::Check(file.SaveDataFile(list), "a loaded list saves");
    Komunikaty again;
    fuzz::Check(file.LoadDataFile(again) == kLoaded, "a saved list loads");
    fuzz::Check(again.items.size() == list.items.size(), "same number of reminders");
    for (size_t i = 0; i < list.items.size(); ++i) {
        fuzz::Check(SameStoredFields(list.items[i], again.items[i]), "same fields after a save");
        if (SurvivesScrambling(list.items[i].Tresc))
            fuzz::Check(list.items[i].Tresc == again.items[i].Tresc, "same text after a save");
    }
    return 0;
}
