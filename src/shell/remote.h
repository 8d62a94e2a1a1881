#pragma once
// What the running copy does when the session bus brings a request: the
// application menu's entry and its actions, a second start, scripts and
// remindo-data all come this way.

#include "platform/core/appbus.h"

class QWidget;

namespace remindo {

class AppState;
class CoolTray;
class DataFileWatch;
class Program;

// The window `w` as the answer to a caller names it ("okno kalendarza").
std::string WindowForPeople(const QWidget& w);

class RemoteControl final : public RemoteHandler {
public:
    RemoteControl(AppState& state, Program& program, CoolTray& tray, DataFileWatch& watch);
    void Activate() override;
    ActionAnswer ActivateAction(const std::string& name) override;
    bool HasTrayIcon() override;
    ReloadAnswer ReloadData(const std::string& path) override;

private:
    AppState& state_;
    Program& program_;
    CoolTray& tray_;
    DataFileWatch& watch_;
};

} // namespace remindo
