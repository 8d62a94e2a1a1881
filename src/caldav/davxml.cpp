#include "caldav/davxml.h"

#include <cctype>
#include <cstring>

namespace remindo::caldav::dav {
namespace {

std::string_view LocalName(std::string_view name)
{
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

} // namespace

std::string NamespaceOf(pugi::xml_node element)
{
    const std::string_view name = element.name();
    const size_t colon = name.find(':');
    const std::string attribute =
        colon == std::string_view::npos ? std::string("xmlns") : "xmlns:" + std::string(name.substr(0, colon));
    for (pugi::xml_node n = element; n && n.type() == pugi::node_element; n = n.parent())
        if (const pugi::xml_attribute a = n.attribute(attribute.c_str()))
            return a.value();
    return {};
}

bool Is(pugi::xml_node element, std::string_view ns, std::string_view local)
{
    return element.type() == pugi::node_element && LocalName(element.name()) == local && NamespaceOf(element) == ns;
}

pugi::xml_node Child(pugi::xml_node parent, std::string_view ns, std::string_view local)
{
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (Is(c, ns, local))
            return c;
    return {};
}

std::vector<pugi::xml_node> Children(pugi::xml_node parent, std::string_view ns, std::string_view local)
{
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (Is(c, ns, local))
            out.push_back(c);
    return out;
}

std::string Text(pugi::xml_node element)
{
    std::string out;
    for (pugi::xml_node c = element.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata)
            out += c.value();
    return out;
}

std::string Trimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return std::string(text);
}

std::string QuotedEtag(std::string_view etag)
{
    std::string t = Trimmed(etag);
    if (t.empty() || t.front() == '"' || t.rfind("W/\"", 0) == 0)
        return t;
    return "\"" + t + "\"";
}

std::string Escape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

int StatusFromLine(std::string_view line)
{
    const std::string t = Trimmed(line);
    const size_t space = t.find(' ');
    if (space == std::string::npos || t.size() < space + 4)
        return 0;
    int code = 0;
    for (size_t i = space + 1; i < space + 4; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(t[i])))
            return 0;
        code = code * 10 + (t[i] - '0');
    }
    return code;
}

pugi::xml_node Response::Prop(std::string_view ns, std::string_view local) const
{
    for (const PropStat& ps : propstats)
        if (ps.status >= 200 && ps.status < 300)
            if (pugi::xml_node n = Child(ps.prop, ns, local))
                return n;
    return {};
}

bool ParseMultistatus(std::string_view body, const Url& base, Multistatus& out, std::string& why)
{
    const pugi::xml_parse_result parsed = out.document.load_buffer(body.data(), body.size());
    if (!parsed) {
        why = std::string("the server's XML is damaged: ") + parsed.description();
        return false;
    }
    const pugi::xml_node root = out.document.document_element();
    if (!Is(root, kDav, "multistatus")) {
        why = "the server's answer is no DAV:multistatus";
        return false;
    }
    out.syncToken = Trimmed(Text(Child(root, kDav, "sync-token")));
    for (pugi::xml_node r : Children(root, kDav, "response")) {
        const pugi::xml_node hrefNode = Child(r, kDav, "href");
        if (!hrefNode)
            continue;
        const std::optional<Url> href = Resolve(base, Text(hrefNode));
        if (!href)
            continue; // not an http(s) address: nothing of ours
        Response response;
        response.href = *href;
        response.status = StatusFromLine(Text(Child(r, kDav, "status")));
        for (pugi::xml_node ps : Children(r, kDav, "propstat"))
            response.propstats.push_back({StatusFromLine(Text(Child(ps, kDav, "status"))), Child(ps, kDav, "prop")});
        out.responses.push_back(std::move(response));
    }
    return true;
}

bool ErrorNames(std::string_view body, std::string_view ns, std::string_view local)
{
    pugi::xml_document doc;
    if (!doc.load_buffer(body.data(), body.size()))
        return false;
    const pugi::xml_node root = doc.document_element();
    return Is(root, kDav, "error") && Child(root, ns, local);
}

} // namespace remindo::caldav::dav
