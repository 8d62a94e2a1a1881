#pragma once
// The reminder window and the program's timers on a manual clock, a work area of the test's choosing, a
// recorded sound and help, and pre-answered message boxes; the data and
// settings files in a temporary folder.

#include "windows/chrome_support.h"

#include "dates/datetools.h"
#include "platform/gui/desktop.h"
#include "platform/gui/trayicon.h"
#include "platform/sound/reminder_sound.h"
#include "app/staterig.h"
#include "shell/program.h"
#include "windows/glowny.h"
#include "store/fixedformats.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

namespace remindo::test {

class FakeDesktop final : public Desktop {
public:
    WorkArea area{0, 0, 1024, 728}; // a taskbar of 40 pixels at the bottom
    int fronts = 0;
    int raises = 0;
    WorkArea GetWorkArea() override { return area; }
    void Move(QWidget& w, QPoint p) override { w.move(p); }
    void BringToFront(QWidget&) override { ++fronts; }
    void Raise(QWidget&) override { ++raises; }
};

class FakeSound final : public SoundPlayer {
public:
    std::vector<uint16_t> played;
    bool Play(uint16_t volume) override
    {
        played.push_back(volume);
        return true;
    }
};

class FakeTray final : public TrayIcon {
public:
    bool host = true;
    QMenu* menu = nullptr;
    std::function<void()> click;
    void Show(QMenu* m, std::function<void()> onClick) override
    {
        menu = m;
        click = std::move(onClick);
    }
    bool HostAvailable() override { return host; }
};

inline QByteArray FileBytes(const std::string& path)
{
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What every shell test stands on: a temporary folder for the files, the
// clock at 9:00 on 8 December 2026, and the recorded desktop services.
struct ShellEnv {
    QTemporaryDir dir;
    ManualClock clock{MakeDateTime(DateFromYmd(2026, 12, 8), 9, 0)};
    FixedFormats formats;
    NoScreenSaver saver;
    FakeDesktop desktop;
    FakeSound sound;
    RecordingHelpOpener help;

    std::unique_ptr<TestState> MakeState()
    {
        return std::make_unique<TestState>(
            AppEnvironment{clock, formats, saver, MakePaths(dir.path().toStdString())});
    }
    ShellServices Services() { return ShellServices{desktop, sound, &help}; }
};

struct ShellRig : ShellEnv {
    ScriptedMessages box;
    std::unique_ptr<TestState> state;
    std::unique_ptr<TFGlowny> glowny;
    std::unique_ptr<Program> program;

    Date Today() const { return DateFromYmd(2026, 12, 8); }

    // `settings` is written as the settings file first; `reminders` as the
    // data file (none: no data file).
    explicit ShellRig(std::optional<Settings> settings = std::nullopt,
                      std::optional<Komunikaty> reminders = std::nullopt)
    {
        state = MakeState();
        state->messages.SetTarget(&box);
        QDir().mkpath(QString::fromStdString(state->settingsFile.GetPaths().settingsFolder));
        if (settings)
            state->settingsFile.WriteSettings(*settings);
        if (reminders)
            state->dataFile.SaveDataFile(*reminders);
        glowny = std::make_unique<TFGlowny>(*state, Services());
        program = std::make_unique<Program>(*state, *glowny, desktop);
        glowny->SetSlideStep(0);
        glowny->SetSettleTime(0);
    }

    ~ShellRig()
    {
        program.reset();
        glowny.reset();
        state.reset();
    }

    const std::string& DataPath() const { return state->dataFile.Path(); }
    QByteArray DataBytes() const { return FileBytes(DataPath()); }
    Komunikaty Stored()
    {
        Komunikaty list;
        state->dataFile.LoadDataFile(list);
        return list;
    }

    // The start tick, at once.
    void Start() { program->TimerekTimer(); }
    // An examination tick, five minutes after the last one.
    void Pass()
    {
        clock.AdvanceMinutes(5);
        program->TBadawczyTimer();
    }

    void Click(const char* control) { ClickOn(*glowny, TFGlowny::PlaceOf(control)); }
};

// A reminder due `days` ahead of 8 December 2026, warned `ilePrzed` days before.
inline void AddDue(Komunikaty& list, const char* text, int days, int ilePrzed = 0, int czyPo = 0)
{
    list.AddReminder(text, IncDay(DateFromYmd(2026, 12, 8), days), 0, ilePrzed, czyPo, 0, 3,
                     DateFromYmd(2026, 12, 8));
}

} // namespace remindo::test
