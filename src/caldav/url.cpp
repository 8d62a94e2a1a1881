#include "caldav/url.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

namespace remindo::caldav {
namespace {

bool Unreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

// What may stand unencoded in a path (RFC 3986 pchar and '/').
bool PathChar(unsigned char c)
{
    if (Unreserved(c))
        return true;
    return std::string_view("!$&'()*+,;=:@/").find(char(c)) != std::string_view::npos;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

void AppendEscape(std::string& out, unsigned char c)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 15];
}

std::string Lower(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

int DefaultPort(std::string_view scheme) { return scheme == "https" ? 443 : 80; }

// RFC 3986 5.2.4.
std::string RemoveDotSegments(std::string_view in)
{
    std::vector<std::string_view> out;
    const bool absolute = !in.empty() && in.front() == '/';
    size_t pos = absolute ? 1 : 0;
    bool trailing = false;
    while (pos <= in.size()) {
        size_t end = in.find('/', pos);
        if (end == std::string_view::npos)
            end = in.size();
        const std::string_view seg = in.substr(pos, end - pos);
        const bool last = end == in.size();
        if (seg == ".") {
            trailing = true;
        } else if (seg == "..") {
            if (!out.empty())
                out.pop_back();
            trailing = true;
        } else {
            out.push_back(seg);
            trailing = false;
        }
        if (last)
            break;
        pos = end + 1;
    }
    std::string result = absolute ? "/" : "";
    for (size_t i = 0; i < out.size(); ++i) {
        if (i)
            result += '/';
        result += out[i];
    }
    if (trailing && !out.empty() && !out.back().empty())
        result += '/';
    return result;
}

// Takes "scheme://authority/path?query#fragment" apart; false when it is none.
bool ParseAbsolute(std::string_view text, Url& url)
{
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos || text.substr(colon, 3) != "://")
        return false;
    url.scheme = Lower(text.substr(0, colon));
    if (url.scheme != "http" && url.scheme != "https")
        return false;
    std::string_view rest = text.substr(colon + 3);
    if (const size_t hash = rest.find('#'); hash != std::string_view::npos)
        rest = rest.substr(0, hash);
    const size_t authorityEnd = rest.find_first_of("/?");
    std::string_view authority = rest.substr(0, authorityEnd);
    rest = authorityEnd == std::string_view::npos ? std::string_view() : rest.substr(authorityEnd);
    if (authority.find('@') != std::string_view::npos || authority.empty())
        return false;
    std::string_view portText;
    if (authority.front() == '[') {
        const size_t close = authority.find(']');
        if (close == std::string_view::npos)
            return false;
        url.host = Lower(authority.substr(1, close - 1));
        if (url.host.empty() || url.host.find_first_not_of("0123456789abcdef:.") != std::string::npos)
            return false;
        std::string_view after = authority.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':')
                return false;
            portText = after.substr(1);
        }
    } else {
        const size_t portColon = authority.find(':');
        url.host = Lower(authority.substr(0, portColon));
        if (portColon != std::string_view::npos)
            portText = authority.substr(portColon + 1);
        if (url.host.empty())
            return false;
        for (unsigned char c : url.host)
            if (!(Unreserved(c) || c == '%'))
                return false;
    }
    url.port = DefaultPort(url.scheme);
    if (!portText.empty()) {
        int port = 0;
        const auto [end, ec] = std::from_chars(portText.data(), portText.data() + portText.size(), port);
        if (ec != std::errc() || end != portText.data() + portText.size() || port < 1 || port > 65535)
            return false;
        url.port = port;
    }
    const size_t question = rest.find('?');
    url.path = NormalisePath(rest.substr(0, question));
    url.query = question == std::string_view::npos ? std::string() : std::string(rest.substr(question + 1));
    return true;
}

// The last segment removed, as RFC 3986 5.2.3 merges.
std::string Merge(const std::string& basePath, std::string_view reference)
{
    const size_t slash = basePath.rfind('/');
    return basePath.substr(0, slash + 1) + std::string(reference);
}

} // namespace

