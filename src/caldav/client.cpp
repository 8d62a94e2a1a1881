#include "caldav/client.h"

#include "caldav/davxml.h"
#include "caldav/url.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>

namespace remindo::caldav {
namespace {

using dav::kCalDav;
using dav::kCalendarServer;
using dav::kDav;

constexpr const char* kXmlType = "application/xml; charset=utf-8";

// The properties of a collection that discovery and listings read.
constexpr const char* kCollectionProps =
    "<d:resourcetype/><d:displayname/><cs:getctag/><d:sync-token/><c:supported-calendar-component-set/>";

std::string Propfind(std::string_view props)
{
    return std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                       "<d:propfind xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\""
                       " xmlns:cs=\"http://calendarserver.org/ns/\"><d:prop>") +
           std::string(props) + "</d:prop></d:propfind>";
}

std::string OneLine(std::string text)
{
    for (char& c : text)
        if (c == '\n' || c == '\r' || c == '\t')
            c = ' ';
    return text;
}

const char* Meaning(int status)
{
    switch (OutcomeOf(status)) {
    case Outcome::AuthFailed: return "the server refused the user name or password";
    case Outcome::Forbidden: return "the server does not allow it";
    case Outcome::Gone: return "not on the server";
    case Outcome::PreconditionFailed: return "it changed on the server since it was read";
    case Outcome::InsufficientStorage: return "the server has no room left";
    default: break;
    }
    if (status >= 300 && status < 400)
        return "the server sends it elsewhere (not followed)";
    if (status >= 500)
        return "the server failed";
    return "the server did not do it";
}

const char* TransportMeaning(TransportError e)
{
    switch (e) {
    case TransportError::Refused: return "nobody answers there (is the server running?)";
    case TransportError::Unreachable: return "the server cannot be reached";
    case TransportError::Timeout: return "no answer within the time limit";
    case TransportError::TlsUntrusted: return "the server's certificate is not one this system trusts";
    case TransportError::Cut: return "the connection was cut";
    case TransportError::Insecure: return "plain http:// only to this computer; use https:// (or --insecure)";
    case TransportError::Cancelled: return "cancelled";
    default: return "the connection failed";
    }
}

Status Failure(Outcome outcome, std::string message)
{
    Status s;
    s.outcome = outcome;
    s.message = OneLine(std::move(message));
    return s;
}

// What an answer means for the caller, with a line that names the request.
Status Describe(const HttpResponse& r, const std::string& method, const std::string& url)
{
    Status s;
    const std::string what = method + " " + url + ": ";
    if (r.error != TransportError::None) {
        s.outcome = Outcome::Transport;
        s.transport = r.error;
        s.message = what + TransportMeaning(r.error);
        if (!r.errorText.empty())
            s.message += " (" + r.errorText + ")";
        s.message = OneLine(s.message);
        return s;
    }
    s.http = r.status;
    s.outcome = OutcomeOf(r.status);
    if (s.outcome != Outcome::Ok) {
        s.message = what + std::to_string(r.status) + ", " + Meaning(r.status);
        if (r.status >= 300 && r.status < 400 && !r.Header("Location").empty())
            s.message += ": " + r.Header("Location");
        s.message = OneLine(s.message);
    }
    return s;
}

// 2xx that is not the multistatus asked for is no answer the client can use.
Status Unreadable(const std::string& method, const std::string& url, const std::string& why)
{
    Status s = Failure(Outcome::Other, method + " " + url + ": " + why);
    return s;
}

Status NotAnAddress(const std::string& url)
{
    return Failure(Outcome::Other, url + ": not an http:// or https:// address");
}

std::string WithSlash(std::string url)
{
    if (url.empty() || url.back() != '/')
        url += '/';
    return url;
}

bool IsCalendar(const dav::Response& r)
{
    return bool(dav::Child(r.Prop(kDav, "resourcetype"), kCalDav, "calendar"));
}

bool IsCollection(const dav::Response& r)
{
    return bool(dav::Child(r.Prop(kDav, "resourcetype"), kDav, "collection"));
}

Calendar CalendarFrom(const dav::Response& r)
{
    Calendar c;
    c.url = WithSlash(r.href.ToString());
    c.displayName = dav::Trimmed(dav::Text(r.Prop(kDav, "displayname")));
    c.ctag = dav::Trimmed(dav::Text(r.Prop(kCalendarServer, "getctag")));
    c.syncToken = dav::Trimmed(dav::Text(r.Prop(kDav, "sync-token")));
    if (const pugi::xml_node set = r.Prop(kCalDav, "supported-calendar-component-set")) {
        c.events = false;
        for (pugi::xml_node comp : dav::Children(set, kCalDav, "comp"))
            if (std::string_view(comp.attribute("name").value()) == "VEVENT")
                c.events = true;
    }
    return c;
}

// The first href inside a property, resolved.
std::optional<Url> HrefIn(pugi::xml_node prop, const Url& base)
{
    const pugi::xml_node href = dav::Child(prop, kDav, "href");
    if (!href)
        return std::nullopt;
    return Resolve(base, dav::Text(href));
}

// The response about `url` itself, or the first when none names it (a
// server that answers for the address it redirected to).
const dav::Response* ResponseFor(const dav::Multistatus& ms, const Url& url)
{
    for (const dav::Response& r : ms.responses)
        if (r.href.CollectionKey() == url.CollectionKey())
            return &r;
    return ms.responses.empty() ? nullptr : &ms.responses.front();
}

std::string Slug(std::string_view name)
{
    std::string out;
    for (unsigned char c : name) {
        if (std::isalnum(c) && c < 0x80)
            out += char(std::tolower(c));
        else if (!out.empty() && out.back() != '-')
            out += '-';
        if (out.size() >= 40)
            break;
    }
    while (!out.empty() && out.back() == '-')
        out.pop_back();
    return out.empty() ? "calendar" : out;
}

} // namespace

