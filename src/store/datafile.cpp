#include "store/datafile.h"

#include "store/atomicfile.h"
#include "store/fixedformats.h"
#include "store/formats.h"
#include "store/messages.h"
#include "store/scramble.h"
#include "store/textnumbers.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <tinyxml2.h>

#include <algorithm>
#include <cstdio>
#include <unordered_map>

namespace remindo {
namespace {

using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;
using tinyxml2::XMLNode;

constexpr std::string_view kMissingMessage = "Plik danych nie istnieje.\rUtwórz nowy plik.";
constexpr std::string_view kDamagedMessage = "Plik danych jest uszkodzony.\rUtwórz nowy plik.";
constexpr std::string_view kSaveFailedMessage =
    "Problemy z zapisaniem pliku danych.\rCzy masz należyte uprawnienia?";

// Beside the file, before anything can overwrite it.
constexpr const char* kDamagedSuffix = ".uszkodzony-";

// ---- writing -------------------------------------------------------------

void AppendEscaped(std::string& out, std::string_view text)
{
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
}

// The library's own printer indents with blanks, ends lines with LF and
// leaves quotes alone, so the file has a printer of its own: one tab per
// level and CR LF after every line.
void PrintElement(const XMLElement& e, int depth, std::string& out)
{
    out.append(size_t(depth), '\t');
    out += '<';
    out += e.Name();
    const XMLNode* child = e.FirstChild();
    if (!child) {
        out += "/>\r\n";
        return;
    }
    if (child->ToText() && !child->NextSibling()) {
        out += '>';
        AppendEscaped(out, child->Value());
        out += "</";
        out += e.Name();
        out += ">\r\n";
        return;
    }
    out += ">\r\n";
    for (const XMLElement* c = e.FirstChildElement(); c; c = c->NextSiblingElement())
        PrintElement(*c, depth + 1, out);
    out.append(size_t(depth), '\t');
    out += "</";
    out += e.Name();
    out += ">\r\n";
}

std::string IsoDate(Date d)
{
    const Ymd v = YmdOf(d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", v.year, v.month, v.day);
    return buf;
}

std::optional<Date> ParseIsoDate(std::string_view s)
{
    if (s.size() != 10 || s[4] != '-' || s[7] != '-')
        return std::nullopt;
    auto digits = [&](size_t from, size_t n, int& v) {
        v = 0;
        for (size_t i = from; i < from + n; ++i) {
            if (s[i] < '0' || s[i] > '9')
                return false;
            v = v * 10 + (s[i] - '0');
        }
        return true;
    };
    int y, m, d;
    Date out;
    if (!digits(0, 4, y) || !digits(5, 2, m) || !digits(8, 2, d) || !TryDateFromYmd(y, m, d, out))
        return std::nullopt;
    return out;
}

// ---- reading -------------------------------------------------------------

// The element's text without leading and trailing bytes of code 32 and below.
std::string_view TextOf(const XMLElement* e)
{
    const char* t = e ? e->GetText() : nullptr;
    std::string_view s = t ? std::string_view(t) : std::string_view();
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32)
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32)
        s.remove_suffix(1);
    return s;
}

class Reader {
public:
    Reader(const DataFile& file, bool on) : file_(file), on_(on) {}

