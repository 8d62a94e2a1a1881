#pragma once
// Whether the desktop's screen saver is active, asked over the session bus
// (org.freedesktop.ScreenSaver.GetActive). No bus, no such service, or a
// service that does not answer in time all mean "not running".

#include "engine/interfaces.h"

#include <string>
#include <utility>

namespace remindo {

class DBusScreenSaver final : public ScreenSaver {
public:
    // `timeoutMs` bounds each call; the examination pass must never hang on it.
    explicit DBusScreenSaver(int timeoutMs = 300) : timeoutMs_(timeoutMs) {}
    bool ScreenSaverRunning() override;

    // The bus service asked; tests point it elsewhere.
    void SetService(std::string service) { service_ = std::move(service); }

private:
    int timeoutMs_;
    std::string service_ = "org.freedesktop.ScreenSaver";
};

} // namespace remindo
