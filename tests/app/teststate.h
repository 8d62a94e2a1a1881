#pragma once
#include "app/appstate.h"

namespace remindo::test {

// The state with its values open, so that a test arranges them as the files
// (or the engine) would leave them; the windows see only an AppState.
class TestState final : public AppState {
public:
    explicit TestState(const AppEnvironment& env) : AppState(env) {}
    Settings& settings = settings_;
    EngineState& engineState = engineState_;
    Komunikaty& list = list_;
    const Clock& clock = clock_;
    const RegionalFormats& formats = formats_;
    DiagnosticLog& log = log_;
    Scrambler& scrambler = scrambler_;
    MessagesRelay& messages = messages_;
    PresenterRelay& presenter = presenter_;
    SettingsFile& settingsFile = settingsFile_;
    DataFile& dataFile = dataFile_;
    Engine& engine = engine_;
    CalendarExamination& calendar = calendar_;
    ProgramTimers*& timers = timers_;
};

} // namespace remindo::test