    // The value of the named child, unscrambled while the switch is on.
    std::optional<std::string> Value(const XMLElement* parent, const char* name) const
    {
        const XMLElement* e = parent->FirstChildElement(name);
        if (!e)
            return std::nullopt;
        const std::string_view text = TextOf(e);
        if (!on_)
            return std::string(text);
        return UnscrambleValue(text, true);
    }
    std::optional<int32_t> Integer(const XMLElement* parent, const char* name) const
    {
        const auto v = Value(parent, name);
        return v ? ParseInt32(*v) : std::nullopt;
    }
    std::optional<Date> DateValue(const XMLElement* parent, const char* name) const
    {
        const auto v = Value(parent, name);
        return v ? file_.ParseDate(*v) : std::nullopt;
    }
    bool Text(const XMLElement* parent, const char* name, std::string& out) const
    {
        auto v = Value(parent, name);
        // Unscrambled, an empty text is written as an empty element, and a
        // missing one reads the same.
        if (!v && on_)
            return false;
        out = v ? std::move(*v) : std::string();
        return true;
    }

private:
    const DataFile& file_;
    bool on_;
};

bool ReadReminder(const Reader& r, const XMLElement* nr, Komunikat& k)
{
    if (!r.Text(nr, "Tresc", k.Tresc))
        return false;
    const auto data = r.DateValue(nr, "Data");
    const auto coIle = r.Integer(nr, "CoIle");
    const auto ilePrzed = r.Integer(nr, "IlePrzed");
    const auto czyPo = r.Integer(nr, "CzyPo");
    const auto blok = r.Integer(nr, "Blok");
    const auto blokDzis = r.Integer(nr, "BlokDzis");
    const auto blokDzisData = r.DateValue(nr, "BlokDzisData");
    const auto ile = r.Integer(nr, "Ile");
    if (!data || !coIle || !ilePrzed || !czyPo || !blok || !blokDzis || !blokDzisData || !ile)
        return false;
    k.Data = *data;
    k.CoIle = *coIle;
    k.IlePrzed = *ilePrzed;
    k.CzyPo = *czyPo;
    k.Blok = *blok;
    k.BlokDzis = *blokDzis;
    k.BlokDzisData = *blokDzisData;
    k.Ile = *ile;
    return true;
}

void KeepSelectionInside(Komunikaty& list)
{
    if (list.SelectedIndex >= list.ReminderCount())
        list.SelectedIndex = list.ReminderCount() - 1;
}

} // namespace

DataFile::DataFile(std::string path, Messages& messages, const RegionalFormats& formats, Scrambler& scrambler)
    : path_(std::move(path)), messages_(messages), formats_(formats), scrambler_(scrambler),
      writers_(&DefaultFileWriters())
{
}

void DataFile::SetWriters(FileWriterFactory* writers) { writers_ = writers ? writers : &DefaultFileWriters(); }

std::string DataFile::DateText(Date d) const
{
    // Some regional formats do not read back to the same day (a two-digit
    // year, characters the file's code page cannot hold); the date is then
    // stored in ISO form, which every load reads.
    std::string text = formats_.ShortDate(d);
    const auto back = ParseDate(text);
    if (!back || *back != d)
        text = IsoDate(d);
    return text;
}

std::optional<Date> DataFile::ParseDate(std::string_view text) const
{
    if (auto d = formats_.ParseShortDate(text))
        return d;
    if (auto d = ParseIsoDate(text))
        return d;
    static const FixedFormats polish;
    return polish.ParseShortDate(text);
}

std::string DataFile::BuildDocument(const Komunikaty& list)
{
    XMLDocument doc;
    XMLElement* dane = doc.NewElement("Dane");
    doc.InsertEndChild(dane);
    auto add = [&](XMLElement* parent, const char* name, const std::string& value, bool scrambled) {
        XMLElement* e = doc.NewElement(name);
        parent->InsertEndChild(e);
        const std::string text = scrambled && Switch ? scrambler_.ScrambleValue(value, true) : value;
        if (!text.empty())
            e->SetText(text.c_str());
    };
    add(dane, "Code", Switch ? "tr" : "fa", false);
    add(dane, "Ilosc", std::to_string(list.ReminderCount()), true);
    for (int i = 0; i < list.ReminderCount(); ++i) {
        const Komunikat& k = list[i];
        XMLElement* nr = doc.NewElement(("Nr" + std::to_string(i + 1)).c_str());
        dane->InsertEndChild(nr);
        add(nr, "Tresc", k.Tresc, true);
        add(nr, "Data", DateText(k.Data), true);
        add(nr, "CoIle", std::to_string(k.CoIle), true);
        add(nr, "IlePrzed", std::to_string(k.IlePrzed), true);
        add(nr, "CzyPo", std::to_string(k.CzyPo), true);
        add(nr, "Blok", std::to_string(k.Blok), true);
        add(nr, "BlokDzis", std::to_string(k.BlokDzis), true);
        add(nr, "BlokDzisData", DateText(k.BlokDzisData), true);
        add(nr, "Ile", std::to_string(k.Ile), true);
    }
    std::string out;
    PrintElement(*dane, 0, out);
    return out;
}

