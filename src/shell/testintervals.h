#pragma once
// For tests of the whole program on a desktop: REMINDO_TEST_TIMERS=
// "examinationMs,autoHideMs" runs the two timers at these intervals instead
// of the settings' minutes and seconds, until the settings dialog saves;
// REMINDO_TEST_TRAY_WAIT="ms" waits that long for a notification area.
// Nothing else reads them; unset, the settings and the minute rule.

namespace remindo {

class ProgramTimers;

struct TestIntervals {
    int examinationMs = 0;
    int autoHideMs = 0;
};

// Parsed from the variable's text; both zero when absent or not two
// positive numbers.
TestIntervals ParseTestIntervals(const char* text);
void ApplyTestIntervals(ProgramTimers& timers);
// The wait for a notification area: the variable's positive number, else `usual`.
int TestTrayWaitMs(int usual);

} // namespace remindo