std::string HttpResponse::Header(std::string_view name) const
{
    for (const auto& [k, v] : headers)
        if (k.size() == name.size() && std::equal(k.begin(), k.end(), name.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
            }))
            return v;
    return {};
}

const char* TransportErrorName(TransportError error)
{
    switch (error) {
    case TransportError::None: return "none";
    case TransportError::Refused: return "refused";
    case TransportError::Unreachable: return "unreachable";
    case TransportError::Timeout: return "timeout";
    case TransportError::TlsUntrusted: return "tls-untrusted";
    case TransportError::Cut: return "cut";
    case TransportError::Insecure: return "insecure";
    case TransportError::Cancelled: return "cancelled";
    case TransportError::Other: return "other";
    }
    return "other";
}

Outcome OutcomeOf(int status)
{
    if (status >= 200 && status < 300)
        return Outcome::Ok;
    switch (status) {
    case 401: return Outcome::AuthFailed;
    case 403: return Outcome::Forbidden;
    case 404:
    case 410: return Outcome::Gone;
    case 412: return Outcome::PreconditionFailed;
    case 507: return Outcome::InsufficientStorage;
    default: return Outcome::Other;
    }
}

const char* OutcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Ok: return "ok";
    case Outcome::AuthFailed: return "auth-failed";
    case Outcome::Forbidden: return "forbidden";
    case Outcome::Gone: return "gone";
    case Outcome::PreconditionFailed: return "precondition-failed";
    case Outcome::InsufficientStorage: return "insufficient-storage";
    case Outcome::Transport: return "transport";
    case Outcome::Other: return "other";
    }
    return "other";
}

Client::Client(HttpTransport& transport) : transport_(transport) {}

