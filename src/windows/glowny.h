#pragma once
// The reminder window `TFGlowny`: hidden while the program runs, it slides
// up out of the bottom-right corner of the work area (red, yellow or green by
// how near the occurrence is) and doubles as the blue information panel. Its
// buttons block the reminder shown. The program's timers that show it and
// take it away are the shell's (shell/program.h).

#include "app/appstate.h"
#include "windows/chrome.h"

#include <QColor>
#include <QTimer>
#include <QVariantAnimation>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace remindo {

class Desktop;
class HelpOpener;
class SoundPlayer;

// The desktop's services the reminder window works with.
struct ShellServices {
    Desktop& desktop;
    SoundPlayer& sound;
    HelpOpener* help = nullptr; // null: the program-wide opener
};

// Text colour of the reminder text for a warning value.
QColor ReminderTextColour(int32_t kind);
// Background picture for a warning value (-3 the blue panel).
QString ReminderPicture(int32_t kind);

class TFGlowny final : public PictureWindow {
    Q_OBJECT
public:
    static constexpr int kSlideStepMs = 10;
    static constexpr int kBlue = -3;
    static constexpr int kSettleMs = 400; // clicks on a new reminder count after this
    static constexpr int kTextPx = 11;
    static constexpr int kSmallestTextPx = 7;
    static constexpr int kHelpGapMs = 1000; // help opens at most once in this time

    TFGlowny(AppState& state, const ShellServices& services, QWidget* parent = nullptr);

    // `withoutTray`: the blue panel as shown once on a desktop without a
    // notification area, telling how to reach the program there.
    void ShowReminderWindow(int32_t kind, const std::string& cp1250Text, bool withoutTray = false);
    // Slides out and hides; `hiding` is emitted first.
    void HideReminderWindow();
    // A reminder (not the blue panel) is on the screen and not on its way out.
    bool ReminderStanding() const;
    // The background picture shown now.
    const QString& Picture() const { return picture_; }
    // Where the window ends after sliding in (and before it slides out).
    QPoint ShownPosition() const;
    int32_t Kind() const { return kind_; }
    QString Text() const;
    QColor TextColour() const;
    QFont TextFont() const;
    bool Sliding() const { return slide_.state() == QAbstractAnimation::Running; }
    // Slide steps in milliseconds; 0 moves to the end at once.
    void SetSlideStep(int ms) { slideStepMs_ = ms; }
    // How long a new reminder's buttons wait before a click counts; 0: at once.
    void SetSettleTime(int ms) { settle_.setInterval(ms); }
    bool Settling() const { return settle_.isActive(); }

    // ---- the buttons
    void LPozniejClick();
    void LNieDzisClick();
    void LNiePrzypominajClick();
    void LKomunikatClick();
    void LCloseClick();
    void LPomocClick();
    // The help page, from the blue panel's link, F1 or the tray menu: a
    // burst of asks (a held key, a script on the session bus) opens it once,
    // and never again while one opening is under way.
    void OpenHelpPage();

    // The click areas, for tests and the picture check.
    static QRect PlaceOf(const char* control);

signals:
    // The window goes away: the auto-hide countdown is over.
    void hiding();

protected:
    void keyPressEvent(QKeyEvent* e) override; // FormKeyDown

private:
    void Fill(int32_t kind, const QString& text, bool withoutTray);
    void FitText();
    void SlideTo(int fromStep, int toStep, std::function<void()> done);
    void MoveToStep(int step);
    void SlideStep(int step);

    AppState& state_;
    ShellServices services_;

    ClickArea* LKomunikat_ = nullptr;
    ClickArea* LPozniej_ = nullptr;
    ClickArea* LNieDzis_ = nullptr;
    ClickArea* LNiePrzypominaj_ = nullptr;
    ClickArea* LPomoc_ = nullptr;
    ClickArea* LClose_ = nullptr;

    // WorkArea: read at each showing and kept for the slide out.
    int workRight_ = 0;
    int workBottom_ = 0;
    int32_t kind_ = kBlue;
    bool standing_ = false; // a reminder shown and not yet put away
    QString picture_;

    QTimer settle_;
    QVariantAnimation slide_;
    QMetaObject::Connection slideDone_;
    int slideStepMs_ = kSlideStepMs;

    bool helpOpening_ = false;
    std::optional<DateTime> lastHelp_;
};

} // namespace remindo
