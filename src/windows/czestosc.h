#pragma once
// The recurrence dialog `TFCzestosc`: the editor opens it for the two kinds
// that need a parameter, every X days and a given weekday of the month. One
// panel for each; the answer and the chosen values go back into the
// editor's working values.

#include "windows/chrome.h"

#include <cstdint>

class QComboBox;
class QLineEdit;

namespace remindo {

class AppState;
class RepeatStepper;
class TFWprowadzane;

// The values the editor and the dialog share while a reminder is edited.
struct RecurrenceValues {
    int32_t CoIle = 0;
    int32_t EveryXDays = 2;
    int NthIndex = 0;     // 0..5: first .. fourth, every, last
    int WeekdayIndex = 0; // 0..6: Sunday .. Saturday
    bool RecurrenceAccepted = false;
};

class TFCzestosc final : public PictureWindow {
    Q_OBJECT
public:
    enum Mode { kEveryXDays = 1, kWeekdayOfMonth = 2 };
    static constexpr int kMinDays = 2;
    static constexpr int kMaxDays = 365;

    // Registers itself with the editor, which opens it.
    TFCzestosc(AppState& state, TFWprowadzane& editor, QWidget* parent = nullptr);

    // Shows the panel for `mode` over the editor, which it keeps from input
    // until it closes; `closed` then carries RecurrenceAccepted.
    void Open(int mode);
    bool IsOpen() const { return isVisible(); }

    // Texts of the two lists, entry by entry; which one in the month takes
    // the form that goes with the weekday.
    static QString KtoreText(int nthIndex, int weekdayIndex);
    static QString JakieText(int weekdayIndex);

    QLineEdit* CoIleDniField() const { return ECoIleDni_; }
    QComboBox* KtoreBox() const { return KtoreBox_; }
    QComboBox* JakieBox() const { return JakieBox_; }

signals:
    void closed(bool accepted);

private:
    bool eventFilter(QObject* watched, QEvent* event) override; // ECoIleDniKeyPress
    void closeEvent(QCloseEvent* e) override; // the desktop's close: as cancel
    void LZapiszClick();
    void LAnulujClick();
    void OkWODClick();
    void LAnulujWOkDClick();
    void Finish(bool accepted);
    void ShowDays(int32_t days);
    bool ReadTyped(int32_t& days) const;
    void KtoreFollowJakie(int weekdayIndex);

    AppState& state_;
    TFWprowadzane& editor_;
    RecurrenceValues& values_;
    QWidget* PCoXDni_ = nullptr;
    QWidget* PWOkresloneDni_ = nullptr;
    QLineEdit* ECoIleDni_ = nullptr;
    RepeatStepper* stepper_ = nullptr;
    QComboBox* KtoreBox_ = nullptr;
    QComboBox* JakieBox_ = nullptr;
};

} // namespace remindo
