#pragma once
// The main window `TFGlowny`: hidden while the program runs, it doubles as
// the reminder window that slides up out of the bottom-right corner of the
// work area (red, yellow or green by how near the occurrence is) and as the
// blue information panel. Its three timers drive the program: the start
// timer loads the data file, the examination timer runs the examination
// pass, the auto-hide timer slides an unanswered reminder away. It also owns
// the tray menu's handlers.

#include "engine/interfaces.h"
#include "app/appstate.h"
#include "windows/chrome.h"

#include <QColor>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace remindo {

class Desktop;
class HelpOpener;
class SoundPlayer;

// The desktop's services the main window works with.
struct ShellServices {
    Desktop& desktop;
    SoundPlayer& sound;
    HelpOpener* help = nullptr; // null: the program-wide opener
};

// A window the tray menu opens: the widget `NoWindowOpen` looks at and its
// open sequence.
struct MenuWindow {
    QWidget* widget = nullptr;
    std::function<void()> open;
};

struct MenuWindows {
    MenuWindow dane;       // TFDane
    MenuWindow kalendarz;  // TFkalendarz
    MenuWindow ustawienia; // TFUstawienia
    MenuWindow about;      // TFAbout
};

// What a menu item asked for from outside did.
struct Activation {
    bool known = false;          // the name is one of the menu's
    QWidget* inTheWay = nullptr; // brought forward instead of the window asked for
    explicit operator bool() const { return known; }
};

// Text colour of the reminder text for a warning value.
QColor ReminderTextColour(int32_t kind);
// Background picture for a warning value (-3 the blue panel).
QString ReminderPicture(int32_t kind);

class TFGlowny final : public PictureWindow, public ReminderPresenter, public ProgramTimers {
    Q_OBJECT
public:
    static constexpr int kStartDelayMs = 500;
    static constexpr int kSlideStepMs = 10;
    static constexpr int kBlue = -3;
    static constexpr int kSettleMs = 400; // clicks on a new reminder count after this
    static constexpr int kTextPx = 11;
    static constexpr int kSmallestTextPx = 7;

    // Runs FormCreate: settings, intervals, the emptied list, today, the log
    // folder, and the start timer. Installs itself as the state's presenter
    // and timers.
    TFGlowny(AppState& state, const ShellServices& services, QWidget* parent = nullptr);
    ~TFGlowny() override;

    // ---- the reminder window
    void ShowReminderWindow(int32_t kind, const std::string& cp1250Text) override;
    void StartAutoHideTimer() override;
    // A reminder (not the blue panel) is on the screen and not on its way out.
    bool ReminderStanding() const override;
    void HideReminderWindow();
    // The blue panel as shown once on a desktop without a notification
    // area: it tells how to reach the program there, and goes by itself
    // after the auto-hide time, as a reminder does.
    void ShowNoTrayPanel();
    // The background picture shown now.
    const QString& Picture() const { return picture_; }
    // Where the window ends after sliding in (and before it slides out).
    QPoint ShownPosition() const;
    int32_t Kind() const { return kind_; }
    QString Text() const;
    QColor TextColour() const;
    bool Sliding() const { return slide_.isActive(); }

    // ---- the timers
    void SetIntervals(int examinationMs, int autoHideMs) override;
    QTimer& Timerek() { return timerek_; }
    QTimer& TBadawczy() { return badawczy_; }
    QTimer& TAutomatycznieUkryj() { return ukryj_; }
    void TimerekTimer();
    void TBadawczyTimer();
    void TAutomatycznieUkryjTimer();
    // The data file read again, as the start timer reads it, for a file
    // that another program has replaced or rewritten.
    void ReloadFromFile();
    // Slide steps in milliseconds; 0 moves through every step at once.
    void SetSlideStep(int ms) { slideStepMs_ = ms; }
    // How long a new reminder's buttons wait before a click counts; 0: at once.
    void SetSettleTime(int ms) { settle_.setInterval(ms); }
    bool Settling() const { return settle_.isActive(); }
    QFont TextFont() const;

