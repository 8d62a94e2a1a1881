#pragma once
// The program's state object on a fixed clock and fixed Polish formats, in
// a folder of its own, with the message box answered by a script: what a
// window test builds its window on.

#include "app/teststate.h"
#include "store/codec.h"
#include "store/fixedformats.h"

#include <QTemporaryDir>

#include <string>

namespace remindo::test {

struct StateRig {
    QTemporaryDir dir;
    ManualClock clock;
    FixedFormats formats;
    NoScreenSaver saver;
    ScriptedMessages box;
    TestState state;

    explicit StateRig(Date today = DateFromYmd(2026, 12, 8))
        : clock(MakeDateTime(today, 9, 0)),
          state(AppEnvironment{clock, formats, saver, MakePaths(dir.path().toStdString())})
    {
        state.messages.SetTarget(&box);
        state.engineState.DataAkt = today;
    }

    // A reminder as the data file would give it; the text is UTF-8.
    void Add(const std::string& utf8, Date date, int32_t coIle = 0, int32_t blok = 0)
    {
        state.list.AddReminder(Cp(utf8), date, coIle, 0, 0, blok, 1, state.engineState.DataAkt);
    }
};

} // namespace remindo::test