HttpResponse Client::Exchange(std::string method, const std::string& url, HttpHeaders headers, std::string body)
{
    HttpRequest request{std::move(method), url, std::move(headers), std::move(body)};
    HttpResponse response = transport_.Send(request);
    requests_ += std::size_t(std::max(response.exchanges, 0));
    if (response.url.empty())
        response.url = url;
    return response;
}

Status Client::AskMultistatus(const char* method, const std::string& url, const Url& base, const char* depth,
                              std::string body, dav::Multistatus& ms, Url* answered)
{
    const HttpResponse r = Exchange(method, url, {{"Depth", depth}, {"Content-Type", kXmlType}}, std::move(body));
    const Status s = Describe(r, method, url);
    if (!s.ok())
        return s;
    const Url from = Url::Parse(r.url).value_or(base);
    if (answered)
        *answered = from;
    std::string why;
    if (!dav::ParseMultistatus(r.body, from, ms, why))
        return Unreadable(method, url, why);
    return {};
}

Reply<Account> Client::Discover(std::string_view address)
{
    Reply<Account> out;
    const std::optional<Url> given = Url::Parse(address);
    if (!given) {
        out.status = NotAnAddress(std::string(address));
        return out;
    }
    Url wellKnown = *given;
    wellKnown.path = "/.well-known/caldav";
    wellKnown.query.clear();
    // A bare server address is the well-known address's case; anything
    // longer is the user's own word and comes first.
    const std::vector<Url> tries = given->path == "/" ? std::vector<Url>{wellKnown, *given}
                                                       : std::vector<Url>{*given, wellKnown};
    std::optional<Url> principal, home;
    Status last;
    const std::string body =
        Propfind(std::string(kCollectionProps) + "<d:current-user-principal/><c:calendar-home-set/>");
    for (const Url& url : tries) {
        const HttpResponse r = Exchange("PROPFIND", url.ToString(), {{"Depth", "0"}, {"Content-Type", kXmlType}}, body);
        last = Describe(r, "PROPFIND", url.ToString());
        if (last.outcome == Outcome::AuthFailed || last.outcome == Outcome::Transport)
            return {last, {}};
        if (!last.ok())
            continue;
        const Url base = Url::Parse(r.url).value_or(url);
        dav::Multistatus ms;
        std::string why;
        if (r.status != 207 || !dav::ParseMultistatus(r.body, base, ms, why)) {
            last = Unreadable("PROPFIND", url.ToString(), why.empty() ? "no WebDAV answer" : why);
            continue;
        }
        const dav::Response* self = ResponseFor(ms, base);
        if (self && IsCalendar(*self)) {
            out.value.calendars.push_back(CalendarFrom(*self));
            return out;
        }
        if (self) {
            home = HrefIn(self->Prop(kCalDav, "calendar-home-set"), base);
            principal = HrefIn(self->Prop(kDav, "current-user-principal"), base);
        }
        if (home || principal)
            break;
        last = Failure(Outcome::Other, url.ToString() + ": no CalDAV account there");
    }
    if (!home && !principal)
        return {last, {}};
    if (principal)
        out.value.principal = principal->ToString();
    if (!home) {
        const std::string url = principal->ToString();
        const HttpResponse r = Exchange("PROPFIND", url, {{"Depth", "0"}, {"Content-Type", kXmlType}},
                                        Propfind("<c:calendar-home-set/>"));
        Status s = Describe(r, "PROPFIND", url);
        if (!s.ok())
            return {s, {}};
        const Url base = Url::Parse(r.url).value_or(*principal);
        dav::Multistatus ms;
        std::string why;
        if (!dav::ParseMultistatus(r.body, base, ms, why))
            return {Unreadable("PROPFIND", url, why), {}};
        if (const dav::Response* self = ResponseFor(ms, base))
            home = HrefIn(self->Prop(kCalDav, "calendar-home-set"), base);
        if (!home)
            return {Failure(Outcome::Other, url + ": the account names no calendar home"), {}};
    }
    out.value.home = WithSlash(home->ToString());
    Reply<std::vector<Calendar>> list = Calendars(out.value.home);
    out.status = list.status;
    out.value.calendars = std::move(list.value);
    return out;
}