int DataFile::ParseDocument(std::string_view bytes, Komunikaty& list)
{
    XMLDocument doc(true, tinyxml2::PRESERVE_WHITESPACE);
    const XMLElement* dane = nullptr;
    if (!bytes.empty() && doc.Parse(bytes.data(), bytes.size()) == tinyxml2::XML_SUCCESS)
        dane = doc.FirstChildElement("Dane");
    if (!dane)
        return kDamagedHeader;

    // The document's switch holds for this load only.
    const Reader r(*this, TextOf(dane->FirstChildElement("Code")) == "tr");
    const auto count = r.Integer(dane, "Ilosc");
    if (!count)
        return kDamagedHeader;

    auto damaged = [&] {
        list.items.clear();
        KeepSelectionInside(list);
        return kDamagedReminder;
    };
    if (*count < 0)
        return damaged();

    // Each Nr element by name, the first of each name; the rest are ignored.
    std::unordered_map<std::string_view, const XMLElement*> byName;
    for (const XMLElement* e = dane->FirstChildElement(); e; e = e->NextSiblingElement())
        byName.try_emplace(e->Name(), e);

    std::vector<Komunikat> fresh;
    fresh.reserve(std::min(size_t(*count), byName.size()));
    std::string name;
    for (int32_t i = 0; i < *count; ++i) {
        name = "Nr" + std::to_string(int64_t(i) + 1);
        const auto it = byName.find(name);
        if (it == byName.end())
            return damaged();
        Komunikat k;
        if (size_t(i) < list.items.size()) {
            const Komunikat& old = list.items[size_t(i)];
            k.WarnToday = old.WarnToday;
            k.ShownToday = old.ShownToday;
            k.LastShownMinute = old.LastShownMinute;
        }
        if (!ReadReminder(r, it->second, k))
            return damaged();
        fresh.push_back(std::move(k));
    }
    list.items = std::move(fresh);
    KeepSelectionInside(list);
    return kLoaded;
}

int DataFile::LoadDataFile(Komunikaty& list)
{
    damagedCopy_.clear();
    if (!FileExists(path_)) {
        messages_.ShowWarning(kInformationBox, kIconInfo, kMissingMessage);
        return kMissing;
    }
    std::string bytes;
    const bool read = ReadWholeFile(path_, bytes);
    const int result = ParseDocument(read ? std::string_view(bytes) : std::string_view(), list);
    if (result == kDamagedHeader || result == kDamagedReminder) {
        if (read && !bytes.empty()) // an empty file holds nothing to recover
            KeepDamagedCopy(bytes);
        messages_.ShowWarning(kInformationBox, kIconInfo, kDamagedMessage);
    }
    return result;
}

bool DataFile::SaveDataFile(const Komunikaty& list)
{
    if (ReplaceFile(*writers_, path_, BuildDocument(list)))
        return true;
    messages_.ShowWarning(kInformationBox, kIconInfo, kSaveFailedMessage);
    return false;
}

void DataFile::KeepDamagedCopy(const std::string& bytes)
{
    const QFileInfo info(QFile::decodeName(QByteArray::fromStdString(path_)));
    const QDir folder = info.absoluteDir();
    const QString prefix = info.fileName() + QLatin1String(kDamagedSuffix);

    // A damaged file that stays damaged is loaded again at every cancel of
    // the list window; one copy of the same bytes is enough.
    const QStringList existing = folder.entryList({prefix + QLatin1Char('*')}, QDir::Files);
    for (const QString& name : existing) {
        std::string old;
        const std::string oldPath = QFile::encodeName(folder.filePath(name)).toStdString();
        if (ReadWholeFile(oldPath, old) && old == bytes) {
            damagedCopy_ = oldPath;
            return;
        }
    }
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = prefix + stamp;
    for (int n = 2; folder.exists(name) && n < 1000; ++n)
        name = prefix + stamp + QLatin1Char('-') + QString::number(n);
    const std::string copyPath = QFile::encodeName(folder.filePath(name)).toStdString();
    if (ReplaceFile(*writers_, copyPath, bytes))
        damagedCopy_ = copyPath;
}

} // namespace remindo
