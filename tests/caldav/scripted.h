#pragma once
// A transport that answers from a script and keeps every request it was sent.

#include "caldav/http.h"

#include <deque>
#include <string>
#include <vector>

namespace remindo::test {

class ScriptedTransport final : public caldav::HttpTransport {
public:
    caldav::HttpResponse Send(const caldav::HttpRequest& request) override
    {
        sent.push_back(request);
        if (answers.empty()) {
            caldav::HttpResponse none;
            none.status = 599;
            return none;
        }
        caldav::HttpResponse r = answers.front();
        answers.pop_front();
        if (r.url.empty())
            r.url = request.url;
        return r;
    }

    void Answer(int status, std::string body = {}, caldav::HttpHeaders headers = {})
    {
        caldav::HttpResponse r;
        r.status = status;
        r.body = std::move(body);
        r.headers = std::move(headers);
        answers.push_back(std::move(r));
    }
    void Fail(caldav::TransportError error)
    {
        caldav::HttpResponse r;
        r.error = error;
        r.errorText = "scripted";
        answers.push_back(std::move(r));
    }

    std::deque<caldav::HttpResponse> answers;
    std::vector<caldav::HttpRequest> sent;
};

inline std::string HeaderOf(const caldav::HttpRequest& r, const std::string& name)
{
    for (const auto& [k, v] : r.headers)
        if (k == name)
            return v;
    return {};
}

} // namespace remindo::test