Reply<std::vector<Calendar>> Client::Calendars(std::string_view home)
{
    const std::string url(home);
    const std::optional<Url> homeUrl = Url::Parse(url);
    if (!homeUrl)
        return {NotAnAddress(url), {}};
    dav::Multistatus ms;
    if (Status s = AskMultistatus("PROPFIND", url, *homeUrl, "1", Propfind(kCollectionProps), ms); !s.ok())
        return {s, {}};
    Reply<std::vector<Calendar>> out;
    for (const dav::Response& response : ms.responses)
        if (response.href.CollectionKey() != homeUrl->CollectionKey() && IsCalendar(response))
            out.value.push_back(CalendarFrom(response));
    return out;
}

Reply<Calendar> Client::UseCalendar(const Account& account, std::string_view displayName)
{
    for (const Calendar& c : account.calendars)
        if (c.events && c.displayName == displayName)
            return {Status{}, c};
    // The address given was this calendar's own: the user chose it, whatever its name.
    if (account.home.empty() && account.calendars.size() == 1 && account.calendars[0].events)
        return {Status{}, account.calendars[0]};
    if (account.home.empty())
        return {Failure(Outcome::Gone, "no calendar named \"" + std::string(displayName) +
                                           "\" there, and no calendar home to make one in"),
                {}};
    return MakeCalendar(account.home, displayName);
}

Reply<Calendar> Client::MakeCalendar(std::string_view home, std::string_view displayName)
{
    const std::string base = WithSlash(std::string(home));
    const std::string slug = Slug(displayName);
    const std::string body =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
        "<c:mkcalendar xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\"><d:set><d:prop>"
        "<d:displayname>" + dav::Escape(displayName) + "</d:displayname>"
        "<c:supported-calendar-component-set><c:comp name=\"VEVENT\"/></c:supported-calendar-component-set>"
        "</d:prop></d:set></c:mkcalendar>";
    // A name already taken is someone else's collection: the next name, never a replacement.
    for (int n = 1; n <= 20; ++n) {
        const std::string url = base + slug + (n == 1 ? "" : "-" + std::to_string(n)) + "/";
        const HttpResponse r = Exchange("MKCALENDAR", url, {{"Content-Type", kXmlType}}, body);
        const Status s = Describe(r, "MKCALENDAR", url);
        const bool taken = r.error == TransportError::None &&
                           (r.status == 405 || (r.status == 409 && dav::ErrorNames(r.body, kDav, "resource-must-be-null")));
        if (taken)
            continue;
        if (!s.ok())
            return {s, {}};
        return State(url);
    }
    return {Failure(Outcome::Other, base + ": every name for a new calendar is taken"), {}};
}

Reply<Calendar> Client::State(std::string_view calendar)
{
    const std::string url = WithSlash(std::string(calendar));
    const std::optional<Url> u = Url::Parse(url);
    if (!u)
        return {NotAnAddress(url), {}};
    dav::Multistatus ms;
    Url answered = *u;
    if (Status s = AskMultistatus("PROPFIND", url, *u, "0", Propfind(kCollectionProps), ms, &answered); !s.ok())
        return {s, {}};
    const dav::Response* self = ResponseFor(ms, answered);
    if (!self || !IsCalendar(*self))
        return {Failure(Outcome::Gone, url + ": no calendar there any more"), {}};
    Calendar c = CalendarFrom(*self);
    c.url = url; // the address the caller knows it by
    return {Status{}, c};
}

Reply<Changes> Client::ChangesSince(std::string_view calendar, std::string_view syncToken)
{
    return SyncCollection(WithSlash(std::string(calendar)), syncToken);
}

