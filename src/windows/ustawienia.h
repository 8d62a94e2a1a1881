#pragma once
// The settings dialog `TFUstawienia`: the showing gap, the examination
// interval, the auto-hide time and the volume, each changed with its
// press-and-hold arrows or typed, and the sound switch. Save writes the settings file
// and gives the main window's timers their new intervals.

#include "windows/chrome.h"
#include "windows/repeat.h"

#include <cstdint>

class QLabel;

namespace remindo {

class AppState;

// Largest values the more arrows reach: the examination and auto-hide
// intervals must fit the timers' 32-bit milliseconds; the showing gap is
// held to the same span as the examination interval, and the volume level
// to what fits the 16-bit volume.
inline constexpr int32_t kMaxPokazCo = 35791;
inline constexpr int kMaxVolumeLevel = 15;

class TFUstawienia final : public PictureWindow {
    Q_OBJECT
public:
    enum Field { kPokazCo = 1, kBadajCo = 2, kUkryjPo = 3, kDzwiek = 4 };

    explicit TFUstawienia(AppState& state, QWidget* parent = nullptr);

    // Fills the values from the settings and shows the dialog modelessly.
    void Open();

    // What the value labels show, as numbers.
    int Shown(Field f) const;
    StepperValue* ValueLabel(Field f) const;
    TickBox* ImPtaszek2() const { return ImPtaszek2_; }
    int ActiveField() const { return activeField_; }

    // The painted places of the controls, for tests and the renders.
    static QRect LessPlace(Field f);
    static QRect MorePlace(Field f);

private:
    ClickArea* AddArrow(Field f, RepeatStepper::Direction d, const char* name, const char* spoken);
    void Show(Field f, int64_t value);
    // One press of an arrow of `f`, held or not: TWiecejTimer, TMniejTimer.
    void Step(Field f, RepeatStepper::Direction d);
    void LZapiszClick();
    void LAnulujClick();

    AppState& state_;
    StepperValue* values_[4] = {};
    TickBox* ImPtaszek2_ = nullptr;
    ClickArea* LZapisz_ = nullptr;
    ClickArea* LAnuluj_ = nullptr;
    int activeField_ = kPokazCo; // the field of the arrow last pressed
};

} // namespace remindo
