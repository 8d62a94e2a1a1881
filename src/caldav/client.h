#pragma once
// A CalDAV client (RFC 4791 over WebDAV, RFC 4918): finding the user's
// calendars (RFC 6764), making one, and keeping events in step with the
// server through sync-collection (RFC 6578) or, where the server has none,
// listings of ETags. Every call blocks on the transport it is given and
// turns whatever happened into a Status; nothing throws.
//
// It writes only where asked: PUT carries If-None-Match: * (a new event) or
// If-Match (a change to the version last seen), DELETE always If-Match, and
// no call deletes anything on its own.

#include "caldav/http.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace remindo::caldav {

struct Url;
namespace dav {
struct Multistatus;
}

enum class Outcome {
    Ok,
    AuthFailed,          // 401: the user name or password
    Forbidden,           // 403
    Gone,                // 404, 410: the event or the calendar is not there
    PreconditionFailed,  // 412: it changed on the server since it was read
    InsufficientStorage, // 507
    Transport,           // no answer: see Status::transport
    Other,               // any other status, or an answer the client cannot read
};

struct Status {
    Outcome outcome = Outcome::Ok;
    int http = 0;                                 // the server's status; 0 when none came
    TransportError transport = TransportError::None;
    std::string message;                          // one line: what was asked, where, what came back
    bool ok() const { return outcome == Outcome::Ok; }
};

template <class T>
struct Reply {
    Status status;
    T value{};
    bool ok() const { return status.ok(); }
};

struct Calendar {
    std::string url;          // absolute, ends in '/'
    std::string displayName;  // DAV:displayname; may be empty
    std::string ctag;         // CS:getctag; empty when the server keeps none
    std::string syncToken;    // DAV:sync-token; empty when the server offers no sync-collection
    bool events = true;       // takes VEVENTs (false when its component set leaves them out)
};

struct Account {
    std::string principal;    // empty when the address given was a calendar itself
    std::string home;         // calendar-home-set; empty likewise
    std::vector<Calendar> calendars;
};

struct Member {
    std::string href; // absolute address
    std::string etag; // quoted
};

struct Resource {
    std::string href;
    std::string etag;
    std::string data; // the iCalendar text as the server gave it
};

struct Changes {
    // True when `changed` lists every event of the calendar (a first sync, or
    // the server forgot the token): whatever was known and is not listed is gone.
    bool complete = false;
    std::vector<Member> changed;      // new or changed since the token
    std::vector<std::string> removed; // deleted since the token (never set when complete)
    std::string syncToken;            // for the next call; empty when the server offers none
};

struct Fetched {
    std::vector<Resource> found;
    std::vector<std::string> missing; // asked for and not there (deleted meanwhile)
};

// What a PUT may overwrite.
struct Precondition {
    std::string etag; // empty: the event must not exist yet (If-None-Match: *)
    static Precondition Create() { return {}; }
    static Precondition Match(std::string etag) { return {std::move(etag)}; }
};

class Client {
public:
    explicit Client(HttpTransport& transport);

    // The user's calendars from what the user typed: the server's address
    // (tried through /.well-known/caldav), a principal or calendar-home
    // address, or a calendar's own address (then that calendar alone).
    Reply<Account> Discover(std::string_view address);
    // The calendars in a calendar home.
    Reply<std::vector<Calendar>> Calendars(std::string_view home);
    // The calendar with that display name, made in `home` with MKCALENDAR when
    // none has it; when the address discovered was a calendar's own, that
    // calendar whatever its name. `account` is what Discover found.
    Reply<Calendar> UseCalendar(const Account& account, std::string_view displayName);
    Reply<Calendar> MakeCalendar(std::string_view home, std::string_view displayName);
    // The calendar's tokens and name as they are now.
    Reply<Calendar> State(std::string_view calendar);

    // What changed since `syncToken` (empty: everything). Uses sync-collection;
    // when the server refuses the token, starts over from an empty one; when it
    // offers no sync-collection, lists every ETag (complete, no token).
    Reply<Changes> ChangesSince(std::string_view calendar, std::string_view syncToken);
    // Every event's address and ETag (PROPFIND, Depth 1).
    Reply<std::vector<Member>> Members(std::string_view calendar);
    // The events themselves, by calendar-multiget in batches.
    Reply<Fetched> Fetch(std::string_view calendar, const std::vector<std::string>& hrefs);

    Reply<Resource> Get(std::string_view href);
    // Writes one event; the answer is its new ETag, empty when the server gave none.
    Reply<std::string> Put(std::string_view href, std::string_view icalendar, const Precondition& precondition);
    // Deletes one event, only while it still has `etag`.
    Status Delete(std::string_view href, std::string_view etag);

    // An event's address in a calendar, from its UID.
    static std::string MemberUrl(std::string_view calendar, std::string_view uid);

    // Requests sent so far (each redirect counts); reset by ResetCount().
    std::size_t Requests() const { return requests_; }
    void ResetCount() { requests_ = 0; }
    // Events per calendar-multiget request.
    void SetBatchSize(std::size_t n) { batch_ = n ? n : 1; }

private:
    HttpResponse Exchange(std::string method, const std::string& url, HttpHeaders headers, std::string body);
    // One PROPFIND or REPORT whose answer is a multistatus, read against the
    // address that answered (`base` when none other did), which `answered`
    // receives.
    Status AskMultistatus(const char* method, const std::string& url, const Url& base, const char* depth,
                          std::string body, dav::Multistatus& ms, Url* answered = nullptr);
    Reply<Changes> SyncCollection(const std::string& calendar, std::string_view token);

    HttpTransport& transport_;
    std::size_t requests_ = 0;
    std::size_t batch_ = 100;
};

// The outcome a status stands for.
Outcome OutcomeOf(int httpStatus);
const char* OutcomeName(Outcome outcome);

} // namespace remindo::caldav