std::optional<Url> Url::Parse(std::string_view text)
{
    Url url;
    if (!ParseAbsolute(text, url))
        return std::nullopt;
    return url;
}

std::string Url::Origin() const
{
    std::string out = scheme + "://";
    out += host.find(':') != std::string::npos ? "[" + host + "]" : host;
    if (port != DefaultPort(scheme))
        out += ":" + std::to_string(port);
    return out;
}

std::string Url::PathAndQuery() const { return query.empty() ? path : path + "?" + query; }

std::string Url::ToString() const { return Origin() + PathAndQuery(); }

bool Url::SameOrigin(const Url& other) const
{
    return scheme == other.scheme && host == other.host && port == other.port;
}

std::string Url::Key() const
{
    // %2F and %25 stay encoded: decoding them would let two different paths meet.
    std::string out = Origin();
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '%' && i + 2 < path.size()) {
            const int hi = HexValue(path[i + 1]), lo = HexValue(path[i + 2]);
            const int byte = hi * 16 + lo;
            if (hi >= 0 && lo >= 0 && byte != '/' && byte != '%') {
                out += char(byte);
                i += 2;
                continue;
            }
        }
        out += path[i];
    }
    if (!query.empty())
        out += "?" + query;
    return out;
}

std::string Url::CollectionKey() const
{
    std::string key = Key();
    while (key.size() > 1 && key.back() == '/' && query.empty())
        key.pop_back();
    return key;
}

std::optional<Url> Resolve(const Url& base, std::string_view reference)
{
    if (const size_t hash = reference.find('#'); hash != std::string_view::npos)
        reference = reference.substr(0, hash);
    // Whitespace around an href is the XML's, not the address's.
    while (!reference.empty() && std::isspace(static_cast<unsigned char>(reference.front())))
        reference.remove_prefix(1);
    while (!reference.empty() && std::isspace(static_cast<unsigned char>(reference.back())))
        reference.remove_suffix(1);
    const size_t colon = reference.find(':');
    const size_t firstSlash = reference.find_first_of("/?");
    if (colon != std::string_view::npos && colon < firstSlash)
        return Url::Parse(reference); // has a scheme of its own
    if (reference.substr(0, 2) == "//")
        return Url::Parse(base.scheme + ":" + std::string(reference));
    Url url = base;
    const size_t question = reference.find('?');
    const std::string_view path = reference.substr(0, question);
    const std::string query =
        question == std::string_view::npos ? std::string() : std::string(reference.substr(question + 1));
    if (path.empty()) {
        if (question != std::string_view::npos)
            url.query = query;
        return url;
    }
    url.path = NormalisePath(path.front() == '/' ? std::string(path) : Merge(base.path, path));
    url.query = query;
    return url;
}

std::string PercentEncodeSegment(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 3);
    for (unsigned char c : bytes) {
        if (Unreserved(c))
            out += char(c);
        else
            AppendEscape(out, c);
    }
    return out;
}

std::string PercentDecode(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int hi = HexValue(text[i + 1]), lo = HexValue(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += char(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string NormalisePath(std::string_view path)
{
    std::string out;
    out.reserve(path.size());
    for (size_t i = 0; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (c == '%') {
            const int hi = i + 1 < path.size() ? HexValue(path[i + 1]) : -1;
            const int lo = i + 2 < path.size() ? HexValue(path[i + 2]) : -1;
            if (hi >= 0 && lo >= 0) {
                const unsigned char byte = static_cast<unsigned char>(hi * 16 + lo);
                if (Unreserved(byte))
                    out += char(byte);
                else
                    AppendEscape(out, byte);
                i += 2;
            } else {
                AppendEscape(out, c); // a lone '%' is a percent sign
            }
        } else if (PathChar(c)) {
            out += char(c);
        } else {
            AppendEscape(out, c);
        }
    }
    out = RemoveDotSegments(out);
    if (out.empty() || out.front() != '/')
        out.insert(out.begin(), '/');
    return out;
}

} // namespace remindo::caldav