    // ---- the buttons
    void LPozniejClick();
    void LNieDzisClick();
    void LNiePrzypominajClick();
    void LKomunikatClick();
    void LCloseClick();
    void LPomocClick();

    // ---- the tray menu
    void SetMenuWindows(MenuWindows windows) { menuWindows_ = std::move(windows); }
    // Asked before `&Zakończ` ends the program; false keeps it running.
    void SetBeforeEnd(std::function<bool()> ask) { beforeEnd_ = std::move(ask); }
    // How the program ends (every event loop is left); tests record it instead.
    void SetEndProgram(std::function<void()> end) { endProgram_ = std::move(end); }
    bool NoWindowOpen() const;
    void CoolTrayClick();
    void WprowadzDaneClick();
    void Kalendarz1Click();
    void DajUstawieniaClick();
    void AboutClick();
    void PomocClick();
    void CloseAppClick();
    // A menu item by the name the desktop entry and the session bus use
    // ("dane", "kalendarz", "ustawienia", "o-programie", "pomoc",
    // "zakoncz"). The request comes from outside, where the user cannot see
    // why nothing would happen, so it always reaches the user: the window
    // asked for opens (the blue panel, which only tells, gives way to it),
    // or the window that stands in the way comes forward and is named in
    // the answer.
    Activation ActivateAction(std::string_view name);
    static bool KnownAction(std::string_view name);
    // The action opens one of the menu's windows.
    static bool OpensWindow(std::string_view name);
    // What the window of action `name` cannot open past: the question or
    // editor in front, another open window of the menu's, a standing
    // reminder; null when nothing stands in the way (the blue panel gives
    // way, and the window asked for may be open already).
    QWidget* WindowInTheWay(std::string_view name) const;
    // The window the user is working in, if any, comes forward.
    void RaiseOpenWindow();

    // The click areas, for tests and the picture check.
    static QRect PlaceOf(const char* control);

signals:
    // `&Zakończ`: the program ends (after the list window's question).
    void quitRequested();
    // The start timer's load is done: the list is what the file holds.
    void dataLoaded();

protected:
    void keyPressEvent(QKeyEvent* e) override; // FormKeyDown

private:
    void FormCreate();
    void LoadFromFile();
    void Fill(int32_t kind, const QString& text);
    void FitText();
    void SlideTo(int fromStep, int toStep, std::function<void()> done);
    void SlideStep();
    void MoveToStep(int step);
    bool ActOnShownReminder();
    void LogAndFlush(const std::string& cp1250Line);
    void OpenMenuWindow(const MenuWindow& w);

    AppState& state_;
    ShellServices services_;
    MenuWindows menuWindows_;
    std::function<bool()> beforeEnd_;
    std::function<void()> endProgram_;

    ClickArea* LKomunikat_ = nullptr;
    ClickArea* LPozniej_ = nullptr;
    ClickArea* LNieDzis_ = nullptr;
    ClickArea* LNiePrzypominaj_ = nullptr;
    ClickArea* LPomoc_ = nullptr;
    ClickArea* LClose_ = nullptr;

    QTimer timerek_;
    QTimer badawczy_;
    QTimer ukryj_;

    // WorkArea: read at each showing and kept for the slide out.
    int workRight_ = 0;
    int workBottom_ = 0;
    int32_t kind_ = kBlue;
    bool standing_ = false; // a reminder shown and not yet put away
    bool countdownOfReminder_ = false; // the auto-hide countdown was started for a reminder
    bool noTrayPanel_ = false;
    QString picture_;

    QTimer settle_;
    QTimer slide_;
    int slideStepMs_ = kSlideStepMs;
    int slideStep_ = 0;
    int slideEnd_ = 0;
    std::function<void()> slideDone_;
};

} // namespace remindo
