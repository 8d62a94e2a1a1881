#pragma once
// WebDAV's XML as the client reads and writes it. pugixml knows nothing of
// namespaces, so elements are matched here by namespace and local name,
// whatever prefix a server chose: "D:href", "href" under a default
// namespace and "x:href" are one element when they name DAV:, and a
// "getetag" of some other namespace is not DAV:'s.

#include "caldav/url.h"

#include <pugixml.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace remindo::caldav::dav {

inline constexpr std::string_view kDav = "DAV:";
inline constexpr std::string_view kCalDav = "urn:ietf:params:xml:ns:caldav";
inline constexpr std::string_view kCalendarServer = "http://calendarserver.org/ns/";

// The namespace an element's name belongs to; empty for none.
std::string NamespaceOf(pugi::xml_node element);
bool Is(pugi::xml_node element, std::string_view ns, std::string_view local);
pugi::xml_node Child(pugi::xml_node parent, std::string_view ns, std::string_view local);
std::vector<pugi::xml_node> Children(pugi::xml_node parent, std::string_view ns, std::string_view local);
// Every piece of text and CDATA directly inside, joined.
std::string Text(pugi::xml_node element);
std::string Trimmed(std::string_view text);

// An entity tag in one spelling: quoted, as If-Match wants it, however the
// server wrote it in XML.
std::string QuotedEtag(std::string_view etag);

// Text escaped for XML content.
std::string Escape(std::string_view text);

// "HTTP/1.1 404 Not Found" -> 404; 0 when it is none.
int StatusFromLine(std::string_view line);

struct PropStat {
    int status = 0;
    pugi::xml_node prop;
};

struct Response {
    Url href;   // resolved against the request's address
    int status = 0; // of the response as a whole, when it has one (sync-collection's 404)
    std::vector<PropStat> propstats;
    // A property the server gave with a 2xx status; empty node when none.
    pugi::xml_node Prop(std::string_view ns, std::string_view local) const;
};

// A 207 Multi-Status body. The nodes point into `document`.
struct Multistatus {
    pugi::xml_document document;
    std::vector<Response> responses;
    std::string syncToken; // sync-collection's new token
};

// False when the body is not a DAV:multistatus document; `why` says what was wrong.
bool ParseMultistatus(std::string_view body, const Url& base, Multistatus& out, std::string& why);

// True when `body` is a DAV:error naming the precondition `ns`:`local`.
bool ErrorNames(std::string_view body, std::string_view ns, std::string_view local);

} // namespace remindo::caldav::dav
