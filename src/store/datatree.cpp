#include "store/datavalues.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

namespace remindo {
namespace {

// The element's text as the file holds it (entities not yet decoded), or
// nothing when its first child is not text.
std::optional<std::string_view> RawText(pugi::xml_node e)
{
    // Text that comes first in an element is parsed into the element itself.
    if (*e.value())
        return std::string_view(e.value());
    const pugi::xml_node t = e.first_child();
    if (t.type() != pugi::node_pcdata && t.type() != pugi::node_cdata)
        return std::nullopt;
    return std::string_view(t.value());
}

Raw RawOf(pugi::xml_node e)
{
    if (!e)
        return {};
    const auto t = RawText(e);
    return {true, t ? *t : std::string_view()};
}

// The field a child element of a reminder stands for; -1 for none.
int FieldOf(const char* name)
{
    switch (name[0]) {
    case 'T': return std::strcmp(name, "Tresc") == 0 ? kTresc : -1;
    case 'D': return std::strcmp(name, "Data") == 0 ? kData : -1;
    case 'C':
        if (std::strcmp(name, "CoIle") == 0) return kCoIle;
        return std::strcmp(name, "CzyPo") == 0 ? kCzyPo : -1;
    case 'I':
        if (std::strcmp(name, "Ile") == 0) return kIle;
        return std::strcmp(name, "IlePrzed") == 0 ? kIlePrzed : -1;
    case 'B':
        if (std::strcmp(name, "Blok") == 0) return kBlok;
        if (std::strcmp(name, "BlokDzis") == 0) return kBlokDzis;
        return std::strcmp(name, "BlokDzisData") == 0 ? kBlokDzisData : -1;
    default: return -1;
    }
}

// n when `name` is exactly "Nr" followed by n in plain decimal (no sign, no
// leading zero), 1 <= n <= limit; 0 otherwise.
int64_t NrIndex(const char* name, int64_t limit)
{
    if (name[0] != 'N' || name[1] != 'r' || name[2] < '1' || name[2] > '9')
        return 0;
    int64_t n = 0;
    for (const char* p = name + 2; *p; ++p) {
        if (*p < '0' || *p > '9')
            return 0;
        n = n * 10 + (*p - '0');
        if (n > limit)
            return 0;
    }
    return n;
}

bool ReadReminder(Reader& r, pugi::xml_node nr, Komunikat& k)
{
    pugi::xml_node nodes[kFieldCount];
    for (pugi::xml_node c = nr.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        const int f = FieldOf(c.name());
        if (f >= 0 && !nodes[f])
            nodes[f] = c;
    }
    Raw fields[kFieldCount];
    for (int f = 0; f < kFieldCount; ++f)
        fields[f] = RawOf(nodes[f]);
    return ReadReminder(r, fields, k);
}

// A plain file is read as UTF-8 when it says so (a byte-order mark or the
// declaration's encoding) or when its non-ASCII bytes can only be UTF-8.
bool PlainFileIsUtf8(bool bom, pugi::xml_document& doc)
{
    if (bom)
        return true;
    const pugi::xml_node decl = doc.first_child();
    if (decl.type() == pugi::node_declaration) {
        const pugi::xml_attribute enc = decl.attribute("encoding");
        if (enc) {
            std::string e = enc.value();
            std::transform(e.begin(), e.end(), e.begin(), [](unsigned char c) { return char(std::tolower(c)); });
            return e == "utf-8" || e == "utf8";
        }
    }
    bool high = false;
    struct Walker : pugi::xml_tree_walker {
        bool* high;
        bool valid = true;
        bool for_each(pugi::xml_node& n) override
        {
            if (n.type() != pugi::node_pcdata && n.type() != pugi::node_cdata && n.type() != pugi::node_element)
                return true;
            const std::string_view v = n.value();
            if (HasHighBytes(v)) {
                *high = true;
                valid = ValidUtf8(v);
            }
            return valid;
        }
    } walker;
    walker.high = &high;
    doc.traverse(walker);
    return high && walker.valid;
}

} // namespace

int DataFile::ParseTree(char* data, size_t length, Komunikaty& list)
{
    // Parsed in place, byte for byte: the values are Windows-1250 (or a
    // plain file's UTF-8), which the reader decodes itself.
    const bool bom = std::string_view(data, length).substr(0, kBom.size()) == kBom;
    char* const start = data + (bom ? kBom.size() : 0);
    const size_t size = length - (bom ? kBom.size() : 0);
    pugi::xml_document doc;
    pugi::xml_node dane;
    if (size > 0 &&
        doc.load_buffer_inplace(start, size, pugi::parse_cdata | pugi::parse_eol | pugi::parse_declaration | pugi::parse_embed_pcdata,
                                pugi::encoding_utf8))
        dane = doc.child("Dane");
    if (!dane)
        return kDamagedHeader;

    // The document's switch holds for this load only.
    const auto code = RawText(dane.child("Code"));
    const bool on = code && Trimmed(*code) == "tr";
    Reader r(*this, on, !on && PlainFileIsUtf8(bom, doc));
    int32_t count = 0;
    if (!r.Integer(RawOf(dane.child("Ilosc")), count))
        return kDamagedHeader;

    auto damaged = [&] {
        list.items.clear();
        KeepSelectionInside(list);
        return kDamagedReminder;
    };
    if (count < 0)
        return damaged();

    // Each Nr element by its number, the first of each; the rest are ignored.
    // A count beyond the elements there are cannot be met.
    size_t elements = 0;
    for (pugi::xml_node e = dane.first_child(); e; e = e.next_sibling())
        elements += e.type() == pugi::node_element;
    if (size_t(count) > elements)
        return damaged();
    std::vector<pugi::xml_node> nrs(static_cast<size_t>(count));
    for (pugi::xml_node e = dane.first_child(); e; e = e.next_sibling()) {
        if (e.type() != pugi::node_element)
            continue;
        const int64_t n = NrIndex(e.name(), count);
        if (n != 0 && !nrs[size_t(n - 1)])
            nrs[size_t(n - 1)] = e;
    }

    std::vector<Komunikat> fresh(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        Komunikat& k = fresh[size_t(i)];
        CarryWorkingFields(list, size_t(i), k);
        if (!nrs[size_t(i)] || !ReadReminder(r, nrs[size_t(i)], k)) {
            lastError_ = "reminder " + std::to_string(i + 1) + " cannot be read" +
                         (r.Problem().empty() ? std::string() : ": " + r.Problem());
            return damaged();
        }
    }
    list.items = std::move(fresh);
    KeepSelectionInside(list);
    return kLoaded;
}

} // namespace remindo
