#pragma once
// For tests of the whole program on a desktop: REMINDO_TEST_TIMERS=
// "examinationMs,autoHideMs" runs the two timers at these intervals instead
// of the settings' minutes and seconds, until the settings dialog saves.
// Nothing else reads it; unset, the settings rule.

namespace remindo {

class TFGlowny;

struct TestIntervals {
    int examinationMs = 0;
    int autoHideMs = 0;
};

// Parsed from the variable's text; both zero when absent or not two
// positive numbers.
TestIntervals ParseTestIntervals(const char* text);
void ApplyTestIntervals(TFGlowny& glowny);

} // namespace remindo
