#include "netservices.h"

#include "platform/net/httptransport.h"
#include "platform/net/passwordstore.h"

#include <QCoreApplication>

namespace remindo::cli {

namespace {

class QtNetServices final : public NetServices {
public:
    QtNetServices()
    {
        // The transport and the keychain run on an event loop of their own,
        // which wants an application object; the tool has none.
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "remindo-data";
            static char* argv[] = {name, nullptr};
            app_ = std::make_unique<QCoreApplication>(argc, argv);
        }
    }

    std::unique_ptr<caldav::HttpTransport> Transport(const Options& o) override
    {
        net::TransportOptions t;
        t.user = o.user;
        t.password = o.password;
        t.insecure = o.insecure;
        t.timeout = std::chrono::milliseconds(o.timeoutMs);
        return std::make_unique<net::QtHttpTransport>(t);
    }

    Keyring StorePassword(const std::string& server, const std::string& user, const std::string& password,
                          std::string& why) override
    {
        return Answer(net::PasswordStore().Store(server, user, password), nullptr, why);
    }

    Keyring ReadPassword(const std::string& server, const std::string& user, std::string& password,
                         std::string& why) override
    {
        return Answer(net::PasswordStore().Read(server, user), &password, why);
    }

private:
    static Keyring Answer(const net::KeyringResult& r, std::string* password, std::string& why)
    {
        why = r.message;
        if (password)
            *password = r.password;
        switch (r.outcome) {
        case net::KeyringOutcome::Ok:
            return Ok;
        case net::KeyringOutcome::NotFound:
            return NotFound;
        case net::KeyringOutcome::NoService:
            return NoService;
        default:
            return Failed;
        }
    }

    std::unique_ptr<QCoreApplication> app_;
};

} // namespace

std::unique_ptr<NetServices> MakeQtNetServices() { return std::make_unique<QtNetServices>(); }

} // namespace remindo::cli