Reply<Changes> Client::SyncCollection(const std::string& calendar, std::string_view firstToken)
{
    const std::optional<Url> calUrl = Url::Parse(calendar);
    if (!calUrl)
        return {NotAnAddress(calendar), {}};
    std::string token(firstToken);
    bool restarted = false;
    // Members in the order first seen; a later word about one replaces the earlier.
    std::vector<std::string> order;
    std::map<std::string, std::pair<bool, Member>> seen; // key -> (removed, member)
    Changes changes;
    changes.complete = token.empty();
    for (int round = 0; round < 1000; ++round) {
        const std::string body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                                 "<d:sync-collection xmlns:d=\"DAV:\"><d:sync-token>" +
                                 dav::Escape(token) +
                                 "</d:sync-token><d:sync-level>1</d:sync-level>"
                                 "<d:prop><d:getetag/></d:prop></d:sync-collection>";
        const HttpResponse r = Exchange("REPORT", calendar, {{"Depth", "0"}, {"Content-Type", kXmlType}}, body);
        const Status s = Describe(r, "REPORT", calendar);
        if (r.error == TransportError::None && !token.empty() && !restarted && (r.status == 403 || r.status == 409)) {
            // The server no longer knows the token (RFC 6578 valid-sync-token):
            // everything again, from an empty token.
            restarted = true;
            token.clear();
            order.clear();
            seen.clear();
            changes.complete = true;
            continue;
        }
        if (r.error == TransportError::None && token.empty() &&
            (r.status == 400 || r.status == 403 || r.status == 405 || r.status == 415 || r.status == 501)) {
            // No sync-collection here: the ETags of everything.
            Reply<std::vector<Member>> all = Members(calendar);
            if (!all.ok())
                return {all.status, {}};
            Changes full;
            full.complete = true;
            full.changed = std::move(all.value);
            return {Status{}, std::move(full)};
        }
        if (!s.ok())
            return {s, {}};
        dav::Multistatus ms;
        std::string why;
        if (!dav::ParseMultistatus(r.body, Url::Parse(r.url).value_or(*calUrl), ms, why))
            return {Unreadable("REPORT", calendar, why), {}};
        bool truncated = false;
        for (const dav::Response& response : ms.responses) {
            if (response.href.CollectionKey() == calUrl->CollectionKey()) {
                truncated = truncated || response.status == 507;
                continue;
            }
            const std::string key = response.href.Key();
            Member m{response.href.ToString(), {}};
            bool removed = false;
            if (response.status == 404 || response.status == 410) {
                removed = true;
            } else {
                const pugi::xml_node etag = response.Prop(kDav, "getetag");
                if (!etag)
                    continue; // a sub-collection, or a member the server cannot describe
                m.etag = dav::QuotedEtag(dav::Text(etag));
            }
            if (!seen.count(key))
                order.push_back(key);
            seen[key] = {removed, std::move(m)};
        }
        changes.syncToken = ms.syncToken;
        if (!truncated || ms.syncToken.empty() || ms.syncToken == token)
            break;
        token = ms.syncToken;
    }
    for (const std::string& key : order) {
        auto& [removed, member] = seen[key];
        if (!removed)
            changes.changed.push_back(std::move(member));
        else if (!changes.complete)
            changes.removed.push_back(std::move(member.href));
    }
    return {Status{}, std::move(changes)};
}

Reply<std::vector<Member>> Client::Members(std::string_view calendar)
{
    const std::string url = WithSlash(std::string(calendar));
    const std::optional<Url> u = Url::Parse(url);
    if (!u)
        return {NotAnAddress(url), {}};
    dav::Multistatus ms;
    if (Status s = AskMultistatus("PROPFIND", url, *u, "1", Propfind("<d:resourcetype/><d:getetag/>"), ms); !s.ok())
        return {s, {}};
    Reply<std::vector<Member>> out;
    for (const dav::Response& response : ms.responses) {
        if (response.href.CollectionKey() == u->CollectionKey() || IsCollection(response))
            continue;
        const pugi::xml_node etag = response.Prop(kDav, "getetag");
        if (etag)
            out.value.push_back({response.href.ToString(), dav::QuotedEtag(dav::Text(etag))});
    }
    return out;
}

