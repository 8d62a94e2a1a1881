#include "sync/account.h"

#include "caldav/url.h"
#include "store/atomicfile.h"

#include <algorithm>
#include <filesystem>
#include <memory>

namespace remindo::sync {

namespace {

bool OneLine(const std::string& value)
{
    return !value.empty() && value.find_first_of("\r\n") == std::string::npos;
}

bool Loopback(const std::string& host)
{
    return host == "localhost" || host.rfind("127.", 0) == 0 || host == "::1";
}

} // namespace

std::string AccountPath(const std::string& settingsFolder) { return settingsFolder + "/Sync.ini"; }

AccountRead ReadAccount(const std::string& path, SyncAccount& account, std::string* why)
{
    if (!FileExists(path))
        return AccountRead::Missing;
    std::string text;
    if (!ReadWholeFile(path, text, why))
        return AccountRead::Damaged;
    SyncAccount a;
    size_t from = 0;
    while (from < text.size()) {
        const size_t end = std::min(text.find('\n', from), text.size());
        const std::string line = text.substr(from, end - from);
        from = end + 1;
        const size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string name = line.substr(0, eq), value = line.substr(eq + 1);
        if (name == "server")
            a.server = value;
        else if (name == "user")
            a.user = value;
        else if (name == "calendar")
            a.calendar = value;
        else if (name == "insecure")
            a.insecure = value == "1";
    }
    if (a.server.empty() || a.user.empty()) {
        if (why)
            *why = "no server or user in it";
        return AccountRead::Damaged;
    }
    account = a;
    return AccountRead::Read;
}

bool WriteAccount(const std::string& path, const SyncAccount& a, std::string* why)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty() && !MakeFolders(folder.string())) {
        if (why)
            *why = folder.string() + ": the folder cannot be created";
        return false;
    }
    const std::string text = "server=" + a.server + "\nuser=" + a.user + "\ncalendar=" + a.calendar +
                             "\ninsecure=" + (a.insecure ? "1" : "0") + "\n";
    std::unique_ptr<FileWriter> w = DefaultFileWriters().NewWriter();
    w->SetMode(0600);
    if (w->Open(path) && w->Write(text) && w->Commit())
        return true;
    if (why)
        *why = w->Error();
    w->Discard();
    return false;
}

AccountFault CheckAccount(const SyncAccount& a)
{
    if (!OneLine(a.user))
        return AccountFault::User;
    if (!OneLine(a.calendar))
        return AccountFault::Calendar;
    const std::optional<caldav::Url> url = caldav::Url::Parse(a.server);
    if (!url)
        return AccountFault::Server;
    if (url->scheme == "http" && !a.insecure && !Loopback(url->host))
        return AccountFault::PlainHttp;
    return AccountFault::None;
}

} // namespace remindo::sync
