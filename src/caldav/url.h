#pragma once
// Absolute http(s) addresses as a CalDAV server hands them out: hrefs come
// relative, as absolute paths or whole, with percent-encoding that differs
// from server to server. Everything here works on bytes; a path is always
// kept percent-encoded.

#include <optional>
#include <string>
#include <string_view>

namespace remindo::caldav {

struct Url {
    std::string scheme; // "http" or "https"
    std::string host;   // lower case; an IPv6 address without its brackets
    int port = 0;       // the scheme's own when the address names none
    std::string path;   // percent-encoded in one spelling, dot segments gone, at least "/"
    std::string query;  // without its '?', as given

    // An absolute http:// or https:// address, or nothing. Credentials in the
    // address are refused: they belong in the password store.
    static std::optional<Url> Parse(std::string_view text);

    std::string Origin() const;      // scheme://host[:port], the port only when not the default
    std::string ToString() const;    // the whole address, without a fragment
    std::string PathAndQuery() const;
    bool SameOrigin(const Url& other) const;
    // The same resource however each server spelt it: percent-encoding
    // decoded wherever that changes no meaning. For comparing, never for sending.
    std::string Key() const;
    // The same with any trailing slash removed: a collection named with and without one.
    std::string CollectionKey() const;
};

// `reference` (an href: relative, an absolute path or a whole address)
// taken against `base`, as a browser would. Nothing when it is no http(s) address.
std::optional<Url> Resolve(const Url& base, std::string_view reference);

// Every byte but the unreserved ones percent-encoded: one path segment.
std::string PercentEncodeSegment(std::string_view bytes);
// Percent-escapes decoded; a malformed one is left as it is.
std::string PercentDecode(std::string_view text);

// One spelling for a path: unreserved characters decoded, other escapes in
// upper case, bytes that may not stand in a path encoded, dot segments
// removed; never empty.
std::string NormalisePath(std::string_view path);

} // namespace remindo::caldav