Reply<Fetched> Client::Fetch(std::string_view calendar, const std::vector<std::string>& hrefs)
{
    const std::string url = WithSlash(std::string(calendar));
    const std::optional<Url> u = Url::Parse(url);
    if (!u)
        return {NotAnAddress(url), {}};
    Reply<Fetched> out;
    for (std::size_t first = 0; first < hrefs.size(); first += batch_) {
        const std::size_t last = std::min(hrefs.size(), first + batch_);
        std::string body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                           "<c:calendar-multiget xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\">"
                           "<d:prop><d:getetag/><c:calendar-data/></d:prop>";
        std::map<std::string, std::string> asked; // key -> the caller's href
        for (std::size_t i = first; i < last; ++i) {
            const std::optional<Url> h = Resolve(*u, hrefs[i]);
            if (!h) {
                out.value.missing.push_back(hrefs[i]);
                continue;
            }
            asked.emplace(h->Key(), hrefs[i]);
            body += "<d:href>" + dav::Escape(h->SameOrigin(*u) ? h->PathAndQuery() : h->ToString()) + "</d:href>";
        }
        body += "</c:calendar-multiget>";
        if (asked.empty())
            continue;
        dav::Multistatus ms;
        if (Status s = AskMultistatus("REPORT", url, *u, "1", std::move(body), ms); !s.ok())
            return {s, {}};
        for (const dav::Response& response : ms.responses) {
            const auto it = asked.find(response.href.Key());
            if (it == asked.end())
                continue; // not asked for: nothing the caller should take
            const pugi::xml_node data = response.Prop(kCalDav, "calendar-data");
            if (response.status == 404 || !data)
                continue; // stays in `asked`, reported missing below
            out.value.found.push_back(
                {it->second, dav::QuotedEtag(dav::Text(response.Prop(kDav, "getetag"))), dav::Text(data)});
            asked.erase(it);
        }
        for (auto& [key, href] : asked)
            out.value.missing.push_back(href);
    }
    return out;
}

Reply<Resource> Client::Get(std::string_view href)
{
    const std::string url(href);
    const HttpResponse r = Exchange("GET", url, {{"Accept", "text/calendar"}}, {});
    Status s = Describe(r, "GET", url);
    if (!s.ok())
        return {s, {}};
    return {s, {url, dav::QuotedEtag(r.Header("ETag")), r.body}};
}

Reply<std::string> Client::Put(std::string_view href, std::string_view icalendar, const Precondition& precondition)
{
    const std::string url(href);
    HttpHeaders headers{{"Content-Type", "text/calendar; charset=utf-8"}};
    if (precondition.etag.empty())
        headers.emplace_back("If-None-Match", "*");
    else
        headers.emplace_back("If-Match", dav::QuotedEtag(precondition.etag));
    const HttpResponse r = Exchange("PUT", url, std::move(headers), std::string(icalendar));
    Status s = Describe(r, "PUT", url);
    if (!s.ok())
        return {s, {}};
    return {s, dav::QuotedEtag(r.Header("ETag"))};
}

Status Client::Delete(std::string_view href, std::string_view etag)
{
    const std::string url(href);
    if (dav::Trimmed(etag).empty())
        return Failure(Outcome::Other, "DELETE " + url + ": no ETag to delete against, nothing deleted");
    const HttpResponse r = Exchange("DELETE", url, {{"If-Match", dav::QuotedEtag(etag)}}, {});
    return Describe(r, "DELETE", url);
}

std::string Client::MemberUrl(std::string_view calendar, std::string_view uid)
{
    return WithSlash(std::string(calendar)) + PercentEncodeSegment(uid) + ".ics";
}

} // namespace remindo::caldav
