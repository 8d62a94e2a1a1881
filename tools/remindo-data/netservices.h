#pragma once
// What `remindo-data sync` asks of the network and of the desktop's keyring:
// the HTTP transport on Qt Network and the password store on Qt Keychain.
// They bring Qt Network, D-Bus and the keychain with them, so the tool gets
// them from a module of their own (libremindo-data-net.so), loaded by the
// sync command alone.

#include "caldav/http.h"

#include <functional>
#include <memory>
#include <string>

namespace remindo::cli {

class NetServices {
public:
    virtual ~NetServices() = default;

    struct Options {
        std::string user;
        std::string password;
        bool insecure = false; // plain http:// to another computer
        int timeoutMs = 30000;
    };
    virtual std::unique_ptr<caldav::HttpTransport> Transport(const Options& options) = 0;

    enum Keyring { Ok, NotFound, NoService, Failed };
    // Each answers how it went, with one line in `why` when not Ok.
    virtual Keyring StorePassword(const std::string& server, const std::string& user, const std::string& password,
                                  std::string& why) = 0;
    virtual Keyring ReadPassword(const std::string& server, const std::string& user, std::string& password,
                                 std::string& why) = 0;
};

using NetSource = std::function<NetServices*(std::string& why)>;

// The Qt implementation, in the module and in tests.
std::unique_ptr<NetServices> MakeQtNetServices();

inline constexpr const char* kNetModule = "libremindo-data-net.so";
inline constexpr const char* kNetModuleEntry = "remindo_data_net";

} // namespace remindo::cli
